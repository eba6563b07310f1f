// The database layer against a real embedded engine: cursors, edits, links, lookups, filters,
// quoting and the engine's own error texts.
#include "data/alias_file.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/db_error.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "data/table.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QProcess>
#include <QtTest>

class TestDatabaseLayer : public QObject {
    Q_OBJECT
private slots:
    void quoting_data();
    void quoting();
    void numbers_data();
    void numbers();

    void init();
    void cleanup();
    void fixedWidthTextIsTrimmedAndVaryingTextKept();
    void locateIsExactAndCaseSensitive();
    void lookupLeavesCursorAndGivesNullWhenMissing();
    void masterDetailFollowsMasterAndFillsNewRows();
    void lookupFieldsFollowTheirSource();
    void filteredTableShowsOnlyMatchingRowsAndSortsByIndexFields();
    void editsPostByKeyAndFireEvents();
    void codeWithQuoteWorksInSqlAndEdits();
    void engineErrorCarriesEngineText();
    void missingAliasAndMissingFileAreReported();
    void transactionIsAllOrNothing();
    void waitingTransactionBeginsAtItsFirstStatement();
    void joinedTransactionCommitsWithTheOuterOneOrUndoesIt();
    void twoProcessesOpenTheSameFile();

private:
    std::unique_ptr<TestContext> context;
    std::unique_ptr<DbConnection> db;
};

void TestDatabaseLayer::quoting_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("quoted");
    QTest::newRow("plain") << "S001"
                           << "'S001'";
    QTest::newRow("inner quote") << "O'Neil"
                                 << "'O''Neil'";
    QTest::newRow("only quotes") << "''"
                                 << "''''''";
    QTest::newRow("empty") << ""
                           << "''";
    QTest::newRow("statement breaker") << "x' OR '1'='1"
                                       << "'x'' OR ''1''=''1'";
}

void TestDatabaseLayer::quoting() {
    QFETCH(QString, value);
    QFETCH(QString, quoted);
    QCOMPARE(QuotedStr(value), quoted);
}

void TestDatabaseLayer::numbers_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("integer") << 10.0 << "10";
    QTest::newRow("tenth") << 0.1 << "0.1";
    QTest::newRow("scaled numeric noise") << 0.35000000000000003 << "0.35";
    QTest::newRow("negative") << -10.5 << "-10.5";
    QTest::newRow("tiny, no exponent") << 1e-7 << "0.0000001";
    QTest::newRow("large, no exponent") << 123456789012.34 << "123456789012.34";
    QTest::newRow("sum noise") << 0.1 + 0.2 << "0.3";
    QTest::newRow("negative zero") << -0.0 << "0";
}

void TestDatabaseLayer::numbers() {
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(SqlNumber(value), text);
    QCOMPARE(SqlDateText(QDate(2015, 4, 1)), QStringLiteral("2015/04/01"));
    QCOMPARE(QuotedDate(QDate(2024, 12, 31)), QStringLiteral("'2024/12/31'"));
}

void TestDatabaseLayer::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateEmptyDatabase(context->folder(), QStringLiteral("ZantStk"));
    db = std::make_unique<DbConnection>(QStringLiteral("ZaLedvoraStk"), QStringLiteral("ZantStk"));
    db->execute("CREATE TABLE STORE (M_CODE CHAR(4) NOT NULL PRIMARY KEY, M_DESC VARCHAR(40), "
                "M_REGION CHAR(6))");
    db->execute("CREATE TABLE REGION (M_CODE CHAR(6) NOT NULL PRIMARY KEY, M_DESC VARCHAR(40))");
    db->execute("CREATE TABLE JOB (P_STORE CHAR(4) NOT NULL, P_FILE VARCHAR(6) NOT NULL, P_STATUS "
                "VARCHAR(4), "
                "P_FLAG CHAR(1) DEFAULT 'F', PRIMARY KEY (P_STORE, P_FILE))");
    db->execute("CREATE TABLE WORK (S_ID VARCHAR(35) NOT NULL, S_STORE_FROM VARCHAR(20), S_REFNO "
                "VARCHAR(20), "
                "S_MODULE VARCHAR(20), S_TOTAL DOUBLE PRECISION DEFAULT 0)");
    db->execute("CREATE UNIQUE INDEX WORK_KEY ON WORK (S_ID, S_STORE_FROM, S_REFNO)");
    db->execute("INSERT INTO REGION VALUES ('NORTH', 'Northern region')");
    db->execute("INSERT INTO STORE VALUES ('S001', 'Main Street  ', 'NORTH')");
    db->execute("INSERT INTO STORE VALUES ('S002', 'Harbour', 'SOUTH')");
    db->execute("INSERT INTO STORE VALUES ('s003', 'lower case code', NULL)");
    db->execute("INSERT INTO JOB (P_STORE, P_FILE, P_STATUS) VALUES ('S001', 'SLSTRN', 'M')");
    db->execute("INSERT INTO JOB (P_STORE, P_FILE, P_STATUS) VALUES ('S001', 'DELIVE', 'N')");
    db->execute("INSERT INTO JOB (P_STORE, P_FILE, P_STATUS) VALUES ('S002', 'SLSTRN', 'NM')");
}

