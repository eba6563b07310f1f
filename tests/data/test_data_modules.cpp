// The three data modules on the back-office schema: what they open, their events and settings.
#include "data/db_error.h"
#include "data/dm_mm_group_access.h"
#include "data/dm_mm_user.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QFile>
#include <QtTest>

class TestDataModules : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void everyTableOpensOnTheSchema();
    void missingBackOfficeTableFailsWithEngineText();
    void linkTablesAreCreatedWhenMissing();
    void reportSettings_data();
    void reportSettings();
    void newStationIsActiveAndSearchCursorFollowsChanges();
    void exportViewsShowOnlyTheirModule();

private:
    void writeRegisterIni(const QByteArray& text) {
        QFile file(context->path(QStringLiteral("Register.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
    std::unique_ptr<TestContext> context;
};

void TestDataModules::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
}

void TestDataModules::cleanup() {
    context.reset();
}

void TestDataModules::everyTableOpensOnTheSchema() {
    TdmMMGroupAccess groupAccess;
    TdmPolling polling;
    TdmMMUser user;
    QVERIFY(groupAccess.qryUser.isActive());
    QVERIFY(groupAccess.qryUserGroup.isActive());
    QVERIFY(groupAccess.tblFileType3.isActive());
    for (Table* table :
         {&polling.tblStore, &polling.tblStation, &polling.tblStationSearch, &polling.tblJob,
          &polling.tblCustomer, &polling.tblSupplier, &polling.tblPayment, &polling.tblStock,
          &polling.tblDateUpdate, &polling.tblPaymentStore})
        QVERIFY2(table->isActive(), qPrintable(table->tableName()));
    // The work table's views wait for a reader: it may hold hundreds of thousands of rows.
    for (const QString& code : TdmPolling::ExportModuleCodes()) {
        QVERIFY(!polling.ExportView(code)->isActive());
        polling.ExportView(code)->open();
        QVERIFY(polling.ExportView(code)->isActive());
    }
    QVERIFY(polling.ExportView(QStringLiteral("ST_ITEM")) == nullptr);
    QVERIFY(!polling.dbAR.isOpen()); // connects on first use only
    QVERIFY(user.tblMMUser.isActive());
}

void TestDataModules::missingBackOfficeTableFailsWithEngineText() {
    {
        DbConnection app(QStringLiteral("Setup"), QStringLiteral("ZantApp"));
        app.execute(QStringLiteral("DROP TABLE MAS_PAYMENT_STORE"));
    }
    try {
        TdmPolling polling;
        QFAIL("the module must not open without its tables");
    } catch (const DbError& error) {
        QVERIFY2(error.message().contains(QStringLiteral("MAS_PAYMENT_STORE")),
                 qPrintable(error.message()));
        QVERIFY(error.message().contains(QStringLiteral("Table unknown")));
    }
}

void TestDataModules::linkTablesAreCreatedWhenMissing() {
    {
        DbConnection stk(QStringLiteral("Setup"), QStringLiteral("ZantStk"));
        stk.execute(QStringLiteral("DROP TABLE TMP_EXPORT_ACCT"));
        stk.execute(QStringLiteral("DROP TABLE ACC_EXPORT_STATUS"));
    }
    TdmPolling polling;
    polling.tblExport_CS.open();
    polling.dbStk.execute(
        QStringLiteral("INSERT INTO TMP_EXPORT_ACCT (S_ID, S_STORE_FROM, S_REFNO, S_MODULE) "
                       "VALUES ('1', 'S001', 'A', 'SL_CS')"));
    // The unique index came back with the table, and the amounts default to 0.
    QVERIFY_THROWS_EXCEPTION(
        DbError, polling.dbStk.execute(QStringLiteral(
                     "INSERT INTO TMP_EXPORT_ACCT (S_ID, S_STORE_FROM, S_REFNO, S_MODULE) "
                     "VALUES ('1', 'S001', 'A', 'SL_CS')")));
    QCOMPARE(
        SelectValue(polling.dbStk,
                    QStringLiteral("SELECT S_BALANCE + S_ROUNDING + S_TOTAL FROM TMP_EXPORT_ACCT"))
            .toDouble(),
        0.0);
    // The statuses of the export runs came back beside it, with their key.
    polling.dbStk.execute(QStringLiteral("INSERT INTO ACC_EXPORT_STATUS (ST_MODULE, ST_ID, "
                                         "ST_STORE, ST_REFNO, ST_OUTCOME) VALUES ('SL_CS', '1', "
                                         "'S001', 'A', 'POSTED')"));
    QVERIFY_THROWS_EXCEPTION(
        DbError, polling.dbStk.execute(QStringLiteral(
                     "INSERT INTO ACC_EXPORT_STATUS (ST_MODULE, ST_ID, ST_STORE, ST_REFNO, "
                     "ST_OUTCOME) VALUES ('SL_CS', '1', 'S001', 'A', 'REFUSED')")));
}

void TestDataModules::reportSettings_data() {
    QTest::addColumn<QByteArray>("registerIni");
    QTest::addColumn<QString>("logFolder");
    QTest::addColumn<QString>("logExt");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("no file") << QByteArray() << ""
                             << "000" << false;
    QTest::newRow("no REPORT section") << QByteArray("[STORE]\r\nDEFAULT_STORE=S001\r\n") << ""
                                       << "000" << false;
    QTest::newRow("switched on")
        << QByteArray("[REPORT]\r\nSTOCKW_LOG=1\r\nLOG=D:\\Logs\r\nLOG_EXT=LOG\r\n") << "D:\\Logs"
        << "LOG" << true;
    QTest::newRow("any non-zero number") << QByteArray("[report]\nstockw_log=7\n") << ""
                                         << "000" << true;
    QTest::newRow("TRUE is not a number") << QByteArray("[REPORT]\r\nSTOCKW_LOG=TRUE\r\n") << ""
                                          << "000" << false;
    QTest::newRow("zero") << QByteArray("[REPORT]\r\nSTOCKW_LOG=0\r\n") << ""
                          << "000" << false;
}

void TestDataModules::reportSettings() {
    QFETCH(QByteArray, registerIni);
    QFETCH(QString, logFolder);
    QFETCH(QString, logExt);
    QFETCH(bool, enabled);
    if (!registerIni.isNull())
        writeRegisterIni(registerIni);
    TdmMMGroupAccess groupAccess;
    QCOMPARE(groupAccess.LogFolder, logFolder);
    QCOMPARE(groupAccess.LogExt, logExt);
    QCOMPARE(groupAccess.StockLogEnabled, enabled);
}

void TestDataModules::newStationIsActiveAndSearchCursorFollowsChanges() {
    TdmPolling polling;
    polling.dbSys.execute(
        QStringLiteral("INSERT INTO MAS_STORE (M_CODE, M_DESC) VALUES ('S001', 'Main')"));
    polling.tblStore.refresh();
    polling.tblStation.insert();
    polling.tblStation.setValue(QStringLiteral("P_STORE"), QStringLiteral("S001"));
    polling.tblStation.post();
    QCOMPARE(SelectValue(polling.dbStk,
                         QStringLiteral("SELECT P_ACTIVE FROM ACC_STATION WHERE P_STORE = 'S001'"))
                 .toString(),
             QStringLiteral("T"));
    QCOMPARE(polling.tblStation.field("StationDesc").asString(), QStringLiteral("Main"));
    QVERIFY(polling.tblStationSearch.locate(QStringLiteral("P_STORE"), QStringLiteral("S001")));
    polling.tblStation.remove();
    QVERIFY(!polling.tblStationSearch.locate(QStringLiteral("P_STORE"), QStringLiteral("S001")));
}

void TestDataModules::exportViewsShowOnlyTheirModule() {
    TdmPolling polling;
    int id = 0;
    int kind = 0;
    for (const QString& code : TdmPolling::ExportModuleCodes())
        for (int i = 0, rows = kind++ % 3 + 1; i < rows; ++i)
            polling.dbStk.execute(
                QStringLiteral("INSERT INTO TMP_EXPORT_ACCT (S_ID, S_STORE_FROM, S_REFNO, "
                               "S_MODULE, S_EXPORT_ACCT) VALUES ('%1', 'S001', '%2', '%3', 'F')")
                    .arg(++id)
                    .arg(i)
                    .arg(code));
    kind = 0;
    for (const QString& code : TdmPolling::ExportModuleCodes()) {
        Table* view = polling.ExportView(code);
        view->refresh();
        QCOMPARE(view->recordCount(), kind++ % 3 + 1);
        for (view->first(); !view->eof(); view->next())
            QCOMPARE(view->field("S_MODULE").asString(), code);
        QCOMPARE(view->displayFields().first(), QStringLiteral("S_EXPORT_ACCT"));
        QCOMPARE(view->displayOf(QStringLiteral("S_EXPORT_ACCT")).label, QStringLiteral("Select"));
    }
}

QTEST_GUILESS_MAIN(TestDataModules)
#include "test_data_modules.moc"
