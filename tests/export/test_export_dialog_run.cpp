// The export dialog's Export button: its question, messages and the search that follows, with
// the stand-in package behind it.
#include "config/settings_file.h"
#include "data/connection.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/document_search.h"
#include "export/export_run.h"
#include "export/export_run_lock.h"
#include "export/ui/dlg_export_to_acct.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_setup.h"
#include "standin/standin_package.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QRadioButton>
#include <QSysInfo>
#include <QTreeWidget>
#include <QtTest>

#include <functional>
#include <utility>

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
    void generatedCodesThatDifferFromTheRuleAreListed();
    void documentsExportedByAnotherRunDuringTheQuestion();

private:
    void choose(TdlgExportToAcct& dialog, const QString& category) {
        auto* tree = dialog.findChild<QTreeWidget*>("TreeView1");
        tree->setCurrentItem(tree->findItems(category, Qt::MatchExactly).value(0));
        dialog.TreeView1Click();
    }
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
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
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
    QCOMPARE(recordLabel(dialog), QStringLiteral("Total Record: 2"));
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    QCOMPARE(
        context->messages->texts(),
        (QStringList{"Confirm To Export ?\r\n2 documents ticked, Net Amt. 212.00", "Completed."}));
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
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();

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
    QCOMPARE(
        context->messages->texts(),
        (QStringList{"Confirm To Export ?\r\n2 documents ticked, Net Amt. 212.00", "Completed."}));
    QCOMPARE(exported(), 1);
    // The journal names who ran it from the window.
    QCOMPARE(
        SelectValue(data->dbStk, "SELECT J_USER FROM ACC_POST_JOURNAL WHERE J_OUTCOME = 'POSTED'")
            .toString(),
        QStringLiteral("CLERK"));
}

void TestExportDialogRun::generatedCodesThatDifferFromTheRuleAreListed() {
    for (const QString code : {"CORPORATE01", "CORPORATE02"})
        InsertRow(data->dbApp, "MAS_CUSTOMER",
                  {{"M_CODE", code}, {"M_DESC", code}, {"M_EXPORT_ACCT", "F"}});
    TdlgExportToAcct dialog;
    dialog.show();
    choose(dialog, "Customer Profile");
    context->messages->answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    dialog.btnExportClick();
    QCOMPARE(context->messages->texts().last(),
             QStringLiteral("Completed.\r\n\r\n1 generated code(s) differ from the usual rule "
                            "because its code was taken:\r\nCORPORATE02: 300-ORATE0-2 (300-ORATE0 "
                            "is held by customer CORPORATE01)"));
    // Nothing generated, nothing listed.
    context->messages->shown.clear();
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    QCOMPARE(context->messages->texts(), (QStringList{"Confirm To Export ?", "Completed."}));
}

namespace {
// Runs `duringQuestion` while the first question is on the screen, as another workstation might
// do its work while the bookkeeper reads it.
class QuestionInterrupted : public ScriptedMessages {
public:
    MessageAnswer show(MessageKind kind, const QString& text) override {
        if (kind == MessageKind::Confirmation && duringQuestion)
            std::exchange(duringQuestion, {})();
        return ScriptedMessages::show(kind, text);
    }
    std::function<void()> duringQuestion;
};
} // namespace

// The bookkeeper ticks the invoices and presses Export; while the question is open, another
// workstation exports them and searches again. The run then finds nothing ticked, and says who
// exported them instead of "No Data to Export".
void TestExportDialogRun::documentsExportedByAnotherRunDuringTheQuestion() {
    TdlgExportToAcct dialog;
    dialog.show();
    choose(dialog, "Customer Profile");
    context->messages->answers = {MessageAnswer::Yes, MessageAnswer::Yes};
    dialog.btnExportClick();
    choose(dialog, "Sales");
    dialog.findChild<QRadioButton*>("rbtnSales_Inv")->click();
    dialog.btnSearchClick();
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();

    auto messages = std::make_shared<QuestionInterrupted>();
    AppContext::instance().setMessages(messages);
    messages->answers = {MessageAnswer::Yes};
    messages->duringQuestion = [this] {
        DbConnection otherStock(QStringLiteral("OtherWorkstation"), QStringLiteral("ZantStk"));
        const SettingsFile settings;
        context->clock->advanceSeconds(20);
        ExportRunLock other(otherStock, {"NIGHT", "zantro-batch", "export SL_IV"});
        ExportRun(*data, settings, {other.runId(), "NIGHT", false}).Run("SL_IV");
        DocumentSearch(*data, settings, DocumentSearch::ViewReading::CountOnly)
            .SearchStockDocuments("SL_IV", StockSearchFilter{});
        context->clock->advanceSeconds(20);
    };
    dialog.btnExportClick();
    AppContext::instance().setMessages(context->messages);
    QCOMPARE(messages->texts(),
             (QStringList{
                 "Confirm To Export ?\r\n2 documents ticked, Net Amt. 212.00",
                 QString("Nothing left to export: the run of NIGHT on %1 in %2, process "
                         "%3, exported it.")
                     .arg(QSysInfo::machineHostName(), QDir::toNativeSeparators(context->folder()))
                     .arg(QCoreApplication::applicationPid())}));
    QCOMPARE(exported(), 1);
    // The grid shows what is left, as after a run of its own.
    QCOMPARE(recordLabel(dialog), QStringLiteral("Total Record: 1"));
}

QTEST_MAIN(TestExportDialogRun)
#include "test_export_dialog_run.moc"
