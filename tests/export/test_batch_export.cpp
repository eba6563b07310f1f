// zantro-batch's export and masters commands end to end: separate processes posting into the
// stand-in package of a test installation.
#include "config/settings_file.h"
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
    void failingSaveStopsAndRepeatPostsEachDocumentOnce();
    void jsonReportAndNothingTicked();

private:
    Run batch(const QStringList& arguments, const QString& fault = QString());
    QStringList packageDocuments();
    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
};

void TestBatchExport::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    CreatePackageDatabase(context->path("Package/DEFAULT.DCF"), context->path("Package"),
                          QStringLiteral("ACC-0001.FDB"), QStringLiteral("ADMIN"),
                          QStringLiteral("ADMIN"));
    SettingsFile settings;
    settings.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
    settings.writeString("SQLACC", "DCF", context->path("Package/DEFAULT.DCF"));
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    InsertRow(data->dbApp, "MAS_USER",
              {{"M_CODE", "BATCH"},
               {"M_DESC", "Night run"},
               {"M_USERGROUP", "ACC"},
               {"M_PASSWORD", "SECRET"},
               {"M_ACTIVE", "T"},
               {"M_DATEFROM", At(2000, 1, 1, 0, 0)},
               {"M_DATETO", At(2000, 1, 1, 23, 59, 59)}});
    InsertRow(data->dbSys, "MAS_USERGROUPACCESS", {{"M_CODE", "ACC"}, {"M_ACCESS", "ACCTLI"}});
    InsertRow(data->dbApp, "MAS_CUSTOMER",
              {{"M_CODE", "C001"}, {"M_DESC", "Corner shop"}, {"M_EXPORT_ACCT", "F"}});
    AddStationJobs(data->dbStk);
    for (const QString id : {"1", "2", "3"}) {
        InsertRow(data->dbStk, "STK_MLEDGER",
                  With(LedgerRow("SL_IV", id), {{"S_AR_INVOICE_NO", "IV-" + id}}));
        InsertRow(data->dbStk, "STK_SLEDGER",
                  {{"S_ID", id},
                   {"S_SEQ", 1},
                   {"S_PLUCODE", "P1"},
                   {"S_QTY", 1.0},
                   {"S_PRICE", 100.0},
                   {"S_TOTAL", 100.0},
                   {"S_TAX_CODE", "SR"},
                   {"S_TAX_AMT", 6.0},
                   {"S_EXPORT_ACCT", "F"}});
    }
}

void TestBatchExport::cleanup() {
    data.reset();
    context.reset();
}

Run TestBatchExport::batch(const QStringList& arguments, const QString& fault) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZANTRO_HOME", context->folder());
    environment.insert("ZANTRO_PASSWORD", "SECRET");
    environment.remove("ZANTRO_STANDIN_FAIL");
    if (!fault.isEmpty())
        environment.insert("ZANTRO_STANDIN_FAIL", fault);
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("ZANTRO_BIN_DIR") + "/zantro-batch",
                  QStringList{"--user", "BATCH"} + arguments);
    if (!process.waitForFinished(60000))
        qFatal("zantro-batch did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QStringList TestBatchExport::packageDocuments() {
    QStringList numbers;
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()));
    for (const QJsonValue document : dump["documents"].toArray())
        numbers << document["DOCNO"].toString();
    numbers.sort();
    return numbers;
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

void TestBatchExport::failingSaveStopsAndRepeatPostsEachDocumentOnce() {
    QCOMPARE(batch({"masters", "AR_CUSTOMER", "--selection", "ALL", "--generate-codes"}).exitCode,
             0);
    QCOMPARE(batch({"search", "SL_IV"}).exitCode, 0);
    QCOMPARE(batch({"tick", "SL_IV", "all"}).exitCode, 0);

    Run stopped = batch({"export", "SL_IV"}, "Save:2:Disk full");
    QCOMPARE(stopped.exitCode, 4);
    QVERIFY2(stopped.out.contains(": posted") && stopped.out.contains("error: ") &&
                 stopped.out.contains("Disk full"),
             qPrintable(stopped.out));
    QVERIFY(stopped.out.contains(
        "SL_IV: 1 posted, 0 nothing to post, 0 already in the accounting package, of 3 "
        "ticked (stopped by the error)"));
    QCOMPARE(packageDocuments().size(), 1);

    Run again = batch({"export", "SL_IV"});
    QCOMPARE(again.exitCode, 0);
    QVERIFY2(again.out.contains("Left to export: 0"), qPrintable(again.out));
    QCOMPARE(packageDocuments(), (QStringList{"IV-1", "IV-2", "IV-3"}));
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
}

QTEST_GUILESS_MAIN(TestBatchExport)
#include "test_batch_export.moc"
