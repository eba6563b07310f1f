// The export dialog with offscreen widgets on real embedded databases.
#include "data/dataset_model.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/ui/dlg_export_to_acct.h"
#include "export/work_table_use.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QFocusEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTreeWidget>
#include <QtTest>

using namespace ExportFixture;

class TestExportDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();

    void treeOnlyForSqlAcc_data();
    void treeOnlyForSqlAcc();
    void nothingIsSearchedOrExportedBeforeACategory_data();
    void nothingIsSearchedOrExportedBeforeACategory();
    void salesSearchShowsCashSales();
    void sortedGridKeepsTicksWithTheirRows();
    void tickedCountAndSumFollowTheTicks_data();
    void tickedCountAndSumFollowTheTicks();
    void kindButtonChangesModuleAndEmptiesGrid();
    void enterOnTheTreeChoosesTheCurrentCategory();
    void tickIsWrittenAtOnceAndKeptAfterExit();
    void clearAsksFirst();
    void fromDateBeforeGstStartIsRefused_data();
    void fromDateBeforeGstStartIsRefused();
    void changesOnAnotherWorkstationAreShown();

private:
    void writeSettings(const QByteArray& text) {
        QFile file(context->path(QStringLiteral("Ledvora.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    template <typename T> T* child(TdlgExportToAcct& dialog, const char* name) {
        T* found = dialog.findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    // Searches, Select All, Clear and sorting end off the window's thread.
    void waitIdle(TdlgExportToAcct& dialog) { QTRY_VERIFY_WITH_TIMEOUT(!dialog.isBusy(), 30000); }
    static int columnTitled(const QAbstractItemModel* model, const QString& title) {
        for (int column = 0; column < model->columnCount(); ++column)
            if (model->headerData(column, Qt::Horizontal).toString() == title)
                return column;
        return -1;
    }
    void chooseCategory(TdlgExportToAcct& dialog, const QString& category) {
        auto* tree = child<QTreeWidget>(dialog, "TreeView1");
        const QList<QTreeWidgetItem*> items = tree->findItems(category, Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        tree->setCurrentItem(items.first());
        dialog.TreeView1Click();
    }
    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
};

void TestExportDialog::initTestCase() {
    context = std::make_unique<TestContext>(QDateTime(QDate(2024, 3, 25), QTime(9, 0)));
    TestDatabases::CreateInstallation(context->folder());
    data = std::make_unique<TdmPolling>();
    dmPolling = data.get();
}

void TestExportDialog::cleanupTestCase() {
    dmPolling = nullptr;
    data.reset();
    context.reset();
}

void TestExportDialog::init() {
    WipeTables(*data);
    AddStationJobs(data->dbStk);
    writeSettings("[GENERAL]\r\nACCOUNT_TYPE=SQLACC\r\nGSTSTARTDATE=2024/03/10\r\n");
    context->messages->shown.clear();
    context->messages->answers.clear();
}

void TestExportDialog::treeOnlyForSqlAcc_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("nodes");
    const QStringList all{"Sales",      "Purchase",         "AR",
                          "Stock Item", "Supplier Profile", "Customer Profile"};
    QTest::newRow("SQLACC") << QByteArray("[GENERAL]\r\nACCOUNT_TYPE=SQLACC\r\n") << all;
    QTest::newRow("UBS") << QByteArray("[GENERAL]\r\nACCOUNT_TYPE=UBS\r\n") << QStringList();
    QTest::newRow("empty") << QByteArray("[GENERAL]\r\nACCOUNT_TYPE=\r\n") << QStringList();
    QTest::newRow("missing") << QByteArray() << QStringList();
    QTest::newRow("lower case") << QByteArray("[GENERAL]\r\nACCOUNT_TYPE=sqlacc\r\n")
                                << QStringList();
}

void TestExportDialog::treeOnlyForSqlAcc() {
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, nodes);
    writeSettings(ini);
    TdlgExportToAcct dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Export to Accounting"));
    QCOMPARE(dialog.objectName(), QStringLiteral("dlgExportToAcct"));
    auto* tree = child<QTreeWidget>(dialog, "TreeView1");
    QStringList shown;
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        shown << tree->topLevelItem(i)->text(0);
    QCOMPARE(shown, nodes);
    QCOMPARE(dialog.ModuleCode(), QStringLiteral("SL_CS"));
    QCOMPARE(child<QDateEdit>(dialog, "ARDateTimePicker2")->date(), QDate(2024, 3, 25));
    QVERIFY(child<QWidget>(dialog, "sbTrans")->isVisible());
    QVERIFY(child<QWidget>(dialog, "gbSales")->isVisible());
    QVERIFY(!child<QWidget>(dialog, "gbPurchase")->isVisible());
    QVERIFY(!child<QWidget>(dialog, "sbAR")->isVisible());
    // Search All is ticked, so the filters start disabled.
    QVERIFY(!child<QWidget>(dialog, "wwDBLookupCombo1")->isEnabled());
    QVERIFY(!child<QWidget>(dialog, "Edit2")->isEnabled());
    QVERIFY(!child<QWidget>(dialog, "wwDBLookupCombo3")->isEnabled());
}

// Before a category is chosen (and with no tree at all for another account type) the page shown
// is the dialog's opening state, not a choice: nothing can be searched, ticked, cleared or
// exported.
void TestExportDialog::nothingIsSearchedOrExportedBeforeACategory_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::newRow("SQLACC, no category yet")
        << QByteArray("[GENERAL]\r\nACCOUNT_TYPE=SQLACC\r\nGSTSTARTDATE=2024/03/10\r\n");
    QTest::newRow("UBS, empty tree")
        << QByteArray("[GENERAL]\r\nACCOUNT_TYPE=UBS\r\nGSTSTARTDATE=2024/03/10\r\n");
}

void TestExportDialog::nothingIsSearchedOrExportedBeforeACategory() {
    QFETCH(QByteArray, ini);
    writeSettings(ini);
    InsertRow(data->dbStk, "POS_SALES", ReceiptRow());
    // A cash sale left ticked at an earlier opening.
    InsertRow(data->dbStk, "TMP_EXPORT_ACCT",
              {{"S_ID", "9"},
               {"S_STORE_FROM", "S001"},
               {"S_REFNO", "000000009"},
               {"S_MODULE", "SL_CS"},
               {"S_EXPORT_ACCT", "T"},
               {"S_NETTOTAL", 5.0}});
    TdlgExportToAcct dialog;
    dialog.show();
    for (const char* control : {"btnSearch", "btnExport", "chkSelectAll", "btnClear"})
        QVERIFY2(!child<QWidget>(dialog, control)->isEnabled(), control);
    QTest::keyClick(&dialog, Qt::Key_F5);
    dialog.btnSearchClick();
    dialog.btnExportClick();
    dialog.chkSelectAllClick();
    dialog.btnClearClick();
    QVERIFY(!child<QTableView>(dialog, "wwDBGrid2")->model());
    QCOMPARE(WorkColumn(data->dbStk, "SL_CS", "S_ID || S_EXPORT_ACCT"), QStringList{"9T"});
    QVERIFY(context->messages->shown.isEmpty());
}

// Choosing Sales shows the cash-sales page, and its search finds the cash sales only.
void TestExportDialog::salesSearchShowsCashSales() {
    InsertRow(data->dbStk, "POS_SALES", ReceiptRow());
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV"));
    TdlgExportToAcct dialog;
    dialog.show();
    chooseCategory(dialog, "Sales");
    child<QPushButton>(dialog, "btnSearch")->click();
    waitIdle(dialog);
    auto* grid = child<QTableView>(dialog, "wwDBGrid2");
    QVERIFY(grid->model());
    QCOMPARE(grid->model()->rowCount(), 1);
    QCOMPARE(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Select"));
    QCOMPARE(grid->model()->index(0, 0).data(Qt::CheckStateRole).toInt(), int(Qt::Unchecked));
    QCOMPARE(grid->model()->index(0, 2).data().toString(), QStringLiteral("000012345"));
    QCOMPARE(grid->model()->index(0, 6).data().toString(), QStringLiteral("106.00"));
    QCOMPARE(child<QLabel>(dialog, "lblRec")->text(), QStringLiteral("Total Record: 1"));
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), QStringList());
}