void TestDatabaseLayer::cleanup() {
    db.reset();
    context.reset();
}

void TestDatabaseLayer::fixedWidthTextIsTrimmedAndVaryingTextKept() {
    Table store(db.get(), QStringLiteral("STORE"));
    store.open();
    QVERIFY(store.locate(QStringLiteral("M_CODE"), QStringLiteral("S001")));
    QCOMPARE(store.field("M_REGION").asString(),
             QStringLiteral("NORTH")); // CHAR(6) without padding
    QCOMPARE(store.field("M_DESC").asString(),
             QStringLiteral("Main Street  ")); // VARCHAR as stored

    Query query(db.get());
    query.setSql(QStringLiteral(
        "SELECT CAST('T' AS CHAR(5)) AS FLAG, M_CODE FROM STORE WHERE M_CODE = 'S002'"));
    query.open();
    QCOMPARE(query.field("FLAG").asString(), QStringLiteral("T"));
    QCOMPARE(query.recordCount(), 1);
}

void TestDatabaseLayer::locateIsExactAndCaseSensitive() {
    Table store(db.get(), QStringLiteral("STORE"));
    store.open();
    QVERIFY(!store.locate(QStringLiteral("M_CODE"), QStringLiteral("S003")));
    QVERIFY(!store.locate(QStringLiteral("M_CODE"), QStringLiteral("S00")));
    QVERIFY(store.locate(QStringLiteral("M_CODE"), QStringLiteral("s003")));
    QCOMPARE(store.field("M_DESC").asString(), QStringLiteral("lower case code"));
    QVERIFY(!store.locate(QStringLiteral("M_DESC"), QStringLiteral("harbour")));
}

void TestDatabaseLayer::lookupLeavesCursorAndGivesNullWhenMissing() {
    Table store(db.get(), QStringLiteral("STORE"));
    store.open();
    store.first();
    const QString before = store.field("M_CODE").asString();
    QCOMPARE(
        store.lookup(QStringLiteral("M_CODE"), QStringLiteral("S002"), QStringLiteral("M_DESC"))
            .toString(),
        QStringLiteral("Harbour"));
    QVERIFY(store.lookup(QStringLiteral("M_CODE"), QStringLiteral("S999"), QStringLiteral("M_DESC"))
                .isNull());
    QCOMPARE(store.field("M_CODE").asString(), before);
}

void TestDatabaseLayer::masterDetailFollowsMasterAndFillsNewRows() {
    Table store(db.get(), QStringLiteral("STORE"));
    Table job(db.get(), QStringLiteral("JOB"));
    job.setIndexFieldNames(QStringLiteral("P_STORE;P_FILE"));
    job.setMasterSource(&store, {QStringLiteral("M_CODE")}, {QStringLiteral("P_STORE")});
    store.open();
    job.open();
    QVERIFY(store.locate(QStringLiteral("M_CODE"), QStringLiteral("S001")));
    QCOMPARE(job.recordCount(), 2);
    QCOMPARE(job.field("P_FILE").asString(), QStringLiteral("DELIVE"));
    QVERIFY(store.locate(QStringLiteral("M_CODE"), QStringLiteral("S002")));
    QCOMPARE(job.recordCount(), 1);
    job.insert();
    job.setValue(QStringLiteral("P_FILE"), QStringLiteral("RECEIV"));
    job.post();
    QCOMPARE(job.field("P_STORE").asString(), QStringLiteral("S002"));
    QCOMPARE(job.field("P_FLAG").asString(), QStringLiteral("F")); // the column default, read back
    QCOMPARE(SelectValue(*db, "SELECT COUNT(*) FROM JOB WHERE P_STORE = 'S002'").toInt(), 2);
    QVERIFY(store.locate(QStringLiteral("M_CODE"), QStringLiteral("s003")));
    QVERIFY(job.isEmpty());
}

