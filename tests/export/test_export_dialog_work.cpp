// The export dialog's work on the work table off its thread: Cancel during a search, what the
// window answers while it works, and the paged grid over more rows than a page.
#include "data/connection.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/ui/dlg_export_to_acct.h"
#include "export/work_table_model.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScopeGuard>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

using namespace ExportFixture;

class TestExportDialogWork : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void cancelLeavesTheWorkTableAsItWas_data();
    void cancelLeavesTheWorkTableAsItWas();
    void closingDuringASearchAsksToCancelItFirst();
    void pagedGridTicksSortsAndCountsInTheDatabase();

private:
    template <typename T> T* child(TdlgExportToAcct& dialog, const char* name) {
        T* found = dialog.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void waitIdle(TdlgExportToAcct& dialog) { QTRY_VERIFY_WITH_TIMEOUT(!dialog.isBusy(), 30000); }
    // Sales invoices found by a search, the second ticked: what the work table holds before.
    void searchInvoices(TdlgExportToAcct& dialog) {
        auto* tree = child<QTreeWidget>(dialog, "TreeView1");
        tree->setCurrentItem(tree->findItems("Sales", Qt::MatchExactly).first());
        dialog.TreeView1Click();
        child<QRadioButton>(dialog, "rbtnSales_Inv")->click();
        dialog.btnSearchClick();
        waitIdle(dialog);
        QVERIFY2(child<QTableView>(dialog, "wwDBGrid2")->model(),
                 qPrintable(context->messages->texts().join('|')));
    }
    // A key presses its button a moment later, as a click shows it pressed: the work it starts
    // is waited for by its end.
    void pressAndWait(TdlgExportToAcct& dialog, int key, Qt::KeyboardModifiers modifiers = {}) {
        QSignalSpy ended(&dialog, &TdlgExportToAcct::workEnded);
        QTest::keyClick(&dialog, Qt::Key(key), modifiers);
        QTRY_COMPARE_WITH_TIMEOUT(ended.size(), 1, 30000);
    }
    // Every copy into the work table now takes seconds, so a search can be caught in the act.
    void slowDownTheWorkTable() {
        data->dbStk.execute(
            "CREATE TRIGGER SLOW_WORK_TABLE FOR TMP_EXPORT_ACCT BEFORE INSERT AS DECLARE I "
            "INTEGER = 0; BEGIN WHILE (I < 2000000000) DO I = I + 1; END");
    }
    void dropSlowTrigger() { data->dbStk.execute("DROP TRIGGER SLOW_WORK_TABLE"); }
    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
};

void TestExportDialogWork::initTestCase() {
    context = std::make_unique<TestContext>(QDateTime(QDate(2024, 3, 25), QTime(9, 0)));
    TestDatabases::CreateInstallation(context->folder());
    data = std::make_unique<TdmPolling>();
    dmPolling = data.get();
}

void TestExportDialogWork::cleanupTestCase() {
    dmPolling = nullptr;
    data.reset();
    context.reset();
}

void TestExportDialogWork::init() {
    WipeTables(*data);
    AddStationJobs(data->dbStk);
    SettingsFile settings;
    settings.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
    settings.writeString("GENERAL", "GSTSTARTDATE", "2024/03/10");
    context->messages->shown.clear();
    context->messages->answers.clear();
}

// Cancel (the button or Esc) stops the search in the act and rolls it back: the work table holds
// exactly what it held, ticks included. Keys and clicks given meanwhile act on nothing, and the
// window is usable again at once.
void TestExportDialogWork::cancelLeavesTheWorkTableAsItWas_data() {
    QTest::addColumn<bool>("escape");
    QTest::newRow("Cancel button") << false;
    QTest::newRow("Esc") << true;
}

