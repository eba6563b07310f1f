// zantro-batch end to end: the program run as a process on a test installation.
#include "data/connection.h"
#include "data/dm_polling.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QDir>
#include <QFile>
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

class TestBatchCommand : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void wrongUseIsExitStatus2_data();
    void wrongUseIsExitStatus2();
    void helpOfEachCommand_data();
    void helpOfEachCommand();
    void refusedLoginIsExitStatus1_data();
    void refusedLoginIsExitStatus1();
    void searchPrintsRowsAndCount();
    void rangeSearchAndReceivables();
    void tickListAndClear();
    void loginIsWrittenToTheActivityLog();
    void unusableGstStartIsAnError();
    void accountTypeOtherThanSqlAcc_data();
    void accountTypeOtherThanSqlAcc();
    void installationFilesFoundWhateverTheirCase();
    void einvoiceCheckOfAMonth();

private:
    Run batch(const QStringList& arguments, const QString& password = QStringLiteral("SECRET"));
    void writeFile(const QString& name, const QByteArray& text) {
        QFile file(context->path(name));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
};

void TestBatchCommand::initTestCase() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    DbConnection app(QStringLiteral("Setup"), QStringLiteral("ZantApp"));
    DbConnection sys(QStringLiteral("Setup"), QStringLiteral("ZantSys"));
    const QVariantHash user{{"M_CODE", "BATCH"},
                            {"M_DESC", "Night run"},
                            {"M_USERGROUP", "ACC"},
                            {"M_PASSWORD", "SECRET"},
                            {"M_ACTIVE", "T"},
                            {"M_DATEFROM", At(2000, 1, 1, 0, 0)},
                            {"M_DATETO", At(2000, 1, 1, 23, 59, 59)}};
    InsertRow(app, "MAS_USER", user);
    InsertRow(app, "MAS_USER", With(user, {{"M_CODE", "IDLE"}, {"M_ACTIVE", "F"}}));
    InsertRow(app, "MAS_USER", With(user, {{"M_CODE", "SHOP"}, {"M_USERGROUP", "SHOP"}}));
    InsertRow(sys, "MAS_USERGROUPACCESS", {{"M_CODE", "ACC"}, {"M_ACCESS", "ACCTLI"}});
    InsertRow(sys, "MAS_USERGROUPACCESS", {{"M_CODE", "SHOP"}, {"M_ACCESS", "POS"}});
}

void TestBatchCommand::cleanupTestCase() {
    data.reset();
    context.reset();
}

void TestBatchCommand::init() {
    WipeTables(*data);
    AddStationJobs(data->dbStk);
    writeFile("Ledvora.ini", "[GENERAL]\r\nACCOUNT_TYPE=SQLACC\r\nGSTSTARTDATE=2024/03/10\r\n");
}