void TestDatabaseLayer::lookupFieldsFollowTheirSource() {
    Table region(db.get(), QStringLiteral("REGION"));
    Table store(db.get(), QStringLiteral("STORE"));
    Table job(db.get(), QStringLiteral("JOB"));
    store.addLookupField(QStringLiteral("StoreRegion"), &region, QStringLiteral("M_REGION"),
                         QStringLiteral("M_CODE"), QStringLiteral("M_DESC"));
    job.addLookupField(QStringLiteral("StationDesc"), &store, QStringLiteral("P_STORE"),
                       QStringLiteral("M_CODE"), QStringLiteral("M_DESC"));
    job.addLookupField(QStringLiteral("StationRegion"), &store, QStringLiteral("P_STORE"),
                       QStringLiteral("M_CODE"), QStringLiteral("StoreRegion"));
    region.open();
    store.open();
    job.open();
    db->execute("INSERT INTO JOB (P_STORE, P_FILE) VALUES ('S009', 'SLSTRN')");
    job.refresh();
    QVERIFY(job.locate(QStringLiteral("P_STORE"), QStringLiteral("S001")));
    QCOMPARE(job.field("StationDesc").asString(), QStringLiteral("Main Street  "));
    QCOMPARE(job.field("StationRegion").asString(), QStringLiteral("Northern region"));
    QVERIFY(job.locate(QStringLiteral("P_STORE"), QStringLiteral("S002")));
    QVERIFY(job.field("StationRegion").isNull()); // SOUTH is not in REGION
    QVERIFY(job.locate(QStringLiteral("P_STORE"), QStringLiteral("S009")));
    QCOMPARE(job.field("StationDesc").asString(), QString());
}

void TestDatabaseLayer::filteredTableShowsOnlyMatchingRowsAndSortsByIndexFields() {
    db->execute("INSERT INTO WORK (S_ID, S_STORE_FROM, S_REFNO, S_MODULE) VALUES ('2', 'S001', "
                "'B', 'SL_CS')");
    db->execute("INSERT INTO WORK (S_ID, S_STORE_FROM, S_REFNO, S_MODULE) VALUES ('1', 'S001', "
                "'A', 'SL_CS')");
    db->execute("INSERT INTO WORK (S_ID, S_STORE_FROM, S_REFNO, S_MODULE) VALUES ('3', 'S001', "
                "'C', 'SL_IV')");
    Table view(db.get(), QStringLiteral("WORK"));
    view.setFilter(QStringLiteral("S_MODULE=") + QuotedStr(QStringLiteral("SL_CS")));
    view.setFiltered(true);
    view.setIndexFieldNames(QStringLiteral("S_REFNO"));
    view.open();
    QCOMPARE(view.recordCount(), 2);
    QCOMPARE(view.field("S_REFNO").asString(), QStringLiteral("A"));
    QCOMPARE(view.field("S_TOTAL").asFloat(), 0.0);
    view.setFiltered(false);
    QCOMPARE(view.recordCount(), 3);
}

void TestDatabaseLayer::editsPostByKeyAndFireEvents() {
    Table job(db.get(), QStringLiteral("JOB"));
    QStringList events;
    job.afterInsert = [&](Dataset& d) {
        events << "insert";
        d.setValue(QStringLiteral("P_STATUS"), QStringLiteral("N"));
    };
    job.afterPost = [&](Dataset&) { events << "post"; };
    job.afterDelete = [&](Dataset&) { events << "delete"; };
    job.open();
    job.insert();
    job.setValue(QStringLiteral("P_STORE"), QStringLiteral("S002"));
    job.setValue(QStringLiteral("P_FILE"), QStringLiteral("RETURN"));
    job.post();
    QCOMPARE(SelectValue(*db, "SELECT P_STATUS FROM JOB WHERE P_STORE='S002' AND P_FILE='RETURN'")
                 .toString(),
             QStringLiteral("N"));
    QVERIFY(job.locate(QStringLiteral("P_FILE"), QStringLiteral("DELIVE")));
    job.edit();
    job.setValue(QStringLiteral("P_STATUS"), QStringLiteral("NM"));
    job.next(); // leaving the row posts it
    QCOMPARE(job.state(), Dataset::State::Browse);
    QCOMPARE(SelectValue(*db, "SELECT P_STATUS FROM JOB WHERE P_FILE='DELIVE'").toString(),
             QStringLiteral("NM"));
    const int before = job.recordCount();
    QVERIFY(job.locate(QStringLiteral("P_FILE"), QStringLiteral("RETURN")));
    job.remove();
    QCOMPARE(job.recordCount(), before - 1);
    QCOMPARE(SelectValue(*db, "SELECT COUNT(*) FROM JOB WHERE P_FILE='RETURN'").toInt(), 0);
    QCOMPARE(events, (QStringList{"insert", "post", "post", "delete"}));

    // A rejected post leaves the row in edit with the engine's text.
    QVERIFY(job.locate(QStringLiteral("P_FILE"), QStringLiteral("DELIVE")));
    job.edit();
    job.setValue(QStringLiteral("P_STATUS"), QStringLiteral("TOO LONG"));
    try {
        job.post();
        QFAIL("an over-long value must be refused");
    } catch (const DbError& error) {
        QVERIFY2(error.message().contains(QStringLiteral("truncation")),
                 qPrintable(error.message()));
    }
    QCOMPARE(job.state(), Dataset::State::Edit);
    job.cancel();
    QCOMPARE(job.field("P_STATUS").asString(), QStringLiteral("NM"));
}

