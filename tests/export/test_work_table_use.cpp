// The shared export work table: who searched, ticked or cleared a kind, and what a workstation
// is told when another changed the rows it works on since it last looked. Real embedded
// databases; the workstations are named.
#include "config/settings_file.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/table.h"
#include "export/document_search.h"
#include "export/work_table_use.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QFile>
#include <QtTest>

#include <map>

using namespace ExportFixture;

class TestWorkTableUse : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void whatALookReports_data();
    void whatALookReports();
    void aWorkstationKeepsItsLastChangeAndItsLastLook();
    void warningText_data();
    void warningText();
    void searchesTicksAndClearOfTheSearchAreRecorded();

private:
    void setWorkstation(const QByteArray& name);
    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
    std::unique_ptr<SettingsFile> settings;
};

void TestWorkTableUse::initTestCase() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    settings = std::make_unique<SettingsFile>(context->path(QStringLiteral("Ledvora.ini")));
}

void TestWorkTableUse::cleanupTestCase() {
    settings.reset();
    data.reset();
    context.reset();
}

void TestWorkTableUse::init() {
    WipeTables(*data);
    data->dbStk.execute(QStringLiteral("DELETE FROM ACC_WORK_TABLE_USE"));
    AddStationJobs(data->dbStk);
    QFile file(settings->path());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[GENERAL]\r\nGSTSTARTDATE=2024/03/10\r\n");
}

void TestWorkTableUse::setWorkstation(const QByteArray& name) {
    QFile file(context->path(QStringLiteral("Register.ini")));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[STORE]\r\nDEFAULT_STORE=S001\r\nWORKSTATION=" + name + "\r\n");
}

void TestWorkTableUse::whatALookReports_data() {
    // Steps "WORKSTATION action [KIND]" in order; the last step is a look of SL_CS by A, and
    // `expected` what it reports: "WORKSTATION ACTION", then "+OTHER" for each further
    // workstation named, or empty for nothing.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("expected");
    QTest::newRow("another's search after mine")
        << QStringList{"A searched", "B searched"} << "B SEARCHED";
    QTest::newRow("another's ticks") << QStringList{"A searched", "B ticked"} << "B TICKED";
    QTest::newRow("another's Clear") << QStringList{"A searched", "B cleared"} << "B CLEARED";
    QTest::newRow("only my own changes")
        << QStringList{"A searched", "A ticked", "A looks", "A ticked"} << "";
    QTest::newRow("never looked: another's rows are news")
        << QStringList{"B searched", "B ticked"} << "B TICKED";
    QTest::newRow("told once") << QStringList{"A searched", "B searched", "A looks"} << "";
    QTest::newRow("my search replaces what came before")
        << QStringList{"B searched", "B ticked", "A searched"} << "";
    QTest::newRow("ticking is no look")
        << QStringList{"A searched", "B searched", "A ticked"} << "B SEARCHED";
    QTest::newRow("the latest is named, the others listed")
        << QStringList{"A searched", "B searched", "C ticked", "B ticked", "D cleared", "C ticked"}
        << "C TICKED+D+B";
    QTest::newRow("another's look is no change") << QStringList{"A searched", "B looks"} << "";
    QTest::newRow("other kinds apart")
        << QStringList{"A searched", "B searched SL_IV", "C ticked AR_PM"} << "";
    QTest::newRow("a change after my look of another kind")
        << QStringList{"A searched", "A looks SL_IV", "B ticked"} << "B TICKED";
}

void TestWorkTableUse::whatALookReports() {
    QFETCH(QStringList, steps);
    QFETCH(QString, expected);
    std::map<QString, std::unique_ptr<WorkTableUse>> workstations;
    auto at = [&](const QString& name) -> WorkTableUse& {
        auto& use = workstations[name];
        if (!use) {
            use = std::make_unique<WorkTableUse>(data->dbStk, name);
            use->setUser(QStringLiteral("U") + name);
        }
        return *use;
    };
    for (const QString& step : std::as_const(steps)) {
        const QStringList words = step.split(QLatin1Char(' '));
        WorkTableUse& use = at(words.at(0));
        const QString kind = words.value(2, QStringLiteral("SL_CS"));
        if (words.at(1) == QLatin1String("searched"))
            use.recordSearched(kind);
        else if (words.at(1) == QLatin1String("ticked"))
            use.recordTicked(kind);
        else if (words.at(1) == QLatin1String("cleared"))
            use.recordCleared(kind);
        else
            use.look(kind);
        context->clock->advanceSeconds(1);
    }
    const std::optional<WorkTableChange> change = at(QStringLiteral("A")).look("SL_CS");
    QString reported;
    if (change) {
        reported = change->workstation + QLatin1Char(' ') + change->action;
        for (const QString& other : change->otherWorkstations)
            reported += QLatin1Char('+') + other;
        QCOMPARE(change->user, QStringLiteral("U") + change->workstation);
    }
    QCOMPARE(reported, expected);
    // Having looked, A is told nothing more until someone changes the rows again.
    QVERIFY(!at(QStringLiteral("A")).look("SL_CS"));
}

