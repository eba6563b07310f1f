// zantro-batch's export and masters commands end to end: separate processes posting into the
// stand-in package of a test installation.
#include "config/settings_file.h"
#include "core/stop_signals.h"
#include "data/connection.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "standin/package_dump.h"
#include "standin/package_setup.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <optional>

using namespace ExportFixture;

namespace {
struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};
} // namespace

class TestBatchExport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void mastersWithMissingCodesNeedTheSwitch();
    void reportsListGeneratedCodesThatDifferFromTheRule_data();
    void reportsListGeneratedCodesThatDifferFromTheRule();
    void failingSaveStopsAndRepeatPostsEachDocumentOnce();
    void jsonReportAndNothingTicked();
    void checkNamesEachProblemAndExitsThreeUntilAllAreReady();
    void readBackDifferenceGivesStatus3AndIsReconciled();
    void refusedPackageLoginStopsTheRunWithStatus4();
    void anotherRunHoldsTheLockUntilItsProcessDies();
    void scheduleStoppedByAnErrorSaysItOnStandardError();
    void stopSignalFinishesTheDocumentInHand_data();
    void stopSignalFinishesTheDocumentInHand();
    void signalDuringTheClosingSearchEndsAsFinished_data();
    void signalDuringTheClosingSearchEndsAsFinished();

private:
    QProcessEnvironment environment(const QString& fault = QString()) const;
    Run batch(const QStringList& arguments, const QString& fault = QString());
    // Document numbers of the ledger whose header and every line are flagged `flag`.
    QStringList ledgerDocumentsFlagged(const QString& flag);
    QStringList journalled(const QString& outcome);
    int journalSize();
    void addInvoices(int count);
    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
};

void TestBatchExport::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    CreateTestPackage(context->folder());
    SettingsFile settings;
    settings.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
    settings.writeString("SQLACC", "DCF", context->path("Package/DEFAULT.DCF"));
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    AddBatchExportData(*data);
}

void TestBatchExport::cleanup() {
    data.reset();
    context.reset();
}

QProcessEnvironment TestBatchExport::environment(const QString& fault) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZANTRO_HOME", context->folder());
    environment.insert("ZANTRO_PASSWORD", "SECRET");
    environment.remove("ZANTRO_STANDIN_FAIL");
    if (!fault.isEmpty())
        environment.insert("ZANTRO_STANDIN_FAIL", fault);
    return environment;
}