Run TestBatchCommand::batch(const QStringList& arguments, const QString& password) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZANTRO_HOME", context->folder());
    environment.insert("ZANTRO_PASSWORD", password);
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("ZANTRO_BIN_DIR") + "/zantro-batch", arguments);
    if (!process.waitForFinished(60000))
        qFatal("zantro-batch did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

void TestBatchCommand::wrongUseIsExitStatus2_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("problem");
    QTest::newRow("nothing") << QStringList() << "no command given";
    QTest::newRow("unknown command")
        << QStringList{"--user", "BATCH", "export-all"} << "unknown command \"export-all\"";
    QTest::newRow("no user") << QStringList{"search", "SL_CS"} << "--user CODE is missing";
    QTest::newRow("unknown kind") << QStringList{"--user", "BATCH", "search", "ST_ITEM"}
                                  << "unknown kind \"ST_ITEM\"";
    QTest::newRow("kind missing") << QStringList{"--user", "BATCH", "list"} << "KIND is missing";
    QTest::newRow("bad date") << QStringList{"--user",  "BATCH",     "search", "SL_IV",
                                             "--store", "S001",      "--from", "2024/02/30",
                                             "--to",    "2024/03/31"}
                              << "--from \"2024/02/30\" is not a date of the form yyyy/MM/dd";
    QTest::newRow("day first date")
        << QStringList{"--user", "BATCH",  "search",     "AR_IV", "--customer",
                       "C1",     "--from", "01/03/2024", "--to",  "2024/03/31"}
        << "--from \"01/03/2024\" is not a date";
    QTest::newRow("range without store")
        << QStringList{"--user", "BATCH",      "search", "PH_PI",
                       "--from", "2024/03/01", "--to",   "2024/03/31"}
        << "--store is missing";
    QTest::newRow("customer range without to")
        << QStringList{"--user",     "BATCH", "search", "AR_DN",
                       "--customer", "C1",    "--from", "2024/03/01"}
        << "--to is missing";
    QTest::newRow("store for receivables")
        << QStringList{"--user", "BATCH", "search", "AR_DN", "--store", "S001"}
        << "AR_DN is searched by --customer, --from and --to only";
    QTest::newRow("references for cash sales")
        << QStringList{"--user", "BATCH", "search", "SL_CS", "--ref-from", "1"}
        << "cash sales have no reference range";
    QTest::newRow("tick without all or none")
        << QStringList{"--user", "BATCH", "tick", "SL_CS"} << "all or none is missing";
    QTest::newRow("einvoice-check without a month")
        << QStringList{"--user", "BATCH", "einvoice-check"} << "--month is missing";
    QTest::newRow("einvoice-check, no such month")
        << QStringList{"--user", "BATCH", "einvoice-check", "--month", "2024/13"}
        << "--month \"2024/13\" is not a month written yyyy/MM";
    QTest::newRow("option without value")
        << QStringList{"--user", "BATCH", "search", "SL_IV", "--store"} << "--store needs a value";
}

void TestBatchCommand::wrongUseIsExitStatus2() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, problem);
    const Run run = batch(arguments);
    QCOMPARE(run.exitCode, 2);
    QVERIFY2(run.err.startsWith("zantro-batch: " + problem), qPrintable(run.err));
    QVERIFY2(run.err.contains("Usage: zantro-batch --user CODE"), qPrintable(run.err));
    QVERIFY(run.out.isEmpty());
}

void TestBatchCommand::helpOfEachCommand_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("expected");
    QTest::newRow("program") << QStringList{"--help"} << "  tick KIND all|none\n";
    for (const char* command : {"search", "tick", "clear", "list"})
        QTest::newRow(command) << QStringList{command, "--help"}
                               << QStringLiteral("Usage: zantro-batch --user CODE %1 KIND")
                                      .arg(QLatin1String(command));
}

void TestBatchCommand::helpOfEachCommand() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, expected);
    const Run run = batch(arguments);
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.contains(expected), qPrintable(run.out));
    QVERIFY(run.err.isEmpty());
}

void TestBatchCommand::refusedLoginIsExitStatus1_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message");
    QTest::newRow("wrong password") << "BATCH"
                                    << "WRONG"
                                    << "Invalid User Code or Password ! Please try again.";
    QTest::newRow("unknown user") << "NOBODY"
                                  << "SECRET"
                                  << "Invalid User Code or Password ! Please try again.";
    QTest::newRow("inactive") << "IDLE"
                              << "SECRET"
                              << "Non Active";
    QTest::newRow("group without the right")
        << "SHOP"
        << "SECRET"
        << "Access Denied ! User was not allow to entry this section (LEVEL).";
}

void TestBatchCommand::refusedLoginIsExitStatus1() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, message);
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV"));
    const Run run = batch({"--user", user, "search", "SL_IV"}, password);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, message + "\n");
    QVERIFY(run.out.isEmpty());
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), QStringList());
}