void TestExportDialogWork::cancelLeavesTheWorkTableAsItWas() {
    QFETCH(bool, escape);
    for (const char* id : {"V1", "V2", "V3"})
        InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", id));
    {
        TdlgExportToAcct dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        searchInvoices(dialog);
        QAbstractItemModel* model = child<QTableView>(dialog, "wwDBGrid2")->model();
        QVERIFY(model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
        const QStringList before = WorkColumn(data->dbStk, "SL_IV", "S_ID || S_EXPORT_ACCT");
        QCOMPARE(before, (QStringList{"V1F", "V2T", "V3F"}));
        InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", "V4"));

        slowDownTheWorkTable();
        QTest::keyClick(&dialog, Qt::Key_F5);
        QTRY_VERIFY(dialog.isBusy());
        QVERIFY(child<QWidget>(dialog, "pnlWork")->isVisible());
        QTRY_VERIFY(
            child<QLabel>(dialog, "lblWork")->text().startsWith("Searching sales invoices"));
        QTest::qWait(400); // the copy is under way
        // Nothing but Cancel answers: not Select All, Export, Clear, Exit, Enter or F5 again.
        context->messages->answers = {MessageAnswer::Yes, MessageAnswer::Yes};
        QTest::keyClick(&dialog, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&dialog, Qt::Key_E, Qt::ControlModifier);
        QTest::keyClick(&dialog, Qt::Key_Return);
        QTest::keyClick(&dialog, Qt::Key_F5);
        child<QPushButton>(dialog, "btnClear")->click();
        child<QPushButton>(dialog, "btnExit")->click();
        QTest::qWait(300); // a key's button would be pressed by now
        QVERIFY(!child<QCheckBox>(dialog, "chkSelectAll")->isChecked());
        QVERIFY(context->messages->shown.isEmpty());
        QVERIFY(dialog.isVisible());

        if (escape)
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            child<QPushButton>(dialog, "btnCancelWork")->click();
        waitIdle(dialog);
        QVERIFY(dialog.isVisible());
        QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID || S_EXPORT_ACCT"), before);
        QCOMPARE(child<QLabel>(dialog, "lblRec")->text(), QStringLiteral("Total Record: 3"));
        QCOMPARE(model->rowCount(), 3);
        QVERIFY(!child<QWidget>(dialog, "pnlWork")->isVisible());
        QVERIFY(context->messages->shown.isEmpty());

        // Usable again: Select All ticks the three rows the table holds.
        QVERIFY(child<QPushButton>(dialog, "btnSearch")->isEnabled());
        child<QCheckBox>(dialog, "chkSelectAll")->click();
        waitIdle(dialog);
        QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID || S_EXPORT_ACCT"),
                 (QStringList{"V1T", "V2T", "V3T"}));
    }
    dropSlowTrigger();
}

void TestExportDialogWork::closingDuringASearchAsksToCancelItFirst() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", "V1"));
    {
        TdlgExportToAcct dialog;
        dialog.show();
        searchInvoices(dialog);
        InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", "V2"));
        slowDownTheWorkTable();
        QTest::keyClick(&dialog, Qt::Key_F5);
        QTRY_VERIFY(dialog.isBusy());
        QTest::qWait(300);
        context->messages->answers = {MessageAnswer::No};
        dialog.close();
        QCOMPARE(context->messages->texts(),
                 QStringList{"Searching sales invoices is still going on.\r\nCancel it and close "
                             "the window?"});
        QVERIFY(dialog.isVisible());
        QVERIFY(dialog.isBusy());
        context->messages->answers = {MessageAnswer::Yes};
        dialog.close();
        QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible(), 30000);
        QVERIFY(!dialog.isBusy());
    }
    dropSlowTrigger();
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), QStringList{"V1"});
}

