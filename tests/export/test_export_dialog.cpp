// The export dialog with offscreen widgets on real embedded databases.
#include "data/dataset_model.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/ui/dlg_export_to_acct.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFile>
#include <QFocusEvent>
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
    void searchBeforeAnyCategoryShowsCashSales();
    void kindButtonChangesModuleAndEmptiesGrid();
    void tickIsSavedWhenTheRowIsLeftAndOnExit();
    void clearAsksFirst();
    void fromDateBeforeGstStartIsRefused_data();
    void fromDateBeforeGstStartIsRefused();

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

// Search before any category: the page shown is the cash-sales page and so is the search.
void TestExportDialog::searchBeforeAnyCategoryShowsCashSales() {
    InsertRow(data->dbStk, "POS_SALES", ReceiptRow());
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV"));
    TdlgExportToAcct dialog;
    dialog.show();
    child<QPushButton>(dialog, "btnSearch")->click();
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
    auto* grid = child<QTableView>(dialog, "wwDBGrid2");
    QCOMPARE(grid->model()->rowCount(), 1);

    child<QCheckBox>(dialog, "chkSearchAll")->setChecked(false);
    QVERIFY(child<QWidget>(dialog, "Edit1")->isEnabled());
    child<QCheckBox>(dialog, "chkSelectAll")->click();
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

void TestExportDialog::tickIsSavedWhenTheRowIsLeftAndOnExit() {
    for (const char* id : {"V1", "V2", "V3"})
        InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", id));
    {
        TdlgExportToAcct dialog;
        dialog.show();
        chooseCategory(dialog, "Sales");
        child<QRadioButton>(dialog, "rbtnSales_Inv")->click();
        child<QPushButton>(dialog, "btnSearch")->click();
        auto* grid = child<QTableView>(dialog, "wwDBGrid2");
        QAbstractItemModel* model = grid->model();
        QCOMPARE(model->rowCount(), 3);
        grid->setCurrentIndex(model->index(0, 1));
        QVERIFY(model->setData(model->index(0, 0), Qt::Checked, Qt::CheckStateRole));
        QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_EXPORT_ACCT"), QStringList(3, "F"));
        grid->setCurrentIndex(model->index(1, 1)); // leaving the row saves the tick
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
    context->messages->answers = {MessageAnswer::No, MessageAnswer::Yes};
    child<QPushButton>(dialog, "btnClear")->click();
    QCOMPARE(WorkColumn(data->dbStk, "SL_CN", "S_ID"), QStringList{"L1"});
    child<QPushButton>(dialog, "btnClear")->click();
    QCOMPARE(WorkColumn(data->dbStk, "SL_CN", "S_ID"), QStringList());
    QCOMPARE(context->messages->texts(),
             (QStringList{"Are You Sure To Clear ?", "Are You Sure To Clear ?"}));
    QCOMPARE(context->messages->shown.first().kind, MessageKind::Confirmation);
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

QTEST_MAIN(TestExportDialog)
#include "test_export_dialog.moc"