// The grid is sorted by a title click; each row keeps its own tick, and a tick set in the sorted
// grid goes to the document shown in that row.
void TestExportDialog::sortedGridKeepsTicksWithTheirRows() {
    const QList<std::pair<const char*, double>> invoices{
        {"V1", 300.0}, {"V2", 50.0}, {"V3", 120.0}};
    for (const auto& [id, net] : invoices)
        InsertRow(data->dbStk, "STK_MLEDGER", With(LedgerRow("SL_IV", id), {{"S_NETTOTAL", net}}));
    TdlgExportToAcct dialog;
    dialog.show();
    chooseCategory(dialog, "Sales");
    child<QRadioButton>(dialog, "rbtnSales_Inv")->click();
    child<QPushButton>(dialog, "btnSearch")->click();
    waitIdle(dialog);
    auto* grid = child<QTableView>(dialog, "wwDBGrid2");
    QAbstractItemModel* model = grid->model();
    const int net = columnTitled(model, "Net Amt.");
    QVERIFY(net > 0);
    const auto netColumn = [&] {
        QStringList shown;
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->index(row, net).data().toString();
        return shown;
    };
    const auto ticks = [&] {
        QStringList shown;
        for (int row = 0; row < model->rowCount(); ++row)
            shown << (model->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked ? "T"
                                                                                           : "F");
        return shown;
    };

    // V1 (300.00) ticked in the search's order, then saved by leaving its row.
    const int v1 = int(netColumn().indexOf(QStringLiteral("300.00")));
    QVERIFY(v1 >= 0);
    grid->setCurrentIndex(model->index(v1, 1));
    QVERIFY(model->setData(model->index(v1, 0), Qt::Checked, Qt::CheckStateRole));
    grid->setCurrentIndex(model->index(v1 == 0 ? 1 : 0, 1));

    // Sorted by the net amount, as numbers (not as text, where 50.00 would come last).
    grid->horizontalHeader()->setSortIndicator(net, Qt::AscendingOrder);
    waitIdle(dialog);
    QCOMPARE(netColumn(), (QStringList{"50.00", "120.00", "300.00"}));
    QCOMPARE(ticks(), (QStringList{"F", "F", "T"}));
    grid->horizontalHeader()->setSortIndicator(net, Qt::DescendingOrder);
    waitIdle(dialog);
    QCOMPARE(netColumn(), (QStringList{"300.00", "120.00", "50.00"}));
    QCOMPARE(ticks(), (QStringList{"T", "F", "F"}));
    QVERIFY(grid->horizontalHeader()->isSortIndicatorShown());

    // The last row of the sorted grid is V2 (50.00): its tick is saved on V2.
    grid->setCurrentIndex(model->index(2, 1));
    QVERIFY(model->setData(model->index(2, 0), Qt::Checked, Qt::CheckStateRole));
    grid->setCurrentIndex(model->index(0, 1));
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID || S_EXPORT_ACCT"),
             (QStringList{"V1T", "V2T", "V3F"}));
    QCOMPARE(ticks(), (QStringList{"T", "F", "T"}));
    // Amount titles stand right over right-aligned numbers; the others on the left.
    QCOMPARE(model->headerData(net, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask,
             int(Qt::AlignRight));
    QCOMPARE(model->headerData(1, Qt::Horizontal, Qt::TextAlignmentRole).toInt() &
                 Qt::AlignHorizontal_Mask,
             int(Qt::AlignLeft));
    QCOMPARE(model->index(0, net).data(Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask,
             int(Qt::AlignRight));
}

void TestExportDialog::tickedCountAndSumFollowTheTicks_data() {
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("untick"); // the grid row unticked after Select All, or -1
    QTest::addColumn<bool>("clear");
    QTest::addColumn<QString>("ticked");
    // Three documents of 300.00, 50.00 and 1,120.25; the grid's first row is the first found.
    QTest::newRow("Select All") << "Sales"
                                << "rbtnSales_Inv" << -1 << false
                                << "Ticked: 3   Net Amt.: 1,470.25";
    QTest::newRow("Select All, one unticked")
        << "Sales"
        << "rbtnSales_Inv" << 0 << false << "Ticked: 2   Net Amt.: 1,170.25";
    QTest::newRow("Select All, then Clear")
        << "Sales"
        << "rbtnSales_Inv" << -1 << true << "Ticked: 0   Net Amt.: 0.00";
    QTest::newRow("AR: Select All, one unticked")
        << "AR"
        << "rbtnAR_DN" << 0 << false << "Ticked: 2   Net Amt.: 1,170.25";
}

void TestExportDialog::tickedCountAndSumFollowTheTicks() {
    QFETCH(QString, category);
    QFETCH(QString, kind);
    QFETCH(int, untick);
    QFETCH(bool, clear);
    QFETCH(QString, ticked);
    const bool receivables = category == "AR";
    const QList<std::pair<QString, double>> documents{{"1", 300.0}, {"2", 50.0}, {"3", 1120.25}};
    for (const auto& [id, net] : documents) {
        if (receivables)
            InsertRow(
                data->dbAR, "AR_TRANS",
                With(ReceivableRow("AR_DN"), {{"TD_DOCNO", "DN/000" + id}, {"TD_NETTOTAL", net}}));
        else
            InsertRow(data->dbStk, "STK_MLEDGER",
                      With(LedgerRow("SL_IV", "V" + id), {{"S_NETTOTAL", net}}));
    }
    TdlgExportToAcct dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    chooseCategory(dialog, category);
    child<QRadioButton>(dialog, qPrintable(kind))->click();
    // F5 searches and Ctrl+A ticks every row, as Search and Select All do.
    QTest::keyClick(&dialog, Qt::Key_F5);
    auto* label = child<QLabel>(dialog, "lblTicked");
    QVERIFY(label->isVisible());
    QTRY_COMPARE(child<QLabel>(dialog, "lblRec")->text(), QStringLiteral("Total Record: 3"));
    waitIdle(dialog);
    QCOMPARE(label->text(), QStringLiteral("Ticked: 0   Net Amt.: 0.00"));
    // The key presses Select All a moment later; its work is waited for by its end.
    QSignalSpy selectAllEnded(&dialog, &TdlgExportToAcct::workEnded);
    QTest::keyClick(&dialog, Qt::Key_A, Qt::ControlModifier);
    QTRY_COMPARE(selectAllEnded.size(), 1);
    QTRY_VERIFY(
        child<QCheckBox>(dialog, receivables ? "chkARSelectAll" : "chkSelectAll")->isChecked());
    QTRY_COMPARE(WorkColumn(data->dbStk, receivables ? "AR_DN" : "SL_IV", "S_EXPORT_ACCT"),
                 QStringList(3, "T"));
    auto* grid = child<QTableView>(dialog, receivables ? "wwDBGrid4" : "wwDBGrid2");
    QAbstractItemModel* model = grid->model();
    if (untick >= 0) {
        // The first row found is the 300.00 document.
        QCOMPARE(model->index(untick, columnTitled(model, "Net Amt.")).data().toString(),
                 QStringLiteral("300.00"));
        QVERIFY(model->setData(model->index(untick, 0), Qt::Unchecked, Qt::CheckStateRole));
    }
    if (clear) {
        context->messages->answers = {MessageAnswer::Yes};
        child<QPushButton>(dialog, "btnClear")->click();
        waitIdle(dialog);
        context->messages->shown.clear();
    }
    // The counter follows the ticks, as the work table holds them.
    QTRY_COMPARE(label->text(), ticked);
    QCOMPARE(child<QLabel>(dialog, "lblRec")->text(),
             QStringLiteral("Total Record: %1").arg(clear ? 0 : 3));
    // The question before an export (Ctrl+E) names the same figures: the pending tick is saved
    // first.
    context->messages->answers = {MessageAnswer::No};
    QTest::keyClick(&dialog, Qt::Key_E, Qt::ControlModifier);
    QTRY_COMPARE(context->messages->shown.size(), 1);
    const QString count = ticked.section(QLatin1Char(' '), 1, 1);
    const QString sum = ticked.section(QLatin1Char(' '), -1);
    QCOMPARE(context->messages->texts(),
             QStringList{QStringLiteral("Confirm To Export ?\r\n%1 documents ticked, Net Amt. %2")
                             .arg(count, sum)});
}

void TestExportDialog::kindButtonChangesModuleAndEmptiesGrid() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("PH_PI"));
    TdlgExportToAcct dialog;
    dialog.show();
    // Enter acts like a click on the tree.
    auto* tree = child<QTreeWidget>(dialog, "TreeView1");
    tree->setCurrentItem(tree->findItems("Purchase", Qt::MatchExactly).first());
    QTest::keyClick(&dialog, Qt::Key_Return);
    QCOMPARE(dialog.ModuleCode(), QStringLiteral("PH_PI"));
    QVERIFY(child<QWidget>(dialog, "gbPurchase")->isVisible());
    QVERIFY(!child<QWidget>(dialog, "gbSales")->isVisible());
    QVERIFY(!child<QWidget>(dialog, "Edit1")->isEnabled()); // Search All disables the filters
    child<QPushButton>(dialog, "btnSearch")->click();
    waitIdle(dialog);
    auto* grid = child<QTableView>(dialog, "wwDBGrid2");
    QCOMPARE(grid->model()->rowCount(), 1);

    child<QCheckBox>(dialog, "chkSearchAll")->setChecked(false);
    QVERIFY(child<QWidget>(dialog, "Edit1")->isEnabled());
    child<QCheckBox>(dialog, "chkSelectAll")->click();
    waitIdle(dialog);
    QCOMPARE(WorkColumn(data->dbStk, "PH_PI", "S_EXPORT_ACCT"), QStringList{"T"});

    child<QRadioButton>(dialog, "rbtnPur_Return")->click();
    QCOMPARE(dialog.ModuleCode(), QStringLiteral("PH_SC"));
    QVERIFY(!grid->model());
    QCOMPARE(child<QLabel>(dialog, "lblRec")->text(), QStringLiteral("Total Record: 0"));
    QVERIFY(!child<QCheckBox>(dialog, "chkSelectAll")->isChecked());
    QVERIFY(!child<QWidget>(dialog, "Edit1")->isEnabled());
    // Select All with nothing shown does nothing; the other kind keeps its tick.
    child<QCheckBox>(dialog, "chkSelectAll")->click();
    QCOMPARE(WorkColumn(data->dbStk, "PH_PI", "S_EXPORT_ACCT"), QStringList{"T"});
    QVERIFY(context->messages->shown.isEmpty());

    chooseCategory(dialog, "AR");
    QCOMPARE(dialog.ModuleCode(), QStringLiteral("AR_IV"));
    child<QRadioButton>(dialog, "rbtnAR_Payment")->click();
    QCOMPARE(dialog.ModuleCode(), QStringLiteral("AR_PM"));
    chooseCategory(dialog, "Supplier Profile");
    QCOMPARE(dialog.ModuleCode(), QStringLiteral("AP_SUPPLIER"));
    QVERIFY(!child<QWidget>(dialog, "btnClear")->isEnabled());
}

