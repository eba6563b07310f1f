// The export dialog's work on the work table off its thread (searches, Select All, Clear, a new
// order, the ticked count), its busy line with Cancel, and the grids that show the kinds' rows.
#include "config/ui/grid_columns.h"
#include "core/action_guard.h"
#include "core/app_context.h"
#include "data/dm_polling.h"
#include "export/module_codes.h"
#include "export/ui/dlg_export_to_acct.h"
#include "export/ui/posted_documents_dialog.h"
#include "export/work_table_model.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSplitter>
#include <QTableView>
#include <QTreeWidget>

#include <optional>

namespace {

constexpr int kKeySize = 8;

QString countText(int rows) {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(rows);
}

} // namespace

WorkTableModel* TdlgExportToAcct::gridModel(const QString& moduleCode) {
    WorkTableModel*& model = gridModels_[moduleCode];
    if (!model) {
        model =
            new WorkTableModel(dmPolling->dbStk, moduleCode,
                               WorkTableModel::ColumnsOf(*dmPolling->ExportView(moduleCode)), this);
        connect(model, &WorkTableModel::failed, this,
                [](const QString& message) { Messages().error(message); });
        // A tick changes what the ticked counter shows: it is read again off the thread.
        connect(model, &WorkTableModel::tickChanged, this, [this, moduleCode] {
            // A tick here is news to the other workstations that share the work table.
            RunGuarded([&] { workTableUse_->recordTicked(moduleCode); });
            recountTicked();
        });
        connect(model, &WorkTableModel::orderRequested, this,
                [this, model](const WorkTableOrder& order) { orderRequested(model, order); });
    }
    return model;
}

QTableView* TdlgExportToAcct::gridOf(const QString& moduleCode) const {
    if (IsReceivableCode(moduleCode))
        return wwDBGrid4;
    if (IsStockDocumentCode(moduleCode))
        return wwDBGrid2;
    return nullptr;
}

void TdlgExportToAcct::attachGrid(QTableView* grid, const QString& moduleCode) {
    WorkTableModel* model = gridModel(moduleCode);
    if (grid->model() != model) {
        detachGrid(grid);
        QItemSelectionModel* old = grid->selectionModel();
        grid->setModel(model);
        delete old;
    }
    // The kind keeps the order its titles were last clicked to.
    grid->horizontalHeader()->setSortIndicator(model->sortColumn(), model->sortOrder());
    fitGridColumns(grid);
}

void TdlgExportToAcct::detachGrid(QTableView* grid) {
    auto* model = qobject_cast<WorkTableModel*>(grid->model());
    if (!model)
        return;
    QItemSelectionModel* old = grid->selectionModel();
    grid->setModel(nullptr);
    delete old;
    // A kind that is not shown holds none of its rows.
    model->clearRows();
}

void TdlgExportToAcct::startWork(WorkTableRequest request, const QString& busyText,
                                 std::function<void(const WorkTableResult&)> done) {
    busyText_ = busyText;
    busyAction_ = request.action;
    afterWork_ = std::move(done);
    setBusy(true);
    lblWork->setText(busyText + QStringLiteral(" ..."));
    worker_->start(request);
}

void TdlgExportToAcct::showWorkProgress(int rows) {
    if (!busy_)
        return;
    const WorkTableRequest::Action action = busyAction_;
    QString done;
    if (action == WorkTableRequest::Action::Search)
        done = QStringLiteral("found");
    else if (action == WorkTableRequest::Action::TickAll)
        done = QStringLiteral("done");
    else if (action == WorkTableRequest::Action::Clear)
        done = QStringLiteral("removed");
    if (done.isEmpty())
        return;
    lblWork->setText(QStringLiteral("%1: %2 %3").arg(busyText_, countText(rows), done));
}

void TdlgExportToAcct::setBusy(bool busy) {
    busy_ = busy;
    const std::initializer_list<QWidget*> blocked{Splitter1, btnPosted, btnCheck,
                                                  btnExport, btnClear,  btnExit};
    if (busy) {
        for (QWidget* each : blocked) {
            enabledBeforeWork_.insert(each, each->isEnabled());
            each->setEnabled(false);
        }
        pnlWork->show();
        btnCancelWork->setEnabled(true);
        btnCancelWork->setFocus();
        return;
    }
    for (QWidget* each : blocked)
        each->setEnabled(enabledBeforeWork_.value(each, true));
    enabledBeforeWork_.clear();
    pnlWork->hide();
}

