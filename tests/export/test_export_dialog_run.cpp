// The export dialog's Export button: its question, messages and the search that follows, with
// the stand-in package behind it.
#include "config/settings_file.h"
#include "core/app_context.h"
#include "data/connection.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/document_search.h"
#include "export/export_run.h"
#include "export/export_run_lock.h"
#include "export/posting_journal.h"
#include "export/scheduled_export.h"
#include "export/ui/dlg_export_to_acct.h"
#include "export/ui/einvoice_check_dialog.h"
#include "export/ui/posted_documents_dialog.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_setup.h"
#include "standin/standin_package.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QSysInfo>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
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
    void closingMessageNamesWhatDiffersInThePackage();
    void customerProfileGeneratesCodesAndCompletes();
    void anotherRunHoldingTheLockRefusesTheExport();
    void generatedCodesThatDifferFromTheRuleAreListed();
    void documentsExportedByAnotherRunDuringTheQuestion();
    void statusColumnAfterAWindowRunStoppedAtARefusal();
    void statusColumnAfterAScheduledRunThatWentOn();
    void postedDocumentsShowARunAsTheJournalHasIt();
    void eInvoiceMonthCheckWindow();
    void checkButtonFillsTheStatusColumnAndChangesNoTick();
    void exportAsksToPostOnlyTheReadyOnes_data();
    void exportAsksToPostOnlyTheReadyOnes();

private:
    // Receipts 7, 8 and 9 of 106.00 each (cash sales By Item), each with one line.
    void addReceipts() {
        for (int receipt : {7, 8, 9}) {
            InsertRow(data->dbStk, "POS_SALES",
                      With(ReceiptRow(), {{"SALES_TRANSNO", receipt}, {"SALES_RCPTNO", receipt}}));
            InsertRow(data->dbStk, "POS_SALESDTL",
                      {{"SDTL_STORE", "S001"},
                       {"SDTL_CTRNO", "01"},
                       {"SDTL_TRANSNO", receipt},
                       {"SDTL_DATETIME", At(2024, 3, 20, 14, 35, 10)},
                       {"SDTL_LINENO", 1},
                       {"SDTL_CLOSEDATE", At(2024, 3, 20)},
                       {"SDTL_PLUNO", "P1"},
                       {"SDTL_QTY", 1.0},
                       {"SDTL_SELLPRICE", 106.0},
                       {"SDTL_TAXSYMBOL", "S"},
                       {"SALES_EXPORT_ACCT", "F"}});
        }
    }
    // The customers (the cash-sales debtor among them) go to the package first.
    void exportCustomers(TdlgExportToAcct& dialog) {
        choose(dialog, "Customer Profile");
        context->messages->answers = {MessageAnswer::Yes, MessageAnswer::Yes};
        dialog.btnExportClick();
        context->messages->shown.clear();
    }
    // The grid's Doc No, tick and Status of each row, as "000000008 T refused: ...".
    QStringList gridRows(TdlgExportToAcct& dialog) {
        QAbstractItemModel* model = dialog.findChild<QTableView*>("wwDBGrid2")->model();
        QStringList rows;
        for (int row = 0; model && row < model->rowCount(); ++row)
            rows << QStringLiteral("%1 %2 %3")
                        .arg(model->index(row, 2).data().toString(),
                             model->index(row, 0).data(Qt::CheckStateRole).toInt() == Qt::Checked
                                 ? "T"
                                 : "F",
                             model->index(row, model->columnCount() - 1).data().toString());
        return rows;
    }
    const QString refusal = QStringLiteral("SL_CS: customer code \"300-POS\" does not exist");
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
    StandinPackage* package = nullptr;
};