// A tick is written to the work table as it is made, and stays for the next opening.
// Enter on the tree chooses the category the keyboard is on, as a click would, also when the
// keyboard moved there without selecting it.
void TestExportDialog::enterOnTheTreeChoosesTheCurrentCategory() {
    TdlgExportToAcct dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto* tree = child<QTreeWidget>(dialog, "TreeView1");
    tree->setFocus();
    tree->setCurrentItem(tree->findItems("AR", Qt::MatchExactly).first(), 0,
                         QItemSelectionModel::NoUpdate);
    QVERIFY(tree->selectedItems().isEmpty());
    QTest::keyClick(tree, Qt::Key_Return);
    QCOMPARE(dialog.Category(), QStringLiteral("AR"));
    QCOMPARE(dialog.ModuleCode(), QStringLiteral("AR_IV"));
    QVERIFY(child<QWidget>(dialog, "sbAR")->isVisible());
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_Enter);
    QCOMPARE(dialog.Category(), QStringLiteral("Stock Item"));
}

void TestExportDialog::tickIsWrittenAtOnceAndKeptAfterExit() {
    for (const char* id : {"V1", "V2", "V3"})
        InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", id));
    {
        TdlgExportToAcct dialog;
        dialog.show();
        chooseCategory(dialog, "Sales");
        child<QRadioButton>(dialog, "rbtnSales_Inv")->click();
        child<QPushButton>(dialog, "btnSearch")->click();
        waitIdle(dialog);
        auto* grid = child<QTableView>(dialog, "wwDBGrid2");
        QAbstractItemModel* model = grid->model();
        QCOMPARE(model->rowCount(), 3);
        grid->setCurrentIndex(model->index(0, 1));
        QVERIFY(model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID || S_EXPORT_ACCT"),
                 (QStringList{"V1T", "V2F", "V3F"}));
        QVERIFY(model->setData(model->index(2, 0), Qt::Checked, Qt::CheckStateRole));
        child<QPushButton>(dialog, "btnExit")->click();
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID || S_EXPORT_ACCT"),
             (QStringList{"V1T", "V2F", "V3T"}));
}

