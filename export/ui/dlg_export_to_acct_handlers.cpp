// The export dialog's handlers: the tree, the kind buttons, the filters, the searches, ticking,
// Select All, Clear and Exit.
#include "config/export_account_type.h"
#include "config/settings_keys.h"
#include "config/ui/grid_columns.h"
#include "core/action_guard.h"
#include "core/app_context.h"
#include "data/dataset_model.h"
#include "data/dm_polling.h"
#include "export/module_codes.h"
#include "export/search_settings.h"
#include "export/ui/dlg_export_to_acct.h"
#include "export/work_table_model.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QTableView>
#include <QTreeWidget>

namespace {

const char kSales[] = "Sales";
const char kPurchase[] = "Purchase";
const char kReceivables[] = "AR";
const char kStockItem[] = "Stock Item";
const char kSupplierProfile[] = "Supplier Profile";
const char kCustomerProfile[] = "Customer Profile";

// No column of a grid starts wider than this; a longer description is cut and can be widened.
constexpr int kWidestColumn = 320;

QString amountText(double amount) {
    Dataset::FieldDisplay amountDisplay;
    amountDisplay.displayFormat = QStringLiteral("#,##0.00");
    return DatasetModel::displayText(amount, amountDisplay);
}

QString tickedText(const TickedTotals& ticked) {
    return QStringLiteral("Ticked: %1   Net Amt.: %2")
        .arg(ticked.count)
        .arg(amountText(ticked.netTotal));
}

} // namespace

void TdlgExportToAcct::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TdlgExportToAcct::FormShow() {
    const QString accountType = settings_.read(Keys::General::AccountType);
    moduleCode_ = QLatin1String(ModuleCodes::CashSales);
    TreeView1->clear();
    // Only SQL Accounting can take exports; for any other type no category can be chosen.
    if (AccountTypeCanExport(accountType)) {
        const int rowHeight = TreeView1->fontMetrics().height() + 10;
        for (const char* category :
             {kSales, kPurchase, kReceivables, kStockItem, kSupplierProfile, kCustomerProfile}) {
            auto* node = new QTreeWidgetItem({QLatin1String(category)});
            node->setSizeHint(0, QSize(0, rowHeight));
            TreeView1->addTopLevelItem(node);
        }
    }
    const QDate today = Now().date();
    for (QDateEdit* each : {DateTimePicker1, DateTimePicker2, ARDateTimePicker1, ARDateTimePicker2})
        each->setDate(today);
    // Clear, like Search and Export, waits for a category.
    btnClear->setEnabled(!category_.isEmpty());
    setRecordCount(QStringLiteral("0"));
}

void TdlgExportToAcct::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (busy_)
            return;
        // Enter chooses the tree's current category as a click does, also one the keyboard
        // moved to without selecting it yet.
        if (QTreeWidgetItem* current = TreeView1->currentItem(); current && !current->isSelected())
            TreeView1->setCurrentItem(current);
        TreeView1Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TdlgExportToAcct::sbNVisible() {
    for (QScrollArea* page : {sbTrans, sbAR, sbSupplier, sbCustomer, sbStock})
        page->hide();
    gbSales->hide();
    gbPurchase->hide();
}