void TestDatabaseLayer::codeWithQuoteWorksInSqlAndEdits() {
    db->execute(
        QStringLiteral("INSERT INTO STORE (M_CODE, M_DESC) VALUES (%1, %2)")
            .arg(QuotedStr(QStringLiteral("O'N")), QuotedStr(QStringLiteral("Store 'quoted'"))));
    QCOMPARE(SelectValue(*db, QStringLiteral("SELECT M_DESC FROM STORE WHERE M_CODE = ") +
                                  QuotedStr(QStringLiteral("O'N")))
                 .toString(),
             QStringLiteral("Store 'quoted'"));
    Table store(db.get(), QStringLiteral("STORE"));
    store.open();
    QVERIFY(store.locate(QStringLiteral("M_CODE"), QStringLiteral("O'N")));
    store.edit();
    store.setValue(QStringLiteral("M_DESC"), QStringLiteral("it's fine"));
    store.post();
    store.remove();
    QCOMPARE(SelectValue(*db, "SELECT COUNT(*) FROM STORE").toInt(), 3);
}

void TestDatabaseLayer::engineErrorCarriesEngineText() {
    try {
        db->execute(QStringLiteral("UPDATE NO_SUCH_TABLE SET X = 1"));
        QFAIL("expected an engine error");
    } catch (const DbError& error) {
        QVERIFY2(error.message().contains(QStringLiteral("Table unknown")),
                 qPrintable(error.message()));
        QVERIFY(error.message().contains(QStringLiteral("NO_SUCH_TABLE")));
    }
    Table missing(db.get(), QStringLiteral("MAS_NOTHERE"));
    QVERIFY_THROWS_EXCEPTION(DbError, missing.open());
    db->execute("INSERT INTO WORK (S_ID, S_STORE_FROM, S_REFNO) VALUES ('1', 'S1', 'R')");
    try {
        db->execute("INSERT INTO WORK (S_ID, S_STORE_FROM, S_REFNO) VALUES ('1', 'S1', 'R')");
        QFAIL("expected a duplicate-key error");
    } catch (const DbError& error) {
        QVERIFY2(error.message().contains(QStringLiteral("WORK_KEY")), qPrintable(error.message()));
    }
}

void TestDatabaseLayer::missingAliasAndMissingFileAreReported() {
    DbConnection noAlias(QStringLiteral("ZaARSys"), QStringLiteral("ARDB_MISSING"));
    try {
        noAlias.open();
        QFAIL("expected an error");
    } catch (const DbError& error) {
        QVERIFY(error.message().contains(QStringLiteral("ARDB_MISSING")));
    }
    DbConnection noFile(QStringLiteral("ZaARSys"),
                        QStringLiteral("ARDB")); // alias written, file never made
    try {
        noFile.open();
        QFAIL("expected an error");
    } catch (const DbError& error) {
        QVERIFY2(error.message().contains(QStringLiteral("ardb.fdb")), qPrintable(error.message()));
        QVERIFY2(!error.message().contains(QStringLiteral("network request")),
                 qPrintable(error.message()));
    }
}