void TestExportDialog::clearAsksFirst() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_CN"));
    TdlgExportToAcct dialog;
    dialog.show();
    chooseCategory(dialog, "Sales");
    child<QRadioButton>(dialog, "rbtnSales_CN")->click();
    child<QPushButton>(dialog, "btnSearch")->click();
    waitIdle(dialog);
    context->messages->answers = {MessageAnswer::No, MessageAnswer::Yes};
    child<QPushButton>(dialog, "btnClear")->click();
    QCOMPARE(WorkColumn(data->dbStk, "SL_CN", "S_ID"), QStringList{"L1"});
    child<QPushButton>(dialog, "btnClear")->click();
    waitIdle(dialog);
    QCOMPARE(WorkColumn(data->dbStk, "SL_CN", "S_ID"), QStringList());
    QCOMPARE(context->messages->texts(),
             (QStringList{"Are You Sure To Clear ?", "Are You Sure To Clear ?"}));
    QCOMPARE(context->messages->shown.first().kind, MessageKind::Confirmation);
    // Clear throws the ticks away: Enter answers No.
    QCOMPARE(context->messages->shown.first().defaultAnswer, MessageAnswer::No);
    QCOMPARE(child<QLabel>(dialog, "lblRec")->text(), QStringLiteral("Total Record: 0"));
}