// The grid over 250 rows (three pages): each row shown from the database where it is, a sort by
// the database, ticks written at once, Select All and Clear as single statements, and the ticked
// count and sum read from the work table.
void TestExportDialogWork::pagedGridTicksSortsAndCountsInTheDatabase() {
    constexpr int kRows = 250;
    static_assert(kRows > 2 * WorkTableModel::kPageSize);
    {
        Transaction insert(data->dbStk);
        for (int i = 1; i <= kRows; ++i)
            InsertRow(
                data->dbStk, "STK_MLEDGER",
                With(LedgerRow("SL_IV", QStringLiteral("V%1").arg(i, 3, 10, QLatin1Char('0'))),
                     {{"S_NETTOTAL", double(i)}}));
        insert.commit();
    }
    TdlgExportToAcct dialog;
    dialog.show();
    searchInvoices(dialog);
    auto* grid = child<QTableView>(dialog, "wwDBGrid2");
    QAbstractItemModel* model = grid->model();
    auto* label = child<QLabel>(dialog, "lblTicked");
    QCOMPARE(model->rowCount(), kRows);
    QCOMPARE(child<QLabel>(dialog, "lblRec")->text(), QStringLiteral("Total Record: 250"));
    int net = -1;
    for (int column = 0; column < model->columnCount(); ++column)
        if (model->headerData(column, Qt::Horizontal).toString() == "Net Amt.")
            net = column;
    QCOMPARE(model->headerData(model->columnCount() - 1, Qt::Horizontal).toString(),
             QStringLiteral("Status"));

    grid->horizontalHeader()->setSortIndicator(net, Qt::DescendingOrder);
    waitIdle(dialog);
    QCOMPARE(model->index(0, net).data().toString(), QStringLiteral("250.00"));
    QCOMPARE(model->index(149, net).data().toString(), QStringLiteral("101.00"));
    QCOMPARE(model->index(kRows - 1, net).data().toString(), QStringLiteral("1.00"));
    QVERIFY(grid->horizontalHeader()->isSortIndicatorShown());
    QCOMPARE(grid->horizontalHeader()->sortIndicatorSection(), net);

    // Row 200 of the sorted grid (third page) is the document of 50.00.
    QVERIFY(model->setData(model->index(200, 0), Qt::Checked, Qt::CheckStateRole));
    QCOMPARE(SelectValue(data->dbStk, "SELECT LIST(S_ID) FROM TMP_EXPORT_ACCT WHERE S_MODULE = "
                                      "'SL_IV' AND S_EXPORT_ACCT = 'T'")
                 .toString(),
             QStringLiteral("V050"));
    QTRY_COMPARE(label->text(), QStringLiteral("Ticked: 1   Net Amt.: 50.00"));

    pressAndWait(dialog, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_EXPORT_ACCT"), QStringList(kRows, "T"));
    QTRY_COMPARE(label->text(), QStringLiteral("Ticked: 250   Net Amt.: 31,375.00"));
    QCOMPARE(model->index(kRows - 1, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Checked));
    // The sort stays: Select All leaves the rows where they were.
    QCOMPARE(model->index(0, net).data().toString(), QStringLiteral("250.00"));

    QVERIFY(model->setData(model->index(0, 0), Qt::Unchecked, Qt::CheckStateRole));
    QTRY_COMPARE(label->text(), QStringLiteral("Ticked: 249   Net Amt.: 31,125.00"));
    QCOMPARE(
        SelectValue(data->dbStk, "SELECT S_EXPORT_ACCT FROM TMP_EXPORT_ACCT WHERE S_ID = 'V250'")
            .toString(),
        QStringLiteral("F"));

    context->messages->answers = {MessageAnswer::Yes};
    child<QPushButton>(dialog, "btnClear")->click();
    waitIdle(dialog);
    QCOMPARE(model->rowCount(), 0);
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), QStringList());
    QCOMPARE(label->text(), QStringLiteral("Ticked: 0   Net Amt.: 0.00"));
    QCOMPARE(child<QLabel>(dialog, "lblRec")->text(), QStringLiteral("Total Record: 0"));
}

QTEST_MAIN(TestExportDialogWork)
#include "test_export_dialog_work.moc"