void TestBatchCommand::searchPrintsRowsAndCount() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", "IV1"));
    InsertRow(
        data->dbStk, "STK_MLEDGER",
        With(LedgerRow("SL_IV", "IV2"),
             {{"S_AR_INVOICE_NO", "IV-501"}, {"S_TOTAL", 1234.5}, {"S_DATE", At(2024, 3, 21)}}));
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_CN", "CN1"));
    // The user code and password are taken in upper case, as the login window takes them.
    const Run run = batch({"--user", "batch", "search", "SL_IV"}, "secret");
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
    const QStringList lines = run.out.split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QVERIFY2(lines.at(0).startsWith("Select  Store  Doc. No.  Doc. Date"), qPrintable(lines.at(0)));
    QVERIFY2(lines.at(1).startsWith("[ ]     S001   IV-500    20/03/2024"), qPrintable(run.out));
    QVERIFY2(lines.at(2).contains("1,234.50"), qPrintable(lines.at(2)));
    QCOMPARE(lines.at(3), QStringLiteral("Total Record: 2"));
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), (QStringList{"IV1", "IV2"}));

    // --count searches the same and prints only the count; for the AR kinds too.
    QCOMPARE(batch({"--user", "BATCH", "search", "SL_IV", "--count"}).out,
             QStringLiteral("Total Record: 2\n"));
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), (QStringList{"IV1", "IV2"}));
    InsertRow(data->dbAR, "AR_TRANS", ReceivableRow("AR_CN"));
    InsertRow(data->dbAR, "AR_TRANS", With(ReceivableRow("AR_CN"), {{"TD_SEQ", 2}}));
    QCOMPARE(batch({"--user", "BATCH", "search", "AR_CN", "--count"}).out,
             QStringLiteral("Total Record: 1\n"));
    // --json: the same search, reported as the kind, the rows and the time it took.
    const QJsonObject report =
        QJsonDocument::fromJson(
            batch({"--user", "BATCH", "search", "SL_IV", "--json"}).out.toUtf8())
            .object();
    QCOMPARE(report.value("kind").toString(), QStringLiteral("SL_IV"));
    QCOMPARE(report.value("rows").toInt(), 2);
    QVERIFY(report.value("searchSeconds").toDouble() > 0);
}

void TestBatchCommand::rangeSearchAndReceivables() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("PH_PI", "P1"));
    InsertRow(data->dbStk, "STK_MLEDGER",
              With(LedgerRow("PH_PI", "P2"), {{"S_DATE", At(2024, 4, 2)}}));
    Run run =
        batch({"--user", "BATCH", "search", "PH_PI", "--store", "S001", "--from", "2024/03/01",
               "--to", "2024/03/31", "--ref-from", "0000000500", "--ref-to", "0000000500"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.endsWith("Total Record: 1\n"), qPrintable(run.out));

    InsertRow(data->dbAR, "AR_TRANS", ReceivableRow("AR_CN"));
    InsertRow(data->dbAR, "AR_TRANS", With(ReceivableRow("AR_CN"), {{"TD_SEQ", 2}}));
    run = batch({"--user", "BATCH", "search", "AR_CN", "--customer", "C001", "--from", "2024/03/01",
                 "--to", "2024/03/31"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.endsWith("Total Record: 1\n"), qPrintable(run.out));

    // A to-date before the from-date finds nothing and says so.
    run = batch({"--user", "BATCH", "search", "AR_CN", "--customer", "C001", "--from", "2024/03/31",
                 "--to", "2024/03/01"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.startsWith("No documents found: the to-date 01/03/2024 is earlier than the "
                                "from-date 31/03/2024.\n"),
             qPrintable(run.out));
    QVERIFY(run.out.endsWith("Total Record: 0\n"));

    // With --json the message goes to standard error: standard output is the report alone.
    run = batch({"--user", "BATCH", "search", "AR_CN", "--customer", "C001", "--from", "2024/03/31",
                 "--to", "2024/03/01", "--json"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(QJsonDocument::fromJson(run.out.toUtf8()).object().value("rows").toInt(-1), 0);
    QVERIFY2(run.err.contains("No documents found"), qPrintable(run.err));
}

void TestBatchCommand::tickListAndClear() {
    InsertRow(data->dbStk, "POS_SALES", ReceiptRow());
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("PH_SC"));
    QCOMPARE(batch({"--user", "BATCH", "search", "SL_CS"}).exitCode, 0);
    QCOMPARE(batch({"--user", "BATCH", "search", "PH_SC"}).exitCode, 0);

    Run run = batch({"--user", "BATCH", "tick", "SL_CS", "all"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QStringLiteral("Ticked: 1 rows of SL_CS\n"));
    run = batch({"--user", "BATCH", "list", "SL_CS"});
    QVERIFY2(run.out.contains("[x]     S001   000012345  20/03/2024"), qPrintable(run.out));
    QVERIFY(run.out.endsWith("Total Record: 1\n"));

    run = batch({"--user", "BATCH", "clear", "SL_CS"});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(WorkColumn(data->dbStk, "SL_CS", "S_ID"), QStringList());
    QCOMPARE(WorkColumn(data->dbStk, "PH_SC", "S_ID"), QStringList{"L1"});
    run = batch({"--user", "BATCH", "list", "SL_CS"});
    QVERIFY(run.out.endsWith("Total Record: 0\n"));
}

void TestBatchCommand::loginIsWrittenToTheActivityLog() {
    writeFile("Register.ini", "[REPORT]\r\nSTOCKW_LOG=1\r\n");
    const auto removeRegister = qScopeGuard([&] { QFile::remove(context->path("Register.ini")); });
    const QDate today = QDate::currentDate();
    const Run run = batch({"--user", "BATCH", "list", "AR_PM"});
    QCOMPARE(run.exitCode, 0);
    QFile log(context->path(QStringLiteral("Log/Stock/%1/Stock-%2.000")
                                .arg(today.toString("yyyy/MM"), today.toString("yyyyMMdd"))));
    QVERIFY2(log.open(QIODevice::ReadOnly), qPrintable(log.fileName()));
    const QString text = QString::fromLatin1(log.readAll());
    QVERIFY2(text.contains("[BATCH.] Please type in your ID and password.......... : {Login     } "
                           "# "),
             qPrintable(text));
}

void TestBatchCommand::unusableGstStartIsAnError() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV"));
    QCOMPARE(batch({"--user", "BATCH", "search", "SL_IV"}).exitCode, 0);
    writeFile("Ledvora.ini", "[GENERAL]\r\nACCOUNT_TYPE=SQLACC\r\nGSTSTARTDATE=2024-03-10\r\n");
    const Run run = batch({"--user", "BATCH", "search", "SL_IV"});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("GSTSTARTDATE") && run.err.contains("\"2024-03-10\""),
             qPrintable(run.err));
    // Nothing was deleted.
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), QStringList{"L1"});
}

