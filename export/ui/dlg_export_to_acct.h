#pragma once

#include "config/settings_file.h"
#include "export/document_search.h"
#include "export/posting_check.h"
#include "export/work_table_use.h"
#include "export/work_table_worker.h"

#include <QDialog>
#include <QHash>

#include <functional>
#include <memory>
#include <optional>

class WorkTableModel;
class QAbstractItemModel;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QScrollArea;
class QSplitter;
class QTableView;
class QTreeWidget;

// The export dialog ("Export to Accounting"): a category tree, one page per category, the
// searches that fill the export work table, ticking, Select All and Clear. Works on the data
// module dmPolling (which must exist) and the settings file in the program folder. The main
// window opens it modally; closing it keeps the work table's rows and ticks.
//
// Searches, Select All, Clear and sorting run off the window's thread (WorkTableWorker): the
// window shows how far they got with a Cancel button, and nothing else of it can be used until
// they end. The grids read the work table a page at a time (WorkTableModel).
class TdlgExportToAcct : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool busy READ isBusy NOTIFY workEnded)
public:
    explicit TdlgExportToAcct(QWidget* parent = nullptr);
    ~TdlgExportToAcct() override;

    // The kind of document (or master) the dialog works on: SL_CS when it opens.
    const QString& ModuleCode() const { return moduleCode_; }
    // The text of the tree category chosen last, empty before the first choice.
    const QString& Category() const { return category_; }

    // The logged-in user, whom the export's lock and journal name.
    void setRunUser(const QString& userCode) {
        runUser_ = userCode;
        workTableUse_->setUser(userCode);
    }

    // True while work on the work table (a search, Select All, Clear, a new order) goes on.
    bool isBusy() const { return busy_; }

    // Shows the kind's page with the range of one store and one day (receivable kinds, which
    // the AR search cannot narrow to a store, with Search All) and searches.
    void SearchFor(const QString& store, const QDate& day, const QString& moduleCode);

    // Opens the window of posted documents over this one.
    void btnPostedClick();

    // Handlers, named after their control and event.
    void FormShow();
    void TreeView1Click();
    void sbNVisible();
    void rbtnSales_CashClick();
    void rbtnSales_InvClick();
    void rbtnSales_CNClick();
    void rbtPur_InvClick();
    void rbtnPur_ReturnClick();
    void rbtnAR_InvClick();
    void rbtnAR_DNClick();
    void rbtnAR_CNClick();
    void rbtnAR_PaymentClick();
    void chkSearchAllClick();
    void chkARSearchAllClick();
    void wwDBLookupCombo1Change();
    void DateTimePicker1CloseUp(QDateEdit* picker);
    void DateTimePicker1Exit(QDateEdit* picker);
    void btnSearchClick();
    void btnARSearchClick();
    void btnClearClick();
    void chkSelectAllClick();
    void chkARSelectAllClick();
    void btnCheckClick();
    void btnExportClick();
    void btnExitClick();

    void reject() override;