void TdlgExportToAcct::cancelWork() {
    if (!busy_)
        return;
    lblWork->setText(busyText_ + QStringLiteral(": cancelling ..."));
    btnCancelWork->setEnabled(false);
    worker_->cancel();
}

void TdlgExportToAcct::workFinished(const WorkTableResult& result) {
    if (result.request.action == WorkTableRequest::Action::CountTicked) {
        recountRunning_ = false;
        if (result.ending == WorkTableResult::Ending::Done) {
            ticked_.insert(result.request.moduleCode, result.ticked);
            showTicked();
        } else {
            recountAgain_ = true; // cancelled with other work: read again once idle
        }
        if (recountAgain_ && !busy_) {
            recountAgain_ = false;
            recountTicked();
        }
        return;
    }
    auto done = std::move(afterWork_);
    afterWork_ = nullptr;
    setBusy(false);
    if (result.ending == WorkTableResult::Ending::Failed)
        Messages().error(result.error);
    if (done)
        RunGuarded([&] { done(result); });
    if (recountAgain_ && !recountRunning_) {
        recountAgain_ = false;
        recountTicked();
    }
    emit workEnded();
    if (closeWhenIdle_) {
        closeWhenIdle_ = false;
        QDialog::reject();
    }
}

void TdlgExportToAcct::showWork(QTableView* grid, const WorkTableResult& result) {
    const QString& moduleCode = result.request.moduleCode;
    WorkTableModel* model = gridModel(moduleCode);
    if (result.orderRead) {
        // The same rows in the same order (Select All, say) are read again where they stand;
        // anything else is a new list.
        if (model->order() == result.request.order && model->keys() == result.keys &&
            grid->model() == model)
            model->reread();
        else
            model->setRows(result.keys, result.request.order);
        setRecordCount(QString::number(result.keys.size() / kKeySize));
    }
    if (result.totalsRead)
        ticked_.insert(moduleCode, result.ticked);
    attachGrid(grid, moduleCode);
    showTicked();
}

void TdlgExportToAcct::startSearch(const SearchPlan& plan, QTableView* grid) {
    WorkTableRequest request;
    request.action = WorkTableRequest::Action::Search;
    request.moduleCode = plan.moduleCode;
    request.plan = plan;
    WorkTableModel* model = gridModel(plan.moduleCode);
    request.order = model->order();
    startWork(request, QStringLiteral("Searching ") + DocumentKindName(plan.moduleCode),
              [this, grid, plan](const WorkTableResult& result) {
                  // A receivable search that failed half-way keeps what it copied: shown too.
                  if (result.ending == WorkTableResult::Ending::Cancelled || !result.orderRead)
                      return;
                  // A new list: no row is left over from a run that stopped before it.
                  gridModel(plan.moduleCode)->setStatusDefault({});
                  showWork(grid, result);
                  // The rows are this search's now, whatever another workstation did before.
                  hideChangedElsewhere();
                  workTableUse_->recordSearched(plan.moduleCode);
                  if (result.ending == WorkTableResult::Ending::Done &&
                      !plan.reversedRangeText.isEmpty())
                      Messages().information(plan.reversedRangeText);
              });
}

void TdlgExportToAcct::tickAll(bool ticked, QTableView* grid) {
    auto* model = qobject_cast<WorkTableModel*>(grid->model());
    if (!model)
        return;
    WorkTableRequest request;
    request.action = WorkTableRequest::Action::TickAll;
    request.moduleCode = model->moduleCode();
    request.ticked = ticked;
    request.order = model->order();
    QCheckBox* box = grid == wwDBGrid4 ? chkARSelectAll : chkSelectAll;
    startWork(request,
              ticked ? QStringLiteral("Ticking every document")
                     : QStringLiteral("Unticking every document"),
              [this, grid, box, ticked, model](const WorkTableResult& result) {
                  if (result.ending != WorkTableResult::Ending::Done) {
                      // Nothing changed: the box says so again.
                      box->setChecked(!ticked);
                      return;
                  }
                  workTableUse_->recordTicked(model->moduleCode());
                  model->setStatusDefault({});
                  showWork(grid, result);
              });
}