void TestDatabaseLayer::transactionIsAllOrNothing() {
    {
        Transaction transaction(*db);
        db->execute("UPDATE JOB SET P_STATUS = 'X' WHERE P_STORE = 'S001'");
        db->execute("UPDATE JOB SET P_STATUS = 'X' WHERE P_STORE = 'S002'");
        // left without commit
    }
    QCOMPARE(SelectValue(*db, "SELECT COUNT(*) FROM JOB WHERE P_STATUS = 'X'").toInt(), 0);
    {
        Transaction transaction(*db);
        db->execute("UPDATE JOB SET P_STATUS = 'T' WHERE P_STORE = 'S001'");
        db->execute("UPDATE JOB SET P_STATUS = 'T' WHERE P_STORE = 'S002'");
        transaction.commit();
    }
    QCOMPARE(SelectValue(*db, "SELECT COUNT(*) FROM JOB WHERE P_STATUS = 'T'").toInt(), 3);
}

void TestDatabaseLayer::waitingTransactionBeginsAtItsFirstStatement() {
    // The engine numbers every transaction it starts; each probe runs in a transaction of its
    // own unless one is open on the handle.
    const auto probe = [this] {
        return SelectValue(*db, "SELECT CURRENT_TRANSACTION FROM RDB$DATABASE").toLongLong();
    };
    const qlonglong start = probe();
    {
        Transaction unused(*db, Transaction::Begin::AtFirstStatement);
        QVERIFY(db->inTransaction());
        unused.commit();
    }
    QCOMPARE(probe(), start + 1); // the unused scope started nothing
    {
        Transaction reads(*db, Transaction::Begin::AtFirstStatement);
        const qlonglong first = probe();
        QCOMPARE(first, start + 2);
        QCOMPARE(probe(), first); // the second read shares the first one's transaction
        reads.commit();
    }
    QVERIFY(!db->inTransaction());
    QCOMPARE(probe(), start + 3);
}

void TestDatabaseLayer::joinedTransactionCommitsWithTheOuterOneOrUndoesIt() {
    const auto marked = [this](const char* status) {
        return SelectValue(*db, QStringLiteral("SELECT COUNT(*) FROM JOB WHERE P_STATUS = '%1'")
                                    .arg(QLatin1String(status)))
            .toInt();
    };
    {
        Transaction outer(*db);
        {
            Transaction inner(*db);
            db->execute("UPDATE JOB SET P_STATUS = 'X' WHERE P_STORE = 'S001'");
            inner.commit(); // leaves the commit to the outer transaction
        }
        QCOMPARE(marked("X"), 2); // seen inside the transaction
        // the outer one is left without commit
    }
    QCOMPARE(marked("X"), 0);

    {
        Transaction outer(*db);
        db->execute("UPDATE JOB SET P_STATUS = 'Y' WHERE P_STORE = 'S002'");
        try {
            Transaction inner(*db);
            db->execute("UPDATE JOB SET NO_SUCH_COLUMN = 1");
            inner.commit();
            QFAIL("the statement must fail");
        } catch (const DbError&) {
        }
        // The failed inner scope undid the whole transaction: committing it now must not report
        // success for work that is gone.
        QVERIFY_THROWS_EXCEPTION(DbError, outer.commit());
    }
    QCOMPARE(marked("Y"), 0);
    QVERIFY(!db->inTransaction());
}

// The child process of twoProcessesOpenTheSameFile: adds a row while the parent holds the file.
static int runChild(const QString& folder) {
    AppContext::instance().setProgramFolder(folder);
    try {
        DbConnection db(QStringLiteral("Child"), QStringLiteral("ZantStk"));
        db.execute("INSERT INTO JOB (P_STORE, P_FILE, P_STATUS) VALUES ('S002', 'CHILD', 'M')");
        return SelectValue(db, "SELECT COUNT(*) FROM JOB").toInt() == 4 ? 0 : 3;
    } catch (const AppError& error) {
        fprintf(stderr, "%s\n", qPrintable(error.message()));
        return 2;
    }
}

void TestDatabaseLayer::twoProcessesOpenTheSameFile() {
    Table job(db.get(), QStringLiteral("JOB"));
    job.open(); // the parent keeps the file open throughout
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--child"), context->folder()});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitCode(), 0);
    job.refresh();
    QCOMPARE(job.recordCount(), 4);
    QVERIFY(job.locate(QStringLiteral("P_FILE"), QStringLiteral("CHILD")));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--child")
        return runChild(QString::fromLocal8Bit(argv[2]));
    TestDatabaseLayer test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_database_layer.moc"