signals:
    // Work on the work table ended (done, cancelled or failed) and the window is usable again.
    void workEnded();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString runUser_;

    // The export run of btnExportClick: posting the ticked rows (or the master) and marking
    // their sources. Defined in dlg_export_to_acct_export.cpp.
    void RunExport();
    // "Confirm To Export ?" and, for a document kind, the number and net sum of the rows the
    // run would send (a tick still being edited is saved first, so it counts).
    QString exportQuestion();
    // The check before posting over the ticked documents of the kind, with a progress window
    // whose Cancel stops it; its result fills the Status column. Empty when cancelled. Defined
    // in dlg_export_to_acct_check.cpp.
    std::optional<CheckReport> checkTicked();

    void buildControls();
    QScrollArea* buildTransactionPage();
    QScrollArea* buildReceivablePage();
    QScrollArea* buildMasterPage(const QString& objectName, const QString& groupTitle,
                                 QRadioButton*& allButton, QRadioButton*& diffButton,
                                 const QString& diffName, QTableView*& grid,
                                 const QString& gridName);
    void connectHandlers();

    void documentKindChosen(QRadioButton* button, const char* moduleCode);
    void receivableKindChosen(QRadioButton* button, const char* moduleCode);
    void showMasterPage(QScrollArea* page, const char* moduleCode, class Table& master);
    void checkGstDate(QDateEdit* picker);
    void attachGrid(QTableView* grid, const QString& moduleCode);
    void detachGrid(QTableView* grid);

    // Work on the work table: `done` runs when it ends (the window usable again).
    void startWork(WorkTableRequest request, const QString& busyText,
                   std::function<void(const WorkTableResult&)> done);
    void workFinished(const WorkTableResult& result);
    void showWorkProgress(int rows);
    void setBusy(bool busy);
    void cancelWork();
    void startSearch(const SearchPlan& plan, QTableView* grid);
    void tickAll(bool ticked, QTableView* grid);
    void orderRequested(WorkTableModel* model, const WorkTableOrder& order);
    // The grid's rows (and ticked totals) as the work read them.
    void showWork(QTableView* grid, const WorkTableResult& result);
    // The ticked count and sum read again off the window's thread after a tick.
    void recountTicked();
    // What the run left: the refused rows first with their status, the rest as they stand.
    void showRunStatuses(bool notReached);
    WorkTableModel* gridModel(const QString& moduleCode);
    QTableView* gridOf(const QString& moduleCode) const;
    void setRecordCount(const QString& number);
    // Search, Select All and Export wait for a category: before one is chosen the page shown
    // is only the dialog's opening state.
    void showCategoryChosen(bool chosen);
    // The ticked rows of the grid of the page in use, under it beside the record counter.
    void showTicked();
    // Says that another workstation changed the current kind's rows since this one last looked
    // at them, or stops saying it for another kind.
    void showChangedElsewhere();
    void hideChangedElsewhere();
    void fitGridColumns(QTableView* grid);

    SettingsFile settings_;
    // Who searched, ticked and cleared the kinds of the shared work table, and what this
    // workstation has seen of it.
    std::unique_ptr<WorkTableUse> workTableUse_;
    QString moduleCode_;
    QString category_;
    bool shown_ = false;
    QHash<QString, WorkTableModel*> gridModels_;
    WorkTableWorker* worker_ = nullptr;
    bool busy_ = false;
    QString busyText_;
    WorkTableRequest::Action busyAction_ = WorkTableRequest::Action::ReadOrder;
    std::function<void(const WorkTableResult&)> afterWork_;
    // The controls disabled while busy, and whether each was enabled before.
    QHash<QWidget*, bool> enabledBeforeWork_;
    bool closeWhenIdle_ = false;
    bool recountRunning_ = false;
    bool recountAgain_ = false;
    // The ticked count and sum of each kind as last read from the work table.
    QHash<QString, TickedTotals> ticked_;
    // The calendar pop-up of each from-date picker.
    QHash<QObject*, QDateEdit*> calendarPopups_;

    QTreeWidget* TreeView1 = nullptr;
    QScrollArea* sbTrans = nullptr;
    QScrollArea* sbAR = nullptr;
    QScrollArea* sbSupplier = nullptr;
    QScrollArea* sbCustomer = nullptr;
    QScrollArea* sbStock = nullptr;

    QGroupBox* gbSales = nullptr;
    QGroupBox* gbPurchase = nullptr;
    QRadioButton* rbtnSales_Cash = nullptr;
    QRadioButton* rbtnSales_Inv = nullptr;
    QRadioButton* rbtnSales_CN = nullptr;
    QRadioButton* rbtPur_Inv = nullptr;
    QRadioButton* rbtnPur_Return = nullptr;
    QComboBox* wwDBLookupCombo1 = nullptr;
    QComboBox* wwDBLookupCombo2 = nullptr;
    QDateEdit* DateTimePicker1 = nullptr;
    QDateEdit* DateTimePicker2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QCheckBox* chkSearchAll = nullptr;
    QPushButton* btnSearch = nullptr;
    QCheckBox* chkSelectAll = nullptr;
    QTableView* wwDBGrid2 = nullptr;

    QRadioButton* rbtnAR_Inv = nullptr;
    QRadioButton* rbtnAR_DN = nullptr;
    QRadioButton* rbtnAR_CN = nullptr;
    QRadioButton* rbtnAR_Payment = nullptr;
    QComboBox* wwDBLookupCombo3 = nullptr;
    QDateEdit* ARDateTimePicker1 = nullptr;
    QDateEdit* ARDateTimePicker2 = nullptr;
    QCheckBox* chkARSearchAll = nullptr;
    QPushButton* btnARSearch = nullptr;
    QCheckBox* chkARSelectAll = nullptr;
    QTableView* wwDBGrid4 = nullptr;

    QRadioButton* rbtnSupp_All = nullptr;
    QRadioButton* rbtnSupp_Amend = nullptr;
    QTableView* wwDBGrid3 = nullptr;
    QRadioButton* rbtnCust_All = nullptr;
    QRadioButton* rbtnCust_Diff = nullptr;
    QTableView* wwDBGrid1 = nullptr;
    QRadioButton* rbtnItem_All = nullptr;
    QRadioButton* rbtnItem_Diff = nullptr;
    QTableView* wwDBGrid5 = nullptr;

    QSplitter* Splitter1 = nullptr;
    QLabel* lblRec = nullptr;
    // The ticked rows of the grid shown and the sum of their net amounts.
    QLabel* lblTicked = nullptr;
    // The warning that another workstation changed the rows of the kind; hidden when none.
    QLabel* lblChangedElsewhere = nullptr;
    QString changedElsewhereKind_; // the kind lblChangedElsewhere speaks of
    // The line shown while work goes on: what it does, how far it got, and Cancel.
    QWidget* pnlWork = nullptr;
    QLabel* lblWork = nullptr;
    QProgressBar* pbWork = nullptr;
    QPushButton* btnCancelWork = nullptr;
    QPushButton* btnPosted = nullptr;
    QPushButton* btnCheck = nullptr;
    QPushButton* btnExport = nullptr;
    QPushButton* btnClear = nullptr;
    QPushButton* btnExit = nullptr;
};
