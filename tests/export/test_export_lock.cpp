// The export lock between processes: many runs started at one moment, a run that waited while
// another exported what it was to export, and the names that tell workstations apart.
#include "config/settings_file.h"
#include "core/profile_file.h"
#include "data/connection.h"
#include "data/dm_mm_group_access.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/document_search.h"
#include "export/export_run.h"
#include "export/export_run_lock.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_dump.h"
#include "standin/package_setup.h"
#include "standin/standin_package.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QDir>
#include <QJsonArray>
#include <QProcess>
#include <QSysInfo>
#include <QtTest>

#include <memory>
#include <vector>

using namespace ExportFixture;

namespace {
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

constexpr int kTogether = 30;
} // namespace

class TestExportLock : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void thirtyTakingTheLockAtOneMoment();
    void thirtyBatchExportsStartedTogether();
    void runThatWaitedAndFoundNothingNamesTheRunThatExportedIt_data();
    void runThatWaitedAndFoundNothingNamesTheRunThatExportedIt();
    void refusalNamesTheWorkstation_data();
    void refusalNamesTheWorkstation();
    void registerOfAnEarlierVersionGetsTheWorkstationColumns();

private:
    QProcessEnvironment environment() const;
    QString batchProgram() const;
    Run batch(const QStringList& arguments);
    std::unique_ptr<QProcess> startHolder(const QStringList& arguments = {});
    void tickInvoices();

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
};

void TestExportLock::initTestCase() {
    UseStandinPackage();
}

void TestExportLock::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    CreateTestPackage(context->folder());
    SettingsFile settings;
    settings.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
    settings.writeString("SQLACC", "DCF", context->path("Package/DEFAULT.DCF"));
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    AddBatchExportData(*data, "300-C001");
}

void TestExportLock::cleanup() {
    ReleaseBizApp();
    data.reset();
    context.reset();
}

QProcessEnvironment TestExportLock::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZANTRO_HOME", context->folder());
    environment.insert("ZANTRO_PASSWORD", "SECRET");
    environment.remove("ZANTRO_STANDIN_FAIL");
    return environment;
}

QString TestExportLock::batchProgram() const {
    return qEnvironmentVariable("ZANTRO_BIN_DIR") + "/zantro-batch";
}