void TestExportDialog::fromDateBeforeGstStartIsRefused_data() {
    QTest::addColumn<QString>("picker");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<bool>("refused");
    QTest::newRow("day before") << "DateTimePicker1" << QDate(2024, 3, 9) << true;
    QTest::newRow("GST start day") << "DateTimePicker1" << QDate(2024, 3, 10) << false;
    QTest::newRow("AR day before") << "ARDateTimePicker1" << QDate(2024, 3, 9) << true;
    QTest::newRow("to-date not checked") << "DateTimePicker2" << QDate(2020, 1, 1) << false;
}

void TestExportDialog::fromDateBeforeGstStartIsRefused() {
    QFETCH(QString, picker);
    QFETCH(QDate, date);
    QFETCH(bool, refused);
    TdlgExportToAcct dialog;
    dialog.show();
    auto* edit = child<QDateEdit>(dialog, qPrintable(picker));
    edit->setDate(date);
    QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &leave);
    if (refused) {
        QCOMPARE(context->messages->texts(), QStringList{"Date cannot be earlier that GST Date!"});
        QCOMPARE(context->messages->shown.first().kind, MessageKind::Error);
        QCOMPARE(edit->date(), QDate(2024, 3, 10));
    } else {
        QVERIFY(context->messages->shown.isEmpty());
        QCOMPARE(edit->date(), date);
    }
}