void TestBatchCommand::accountTypeOtherThanSqlAcc_data() {
    QTest::addColumn<QByteArray>("typeLine");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<QString>("found"); // empty: the command runs
    QTest::newRow("UBS: search") << QByteArray("ACCOUNT_TYPE=UBS\r\n")
                                 << QStringList{"search", "SL_IV"} << "the account type is \"UBS\"";
    QTest::newRow("lower case: export")
        << QByteArray("ACCOUNT_TYPE=sqlacc\r\n") << QStringList{"export", "SL_IV"}
        << "the account type is \"sqlacc\"";
    QTest::newRow("empty: tick") << QByteArray("ACCOUNT_TYPE=\r\n")
                                 << QStringList{"tick", "SL_IV", "none"}
                                 << "the account type is empty";
    QTest::newRow("missing: masters")
        << QByteArray() << QStringList{"masters", "AP_SUPPLIER", "--selection", "ALL"}
        << "no account type is set";
    QTest::newRow("ACCPAC: schedule")
        << QByteArray("ACCOUNT_TYPE=ACCPAC\r\n") << QStringList{"schedule"}
        << "the account type is \"ACCPAC\"";
    // Blanks around the value are not part of it, as Windows reads the file.
    QTest::newRow("SQLACC between blanks: search runs")
        << QByteArray("account_type =  SQLACC \r\n") << QStringList{"search", "SL_IV"} << QString();
    QTest::newRow("UBS: list runs")
        << QByteArray("ACCOUNT_TYPE=UBS\r\n") << QStringList{"list", "SL_IV"} << QString();
}

