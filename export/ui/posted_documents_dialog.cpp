#include "export/ui/posted_documents_dialog.h"

#include "config/settings_file.h"
#include "config/ui/grid_columns.h"
#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/app_error.h"
#include "data/activity_log.h"
#include "data/connection.h"
#include "data/dm_polling.h"
#include "data/statement_cancel.h"
#include "export/module_codes.h"
#include "export/run_messages.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kWidestColumn = 320;

template <typename Widget> Widget* named(Widget* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QTableView* grid(const QString& name, QWidget* parent) {
    auto* view = named(new QTableView(parent), name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    SetUpGridColumns(view);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return view;
}

QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
    auto* pushButton = named(new QPushButton(text, parent), name);
    pushButton->setAutoDefault(false);
    pushButton->setMinimumWidth(90);
    return pushButton;
}

QString timeText(const QDateTime& at) {
    if (!at.isValid())
        return QString();
    return ShortDateText(at.date()) + QLatin1Char(' ') + LongTimeText(at.time());
}

QStandardItem* text(const QString& value) {
    return new QStandardItem(value);
}

QStandardItem* number(int value) {
    auto* item = new QStandardItem(QString::number(value));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

QStandardItem* money(double value) {
    auto* item = new QStandardItem(AmountText(value));
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

// Titles over numbers stand on the right, as the numbers do.
void setTitles(QStandardItemModel* model, const QStringList& titles, const QList<int>& numbers) {
    model->setHorizontalHeaderLabels(titles);
    for (int column : numbers)
        model->horizontalHeaderItem(column)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

QString totalsText(const OutcomeTotals& totals) {
    QString line = QStringLiteral("Documents: %1   Posted: %2, %3")
                       .arg(totals.documents)
                       .arg(totals.posted)
                       .arg(AmountText(totals.postedNet));
    if (totals.refused > 0)
        line += QStringLiteral("   Refused: %1").arg(totals.refused);
    if (totals.nothingToPost > 0)
        line += QStringLiteral("   Nothing to post: %1").arg(totals.nothingToPost);
    if (totals.alreadyInPackage > 0)
        line += QStringLiteral("   Already in the package: %1").arg(totals.alreadyInPackage);
    return line;
}

enum ReconciliationColumn {
    Store,
    Day,
    Kind,
    AtSource,
    AtSourceNet,
    Posted,
    PostedNet,
    Outstanding,
    OutstandingNet,
    Journalled
};

} // namespace

TdlgPostedDocuments::TdlgPostedDocuments(QWidget* parent) : QDialog(parent) {
    if (!dmPolling)
        throw AppError(QStringLiteral("The window of posted documents needs the data module "
                                      "dmPolling."));
    setObjectName(QStringLiteral("dlgPostedDocuments"));
    setWindowTitle(QStringLiteral("Posted documents"));

    const QDate today = Now().date();
    dtpPostedFrom = named(new QDateEdit(today.addDays(-1), this), QStringLiteral("dtpPostedFrom"));
    dtpPostedTo = named(new QDateEdit(today, this), QStringLiteral("dtpPostedTo"));
    for (QDateEdit* each : {dtpPostedFrom, dtpPostedTo}) {
        each->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
        each->setCalendarPopup(true);
        each->setMinimumWidth(120);
    }
    cbPostedStore = named(new QComboBox(this), QStringLiteral("cbPostedStore"));
    cbPostedStore->addItem(QStringLiteral("(all)"), QString());
    for (int row = 0; row < dmPolling->tblStation.recordCount(); ++row) {
        const QString store =
            dmPolling->tblStation.valueAt(row, QStringLiteral("P_STORE")).toString();
        cbPostedStore->addItem(store, store);
    }
    cbPostedKind = named(new QComboBox(this), QStringLiteral("cbPostedKind"));
    cbPostedKind->addItem(QStringLiteral("(all)"), QString());
    for (const QString& code : TransactionCodes())
        cbPostedKind->addItem(QStringLiteral("%1 (%2)").arg(DocumentKindName(code), code), code);
    cbPostedOutcome = named(new QComboBox(this), QStringLiteral("cbPostedOutcome"));
    cbPostedOutcome->addItem(QStringLiteral("(all)"), QString());
    for (JournalOutcome outcome : {JournalOutcome::Posted, JournalOutcome::Refused,
                                   JournalOutcome::NothingToPost, JournalOutcome::AlreadyInPackage,
                                   JournalOutcome::HeldBack})
        cbPostedOutcome->addItem(JournalOutcomeText(outcome), JournalOutcomeCode(outcome));
    // The drop-downs as wide as a usual entry; a longer one shows whole in the list.
    for (QComboBox* each : {cbPostedStore, cbPostedKind, cbPostedOutcome}) {
        each->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        each->setMinimumContentsLength(each == cbPostedStore ? 6 : 14);
    }
    btnShow = button(QStringLiteral("btnShow"), QStringLiteral("Show"), this);
    btnShow->setShortcut(QKeySequence(Qt::Key_F5));
    btnShow->setToolTip(QStringLiteral("Show (F5)"));
    lblReading = named(new QLabel(this), QStringLiteral("lblReading"));

    // Two lines of filters, so the window fits a screen of 1024 by 768.
    auto* filters = new QGridLayout;
    filters->setHorizontalSpacing(8);
    filters->addWidget(new QLabel(QStringLiteral("Handled from"), this), 0, 0);
    filters->addWidget(dtpPostedFrom, 0, 1);
    filters->addWidget(new QLabel(QStringLiteral("To"), this), 0, 2);
    filters->addWidget(dtpPostedTo, 0, 3);
    filters->addWidget(new QLabel(QStringLiteral("Store"), this), 0, 4);
    filters->addWidget(cbPostedStore, 0, 5);
    filters->addWidget(new QLabel(QStringLiteral("Kind"), this), 1, 0);
    filters->addWidget(cbPostedKind, 1, 1, 1, 3);
    filters->addWidget(new QLabel(QStringLiteral("Outcome"), this), 1, 4);
    filters->addWidget(cbPostedOutcome, 1, 5);
    filters->setColumnStretch(6, 1);
    filters->addWidget(lblReading, 0, 7);
    filters->addWidget(btnShow, 0, 8);

    tabPosted = named(new QTabWidget(this), QStringLiteral("tabPosted"));
    auto* runsPage = new QWidget;
    grdRuns = grid(QStringLiteral("grdRuns"), runsPage);
    runRows_ = new QStandardItemModel(this);
    setTitles(runRows_,
              {QStringLiteral("Started"), QStringLiteral("By"), QStringLiteral("From"),
               QStringLiteral("Kinds"), QStringLiteral("Books"), QStringLiteral("Documents"),
               QStringLiteral("Posted"), QStringLiteral("Posted Amt."), QStringLiteral("Refused"),
               QStringLiteral("Other"), QStringLiteral("Ended"), QStringLiteral("Result")},
              {5, 6, 7, 8, 9});
    grdRuns->setModel(runRows_);
    grdDocuments = grid(QStringLiteral("grdDocuments"), runsPage);
    documentRows_ = new QStandardItemModel(this);
    setTitles(documentRows_,
              {QStringLiteral("Document"), QStringLiteral("Party"), QStringLiteral("Date"),
               QStringLiteral("Amount"), QStringLiteral("Outcome"),
               QStringLiteral("Package's text"), QStringLiteral("Store"), QStringLiteral("Kind")},
              {3});
    grdDocuments->setModel(documentRows_);
    lblDocumentTotals = named(new QLabel(QStringLiteral("Documents: 0"), runsPage),
                              QStringLiteral("lblDocumentTotals"));
    btnCopy = button(QStringLiteral("btnCopy"), QStringLiteral("Copy"), runsPage);
    btnCopy->setToolTip(QStringLiteral("Copy the documents shown, to paste into a spreadsheet"));
    btnSaveCsv = button(QStringLiteral("btnSaveCsv"), QStringLiteral("Save as CSV..."), runsPage);
    auto* documentsBar = new QHBoxLayout;
    documentsBar->addWidget(lblDocumentTotals, 1);
    documentsBar->addWidget(btnCopy);
    documentsBar->addWidget(btnSaveCsv);
    auto* documentsPart = new QWidget(runsPage);
    auto* documentsLayout = new QVBoxLayout(documentsPart);
    documentsLayout->setContentsMargins(0, 0, 0, 0);
    documentsLayout->addWidget(grdDocuments, 1);
    documentsLayout->addLayout(documentsBar);
    auto* parts = named(new QSplitter(Qt::Vertical, runsPage), QStringLiteral("splPosted"));
    parts->setChildrenCollapsible(false);
    parts->addWidget(grdRuns);
    parts->addWidget(documentsPart);
    parts->setSizes({180, 320});
    auto* runsLayout = new QVBoxLayout(runsPage);
    runsLayout->addWidget(parts);
    tabPosted->addTab(runsPage, QStringLiteral("Runs and documents"));

    auto* reconciliationPage = new QWidget;
    grdReconciliation = grid(QStringLiteral("grdReconciliation"), reconciliationPage);
    reconciliationRows_ = new QStandardItemModel(this);
    setTitles(reconciliationRows_,
              {QStringLiteral("Store"), QStringLiteral("Day"), QStringLiteral("Kind"),
               QStringLiteral("At source"), QStringLiteral("At source Amt."),
               QStringLiteral("Posted"), QStringLiteral("Posted Amt."),
               QStringLiteral("Outstanding"), QStringLiteral("Outstanding Amt."),
               QStringLiteral("Journalled")},
              {3, 4, 5, 6, 7, 8, 9});
    grdReconciliation->setModel(reconciliationRows_);
    auto* reconciliationLayout = new QVBoxLayout(reconciliationPage);
    reconciliationLayout->addWidget(new QLabel(
        QStringLiteral("Documents dated in the period, at their source against those posted. "
                       "Double-click an outstanding count to search for those documents."),
        reconciliationPage));
    reconciliationLayout->addWidget(grdReconciliation, 1);
    tabPosted->addTab(reconciliationPage, QStringLiteral("Reconciliation"));

    btnClose = button(QStringLiteral("btnClose"), QStringLiteral("Close"), this);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btnClose);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(tabPosted, 1);
    layout->addLayout(bottom);
    resize(960, 600);

    connect(btnShow, &QPushButton::clicked, this, [this] { btnShowClick(); });
    connect(btnCopy, &QPushButton::clicked, this, [this] { btnCopyClick(); });
    connect(btnSaveCsv, &QPushButton::clicked, this, [this] { btnSaveCsvClick(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(grdRuns->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) { runChosen(current.row()); });
    connect(grdReconciliation, &QTableView::doubleClicked, this,
            [this](const QModelIndex& index) { reconciliationDoubleClicked(index); });
}

TdlgPostedDocuments::~TdlgPostedDocuments() {
    for (const auto& attachment : readerAttachments_)
        CancelRunningStatement(attachment->exchange(0));
    for (std::thread& reader : readers_)
        reader.join();
}

void TdlgPostedDocuments::readInBackground(int& generation, ReadWork work,
                                           std::function<void(const Reads&)> done) {
    const int mine = ++generation;
    ++reading_;
    lblReading->setText(QStringLiteral("Reading ..."));
    btnShow->setEnabled(false);
    readers_.emplace_back(
        [this, &generation, mine, work = std::move(work), done = std::move(done)] {
            Reads reads;
            try {
                // Connections of this thread's own, made and closed here.
                DbConnection stock(QStringLiteral("ZaLedvoraStkPosted"), QStringLiteral("ZantStk"));
                DbConnection receivables(QStringLiteral("ZaARSysPosted"), QStringLiteral("ARDB"));
                work(stock, receivables, reads);
            } catch (...) {
                reads.error = CurrentExceptionText();
            }
            QMetaObject::invokeMethod(
                this,
                [this, &generation, mine, reads, done] {
                    if (--reading_ == 0) {
                        lblReading->clear();
                        btnShow->setEnabled(true);
                    }
                    if (!reads.error.isEmpty())
                        Messages().error(reads.error);
                    else if (mine == generation)
                        RunGuarded([&] { done(reads); });
                    emit readingEnded();
                },
                Qt::QueuedConnection);
        });
}

void TdlgPostedDocuments::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!shown_) {
        shown_ = true;
        btnShowClick();
    }
}

PostedFilter TdlgPostedDocuments::filter() const {
    PostedFilter filter;
    filter.from = dtpPostedFrom->date();
    filter.to = dtpPostedTo->date();
    filter.store = cbPostedStore->currentData().toString();
    filter.moduleCode = cbPostedKind->currentData().toString();
    filter.outcome = cbPostedOutcome->currentData().toString();
    return filter;
}

void TdlgPostedDocuments::btnShowClick() {
    const PostedFilter chosen = filter();
    if (chosen.to < chosen.from) {
        Messages().error(QStringLiteral("The to-date %1 is earlier than the from-date %2.")
                             .arg(ShortDateText(chosen.to), ShortDateText(chosen.from)));
        return;
    }
    readInBackground(
        runsGeneration_,
        [chosen](DbConnection& stock, DbConnection& receivables, Reads& reads) {
            reads.runs = ReadPostedRuns(stock, receivables, chosen);
            ReconciliationFilter period;
            period.from = chosen.from;
            period.to = chosen.to;
            period.store = chosen.store;
            const SettingsFile settings;
            reads.reconciliation = Reconcile(stock, receivables, settings, period);
            if (!chosen.moduleCode.isEmpty())
                reads.reconciliation.removeIf([&](const ReconciliationRow& row) {
                    return row.moduleCode != chosen.moduleCode;
                });
            // The latest run's documents come with it.
            if (!reads.runs.isEmpty())
                reads.documents =
                    ReadRunDocuments(stock, receivables, reads.runs.first().runId, chosen);
        },
        [this, chosen](const Reads& reads) {
            shownFilter_ = chosen;
            runs_ = reads.runs;
            reconciliation_ = reads.reconciliation;
            documents_ = reads.documents;
            showRuns();
            showDocuments();
            showReconciliation();
        });
}

void TdlgPostedDocuments::showRuns() {
    runRows_->removeRows(0, runRows_->rowCount());
    for (const PostedRun& run : std::as_const(runs_)) {
        const OutcomeTotals& totals = run.totals;
        runRows_->appendRow({text(timeText(run.started)), text(run.user), text(run.source()),
                             text(run.kinds.join(QStringLiteral(", "))),
                             text(run.stores.join(QStringLiteral(", "))), number(totals.documents),
                             number(totals.posted), money(totals.postedNet), number(totals.refused),
                             number(totals.nothingToPost + totals.alreadyInPackage),
                             text(timeText(run.ended)), text(run.ending)});
    }
    FitColumnsToContent(grdRuns, kWidestColumn);
    if (!runs_.isEmpty())
        grdRuns->setCurrentIndex(runRows_->index(0, 0));
    else
        runChosen(-1);
}

void TdlgPostedDocuments::runChosen(int row) {
    RunGuarded([&] {
        documents_.clear();
        if (row >= 0 && row < runs_.size())
            documents_ =
                ReadRunDocuments(dmPolling->dbStk, dmPolling->dbAR, runs_.at(row).runId, filter());
        showDocuments();
    });
}

void TdlgPostedDocuments::showDocuments() {
    documentRows_->removeRows(0, documentRows_->rowCount());
    for (const JournalEntry& document : std::as_const(documents_)) {
        auto* message = text(document.message);
        message->setToolTip(document.message);
        documentRows_->appendRow({text(document.documentNumber), text(document.party),
                                  text(ShortDateText(document.date)), money(document.netTotal),
                                  text(JournalOutcomeText(document.outcome)), message,
                                  text(document.store), text(document.moduleCode)});
    }
    FitColumnsToContent(grdDocuments, kWidestColumn);
    lblDocumentTotals->setText(totalsText(TotalsOf(documents_)));
}

void TdlgPostedDocuments::showReconciliation() {
    reconciliationRows_->removeRows(0, reconciliationRows_->rowCount());
    for (const ReconciliationRow& row : std::as_const(reconciliation_)) {
        auto* outstanding = number(row.outstanding);
        if (row.outstanding > 0)
            outstanding->setToolTip(QStringLiteral("Double-click to search for these documents"));
        reconciliationRows_->appendRow(
            {text(row.store), text(ShortDateText(row.day)), text(row.moduleCode),
             number(row.atSource), money(row.atSourceNet), number(row.posted), money(row.postedNet),
             outstanding, money(row.outstandingNet), number(row.journalled)});
    }
    FitColumnsToContent(grdReconciliation, kWidestColumn);
}

void TdlgPostedDocuments::reconciliationDoubleClicked(const QModelIndex& index) {
    if (!index.isValid() || index.row() >= reconciliation_.size())
        return;
    if (index.column() != Outstanding && index.column() != OutstandingNet)
        return;
    const ReconciliationRow& row = reconciliation_.at(index.row());
    if (row.outstanding == 0)
        return;
    emit outstandingChosen(row.store, row.day, row.moduleCode);
}

void TdlgPostedDocuments::btnCopyClick() {
    QApplication::clipboard()->setText(DocumentsAsTabText(documents_));
}

void TdlgPostedDocuments::btnSaveCsvClick() {
    QString suggested = QStringLiteral("posted-documents");
    const QModelIndex current = grdRuns->currentIndex();
    if (current.isValid() && current.row() < runs_.size())
        suggested += QLatin1Char('-') + runs_.at(current.row()).runId;
    const QString path = QFileDialog::getSaveFileName(
        this, QStringLiteral("Save the documents as CSV"),
        QDir(ProgramFolder()).filePath(suggested + QStringLiteral(".csv")),
        QStringLiteral("CSV files (*.csv)"));
    if (!path.isEmpty())
        saveCsv(path);
}

bool TdlgPostedDocuments::saveCsv(const QString& path) {
    QSaveFile file(path);
    // The byte-order mark tells a spreadsheet the text is UTF-8.
    const QByteArray bytes = QByteArray("\xEF\xBB\xBF") + DocumentsAsCsv(documents_).toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        Messages().error(QStringLiteral("The file %1 could not be written: %2")
                             .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    }
    return true;
}

std::optional<OutstandingChoice> ShowPostedDocuments(QWidget* parent) {
    std::optional<OutstandingChoice> chosen;
    RunGuarded([&] {
        TdlgPostedDocuments posted(parent);
        QObject::connect(&posted, &TdlgPostedDocuments::outstandingChosen, &posted,
                         [&](const QString& store, const QDate& day, const QString& moduleCode) {
                             chosen = OutstandingChoice{store, day, moduleCode};
                             posted.accept();
                         });
        posted.exec();
    });
    return chosen;
}