void TdlgExportToAcct::TreeView1Click() {
    const QList<QTreeWidgetItem*> selected = TreeView1->selectedItems();
    if (selected.isEmpty())
        return;
    RunGuarded([&] {
        sbNVisible();
        detachGrid(wwDBGrid2);
        category_ = selected.first()->text(0);
        showCategoryChosen(true);
        lblTicked->setVisible(category_ == QLatin1String(kSales) ||
                              category_ == QLatin1String(kPurchase) ||
                              category_ == QLatin1String(kReceivables));
        if (category_ == QLatin1String(kSupplierProfile)) {
            showMasterPage(sbSupplier, ModuleCodes::Supplier, dmPolling->tblSupplier);
            fitGridColumns(wwDBGrid3);
        } else if (category_ == QLatin1String(kCustomerProfile)) {
            showMasterPage(sbCustomer, ModuleCodes::Customer, dmPolling->tblCustomer);
            fitGridColumns(wwDBGrid1);
        } else if (category_ == QLatin1String(kStockItem)) {
            showMasterPage(sbStock, ModuleCodes::StockItem, dmPolling->tblStock);
            fitGridColumns(wwDBGrid5);
        } else if (category_ == QLatin1String(kSales)) {
            sbTrans->show();
            gbSales->show();
            btnClear->setEnabled(true);
            rbtnSales_Cash->setChecked(true);
            chkSearchAll->setChecked(true);
            chkSearchAllClick();
            rbtnSales_CashClick();
            setRecordCount(QStringLiteral("0"));
        } else if (category_ == QLatin1String(kPurchase)) {
            sbTrans->show();
            gbPurchase->show();
            btnClear->setEnabled(true);
            rbtPur_Inv->setChecked(true);
            chkSearchAll->setChecked(true);
            chkSearchAllClick();
            rbtPur_InvClick();
            setRecordCount(QStringLiteral("0"));
        } else if (category_ == QLatin1String(kReceivables)) {
            sbAR->show();
            btnClear->setEnabled(true);
            rbtnAR_Inv->setChecked(true);
            chkARSearchAll->setChecked(true);
            chkARSearchAllClick();
            rbtnAR_InvClick();
            setRecordCount(QStringLiteral("0"));
        }
    });
}

void TdlgExportToAcct::showMasterPage(QScrollArea* page, const char* moduleCode, Table& master) {
    page->show();
    btnClear->setEnabled(false);
    moduleCode_ = QLatin1String(moduleCode);
    // Read the master again so the page shows what the table holds now.
    if (master.isActive())
        master.refresh();
    else
        master.open();
    setRecordCount(QString::number(master.recordCount()));
}

void TdlgExportToAcct::documentKindChosen(QRadioButton* button, const char* moduleCode) {
    detachGrid(wwDBGrid2);
    if (button->isChecked())
        moduleCode_ = QLatin1String(moduleCode);
    Edit1->setEnabled(false);
    Edit2->setEnabled(false);
    chkSelectAll->setChecked(false);
    setRecordCount(QStringLiteral("0"));
    showTicked();
    if (button->isChecked())
        showChangedElsewhere();
}

void TdlgExportToAcct::receivableKindChosen(QRadioButton* button, const char* moduleCode) {
    detachGrid(wwDBGrid4);
    if (button->isChecked())
        moduleCode_ = QLatin1String(moduleCode);
    chkARSelectAll->setChecked(false);
    setRecordCount(QStringLiteral("0"));
    showTicked();
    if (button->isChecked())
        showChangedElsewhere();
}

void TdlgExportToAcct::rbtnSales_CashClick() {
    documentKindChosen(rbtnSales_Cash, ModuleCodes::CashSales);
}
void TdlgExportToAcct::rbtnSales_InvClick() {
    documentKindChosen(rbtnSales_Inv, ModuleCodes::SalesInvoice);
}
void TdlgExportToAcct::rbtnSales_CNClick() {
    documentKindChosen(rbtnSales_CN, ModuleCodes::SalesCreditNote);
}
void TdlgExportToAcct::rbtPur_InvClick() {
    documentKindChosen(rbtPur_Inv, ModuleCodes::PurchaseInvoice);
}
void TdlgExportToAcct::rbtnPur_ReturnClick() {
    documentKindChosen(rbtnPur_Return, ModuleCodes::PurchaseReturn);
}
void TdlgExportToAcct::rbtnAR_InvClick() {
    receivableKindChosen(rbtnAR_Inv, ModuleCodes::ReceivableInvoice);
}
void TdlgExportToAcct::rbtnAR_DNClick() {
    receivableKindChosen(rbtnAR_DN, ModuleCodes::ReceivableDebitNote);
}
void TdlgExportToAcct::rbtnAR_CNClick() {
    receivableKindChosen(rbtnAR_CN, ModuleCodes::ReceivableCreditNote);
}
void TdlgExportToAcct::rbtnAR_PaymentClick() {
    receivableKindChosen(rbtnAR_Payment, ModuleCodes::ReceivablePayment);
}