// The window offers its export categories only to SQLACC; the batch command follows it, and a
// refused command leaves the work table, its ticks and the sources as they were.
void TestBatchCommand::accountTypeOtherThanSqlAcc() {
    QFETCH(QByteArray, typeLine);
    QFETCH(QStringList, command);
    QFETCH(QString, found);
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV"));
    QCOMPARE(batch({"--user", "BATCH", "search", "SL_IV"}).exitCode, 0);
    QCOMPARE(batch({"--user", "BATCH", "tick", "SL_IV", "all"}).exitCode, 0);
    writeFile("Ledvora.ini", "[GENERAL]\r\n" + typeLine + "GSTSTARTDATE=2024/03/10\r\n");

    const Run run = batch(QStringList{"--user", "BATCH"} + command);
    if (found.isEmpty()) {
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QVERIFY2(run.out.endsWith("Total Record: 1\n"), qPrintable(run.out));
        return;
    }
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.err, "zantro-batch: " + command.first() + " refused: " + found +
                          " (GENERAL/ACCOUNT_TYPE in " +
                          QDir::toNativeSeparators(context->path("Ledvora.ini")) +
                          "); only \"SQLACC\" can search and export\n");
    QVERIFY(run.out.isEmpty());
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), QStringList{"L1"});
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_EXPORT_ACCT"), QStringList{"T"});
}

// The files of an installation copied from Windows keep the case their names had there.
void TestBatchCommand::installationFilesFoundWhateverTheirCase() {
    const QStringList renamed{"LEDVORA.INI", "databases.ini"};
    QVERIFY(QFile::rename(context->path("Ledvora.ini"), context->path(renamed.at(0))));
    QVERIFY(QFile::rename(context->path("Databases.ini"), context->path(renamed.at(1))));
    writeFile("REGISTER.INI", "[REPORT]\r\nSTOCKW_LOG=1\r\n");
    const auto back = qScopeGuard([&] {
        QFile::remove(context->path("REGISTER.INI"));
        QFile::rename(context->path(renamed.at(0)), context->path("Ledvora.ini"));
        QFile::rename(context->path(renamed.at(1)), context->path("Databases.ini"));
    });
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV"));
    QVERIFY(QDir(context->path("Log")).removeRecursively());

    // SQLACC is read from LEDVORA.INI, the databases found through databases.ini, and the
    // activity log switched on by REGISTER.INI.
    const Run run = batch({"--user", "BATCH", "search", "SL_IV"});
    QCOMPARE(run.exitCode, 0);
    QVERIFY2(run.out.endsWith("Total Record: 1\n"), qPrintable(run.err));
    const QDate today = QDate::currentDate();
    QVERIFY(QFile::exists(
        context->path(QStringLiteral("Log/Stock/%1/Stock-%2.000")
                          .arg(today.toString("yyyy/MM"), today.toString("yyyyMMdd")))));
    for (const char* name : {"Ledvora.ini", "Databases.ini", "Register.ini"})
        QVERIFY2(!QFile::exists(context->path(name)), name);
}