void TdlgExportToAcct::orderRequested(WorkTableModel* model, const WorkTableOrder& order) {
    QTableView* grid = gridOf(model->moduleCode());
    const auto keepArrow = [grid, model] {
        if (grid && grid->model() == model)
            grid->horizontalHeader()->setSortIndicator(model->sortColumn(), model->sortOrder());
    };
    if (busy_) {
        keepArrow();
        return;
    }
    WorkTableRequest request;
    request.action = WorkTableRequest::Action::ReadOrder;
    request.moduleCode = model->moduleCode();
    request.order = order;
    request.statusDefault = model->statusDefault();
    startWork(request, QStringLiteral("Sorting"),
              [model, keepArrow](const WorkTableResult& result) {
                  if (result.ending == WorkTableResult::Ending::Done)
                      model->setRows(result.keys, result.request.order);
                  keepArrow();
              });
}

void TdlgExportToAcct::recountTicked() {
    QTableView* grid = sbAR->isVisibleTo(this) ? wwDBGrid4 : wwDBGrid2;
    const auto* model = qobject_cast<WorkTableModel*>(grid->model());
    if (!model)
        return;
    if (recountRunning_) {
        recountAgain_ = true;
        return;
    }
    recountRunning_ = true;
    WorkTableRequest request;
    request.action = WorkTableRequest::Action::CountTicked;
    request.moduleCode = model->moduleCode();
    worker_->start(request);
}

void TdlgExportToAcct::showRunStatuses(bool notReached) {
    QTableView* grid = gridOf(moduleCode_);
    if (!grid)
        return;
    WorkTableModel* model = gridModel(moduleCode_);
    model->setStatusDefault({notReached});
    WorkTableRequest request;
    request.action = WorkTableRequest::Action::ReadOrder;
    request.moduleCode = moduleCode_;
    // The rows that need the bookkeeper first.
    request.order = WorkTableOrder{};
    request.statusDefault = model->statusDefault();
    startWork(request, QStringLiteral("Reading what became of each document"),
              [this, grid](const WorkTableResult& result) {
                  if (result.ending == WorkTableResult::Ending::Done)
                      showWork(grid, result);
              });
}

void TdlgExportToAcct::SearchFor(const QString& store, const QDate& day,
                                 const QString& moduleCode) {
    if (busy_ || !IsTransactionCode(moduleCode))
        return;
    const bool receivable = IsReceivableCode(moduleCode);
    const QString category = receivable                   ? QStringLiteral("AR")
                             : IsPurchaseCode(moduleCode) ? QStringLiteral("Purchase")
                                                          : QStringLiteral("Sales");
    const QList<QTreeWidgetItem*> items = TreeView1->findItems(category, Qt::MatchExactly);
    if (items.isEmpty())
        return;
    TreeView1->setCurrentItem(items.first());
    TreeView1Click();
    const QHash<QString, QRadioButton*> buttons{
        {QLatin1String(ModuleCodes::CashSales), rbtnSales_Cash},
        {QLatin1String(ModuleCodes::SalesInvoice), rbtnSales_Inv},
        {QLatin1String(ModuleCodes::SalesCreditNote), rbtnSales_CN},
        {QLatin1String(ModuleCodes::PurchaseInvoice), rbtPur_Inv},
        {QLatin1String(ModuleCodes::PurchaseReturn), rbtnPur_Return},
        {QLatin1String(ModuleCodes::ReceivableInvoice), rbtnAR_Inv},
        {QLatin1String(ModuleCodes::ReceivableDebitNote), rbtnAR_DN},
        {QLatin1String(ModuleCodes::ReceivableCreditNote), rbtnAR_CN},
        {QLatin1String(ModuleCodes::ReceivablePayment), rbtnAR_Payment}};
    buttons.value(moduleCode)->click();
    if (receivable) {
        // The AR search has no store: Search All finds the kind's open documents.
        chkARSearchAll->setChecked(true);
        btnARSearchClick();
        return;
    }
    chkSearchAll->setChecked(false);
    wwDBLookupCombo1->setCurrentIndex(wwDBLookupCombo1->findText(store));
    wwDBLookupCombo1->setEditText(store);
    DateTimePicker1->setDate(day);
    DateTimePicker2->setDate(day);
    btnSearchClick();
}

void TdlgExportToAcct::btnPostedClick() {
    if (busy_)
        return;
    // A double click on an outstanding count comes back here, to search for them.
    if (const std::optional<OutstandingChoice> chosen = ShowPostedDocuments(this))
        SearchFor(chosen->store, chosen->day, chosen->moduleCode);
}
