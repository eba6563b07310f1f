// The export dialog's Export button: its question, messages and the search that follows, with
// the stand-in package behind it.
#include "config/settings_file.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/export_run_lock.h"
#include "export/ui/dlg_export_to_acct.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_setup.h"
#include "standin/standin_package.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTreeWidget>
#include <QtTest>

using namespace ExportFixture;

class TestExportDialogRun : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void answeringNoChangesNothing();
    void nothingTickedSaysSo();
    void completedRunSearchesAgain();
    void customerProfileGeneratesCodesAndCompletes();
    void anotherRunHoldingTheLockRefusesTheExport();

private:
    void choose(TdlgExportToAcct& dialog, const QString& category) {
        auto* tree = dialog.findChild<QTreeWidget*>("TreeView1");
        tree->setCurrentItem(tree->findItems(category, Qt::MatchExactly).value(0));
        dialog.TreeView1Click();
    }
    // Searches, Select All and the search after a run end off the window's thread.
    void waitIdle(TdlgExportToAcct& dialog) { QTRY_VERIFY_WITH_TIMEOUT(!dialog.isBusy(), 30000); }
    QString recordLabel(TdlgExportToAcct& dialog) {
        return dialog.findChild<QLabel*>("lblRec")->text();
    }
    int exported() {
        return SelectValue(data->dbStk,
                           "SELECT COUNT(*) FROM STK_MLEDGER WHERE S_EXPORT_ACCT = 'T'")
            .toInt();
    }
    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
};

void TestExportDialogRun::init() {
    context = std::make_unique<TestContext>(QDateTime(QDate(2024, 3, 25), QTime(9, 0)));
    TestDatabases::CreateInstallation(context->folder());
    CreatePackageDatabase(context->path("Package/DEFAULT.DCF"), context->path("Package"),
                          QStringLiteral("ACC-0001.FDB"), QStringLiteral("ADMIN"),
                          QStringLiteral("ADMIN"));
    SettingsFile settings;
    settings.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
    settings.writeString("GENERAL", "GSTSTARTDATE", "2024/03/10");
    settings.writeString("SQLACC", "DCF", context->path("Package/DEFAULT.DCF"));
    UseStandinPackage();
    data = std::make_unique<TdmPolling>();
    dmPolling = data.get();
    AddStationJobs(data->dbStk);
    InsertRow(data->dbApp, "MAS_CUSTOMER",
              {{"M_CODE", "C001"}, {"M_DESC", "Corner shop"}, {"M_EXPORT_ACCT", "F"}});
    for (const QString id : {"1", "2"}) {
        InsertRow(data->dbStk, "STK_MLEDGER",
                  With(LedgerRow("SL_IV", id), {{"S_AR_INVOICE_NO", "IV-" + id}}));
        if (id == "1") // the second has no lines: nothing to post
            InsertRow(data->dbStk, "STK_SLEDGER", LedgerLineRow(id));
    }
    data->tblCustomer.refresh();
}

void TestExportDialogRun::cleanup() {
    ReleaseBizApp();
    dmPolling = nullptr;
    data.reset();
    context.reset();
}

void TestExportDialogRun::answeringNoChangesNothing() {
    TdlgExportToAcct dialog;
    dialog.show();
    choose(dialog, "Sales");
    dialog.findChild<QRadioButton*>("rbtnSales_Inv")->click();
    dialog.btnSearchClick();
    waitIdle(dialog);
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
    waitIdle(dialog);
    context->messages->answers = {MessageAnswer::No};
    dialog.btnExportClick();
    // The question names what would be sent: both invoices of 106.00.
    QCOMPARE(context->messages->texts(),
             QStringList{"Confirm To Export ?\r\n2 documents ticked, Net Amt. 212.00"});
    QCOMPARE(exported(), 0);
}

void TestExportDialogRun::nothingTickedSaysSo() {
    TdlgExportToAcct dialog;
    dialog.show();
    choose(dialog, "Purchase");
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    QCOMPARE(context->messages->texts(),
             (QStringList{"Confirm To Export ?\r\n0 documents ticked, Net Amt. 0.00",
                          "No Data to Export"}));
}

void TestExportDialogRun::completedRunSearchesAgain() {
    TdlgExportToAcct dialog;
    dialog.show();
    // The package needs its customers first.
    choose(dialog, "Customer Profile");
    context->messages->answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    dialog.btnExportClick();
    context->messages->shown.clear();

    choose(dialog, "Sales");
    dialog.findChild<QRadioButton*>("rbtnSales_Inv")->click();
    dialog.btnSearchClick();
    waitIdle(dialog);
    QCOMPARE(recordLabel(dialog), QStringLiteral("Total Record: 2"));
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
    waitIdle(dialog);
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    waitIdle(dialog);
    QCOMPARE(context->messages->texts(),
             (QStringList{"Confirm To Export ?\r\n2 documents ticked, Net Amt. 212.00",
                          "Completed.\r\n1 posted, 106.00; 1 nothing to post"}));
    QCOMPARE(exported(), 1);
    // The search that follows offers the document that had nothing to post, unticked.
    QCOMPARE(recordLabel(dialog), QStringLiteral("Total Record: 1"));
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_EXPORT_ACCT"), QStringList{"F"});
}

void TestExportDialogRun::customerProfileGeneratesCodesAndCompletes() {
    TdlgExportToAcct dialog;
    dialog.show();
    choose(dialog, "Customer Profile");
    context->messages->answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    dialog.btnExportClick();
    QCOMPARE(
        context->messages->texts(),
        (QStringList{"Confirm To Export ?",
                     "Some record do not have Debtor Code. Do you want system to auto generate?",
                     "Completed."}));
    QCOMPARE(SelectValue(data->dbApp, "SELECT M_DEBTOR FROM MAS_CUSTOMER").toString(),
             QStringLiteral("300-C001"));
    QCOMPARE(data->tblCustomer.field("M_DEBTOR").asString(), QStringLiteral("300-C001"));
}

void TestExportDialogRun::anotherRunHoldingTheLockRefusesTheExport() {
    TdlgExportToAcct dialog;
    dialog.setRunUser("CLERK");
    dialog.show();
    choose(dialog, "Customer Profile");
    context->messages->answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    dialog.btnExportClick();
    context->messages->shown.clear();
    choose(dialog, "Sales");
    dialog.findChild<QRadioButton*>("rbtnSales_Inv")->click();
    dialog.btnSearchClick();
    waitIdle(dialog);
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
    waitIdle(dialog);

    std::optional<ExportRunLock> night;
    night.emplace(data->dbStk, ExportRunIdentity{"NIGHT", "zantro-batch", "schedule"});
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    const QStringList texts = context->messages->texts();
    QCOMPARE(texts.size(), 2);
    QVERIFY2(texts.at(1).startsWith("Another export run is in progress: started by NIGHT on "),
             qPrintable(texts.at(1)));
    QCOMPARE(exported(), 0);

    night.reset();
    context->messages->shown.clear();
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    waitIdle(dialog);
    QCOMPARE(context->messages->texts(),
             (QStringList{"Confirm To Export ?\r\n2 documents ticked, Net Amt. 212.00",
                          "Completed.\r\n1 posted, 106.00; 1 nothing to post"}));
    QCOMPARE(exported(), 1);
    // The journal names who ran it from the window.
    QCOMPARE(
        SelectValue(data->dbStk, "SELECT J_USER FROM ACC_POST_JOURNAL WHERE J_OUTCOME = 'POSTED'")
            .toString(),
        QStringLiteral("CLERK"));
}

QTEST_MAIN(TestExportDialogRun)
#include "test_export_dialog_run.moc"