// A month of three stores' receipts with one day left open, one receipt above RM10,000 and one
// gap in the receipt numbers: each is named once, and the month is complete (status 0) once they
// are put right. Voided receipts are neither gaps nor sales; April's open receipt is not March's.
void TestBatchCommand::einvoiceCheckOfAMonth() {
    const auto receipt = [this](const char* store, const char* counter, int number, int day,
                                const char* exported, double amount = 50.0,
                                const char* status = "NS") {
        InsertRow(data->dbStk, "POS_SALES",
                  With(ReceiptRow(), {{"SALES_STORE", store},
                                      {"SALES_CTRNO", counter},
                                      {"SALES_TRANSNO", number},
                                      {"SALES_RCPTNO", number},
                                      {"SALES_DATETIME", At(2024, 3, day, 10, 0, number % 60)},
                                      {"SALES_CLOSEDATE", At(2024, 3, day)},
                                      {"SALES_STATUS", status},
                                      {"SALES_NETSALES", amount},
                                      {"SALES_ROUND_ADJ", 0.0},
                                      {"SALES_EXPORT_ACCT", exported}}));
    };
    for (int number = 100; number <= 104; ++number)
        receipt("S001", "01", number, 4, "T");
    for (int number = 105; number <= 107; ++number)
        receipt("S001", "01", number, 5, "F"); // the day left open
    for (int number : {200, 201, 203})
        receipt("S001", "02", number, 4, "T"); // 202 missing
    receipt("S001", "02", 204, 4, "F", 50.0, "VD");
    receipt("S002", "01", 300, 6, "T", 12000.0); // posted inside its day's summary
    receipt("S002", "01", 301, 6, "T", 25000.0, "VD");
    receipt("S002", "01", 302, 6, "T");
    InsertRow(data->dbStk, "POS_SALES",
              With(ReceiptRow(), {{"SALES_STORE", "S003"},
                                  {"SALES_DATETIME", At(2024, 4, 1, 9)},
                                  {"SALES_CLOSEDATE", At(2024, 4, 1)}}));
    InsertRow(data->dbStk, "ACC_POST_JOURNAL",
              {{"J_RUN_ID", "R1"},
               {"J_SEQ", 1},
               {"J_TIME", At(2024, 3, 7, 8)},
               {"J_MODULE", "SL_CS"},
               {"J_DOCNO", "S002-01-06032024"},
               {"J_OUTCOME", "POSTED"}});

    const Run json = batch({"--user", "BATCH", "einvoice-check", "--month", "2024/03", "--json"});
    QCOMPARE(json.exitCode, 3);
    QVERIFY2(json.err.isEmpty(), qPrintable(json.err));
    const QJsonObject check = QJsonDocument::fromJson(json.out.toUtf8()).object();
    QCOMPARE(check["deadline"].toString(), QStringLiteral("2024/04/07"));
    QCOMPARE(check["daysLeft"].toInt(), int(QDate::currentDate().daysTo(QDate(2024, 4, 7))));
    QCOMPARE(check["complete"].toBool(), false);
    const QJsonArray stores = check["stores"].toArray();
    QCOMPARE(stores.size(), 2);
    const QJsonObject s001 = stores[0].toObject();
    const QJsonObject s002 = stores[1].toObject();
    QCOMPARE(s001["store"].toString(), QStringLiteral("S001"));
    QCOMPARE(s001["openDays"].toArray(), (QJsonArray{QJsonObject{{"day", "2024/03/05"},
                                                                 {"counters", QJsonArray{"01"}},
                                                                 {"receipts", 3},
                                                                 {"amount", 150.0}}}));
    QCOMPARE(s001["gaps"].toArray(), (QJsonArray{QJsonObject{{"counter", "02"},
                                                             {"day", "2024/03/04"},
                                                             {"missing", QJsonArray{"000000202"}},
                                                             {"count", 1}}}));
    QCOMPARE(s001["largeReceipts"].toArray().size(), 0);
    QCOMPARE(s002["largeReceipts"].toArray(),
             (QJsonArray{QJsonObject{{"counter", "01"},
                                     {"receipt", "000000300"},
                                     {"day", "2024/03/06"},
                                     {"amount", 12000.0},
                                     {"posted", "inSummary"},
                                     {"document", "S002-01-06032024"}}}));
    QCOMPARE(s002["openDays"].toArray().size() + s002["gaps"].toArray().size(), 0);

    const Run text = batch({"--user", "BATCH", "einvoice-check", "--month", "2024/03"});
    QCOMPARE(text.exitCode, 3);
    for (const char* line :
         {"Store S001:\n", "  Not all posted: 2024/03/05, counter 01, 3 receipt(s), 150.00\n",
          "  Receipt numbers missing: counter 02, 2024/03/04: 000000202 (1)\n", "Store S002:\n",
          "  Above RM10,000, needs its own e-invoice: counter 01, receipt 000000300 of 2024/03/06, "
          "12,000.00, posted inside the summary S002-01-06032024\n",
          "The month is not complete: 3 point(s) to put right."})
        QVERIFY2(text.out.count(QLatin1String(line)) == 1, qPrintable(text.out));

    data->dbStk.execute("UPDATE POS_SALES SET SALES_EXPORT_ACCT = 'T' WHERE SALES_STORE = 'S001'");
    receipt("S001", "02", 202, 4, "T");
    data->dbStk.execute("DELETE FROM POS_SALES WHERE SALES_RCPTNO = 300");
    const Run complete = batch({"--user", "BATCH", "einvoice-check", "--month", "2024/03"});
    QCOMPARE(complete.exitCode, 0);
    QVERIFY2(complete.out.contains("Store S001: complete.\nStore S002: complete.\n"
                                   "The month is complete.\n"),
             qPrintable(complete.out));
}

QTEST_GUILESS_MAIN(TestBatchCommand)
#include "test_batch_command.moc"