void TdlgExportToAcct::chkSearchAllClick() {
    const bool filters = !chkSearchAll->isChecked();
    for (QWidget* each : std::initializer_list<QWidget*>{
             wwDBLookupCombo1, wwDBLookupCombo2, DateTimePicker1, DateTimePicker2, Edit1, Edit2})
        each->setEnabled(filters);
}

void TdlgExportToAcct::chkARSearchAllClick() {
    const bool filters = !chkARSearchAll->isChecked();
    for (QWidget* each :
         std::initializer_list<QWidget*>{wwDBLookupCombo3, ARDateTimePicker1, ARDateTimePicker2})
        each->setEnabled(filters);
}

void TdlgExportToAcct::wwDBLookupCombo1Change() {
    wwDBLookupCombo2->setEditText(wwDBLookupCombo1->currentText());
}

bool TdlgExportToAcct::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
        (watched == DateTimePicker1 || watched == ARDateTimePicker1))
        DateTimePicker1Exit(static_cast<QDateEdit*>(watched));
    else if (event->type() == QEvent::Hide && calendarPopups_.contains(watched))
        DateTimePicker1CloseUp(calendarPopups_.value(watched));
    return QDialog::eventFilter(watched, event);
}

void TdlgExportToAcct::DateTimePicker1CloseUp(QDateEdit* picker) {
    checkGstDate(picker);
}

void TdlgExportToAcct::DateTimePicker1Exit(QDateEdit* picker) {
    checkGstDate(picker);
}

void TdlgExportToAcct::checkGstDate(QDateEdit* picker) {
    RunGuarded([&] {
        const QDate gstStart = GstStartDateForCheck(settings_);
        if (picker->date() >= gstStart)
            return;
        Messages().error(QStringLiteral("Date cannot be earlier that GST Date!"));
        picker->setDate(gstStart);
    });
}

void TdlgExportToAcct::btnSearchClick() {
    if (category_.isEmpty() || busy_)
        return;
    RunGuarded([this] {
        chkSelectAll->setChecked(false);
        StockSearchFilter filter;
        filter.searchAll = chkSearchAll->isChecked();
        filter.store = wwDBLookupCombo1->currentText();
        filter.from = DateTimePicker1->date();
        filter.to = DateTimePicker2->date();
        filter.refFrom = Edit1->text();
        filter.refTo = Edit2->text();
        startSearch(PlanStockSearch(moduleCode_, filter, settings_), wwDBGrid2);
    });
}

void TdlgExportToAcct::btnARSearchClick() {
    if (category_.isEmpty() || busy_)
        return;
    RunGuarded([this] {
        chkARSelectAll->setChecked(false);
        ReceivableSearchFilter filter;
        filter.searchAll = chkARSearchAll->isChecked();
        filter.customer = wwDBLookupCombo3->currentText();
        filter.from = ARDateTimePicker1->date();
        filter.to = ARDateTimePicker2->date();
        startSearch(PlanReceivableSearch(moduleCode_, filter, settings_), wwDBGrid4);
    });
}

void TdlgExportToAcct::chkSelectAllClick() {
    // Nothing to tick before a search has shown the kind's rows.
    if (category_.isEmpty() || busy_ || !wwDBGrid2->model())
        return;
    tickAll(chkSelectAll->isChecked(), wwDBGrid2);
}

void TdlgExportToAcct::chkARSelectAllClick() {
    if (category_.isEmpty() || busy_ || !wwDBGrid4->model())
        return;
    tickAll(chkARSelectAll->isChecked(), wwDBGrid4);
}

void TdlgExportToAcct::btnClearClick() {
    if (category_.isEmpty() || busy_)
        return;
    // Clear throws the kind's rows and ticks away: No is the answer Enter gives.
    if (!Messages().confirmDefaultNo(QStringLiteral("Are You Sure To Clear ?")))
        return;
    WorkTableRequest request;
    request.action = WorkTableRequest::Action::Clear;
    request.moduleCode = moduleCode_;
    QTableView* grid = gridOf(moduleCode_);
    if (auto* model = qobject_cast<WorkTableModel*>(grid ? grid->model() : nullptr))
        request.order = model->order();
    startWork(request, QStringLiteral("Clearing"), [this, grid](const WorkTableResult& result) {
        if (result.ending == WorkTableResult::Ending::Done) {
            workTableUse_->recordCleared(result.request.moduleCode);
            if (grid && grid->model())
                showWork(grid, result);
            ticked_.insert(result.request.moduleCode, result.ticked);
            chkSelectAll->setChecked(false);
            chkARSelectAll->setChecked(false);
            setRecordCount(QStringLiteral("0"));
            showTicked();
        }
    });
}