Run TestExportLock::batch(const QStringList& arguments) {
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(batchProgram(), QStringList{"--user", "BATCH"} + arguments);
    if (!process.waitForFinished(60000))
        qFatal("zantro-batch did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

std::unique_ptr<QProcess> TestExportLock::startHolder(const QStringList& arguments) {
    auto holder = std::make_unique<QProcess>();
    holder->setProcessEnvironment(environment());
    holder->start(QCoreApplication::applicationDirPath() + "/hold-export-lock", arguments);
    return holder;
}

void TestExportLock::tickInvoices() {
    QCOMPARE(batch({"masters", "AR_CUSTOMER", "--selection", "ALL"}).exitCode, 0);
    QCOMPARE(batch({"search", "SL_IV"}).exitCode, 0);
    QCOMPARE(batch({"tick", "SL_IV", "all"}).exitCode, 0);
}

// Thirty processes, connected beforehand, take the lock at one moment: the engine lets one
// change the lock's row and refuses the others' change as an update conflict. Every one of them
// must be refused as a run that comes later is, never with the engine's error.
void TestExportLock::thirtyTakingTheLockAtOneMoment() {
    std::vector<std::unique_ptr<QProcess>> holders;
    for (int i = 0; i < kTogether; ++i)
        holders.push_back(startHolder({"--wait-for-go"}));
    const auto killAll = qScopeGuard([&holders] {
        for (const auto& holder : holders) {
            holder->kill();
            holder->waitForFinished(10000);
        }
    });
    for (const auto& holder : holders) {
        QVERIFY(holder->waitForReadyRead(120000));
        QCOMPARE(QString::fromLocal8Bit(holder->readLine()).trimmed(), QStringLiteral("ready"));
    }
    for (const auto& holder : holders)
        holder->write("go\n");
    for (const auto& holder : holders)
        holder->waitForBytesWritten(1000);

    int held = 0;
    QStringList others;
    for (const auto& holder : holders) {
        QVERIFY(holder->canReadLine() || holder->waitForReadyRead(60000));
        const QString line = QString::fromLocal8Bit(holder->readLine()).trimmed();
        if (line.startsWith("held "))
            ++held;
        else if (!line.startsWith("refused Another export run is in progress: started by HOLDER "
                                  "on "))
            others << line;
    }
    QVERIFY2(others.isEmpty(), qPrintable(others.join('\n')));
    QCOMPARE(held, 1);
    QCOMPARE(SelectValue(data->dbStk, "SELECT COUNT(*) FROM ACC_EXPORT_RUN").toInt(), 1);
}

// Thirty exports of the same ticked documents started together, as scripts on several
// workstations might: one posts them, every other one is refused with status 6 or finds them
// exported; nobody meets the engine's error, and each document is posted once.
void TestExportLock::thirtyBatchExportsStartedTogether() {
    tickInvoices();
    std::vector<std::unique_ptr<QProcess>> runs;
    for (int i = 0; i < kTogether; ++i) {
        auto run = std::make_unique<QProcess>();
        run->setProcessEnvironment(environment());
        run->start(batchProgram(), {"--user", "BATCH", "export", "SL_IV"});
        runs.push_back(std::move(run));
    }
    int posted = 0;
    QStringList unexpected;
    for (const auto& run : runs) {
        QVERIFY(run->waitForFinished(240000));
        const QString out = QString::fromLocal8Bit(run->readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(run->readAllStandardError());
        const int status = run->exitStatus() == QProcess::NormalExit ? run->exitCode() : -1;
        const bool refused =
            status == 6 &&
            err.startsWith("zantro-batch: Another export run is in progress: started by BATCH on ");
        const bool poster = status == 0 && out.contains("SL_IV: 3 posted");
        const bool exportedByAnother =
            status == 7 && out.startsWith("Nothing left to export: the run of BATCH on ");
        // A run that started after the poster had ended has simply nothing to do.
        const bool nothing = status == 0 && out.trimmed() == "No Data to Export";
        posted += poster ? 1 : 0;
        if (!(refused || poster || exportedByAnother || nothing) ||
            (out + err).contains("update conflicts", Qt::CaseInsensitive))
            unexpected << QString("status %1: %2%3").arg(status).arg(out, err);
    }
    QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join('\n')));
    QCOMPARE(posted, 1);
    QCOMPARE(PackageDocumentNumbers(context->folder()), (QStringList{"IV-1", "IV-2", "IV-3"}));
}

// A run that had to wait for the lock while another run exported its ticked documents finds
// nothing ticked, and says who exported them, with a status of its own.
void TestExportLock::runThatWaitedAndFoundNothingNamesTheRunThatExportedIt_data() {
    QTest::addColumn<QStringList>("command");
    QTest::newRow("export") << QStringList{"export", "SL_IV"};
    QTest::newRow("schedule") << QStringList{"schedule"};
}

void TestExportLock::runThatWaitedAndFoundNothingNamesTheRunThatExportedIt() {
    QFETCH(QStringList, command);
    tickInvoices(); // the masters' run left the lock's row behind
    // The other run takes the lock through this connection, in a transaction that keeps the
    // lock's row changed (and so makes the batch run wait) until the test commits it.
    DbConnection otherRun(QStringLiteral("OtherRun"), QStringLiteral("ZantStk"));
    std::optional<Transaction> holding;
    holding.emplace(otherRun);
    otherRun.execute("UPDATE ACC_EXPORT_LOCK SET L_NAME = L_NAME WHERE L_NAME = 'EXPORT'");

    QProcess waiting;
    waiting.setProcessEnvironment(environment());
    waiting.start(batchProgram(), QStringList{"--user", "BATCH"} + command);
    QVERIFY(waiting.waitForStarted(30000));
    // It waits on the lock's row.
    QTRY_VERIFY_WITH_TIMEOUT(OtherConnectionRunsStatementOn(data->dbStk, "ACC_EXPORT_LOCK") ||
                                 waiting.state() != QProcess::Running,
                             60000);
    QVERIFY2(waiting.state() == QProcess::Running, qPrintable(waiting.readAllStandardError()));

    // Meanwhile the other run exports the ticked invoices and searches again, as any run does.
    context->clock->set(QDateTime::currentDateTime());
    QString otherRunId;
    {
        SettingsFile settings;
        ExportRunLock lock(otherRun, {QStringLiteral("ADMIN"), QStringLiteral("zantro-link"),
                                      QStringLiteral("Export SL_IV")});
        otherRunId = lock.runId();
        const ExportRunSummary summary =
            ExportRun(*data, settings, {lock.runId(), QStringLiteral("ADMIN"), false}).Run("SL_IV");
        QCOMPARE(summary.posted, 3);
        DocumentSearch(*data, settings, DocumentSearch::ViewReading::CountOnly)
            .SearchStockDocuments("SL_IV", StockSearchFilter{});
        context->clock->set(QDateTime::currentDateTime());
    }
    holding->commit();

    QVERIFY(waiting.waitForFinished(60000));
    const QString out = QString::fromLocal8Bit(waiting.readAllStandardOutput());
    const QString err = QString::fromLocal8Bit(waiting.readAllStandardError());
    QCOMPARE(waiting.exitCode(), 7);
    // The report's last line (a schedule's kinds come before it).
    QCOMPARE(out.trimmed().split('\n').last(),
             QString("Nothing left to export: the run of ADMIN on %1 in %2, "
                     "process %3, exported it.")
                 .arg(QSysInfo::machineHostName(), QDir::toNativeSeparators(context->folder()))
                 .arg(QCoreApplication::applicationPid()));
    QVERIFY2(err.isEmpty(), qPrintable(err));
    QCOMPARE(PackageDocumentNumbers(context->folder()), (QStringList{"IV-1", "IV-2", "IV-3"}));
    QCOMPARE(SelectValue(data->dbStk,
                         "SELECT R_OUTCOME FROM ACC_EXPORT_RUN WHERE R_RUN_ID <> ? AND "
                         "R_PROGRAM = 'zantro-batch' AND R_COMMAND = ?",
                         {otherRunId, command.join(' ')})
                 .toString(),
             QStringLiteral("NOTHING LEFT"));

    // A run started after that has simply nothing to do.
    const Run later = batch(command);
    QCOMPARE(later.exitCode, 0);
    QVERIFY2(!later.out.contains("Nothing left"), qPrintable(later.out));
}

void TestExportLock::refusalNamesTheWorkstation_data() {
    QTest::addColumn<QString>("workstation");
    QTest::addColumn<QString>("named"); // %1 host, %2 installation folder
    QTest::newRow("host and folder") << QString() << "HOLDER on %1 in %2 (hold-export-lock test";
    QTest::newRow("Register.ini names it") << "Front desk"
                                           << "HOLDER on Front desk (%1) (hold-export-lock test";
}

void TestExportLock::refusalNamesTheWorkstation() {
    QFETCH(QString, workstation);
    QFETCH(QString, named);
    if (!workstation.isEmpty())
        ProfileFile(RegisterIniPath()).writeString("STORE", "WORKSTATION", workstation);
    const std::unique_ptr<QProcess> holder = startHolder();
    const auto kill = qScopeGuard([&holder] {
        holder->kill();
        holder->waitForFinished(10000);
    });
    QVERIFY(holder->waitForReadyRead(30000));
    QVERIFY(holder->readLine().startsWith("held "));

    const Run refused = batch({"export", "SL_IV"});
    QCOMPARE(refused.exitCode, 6);
    const QString expected = QString(named)
                                 .replace("%1", QSysInfo::machineHostName())
                                 .replace("%2", QDir::toNativeSeparators(context->folder()));
    QVERIFY2(refused.err.contains("started by " + expected), qPrintable(refused.err));

    // The takeover after the holder died names it the same way.
    holder->kill();
    QVERIFY(holder->waitForFinished(10000));
    const Run next = batch({"export", "SL_IV"});
    QCOMPARE(next.exitCode, 0);
    QVERIFY2(next.err.contains("Took over the export lock of the run started by " + expected),
             qPrintable(next.err));
}

// An installation whose run register was made before runs were named by workstation: opening
// the data module adds the columns, and runs are registered and refused as on a new one.
void TestExportLock::registerOfAnEarlierVersionGetsTheWorkstationColumns() {
    data->dbStk.execute("ALTER TABLE ACC_EXPORT_RUN DROP R_WORKSTATION, DROP R_FOLDER");
    data.reset();
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    ProfileFile(RegisterIniPath()).writeString("STORE", "WORKSTATION", "Back office");
    const ExportRunLock first(data->dbStk, {"ADMIN", "zantro-link", "Export SL_IV"});
    DbConnection second(QStringLiteral("SecondRun"), QStringLiteral("ZantStk"));
    try {
        ExportRunLock refused(second, {"NIGHT", "zantro-batch", "schedule"});
        QFAIL("a second run took the lock");
    } catch (const ExportRunRefused& refusal) {
        QVERIFY2(refusal.message().startsWith(
                     "Another export run is in progress: started by ADMIN on Back office ("),
                 qPrintable(refusal.message()));
    }
}

QTEST_GUILESS_MAIN(TestExportLock)
#include "test_export_lock.moc"