void TestWorkTableUse::aWorkstationKeepsItsLastChangeAndItsLastLook() {
    WorkTableUse a(data->dbStk, QStringLiteral("A"));
    WorkTableUse b(data->dbStk, QStringLiteral("B"));
    for (int round = 0; round < 5; ++round) {
        a.recordSearched("SL_CS");
        a.recordTicked("SL_CS");
        b.recordTicked("SL_CS");
        a.look("SL_CS");
        b.look("SL_CS");
    }
    a.recordSearched("SL_IV");
    auto rows = [&](const QString& workstation, const QString& kind) {
        return SelectValue(data->dbStk,
                           "SELECT COUNT(*) FROM ACC_WORK_TABLE_USE WHERE U_WORKSTATION = ? AND "
                           "U_MODULE = ?",
                           {workstation, kind})
            .toInt();
    };
    QCOMPARE(rows("A", "SL_CS"), 2);
    QCOMPARE(rows("B", "SL_CS"), 2);
    QCOMPARE(rows("A", "SL_IV"), 1);
    // Pruned or not, B's last change is still news to A, and A's to B.
    b.recordTicked("SL_CS");
    a.recordTicked("SL_CS");
    QCOMPARE(a.look("SL_CS")->workstation, QStringLiteral("B"));
    QCOMPARE(b.look("SL_CS")->workstation, QStringLiteral("A"));
}

void TestWorkTableUse::warningText_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("others");
    QTest::addColumn<QString>("text");
    QTest::newRow("searched") << "SL_CS"
                              << "SEARCHED" << QStringList()
                              << "The cash sales rows (SL_CS) were searched on workstation "
                                 "till-2:/srv/zantro by ADMIN at 05/03/2024 17:05:03 since this "
                                 "workstation last looked at them. Ticks set here before then "
                                 "are gone.";
    QTest::newRow("ticked") << "AR_PM"
                            << "TICKED" << QStringList()
                            << "The AR payment rows (AR_PM) were ticked on workstation "
                               "till-2:/srv/zantro by ADMIN at 05/03/2024 17:05:03 since this "
                               "workstation last looked at them. An export from here sends the "
                               "rows ticked there too.";
    QTest::newRow("cleared, others too")
        << "PH_PI"
        << "CLEARED" << QStringList{"BACK", "TILL-3"}
        << "The purchase invoice rows (PH_PI) were cleared on workstation till-2:/srv/zantro by "
           "ADMIN at 05/03/2024 17:05:03 since this workstation last looked at them. The rows "
           "and ticks set here before then are gone. Also changed on BACK, TILL-3.";
}

void TestWorkTableUse::warningText() {
    QFETCH(QString, kind);
    QFETCH(QString, action);
    QFETCH(QStringList, others);
    QFETCH(QString, text);
    const WorkTableChange change{QStringLiteral("till-2:/srv/zantro"), QStringLiteral("ADMIN"),
                                 action, At(2024, 3, 5, 17, 5, 3), others};
    QCOMPARE(WorkTableChangeText(kind, change), text);
}

void TestWorkTableUse::searchesTicksAndClearOfTheSearchAreRecorded() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", "L1"));
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", "L2"));
    setWorkstation("TILL-1");
    {
        DocumentSearch till1(*data, *settings);
        till1.setUser("ADMIN");
        QCOMPARE(till1.SearchStockDocuments("SL_IV", StockSearchFilter{}), 2);
        QCOMPARE(till1.ChangedElsewhereText("SL_IV"), QString());
    }
    setWorkstation("TILL-2");
    auto till2 = std::make_unique<DocumentSearch>(*data, *settings);
    till2->setUser("CLERK");
    // One tick set in the grid's view and saved by leaving the row.
    Table& view = *data->ExportView("SL_IV");
    view.open();
    view.first();
    view.edit();
    view.setValue("S_EXPORT_ACCT", "T");
    till2->SavePendingTick("SL_IV");
    till2.reset();

    setWorkstation("TILL-1");
    auto till1 = std::make_unique<DocumentSearch>(*data, *settings);
    const QString ticked = till1->ChangedElsewhereText("SL_IV");
    QVERIFY2(ticked.startsWith("The sales invoice rows (SL_IV) were ticked on workstation TILL-2 "
                               "by CLERK at 05/03/2024 "),
             qPrintable(ticked));
    QCOMPARE(till1->ChangedElsewhereText("SL_IV"), QString());
    till1.reset();

    for (const char* action : {"tick all", "clear", "search"}) {
        setWorkstation("TILL-2");
        {
            DocumentSearch other(*data, *settings);
            if (QByteArray(action) == "tick all")
                other.TickAll("SL_IV", true);
            else if (QByteArray(action) == "clear")
                other.Clear("SL_IV");
            else
                other.SearchReceivables("AR_IV", ReceivableSearchFilter{});
        }
        setWorkstation("TILL-1");
        DocumentSearch till1Again(*data, *settings);
        const QString warning = till1Again.ChangedElsewhereText("SL_IV");
        if (QByteArray(action) == "search") // another kind: nothing to say of SL_IV
            QCOMPARE(warning, QString());
        else
            QVERIFY2(warning.contains(QByteArray(action) == "clear" ? "were cleared on "
                                                                    : "were ticked on ") &&
                         warning.contains("TILL-2"),
                     qPrintable(QString::fromLatin1(action) + ": " + warning));
    }
}

QTEST_GUILESS_MAIN(TestWorkTableUse)
#include "test_work_table_use.moc"