void TdlgExportToAcct::btnExportClick() {
    // The page shown before a category is chosen is not a choice of what to send.
    if (category_.isEmpty() || busy_)
        return;
    RunGuarded([this] { RunExport(); });
}

QString TdlgExportToAcct::exportQuestion() {
    QString question = QStringLiteral("Confirm To Export ?");
    if (!IsTransactionCode(moduleCode_))
        return question;
    // Shown beside the question: another workstation's search may have unticked these rows,
    // and its ticks go out with this export.
    showChangedElsewhere();
    // What the work table holds now, which is what the run sends (also rows ticked at an earlier
    // opening that no grid shows).
    const TickedTotals ticked = ReadTickedTotals(dmPolling->dbStk, moduleCode_);
    ticked_.insert(moduleCode_, ticked);
    showTicked();
    return question +
           QStringLiteral("\r\n%1 %2 ticked, Net Amt. %3")
               .arg(ticked.count)
               .arg(ticked.count == 1 ? QStringLiteral("document") : QStringLiteral("documents"))
               .arg(amountText(ticked.netTotal));
}

void TdlgExportToAcct::btnExitClick() {
    // Every tick is written when it is made: nothing is left to save.
    if (busy_)
        return;
    QDialog::reject();
}

void TdlgExportToAcct::reject() {
    // Esc while work goes on cancels the work, not the window.
    if (busy_) {
        cancelWork();
        return;
    }
    QDialog::reject();
}

void TdlgExportToAcct::closeEvent(QCloseEvent* event) {
    if (!busy_) {
        QDialog::closeEvent(event);
        return;
    }
    // The window's close button during a search: the search is cancelled first (its work rolled
    // back), and the window closes when it has stopped.
    event->ignore();
    if (closeWhenIdle_)
        return;
    if (!Messages().confirm(busyText_ +
                            QStringLiteral(" is still going on.\r\nCancel it and close the "
                                           "window?")))
        return;
    closeWhenIdle_ = true;
    cancelWork();
}

void TdlgExportToAcct::fitGridColumns(QTableView* grid) {
    FitColumnsToContent(grid, kWidestColumn);
}

void TdlgExportToAcct::setRecordCount(const QString& number) {
    lblRec->setText(QStringLiteral("Total Record: ") + number);
}

void TdlgExportToAcct::showCategoryChosen(bool chosen) {
    for (QWidget* each : std::initializer_list<QWidget*>{btnSearch, btnARSearch, chkSelectAll,
                                                         chkARSelectAll, btnCheck, btnExport})
        each->setEnabled(chosen);
}

void TdlgExportToAcct::showChangedElsewhere() {
    QString warning;
    RunGuarded([&] { warning = workTableUse_->changedElsewhereText(moduleCode_); });
    if (!warning.isEmpty()) {
        lblChangedElsewhere->setText(warning);
        lblChangedElsewhere->show();
        changedElsewhereKind_ = moduleCode_;
    } else if (changedElsewhereKind_ != moduleCode_) {
        // Nothing new, and what is shown is of another kind. A warning of this kind stays
        // until its rows are searched here: choosing the kind can look twice in a row.
        hideChangedElsewhere();
    }
}

void TdlgExportToAcct::hideChangedElsewhere() {
    lblChangedElsewhere->hide();
    lblChangedElsewhere->clear();
    changedElsewhereKind_.clear();
}

void TdlgExportToAcct::showTicked() {
    QTableView* grid = sbAR->isVisibleTo(this) ? wwDBGrid4 : wwDBGrid2;
    const auto* model = qobject_cast<WorkTableModel*>(grid->model());
    lblTicked->setText(tickedText(model ? ticked_.value(model->moduleCode()) : TickedTotals{}));
}