Run TestBatchExport::batch(const QStringList& arguments, const QString& fault) {
    QProcess process;
    process.setProcessEnvironment(environment(fault));
    process.start(qEnvironmentVariable("ZANTRO_BIN_DIR") + "/zantro-batch",
                  QStringList{"--user", "BATCH"} + arguments);
    if (!process.waitForFinished(60000))
        qFatal("zantro-batch did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

void TestBatchExport::mastersWithMissingCodesNeedTheSwitch() {
    Run refused = batch({"masters", "AR_CUSTOMER", "--selection", "ALL"});
    QCOMPARE(refused.exitCode, 1);
    QVERIFY2(refused.err.contains(
                 "Some record do not have Debtor Code. Do you want system to auto generate?"),
             qPrintable(refused.err));
    QCOMPARE(SelectValue(data->dbApp, "SELECT COUNT(*) FROM MAS_CUSTOMER WHERE M_DEBTOR IS NULL")
                 .toInt(),
             1);

    Run done = batch({"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"});
    QCOMPARE(done.exitCode, 0);
    QVERIFY2(done.out.contains("Completed."), qPrintable(done.out + done.err));
    QCOMPARE(
        SelectValue(data->dbApp, "SELECT M_DEBTOR || M_EXPORT_ACCT FROM MAS_CUSTOMER").toString(),
        QStringLiteral("300-C001T"));

    Run wrong = batch({"masters", "AR_CUSTOMER", "--selection", "SOME"});
    QCOMPARE(wrong.exitCode, 2);
}

void TestBatchExport::reportsListGeneratedCodesThatDifferFromTheRule_data() {
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("listed"); // in the text report; empty for JSON
    const QString code = "CORPORATE02: 300-ORATE0-2 (300-ORATE0 is held by customer CORPORATE01)\n";
    QTest::newRow("masters")
        << QStringList{"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"}
        << "1 generated code differs from the usual rule because its code was taken:\n  " + code;
    QTest::newRow("masters --json")
        << QStringList{"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes", "--json"}
        << QString();
    QTest::newRow("schedule --masters")
        << QStringList{"schedule", "--masters"}
        << "  1 generated code differs from the usual rule because its code was taken:\n    " +
               code;
    QTest::newRow("schedule --masters --json")
        << QStringList{"schedule", "--masters", "--json"} << QString();
}

void TestBatchExport::reportsListGeneratedCodesThatDifferFromTheRule() {
    QFETCH(QStringList, command);
    QFETCH(QString, listed);
    for (const QString code : {"CORPORATE01", "CORPORATE02"})
        InsertRow(data->dbApp, "MAS_CUSTOMER",
                  {{"M_CODE", code}, {"M_DESC", code}, {"M_EXPORT_ACCT", "F"}});
    const Run run = batch(command);
    QCOMPARE(run.exitCode, 0);
    if (!listed.isEmpty()) {
        QVERIFY2(run.out.contains(listed), qPrintable(run.out));
        return;
    }
    QJsonObject report = QJsonDocument::fromJson(run.out.toUtf8()).object();
    if (command.first() == "schedule") {
        for (const QJsonValue kind : report["kinds"].toArray())
            if (kind["kind"].toString() == "AR_CUSTOMER")
                report = kind.toObject();
    }
    QCOMPARE(report["adjustedCodes"].toArray(),
             (QJsonArray{QJsonObject{{"master", "CORPORATE02"},
                                     {"ruleCode", "300-ORATE0"},
                                     {"code", "300-ORATE0-2"},
                                     {"reason", "300-ORATE0 is held by customer CORPORATE01"}}}));
}

void TestBatchExport::failingSaveStopsAndRepeatPostsEachDocumentOnce() {
    QCOMPARE(batch({"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"}).exitCode,
             0);
    QCOMPARE(batch({"search", "SL_IV"}).exitCode, 0);
    QCOMPARE(batch({"tick", "SL_IV", "all"}).exitCode, 0);

    Run stopped = batch({"export", "SL_IV"}, "Save:2:Disk full");
    QCOMPARE(stopped.exitCode, 4);
    // The error on standard error, the report on standard output.
    QVERIFY2(stopped.err.startsWith("zantro-batch: IV-2: error: ") &&
                 stopped.err.contains("Disk full"),
             qPrintable(stopped.err));
    QVERIFY2(stopped.out.contains("IV-1: posted") && !stopped.out.contains("Disk full"),
             qPrintable(stopped.out));
    QVERIFY(stopped.out.contains(
        "SL_IV: 1 posted, 0 nothing to post, 0 already in the accounting package, of 3 "
        "ticked (stopped by the error)"));
    QCOMPARE(PackageDocumentNumbers(context->folder()).size(), 1);
    // The help names the status such an error gives.
    const Run help = batch({"export", "--help"});
    QVERIFY2(
        help.out.contains(
            QString("An error stops the run at its document (status %1)").arg(stopped.exitCode)),
        qPrintable(help.out));

    Run again = batch({"export", "SL_IV"});
    QCOMPARE(again.exitCode, 0);
    QVERIFY2(again.out.contains("Left to export: 0"), qPrintable(again.out));
    QCOMPARE(PackageDocumentNumbers(context->folder()), (QStringList{"IV-1", "IV-2", "IV-3"}));
    QCOMPARE(SelectValue(data->dbStk, "SELECT COUNT(*) FROM STK_MLEDGER WHERE S_EXPORT_ACCT = 'T'")
                 .toInt(),
             3);
}

void TestBatchExport::jsonReportAndNothingTicked() {
    Run nothing = batch({"export", "SL_IV"});
    QCOMPARE(nothing.exitCode, 0);
    QCOMPARE(nothing.out.trimmed(), QStringLiteral("No Data to Export"));

    QCOMPARE(batch({"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"}).exitCode,
             0);
    batch({"search", "SL_IV"});
    batch({"tick", "SL_IV", "all"});
    Run json = batch({"export", "SL_IV", "--json"});
    QCOMPARE(json.exitCode, 0);
    const QJsonObject report = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(report["kind"].toString(), QStringLiteral("SL_IV"));
    QCOMPARE(report["ticked"].toInt(), 3);
    QCOMPARE(report["posted"].toInt(), 3);
    QCOMPARE(report["completed"].toBool(), true);
    QCOMPARE(report["leftToExport"].toInt(), 0);
    QCOMPARE(report["documents"].toArray().size(), 3);
    QCOMPARE(report["documents"].toArray().first()["result"].toString(), QStringLiteral("posted"));
    QCOMPARE(report["company"].toString(), QStringLiteral("ZANTRO DEMO SDN BHD"));
    QCOMPARE(report["packageBuild"].toString(), QStringLiteral("5.2024.1007.860"));
    QCOMPARE(report["differing"].toInt(), 0);
}

// A posted document whose total in the package differs from the source's: the report says which
// and by how much, the command ends with status 3, and reconcile counts it.
void TestBatchExport::readBackDifferenceGivesStatus3AndIsReconciled() {
    data->dbStk.execute("UPDATE STK_MLEDGER SET S_NETTOTAL = 110 WHERE S_ID = '2'");
    QCOMPARE(batch({"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"}).exitCode,
             0);
    batch({"search", "SL_IV"});
    batch({"tick", "SL_IV", "all"});
    const Run run = batch({"export", "SL_IV"});
    QCOMPARE(run.exitCode, 3);
    for (const char* line :
         {"Accounting package: ZANTRO DEMO SDN BHD (build 5.2024.1007.860)\n",
          "IV-2: posted; the package's total 106.00 differs from the source's 110.00 by 4.00\n",
          "SL_IV: 3 posted, 0 nothing to post, 0 already in the accounting package, of 3 ticked; 1 "
          "differing from the source when read back\n"})
        QVERIFY2(run.out.contains(QLatin1String(line)), qPrintable(run.out));
    QCOMPARE(ledgerDocumentsFlagged("T"), (QStringList{"IV-1", "IV-2", "IV-3"}));
    const Run reconcile = batch({"reconcile", "--from", "2024/03/01", "--to", "2024/03/31"});
    QCOMPARE(reconcile.exitCode, 0);
    QVERIFY2(reconcile.out.contains("Differing: 1 posted documents"), qPrintable(reconcile.out));
}

// A login the package refuses is an error of the run: status 4, the text names the login (not
// the password), and nothing is journalled against a document.
void TestBatchExport::refusedPackageLoginStopsTheRunWithStatus4() {
    QCOMPARE(batch({"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"}).exitCode,
             0);
    batch({"search", "SL_IV"});
    batch({"tick", "SL_IV", "all"});
    SettingsFile().writeString("SQLACC", "PASSWORD", "WRONG");
    const Run run = batch({"export", "SL_IV"});
    QCOMPARE(run.exitCode, 4);
    const QString said = run.out + run.err;
    QVERIFY2(said.contains("The accounting package refused the login (user ADMIN, data "
                           "collection file " +
                           context->path("Package/DEFAULT.DCF") +
                           ", database ACC-0001.FDB): Login failed: invalid user name or password"),
             qPrintable(said));
    QVERIFY(!said.contains("WRONG"));
    QCOMPARE(SelectValue(data->dbStk, "SELECT COUNT(*) FROM ACC_POST_JOURNAL").toInt(), 0);
    QCOMPARE(PackageDocumentNumbers(context->folder()), QStringList());
}

QStringList TestBatchExport::ledgerDocumentsFlagged(const QString& flag) {
    QStringList numbers;
    RowReader reader(
        data->dbStk,
        "SELECT M.S_AR_INVOICE_NO FROM STK_MLEDGER M WHERE M.S_EXPORT_ACCT = ? AND NOT "
        "EXISTS (SELECT 1 FROM STK_SLEDGER L WHERE L.S_ID = M.S_ID AND "
        "L.S_EXPORT_ACCT <> M.S_EXPORT_ACCT)",
        {flag});
    while (reader.next())
        numbers << reader.value(0).toString();
    numbers.sort();
    return numbers;
}

QStringList TestBatchExport::journalled(const QString& outcome) {
    QStringList numbers;
    RowReader reader(data->dbStk, "SELECT J_DOCNO FROM ACC_POST_JOURNAL WHERE J_OUTCOME = ?",
                     {outcome});
    while (reader.next())
        numbers << reader.value(0).toString();
    numbers.sort();
    return numbers;
}

void TestBatchExport::anotherRunHoldsTheLockUntilItsProcessDies() {
    QProcess holder;
    holder.setProcessEnvironment(environment());
    holder.start(QCoreApplication::applicationDirPath() + "/hold-export-lock", {});
    QVERIFY(holder.waitForReadyRead(30000));
    const QString held = QString::fromLocal8Bit(holder.readLine()).trimmed();
    QVERIFY2(held.startsWith("held "), qPrintable(held));
    const QString holderRun = held.mid(5);

    // Refused at once, whichever command posts, naming who holds the lock.
    for (const QStringList& command : {QStringList{"export", "SL_IV"}, QStringList{"schedule"},
                                       QStringList{"masters", "ST_ITEM", "--selection", "ALL"}}) {
        const Run refused = batch(command);
        QCOMPARE(refused.exitCode, 6);
        QVERIFY2(refused.err.contains("Another export run is in progress: started by HOLDER on ") &&
                     refused.err.contains(
                         QString("(hold-export-lock test, process %1)").arg(holder.processId())),
                 qPrintable(refused.err));
    }
    // Searching and ticking post nothing and need no lock; a dry run changes nothing.
    QCOMPARE(batch({"search", "SL_IV"}).exitCode, 0);
    QCOMPARE(batch({"schedule", "--dry-run"}).exitCode, 0);

    holder.kill(); // no chance to release anything
    QVERIFY(holder.waitForFinished(10000));
    const Run next = batch({"export", "SL_IV"});
    QCOMPARE(next.exitCode, 0);
    QVERIFY2(next.err.contains("Took over the export lock of the run started by HOLDER on ") &&
                 next.err.contains("which ended without releasing it"),
             qPrintable(next.err));
    QCOMPARE(SelectValue(data->dbStk, "SELECT R_OUTCOME FROM ACC_EXPORT_RUN WHERE R_RUN_ID = ?",
                         {holderRun})
                 .toString(),
             QStringLiteral("ABANDONED"));
    // The lock went with the run that took it over.
    QVERIFY(batch({"export", "SL_IV"}).err.isEmpty());
}

int TestBatchExport::journalSize() {
    return SelectValue(data->dbStk, "SELECT COUNT(*) FROM ACC_POST_JOURNAL").toInt();
}

// Invoices IV-100 onwards of two lines each, beside the three of every test.
void TestBatchExport::addInvoices(int count) {
    Transaction inserts(data->dbStk);
    for (int i = 100; i < 100 + count; ++i) {
        const QString id = QString::number(i);
        InsertRow(data->dbStk, "STK_MLEDGER",
                  With(LedgerRow("SL_IV", id), {{"S_AR_INVOICE_NO", "IV-" + id}}));
        for (int seq = 1; seq <= 2; ++seq)
            InsertRow(data->dbStk, "STK_SLEDGER",
                      With(LedgerLineRow(id, seq),
                           {{"S_PRICE", 50.0}, {"S_TOTAL", 50.0}, {"S_TAX_AMT", 3.0}}));
    }
    inserts.commit();
}

void TestBatchExport::scheduleStoppedByAnErrorSaysItOnStandardError() {
    // The package refuses the first record of the masters that go first.
    const Run stopped = batch({"schedule", "--masters"}, "Save:1:Disk full");
    QCOMPARE(stopped.exitCode, 4);
    QVERIFY2(stopped.err.contains("zantro-batch: AR_CUSTOMER: error: ") &&
                 stopped.err.contains("Disk full"),
             qPrintable(stopped.err));
    QVERIFY2(stopped.out.contains("AR_CUSTOMER: ") &&
                 stopped.out.contains("(stopped by an error)") &&
                 !stopped.out.contains("Disk full"),
             qPrintable(stopped.out));
}

void TestBatchExport::stopSignalFinishesTheDocumentInHand_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<int>("after");
    QTest::newRow("SIGTERM after the first document") << int(SIGTERM) << 1;
    QTest::newRow("SIGINT after a few") << int(SIGINT) << 40;
    QTest::newRow("SIGTERM half-way") << int(SIGTERM) << 150;
    QTest::newRow("SIGHUP near the end") << int(SIGHUP) << 280;
}

// A scheduled run of a few hundred documents stopped by a signal: every document is posted,
// flagged and journalled, or none of the three; the next run sends the rest, each once.
void TestBatchExport::stopSignalFinishesTheDocumentInHand() {
    QFETCH(int, signalNumber);
    QFETCH(int, after);
    QCOMPARE(batch({"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"}).exitCode,
             0);
    data->dbStk.execute("UPDATE ACC_STATION_JOB SET P_STATUS = 'S' WHERE P_STORE = 'S001' AND "
                        "P_FILE = 'DELIVE'");
    constexpr int kDocuments = 300;
    addInvoices(kDocuments - 3);

    QProcess run;
    run.setProcessEnvironment(environment());
    run.start(qEnvironmentVariable("ZANTRO_BIN_DIR") + "/zantro-batch",
              {"--user", "BATCH", "schedule", "--json"});
    QVERIFY(run.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(journalSize() >= after || run.state() != QProcess::Running, 60000);
    QVERIFY2(run.state() == QProcess::Running, "the run ended before the signal could be sent");
    ::kill(pid_t(run.processId()), signalNumber);
    QVERIFY(run.waitForFinished(30000));
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    QCOMPARE(run.exitCode(), 5);
    const QJsonObject report = QJsonDocument::fromJson(run.readAllStandardOutput()).object();
    QCOMPARE(report["stopped"].toBool(), true);
    QCOMPARE(report["signal"].toString(), QString(StopSignals::SignalName(signalNumber)));

    const QStringList posted = PackageDocumentNumbers(context->folder());
    QVERIFY2(posted.size() >= after && posted.size() < kDocuments,
             qPrintable(QString::number(posted.size())));
    QCOMPARE(ledgerDocumentsFlagged("T"), posted);
    QCOMPARE(journalled("POSTED"), posted);
    QCOMPARE(ledgerDocumentsFlagged("F").size() + posted.size(), kDocuments);
    const QJsonArray kinds = report["kinds"].toArray();
    const auto invoices = std::find_if(kinds.begin(), kinds.end(), [](const QJsonValue& kind) {
        return kind[QStringLiteral("kind")].toString() == QLatin1String("SL_IV");
    });
    QVERIFY(invoices != kinds.end());
    QCOMPARE((*invoices)[QStringLiteral("posted")].toInt(), posted.size());
    QCOMPARE(kinds.last()["kind"].toString(), QStringLiteral("SL_IV")); // stopped there

    const Run rest = batch({"schedule"});
    QCOMPARE(rest.exitCode, 0);
    QCOMPARE(PackageDocumentNumbers(context->folder()).size(), kDocuments);
    QCOMPARE(ledgerDocumentsFlagged("T").size(), kDocuments);
    QCOMPARE(journalled("POSTED"), PackageDocumentNumbers(context->folder()));
}

void TestBatchExport::signalDuringTheClosingSearchEndsAsFinished_data() {
    QTest::addColumn<QStringList>("command");
    QTest::newRow("export") << QStringList{"export", "SL_IV", "--json"};
    QTest::newRow("schedule") << QStringList{"schedule", "--json"};
}

// A stop signal that comes once every document is posted, while the search after the run goes
// on, stops nothing: the run ends as a finished run. The test holds a row of the work table, so
// the closing search waits for it until the signal has come.
void TestBatchExport::signalDuringTheClosingSearchEndsAsFinished() {
    QFETCH(QStringList, command);
    const bool schedule = command.first() == "schedule";
    QCOMPARE(batch({"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"}).exitCode,
             0);
    // The invoices of S001 are the only kind sent by schedule.
    data->dbStk.execute("UPDATE ACC_STATION_JOB SET P_STATUS = 'RM'");
    data->dbStk.execute("UPDATE ACC_STATION_JOB SET P_STATUS = 'MS' WHERE P_STORE = 'S001' AND "
                        "P_FILE = 'DELIVE'");
    constexpr int kDocuments = 200;
    addInvoices(kDocuments - 3);
    if (!schedule) {
        QCOMPARE(batch({"search", "SL_IV"}).exitCode, 0);
        QCOMPARE(batch({"tick", "SL_IV", "all"}).exitCode, 0);
    }

    DbConnection holder(QStringLiteral("RowHolder"), QStringLiteral("ZantStk"));
    std::optional<Transaction> holding;
    const auto holdRow = [&] {
        holding.emplace(holder);
        QCOMPARE(holder.execute("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = S_EXPORT_ACCT WHERE "
                                "S_MODULE = 'SL_IV' AND S_ID = '150'"),
                 1);
    };
    if (!schedule)
        holdRow();

    QProcess run;
    run.setProcessEnvironment(environment());
    run.start(qEnvironmentVariable("ZANTRO_BIN_DIR") + "/zantro-batch",
              QStringList{"--user", "BATCH"} + command);
    QVERIFY(run.waitForStarted(10000));
    if (schedule) {
        // Its own search has filled the work table once it posts.
        QTRY_VERIFY_WITH_TIMEOUT(journalSize() > 0 || run.state() != QProcess::Running, 60000);
        QVERIFY2(journalSize() < kDocuments, "the run posted everything before the row was held");
        holdRow();
    }
    // Every document posted, and the search after them waiting for the row.
    QTRY_VERIFY_WITH_TIMEOUT((journalSize() == kDocuments &&
                              OtherConnectionRunsStatementOn(data->dbStk, "TMP_EXPORT_ACCT")) ||
                                 run.state() != QProcess::Running,
                             120000);
    QVERIFY2(run.state() == QProcess::Running, qPrintable(run.readAllStandardError()));
    ::kill(pid_t(run.processId()), SIGTERM);
    QTest::qWait(300);
    QVERIFY2(run.state() == QProcess::Running, "the signal ended the search");
    holding.reset(); // rolled back: the search goes on

    QVERIFY(run.waitForFinished(60000));
    QCOMPARE(run.exitStatus(), QProcess::NormalExit);
    const QString err = QString::fromLocal8Bit(run.readAllStandardError());
    QCOMPARE(run.exitCode(), 0);
    const QJsonObject report = QJsonDocument::fromJson(run.readAllStandardOutput()).object();
    QCOMPARE(report["stopped"].toBool(), false);
    if (schedule) {
        QCOMPARE(report["status"].toInt(), 0);
        const QJsonArray kinds = report["kinds"].toArray();
        const auto invoices = std::find_if(kinds.begin(), kinds.end(), [](const QJsonValue& kind) {
            return kind[QStringLiteral("kind")].toString() == QLatin1String("SL_IV");
        });
        QVERIFY(invoices != kinds.end());
        QCOMPARE((*invoices)[QStringLiteral("posted")].toInt(), kDocuments);
        QCOMPARE((*invoices)[QStringLiteral("left")].toInt(), 0);
    } else {
        QCOMPARE(report["completed"].toBool(), true);
        QCOMPARE(report["leftToExport"].toInt(), 0);
    }
    QVERIFY2(err.contains("SIGTERM came after the run had handled every document; it ended as a "
                          "finished run."),
             qPrintable(err));
    QCOMPARE(PackageDocumentNumbers(context->folder()).size(), kDocuments);
    QCOMPARE(ledgerDocumentsFlagged("T").size(), kDocuments);
}

// check prints each problem with its document and remedy and exits 3 while any document would be
// refused; once the customers are in the package every document is ready (status 0). Nothing is
// posted and the ticks stay.
void TestBatchExport::checkNamesEachProblemAndExitsThreeUntilAllAreReady() {
    QCOMPARE(batch({"search", "SL_IV"}).exitCode, 0);
    QCOMPARE(batch({"tick", "SL_IV", "all"}).exitCode, 0);
    const Run refused = batch({"check", "SL_IV"});
    QCOMPARE(refused.exitCode, 3);
    const QString line = QStringLiteral(": customer \"C001\" has no debtor code - export the "
                                        "Customer Profile first and let it generate the missing "
                                        "codes (this customer gets \"300-C001\")\n");
    QCOMPARE(refused.out, "IV-1" + line + "IV-2" + line + "IV-3" + line +
                              "SL_IV: 3 documents checked: 0 ready, 3 would be refused; 3 need "
                              "the Customer Profile exported first\n");
    QVERIFY(PackageDocumentNumbers(context->folder()).isEmpty());

    QCOMPARE(batch({"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"}).exitCode,
             0);
    const Run ready = batch({"check", "SL_IV", "--json"});
    QCOMPARE(ready.exitCode, 0);
    const QJsonObject report = QJsonDocument::fromJson(ready.out.toUtf8()).object();
    QCOMPARE(report["checked"].toInt(), 3);
    QCOMPARE(report["ready"].toInt(), 3);
    QCOMPARE(report["documents"].toArray().size(), 0);
    QVERIFY(PackageDocumentNumbers(context->folder()).isEmpty());
    QCOMPARE(SelectValue(data->dbStk, "SELECT COUNT(*) FROM TMP_EXPORT_ACCT WHERE S_MODULE = "
                                      "'SL_IV' AND S_EXPORT_ACCT = 'T'")
                 .toInt(),
             3);
}

QTEST_GUILESS_MAIN(TestBatchExport)
#include "test_batch_export.moc"