// The work table is shared with the other workstations: what another one did to the kind's rows
// since this one last looked is said under the grid when the kind is chosen and when Export is
// pressed, and no longer once this workstation's own search has replaced the rows.
void TestExportDialog::changesOnAnotherWorkstationAreShown() {
    data->dbStk.execute(QStringLiteral("DELETE FROM ACC_WORK_TABLE_USE"));
    const auto forget =
        qScopeGuard([&] { data->dbStk.execute(QStringLiteral("DELETE FROM ACC_WORK_TABLE_USE")); });
    InsertRow(data->dbStk, "POS_SALES", ReceiptRow());
    WorkTableUse till2(data->dbStk, QStringLiteral("TILL-2"));
    till2.setUser(QStringLiteral("CLERK"));
    till2.recordSearched(QStringLiteral("SL_CS"));

    TdlgExportToAcct dialog;
    dialog.show();
    auto* warning = child<QLabel>(dialog, "lblChangedElsewhere");
    QVERIFY(!warning->isVisible());
    chooseCategory(dialog, QStringLiteral("Sales"));
    QVERIFY(warning->isVisible());
    QVERIFY2(warning->text().startsWith(QStringLiteral(
                 "The cash sales rows (SL_CS) were searched on workstation TILL-2 by CLERK")),
             qPrintable(warning->text()));

    dialog.btnSearchClick();
    waitIdle(dialog);
    QVERIFY(!warning->isVisible());

    till2.recordTicked(QStringLiteral("SL_CS"));
    context->messages->answers = {MessageAnswer::No};
    dialog.btnExportClick();
    QVERIFY(warning->isVisible());
    QVERIFY2(warning->text().contains(QStringLiteral("were ticked on workstation TILL-2")),
             qPrintable(warning->text()));
    QVERIFY(context->messages->texts().last().startsWith(QStringLiteral("Confirm To Export ?")));

    // Told once: choosing the kind again says nothing new.
    child<QRadioButton>(dialog, "rbtnSales_Inv")->click();
    child<QRadioButton>(dialog, "rbtnSales_Cash")->click();
    QVERIFY(!warning->isVisible());

    // A tick in this window's grid is news to TILL-2.
    dialog.btnSearchClick();
    waitIdle(dialog);
    QAbstractItemModel* model = child<QTableView>(dialog, "wwDBGrid2")->model();
    QVERIFY(model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole));
    const std::optional<WorkTableChange> seenOnTill2 = till2.look(QStringLiteral("SL_CS"));
    QVERIFY(seenOnTill2);
    QCOMPARE(seenOnTill2->action, QStringLiteral("TICKED"));
}

QTEST_MAIN(TestExportDialog)
#include "test_export_dialog.moc"