void TestExportDialogRun::init() {
    context = std::make_unique<TestContext>(QDateTime(QDate(2024, 3, 25), QTime(9, 0)));
    TestDatabases::CreateInstallation(context->folder());
    CreateTestPackage(context->folder());
    SettingsFile settings;
    settings.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
    settings.writeString("GENERAL", "GSTSTARTDATE", "2024/03/10");
    settings.writeString("SQLACC", "DCF", context->path("Package/DEFAULT.DCF"));
    package = &UseStandinPackage();
    package->clearFaults();
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

// A document the package took with another total than the back office's is posted and flagged,
// and the closing message says which and by how much.
void TestExportDialogRun::closingMessageNamesWhatDiffersInThePackage() {
    data->dbStk.execute("UPDATE STK_MLEDGER SET S_NETTOTAL = 110 WHERE S_ID = '1'");
    TdlgExportToAcct dialog;
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
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    waitIdle(dialog);
    QCOMPARE(context->messages->texts().value(1),
             QStringLiteral("Completed.\r\n1 posted, 110.00; 1 nothing to post\r\n1 document(s) "
                            "were posted, but read back from the "
                            "accounting package their figures differ from the source's:\r\nIV-1: "
                            "posted; the package's total 106.00 differs from the source's 110.00 "
                            "by 4.00"));
    QCOMPARE(exported(), 1);
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
    waitIdle(dialog);
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
    waitIdle(dialog);

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
    waitIdle(dialog);
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

// The window's run stops at the package's refusal of the second receipt: its box names the
// document and what to do, and the grid tells what became of each row, the refused one first and
// still ticked, the one not reached still ticked, the posted one unticked. A second Export sends
// only those two.
void TestExportDialogRun::statusColumnAfterAWindowRunStoppedAtARefusal() {
    addReceipts();
    TdlgExportToAcct dialog;
    dialog.show();
    exportCustomers(dialog);
    choose(dialog, "Sales");
    dialog.btnSearchClick();
    waitIdle(dialog);
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
    waitIdle(dialog);
    package->failCall("Save", 2, refusal.toStdString());
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    waitIdle(dialog);
    QCOMPARE(context->messages->texts(),
             (QStringList{"Confirm To Export ?\r\n3 documents ticked, Net Amt. 318.00",
                          "S001-01-000000008: " + refusal +
                              "\r\nExport the Customer Profile first: choose Customer Profile in "
                              "this dialog, then Export"}));
    QCOMPARE(context->messages->shown.last().kind, MessageKind::Error);
    QCOMPARE(gridRows(dialog), (QStringList{"000000008 T refused: " + refusal, "000000007 F posted",
                                            "000000009 T not reached"}));
    QCOMPARE(recordLabel(dialog), QStringLiteral("Total Record: 3"));

    package->clearFaults();
    context->messages->shown.clear();
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    waitIdle(dialog);
    QCOMPARE(context->messages->texts(),
             (QStringList{"Confirm To Export ?\r\n2 documents ticked, Net Amt. 212.00",
                          "Completed.\r\n2 posted, 212.00"}));
    QCOMPARE(
        SelectValue(data->dbStk, "SELECT COUNT(*) FROM POS_SALES WHERE SALES_EXPORT_ACCT = 'T'")
            .toInt(),
        3);
    QCOMPARE(recordLabel(dialog), QStringLiteral("Total Record: 0"));
}

// A scheduled run goes on past the refusal. Its statuses outlive the search that ends it: the
// bookkeeper's next search shows the refused receipt first with the package's text.
void TestExportDialogRun::statusColumnAfterAScheduledRunThatWentOn() {
    addReceipts();
    {
        TdlgExportToAcct dialog;
        dialog.show();
        exportCustomers(dialog);
    }
    // S001 sends its cash sales by schedule as well as by hand.
    data->dbStk.execute("UPDATE ACC_STATION_JOB SET P_STATUS = 'RMS' WHERE P_STORE = 'S001' AND "
                        "P_FILE = 'SLSTRN'");
    package->failCall("Save", 2, refusal.toStdString());
    SettingsFile settings;
    DocumentSearch search(*data, settings, DocumentSearch::ViewReading::CountOnly);
    ScheduledExport schedule(*data, settings, search, {QString(), "NIGHT", true});
    const QList<ScheduledKind> report = schedule.Run(ScheduleOptions{});
    QCOMPARE(report.first().run.posted, 2);
    QCOMPARE(report.first().run.refused, 1);
    QCOMPARE(SelectValue(data->dbStk, "SELECT LIST(SALES_TRANSNO || SALES_EXPORT_ACCT) FROM "
                                      "(SELECT * FROM POS_SALES ORDER BY SALES_TRANSNO)")
                 .toString(),
             QStringLiteral("7T,8F,9T"));

    TdlgExportToAcct dialog;
    dialog.show();
    choose(dialog, "Sales");
    dialog.btnSearchClick();
    waitIdle(dialog);
    QCOMPARE(gridRows(dialog), QStringList{"000000008 F refused: " + refusal});
}

// The window of posted documents lists the runs of the day and, for the one chosen, its documents
// with what became of them, and totals that agree with the journal. The reconciliation beside it
// leads back to the documents still outstanding.
void TestExportDialogRun::postedDocumentsShowARunAsTheJournalHasIt() {
    addReceipts();
    TdlgExportToAcct dialog;
    dialog.setRunUser("CLERK");
    dialog.show();
    exportCustomers(dialog);
    // The cash sales are sent a minute after the customers.
    context->clock->advanceSeconds(60);
    choose(dialog, "Sales");
    dialog.btnSearchClick();
    waitIdle(dialog);
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
    waitIdle(dialog);
    package->failCall("Save", 2, refusal.toStdString());
    context->messages->answers = {MessageAnswer::Yes};
    dialog.btnExportClick();
    waitIdle(dialog);
    context->messages->shown.clear();

    TdlgPostedDocuments posted;
    posted.show();
    // It reads off its thread.
    QVERIFY(posted.isReading());
    QTRY_VERIFY(!posted.isReading());
    // Latest first: the cash-sales run, then the customers' (which handled no document).
    QCOMPARE(posted.runs().size(), 2);
    const PostedRun& run = posted.runs().first();
    QCOMPARE(run.source(), QStringLiteral("window"));
    QCOMPARE(run.user, QStringLiteral("CLERK"));
    QCOMPARE(run.kinds, QStringList{"SL_CS"});
    QCOMPARE(run.stores, QStringList{"S001"});
    QCOMPARE(run.totals.posted, 1);
    QCOMPARE(run.totals.refused, 1);
    QCOMPARE(posted.runs().at(1).totals.documents, 0);
    // Choosing the other run reads its documents: none.
    auto* runs = posted.findChild<QTableView*>("grdRuns");
    runs->setCurrentIndex(runs->model()->index(1, 0));
    QTRY_VERIFY(!posted.isReading());
    QVERIFY(posted.documents().isEmpty());
    runs->setCurrentIndex(runs->model()->index(0, 0));
    QTRY_VERIFY(!posted.isReading());

    // The documents of the run, as the journal holds them.
    QList<JournalEntry> journal = ReadJournal(data->dbStk, data->dbAR, {});
    journal.removeIf([&](const JournalEntry& entry) { return entry.runId != run.runId; });
    QCOMPARE(posted.documents().size(), journal.size());
    auto* rows =
        qobject_cast<QStandardItemModel*>(posted.findChild<QTableView*>("grdDocuments")->model());
    QCOMPARE(rows->rowCount(), 2);
    for (int row = 0; row < rows->rowCount(); ++row) {
        QCOMPARE(rows->item(row, 0)->text(), journal.at(row).documentNumber);
        QCOMPARE(rows->item(row, 3)->text(), QStringLiteral("106.00"));
        QCOMPARE(rows->item(row, 4)->text(), JournalOutcomeText(journal.at(row).outcome));
        QCOMPARE(rows->item(row, 5)->text(), journal.at(row).message);
    }
    QCOMPARE(rows->item(1, 4)->text(), QStringLiteral("refused"));
    QCOMPARE(posted.findChild<QLabel*>("lblDocumentTotals")->text(),
             QStringLiteral("Documents: 2   Posted: 1, 106.00   Refused: 1"));

    // Refused only: the run's refused document.
    auto* outcome = posted.findChild<QComboBox*>("cbPostedOutcome");
    outcome->setCurrentIndex(outcome->findData("REFUSED"));
    posted.btnShowClick();
    QTRY_VERIFY(!posted.isReading());
    QCOMPARE(posted.runs().size(), 1);
    QCOMPARE(posted.documents().size(), 1);
    QCOMPARE(posted.documents().first().documentNumber, QStringLiteral("S001-01-000000008"));

    QTemporaryDir folder;
    const QString csv = folder.filePath("refused.csv");
    QVERIFY(posted.saveCsv(csv));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    // UTF-8, said so by its byte-order mark for the spreadsheets.
    QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
    QCOMPARE(QString::fromUtf8(bytes.mid(3)),
             QStringLiteral("Document,Party,Date,Amount,Outcome,Package's text,Store,Kind\r\n"
                            "S001-01-000000008,300-POS,20/03/2024,106.00,refused,\"SL_CS: "
                            "customer code \"\"300-POS\"\" does not exist\",S001,SL_CS\r\n"));

    // The reconciliation of the documents' day: two receipts outstanding; a double click on
    // them asks for their search.
    outcome->setCurrentIndex(0);
    posted.findChild<QDateEdit*>("dtpPostedFrom")->setDate(QDate(2024, 3, 20));
    posted.btnShowClick();
    QTRY_VERIFY(!posted.isReading());
    const QList<ReconciliationRow>& reconciliation = posted.reconciliation();
    int cashSales = -1;
    for (int row = 0; row < reconciliation.size(); ++row)
        if (reconciliation.at(row).moduleCode == "SL_CS")
            cashSales = row;
    QVERIFY(cashSales >= 0);
    QCOMPARE(reconciliation.at(cashSales).store, QStringLiteral("S001"));
    QCOMPARE(reconciliation.at(cashSales).atSource, 3);
    QCOMPARE(reconciliation.at(cashSales).posted, 1);
    QCOMPARE(reconciliation.at(cashSales).outstanding, 2);
    posted.findChild<QTabWidget*>("tabPosted")->setCurrentIndex(1);
    auto* grid = posted.findChild<QTableView*>("grdReconciliation");
    QSignalSpy chosen(&posted, &TdlgPostedDocuments::outstandingChosen);
    emit grid->doubleClicked(grid->model()->index(cashSales, 3)); // at source: nothing
    QCOMPARE(chosen.size(), 0);
    emit grid->doubleClicked(grid->model()->index(cashSales, 7));
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.first(), (QVariantList{"S001", QDate(2024, 3, 20), "SL_CS"}));

    // The export dialog searches that store, day and kind.
    dialog.SearchFor("S001", QDate(2024, 3, 20), "SL_CS");
    waitIdle(dialog);
    QVERIFY(!dialog.findChild<QCheckBox*>("chkSearchAll")->isChecked());
    QCOMPARE(recordLabel(dialog), QStringLiteral("Total Record: 2"));
}

// The month check in the window reads the month chosen and shows what the batch command prints.
void TestExportDialogRun::eInvoiceMonthCheckWindow() {
    addReceipts(); // 7, 8 and 9 of 20 March, not posted
    InsertRow(data->dbStk, "POS_SALES",
              With(ReceiptRow(), {{"SALES_TRANSNO", 10},
                                  {"SALES_RCPTNO", 10},
                                  {"SALES_NETSALES", 10500.0},
                                  {"SALES_EXPORT_ACCT", "T"}}));
    TdlgEInvoiceCheck check;
    check.show();
    check.setMonth(QDate(2024, 3, 31));
    QCOMPARE(check.findChild<QDateEdit*>("dtpMonth")->text(), QStringLiteral("2024/03"));
    QTest::mouseClick(check.findChild<QPushButton*>("btnCheck"), Qt::LeftButton);
    const EInvoiceMonthCheck expected =
        CheckEInvoiceMonth(data->dbStk, QDate(2024, 3, 1), Now().date());
    QCOMPARE(check.lastCheck().problems(), 2);
    QCOMPARE(check.findChild<QPlainTextEdit*>("memCheck")->toPlainText(),
             EInvoiceCheckText(expected));
    QVERIFY(
        check.findChild<QPlainTextEdit*>("memCheck")
            ->toPlainText()
            .contains(
                "receipt 000000010 of 2024/03/20, 10,500.02, flagged as exported, not found in the "
                "posting journal"));
    QVERIFY(check.findChild<QLabel*>("lblResult")
                ->text()
                .startsWith("The month is not complete: 2 point(s)"));
    // Another month: nothing there.
    check.setMonth(QDate(2024, 4, 1));
    QTest::mouseClick(check.findChild<QPushButton*>("btnCheck"), Qt::LeftButton);
    QCOMPARE(check.findChild<QLabel*>("lblResult")->text(),
             QStringLiteral("The month is complete."));
    QVERIFY(check.findChild<QPlainTextEdit*>("memCheck")
                ->toPlainText()
                .contains("No POS sales in the month."));
}

// The Check button names what the package would refuse, in the Status column and in a box that
// sums it up; it posts nothing and leaves every tick.
void TestExportDialogRun::checkButtonFillsTheStatusColumnAndChangesNoTick() {
    addReceipts();
    TdlgExportToAcct dialog;
    dialog.show();
    choose(dialog, "Sales");
    dialog.btnSearchClick();
    waitIdle(dialog);
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
    waitIdle(dialog);
    auto* check = dialog.findChild<QPushButton*>("btnCheck");
    QCOMPARE(check->text(), QStringLiteral("Check (Ctrl+K)"));
    QCOMPARE(check->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    context->messages->answers = {MessageAnswer::Ok};
    check->click();
    waitIdle(dialog);
    QCOMPARE(context->messages->texts(),
             QStringList{"3 documents checked: 0 ready, 3 would be refused; 3 need the Customer "
                         "Profile exported first"});
    const QString missing =
        QStringLiteral("T Would be refused: customer \"300-POS\" is not in the accounting package");
    QCOMPARE(gridRows(dialog),
             (QStringList{"000000007 " + missing, "000000008 " + missing, "000000009 " + missing}));
    QCOMPARE(
        SelectValue(data->dbStk, "SELECT COUNT(*) FROM POS_SALES WHERE SALES_EXPORT_ACCT = 'T'")
            .toInt(),
        0);
    QCOMPARE(package->openBusinessObjects(), 0);
}

// Export checks first. When documents would be refused it asks whether to post only the ready
// ones: No changes nothing, Yes unticks the others and posts the rest, whose statuses say why.
void TestExportDialogRun::exportAsksToPostOnlyTheReadyOnes_data() {
    QTest::addColumn<bool>("postReady");
    QTest::newRow("stop") << false;
    QTest::newRow("post the ready ones") << true;
}

void TestExportDialogRun::exportAsksToPostOnlyTheReadyOnes() {
    QFETCH(bool, postReady);
    addReceipts();
    data->dbStk.execute("UPDATE POS_SALESDTL SET SDTL_PLUNO = 'P9' WHERE SDTL_TRANSNO = 8");
    TdlgExportToAcct dialog;
    dialog.show();
    exportCustomers(dialog);
    choose(dialog, "Sales");
    dialog.btnSearchClick();
    waitIdle(dialog);
    dialog.findChild<QCheckBox*>("chkSelectAll")->click();
    waitIdle(dialog);
    context->messages->answers = {MessageAnswer::Yes,
                                  postReady ? MessageAnswer::Yes : MessageAnswer::No};
    dialog.btnExportClick();
    waitIdle(dialog);
    const QString refused = QStringLiteral(
        "Would be refused: item code \"P9\" is not in the accounting package (line 1)");
    QStringList expected{"Confirm To Export ?\r\n3 documents ticked, Net Amt. 318.00",
                         "3 documents checked: 2 ready, 1 would be refused\r\nPost only the 2 "
                         "ready documents and untick the others? No stops the export; the "
                         "Status column says why each would be refused."};
    if (postReady)
        expected << "Completed.\r\n2 posted, 212.00";
    QCOMPARE(context->messages->texts(), expected);
    const int posted =
        SelectValue(data->dbStk, "SELECT COUNT(*) FROM POS_SALES WHERE SALES_EXPORT_ACCT = 'T'")
            .toInt();
    QCOMPARE(posted, postReady ? 2 : 0);
    if (postReady)
        QCOMPARE(gridRows(dialog), QStringList{"000000008 F " + refused});
    else
        QCOMPARE(gridRows(dialog),
                 (QStringList{"000000008 T " + refused, "000000007 T ready", "000000009 T ready"}));
}

QTEST_MAIN(TestExportDialogRun)
#include "test_export_dialog_run.moc"
