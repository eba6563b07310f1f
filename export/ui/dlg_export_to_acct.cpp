// The export dialog's controls and their layout; the handlers are in
// dlg_export_to_acct_handlers.cpp.
#include "export/ui/dlg_export_to_acct.h"

#include "config/ui/grid_columns.h"
#include "config/ui/grid_combo_box.h"
#include "config/ui/window_layout.h"
#include "core/app_error.h"
#include "data/dataset_model.h"
#include "data/dm_polling.h"
#include "export/ui/dataset_columns_model.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSortFilterProxyModel>
#include <QSplitter>
#include <QTableView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <memory>

namespace {

template <typename Widget> Widget* named(Widget* widget, const QString& name) {
    widget->setObjectName(name);
    return widget;
}

QRadioButton* radio(const QString& name, const QString& text, QWidget* parent) {
    return named(new QRadioButton(text, parent), name);
}

QDateEdit* picker(const QString& name, QWidget* parent) {
    auto* edit = named(new QDateEdit(parent), name);
    edit->setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
    edit->setCalendarPopup(true);
    edit->setMinimumWidth(120);
    return edit;
}

QTableView* grid(const QString& name, QWidget* parent) {
    auto* view = named(new QTableView(parent), name);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
    view->verticalHeader()->hide();
    // Column widths are fitted to the rows on screen: a grid over the work table reads its rows
    // a page at a time and must not read a thousand of them to size a column.
    view->verticalHeader()->setResizeContentsPrecision(0);
    SetUpGridColumns(view);
    view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // A title click sorts by its column, with the usual arrow; no order at first.
    view->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
    view->setSortingEnabled(true);
    view->setMinimumHeight(220);
    return view;
}

// A master grid's columns over the master table, sortable by their titles.
QAbstractItemModel*
masterColumns(Dataset* master, const QList<DatasetColumnsModel::Column>& columns, QObject* parent) {
    auto* sorted = new QSortFilterProxyModel(parent);
    sorted->setSourceModel(new DatasetColumnsModel(master, columns, sorted));
    sorted->setSortLocaleAware(true);
    return sorted;
}

// A combo box over a dataset, showing its columns in a drop-down grid as wide as they need.
QComboBox* lookupCombo(const QString& name, QWidget* parent, Dataset* dataset,
                       const QList<DatasetColumnsModel::Column>& columns) {
    auto* combo = named(new GridComboBox(parent), name);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    auto* rows = new DatasetColumnsModel(dataset, columns, combo);
    combo->setModel(rows);
    combo->setCurrentIndex(-1);
    // Re-reading the table (another page refreshes it) must not put its first code in the box:
    // the box keeps what it showed, an empty box included.
    auto kept = std::make_shared<QString>();
    QObject::connect(rows, &QAbstractItemModel::modelAboutToBeReset, combo,
                     [combo, kept] { *kept = combo->currentText(); });
    QObject::connect(rows, &QAbstractItemModel::modelReset, combo, [combo, kept] {
        combo->setCurrentIndex(combo->findText(*kept));
        combo->setEditText(*kept);
    });
    combo->setMinimumWidth(120);
    return combo;
}

// A scroll box holding one page.
QScrollArea* page(const QString& name, QWidget* content) {
    auto* area = named(new QScrollArea, name);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidget(content);
    return area;
}

QPushButton* button(const QString& name, const QString& text, QWidget* parent) {
    auto* pushButton = named(new QPushButton(text, parent), name);
    pushButton->setAutoDefault(false);
    pushButton->setMinimumWidth(90);
    return pushButton;
}

// A key that presses the button (or ticks the box), named in its tip.
void giveKey(QAbstractButton* control, const QKeySequence& key) {
    control->setShortcut(key);
    control->setToolTip(
        QStringLiteral("%1 (%2)").arg(control->text(), key.toString(QKeySequence::NativeText)));
}

TdmPolling& requiredDataModule() {
    if (!dmPolling)
        throw AppError(QStringLiteral("The export dialog needs the data module dmPolling."));
    return *dmPolling;
}

} // namespace

TdlgExportToAcct::TdlgExportToAcct(QWidget* parent)
    : QDialog(parent), moduleCode_(QStringLiteral("SL_CS")) {
    requiredDataModule();
    workTableUse_ = std::make_unique<WorkTableUse>(dmPolling->dbStk);
    setObjectName(QStringLiteral("dlgExportToAcct"));
    setWindowTitle(QStringLiteral("Export to Accounting"));
    worker_ = new WorkTableWorker(this);
    buildControls();
    connectHandlers();
    // Search All starts ticked, so the filters start disabled.
    chkSearchAllClick();
    chkARSearchAllClick();
    showCategoryChosen(false);
    showTicked();
    resize(1000, 640);
    auto* layoutKeeper = new WindowLayoutKeeper(this, Keys::Layout::ExportWindowSize);
    layoutKeeper->keepSplitter(Splitter1, Keys::Layout::ExportSplitter);
}

TdlgExportToAcct::~TdlgExportToAcct() = default;

void TdlgExportToAcct::buildControls() {
    TreeView1 = named(new QTreeWidget(this), QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setMinimumWidth(120);

    sbTrans = buildTransactionPage();
    sbAR = buildReceivablePage();
    sbSupplier = buildMasterPage(
        QStringLiteral("sbSupplier"), QStringLiteral("Supplier Transmission Options"), rbtnSupp_All,
        rbtnSupp_Amend, QStringLiteral("rbtnSupp_Amend"), wwDBGrid3, QStringLiteral("wwDBGrid3"));
    rbtnSupp_All->setObjectName(QStringLiteral("rbtnSupp_All"));
    wwDBGrid3->setModel(
        masterColumns(&dmPolling->tblSupplier,
                      {{QStringLiteral("M_CODE"), QStringLiteral("Supplier Code")},
                       {QStringLiteral("M_DESC"), QStringLiteral("Description")},
                       {QStringLiteral("M_ODESC"), QStringLiteral("Other Description")},
                       {QStringLiteral("M_CREDITOR"), QStringLiteral("A/P Creditor")}},
                      this));
    sbCustomer = buildMasterPage(
        QStringLiteral("sbCustomer"), QStringLiteral("Customer Transmission Options"), rbtnCust_All,
        rbtnCust_Diff, QStringLiteral("rbtnCust_Diff"), wwDBGrid1, QStringLiteral("wwDBGrid1"));
    rbtnCust_All->setObjectName(QStringLiteral("rbtnCust_All"));
    wwDBGrid1->setModel(
        masterColumns(&dmPolling->tblCustomer,
                      {{QStringLiteral("M_CODE"), QStringLiteral("Customer Code")},
                       {QStringLiteral("M_DESC"), QStringLiteral("Description")},
                       {QStringLiteral("M_ODESC"), QStringLiteral("Other Description")},
                       {QStringLiteral("M_DEBTOR"), QStringLiteral("A/R Debtor")}},
                      this));
    sbStock = buildMasterPage(
        QStringLiteral("sbStock"), QStringLiteral("Item Transmission Options"), rbtnItem_All,
        rbtnItem_Diff, QStringLiteral("rbtnItem_Diff"), wwDBGrid5, QStringLiteral("wwDBGrid5"));
    rbtnItem_All->setObjectName(QStringLiteral("rbtnItem_All"));
    wwDBGrid5->setModel(masterColumns(&dmPolling->tblStock,
                                      {{QStringLiteral("M_PLUCODE"), QStringLiteral("Plu Code")},
                                       {QStringLiteral("M_BARCODE"), QStringLiteral("Barcode")},
                                       {QStringLiteral("M_DESC"), QStringLiteral("Description")}},
                                      this));
    for (QTableView* master : {wwDBGrid1, wwDBGrid3, wwDBGrid5})
        master->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* pages = new QWidget(this);
    pages->setObjectName(QStringLiteral("pnlPages"));
    auto* pageLayout = new QVBoxLayout(pages);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    for (QScrollArea* each : {sbTrans, sbAR, sbSupplier, sbCustomer, sbStock})
        pageLayout->addWidget(each);

    lblRec = named(new QLabel(QStringLiteral("Total Record: 0"), this), QStringLiteral("lblRec"));
    lblTicked = named(new QLabel(this), QStringLiteral("lblTicked"));
    btnPosted = button(QStringLiteral("btnPosted"), QStringLiteral("Posted Documents"), this);
    btnPosted->setToolTip(QStringLiteral("What was posted, and what is still outstanding"));
    btnCheck = button(QStringLiteral("btnCheck"), QStringLiteral("Check (Ctrl+K)"), this);
    btnCheck->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
    btnCheck->setToolTip(QStringLiteral("What the accounting package would refuse of the ticked "
                                        "documents; nothing is posted"));
    btnExport = button(QStringLiteral("btnExport"), QStringLiteral("Export"), this);
    btnClear = button(QStringLiteral("btnClear"), QStringLiteral("Clear"), this);
    btnExit = button(QStringLiteral("btnExit"), QStringLiteral("Exit"), this);
    giveKey(btnExport, QKeySequence(Qt::CTRL | Qt::Key_E));
    // Esc closes the dialog as Exit does.
    btnExit->setToolTip(QStringLiteral("Exit (%1)")
                            .arg(QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText)));
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblRec);
    bottom->addSpacing(24);
    bottom->addWidget(lblTicked);
    bottom->addStretch(1);
    bottom->addWidget(btnPosted);
    bottom->addWidget(btnCheck);
    bottom->addWidget(btnExport);
    bottom->addWidget(btnClear);
    bottom->addWidget(btnExit);

    Splitter1 = named(new QSplitter(Qt::Horizontal, this), QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    Splitter1->addWidget(TreeView1);
    Splitter1->addWidget(pages);
    Splitter1->setStretchFactor(1, 1);
    Splitter1->setSizes({180, 800});
    lblChangedElsewhere = named(new QLabel(this), QStringLiteral("lblChangedElsewhere"));
    lblChangedElsewhere->setWordWrap(true);
    lblChangedElsewhere->setStyleSheet(QStringLiteral("color: #b00000;"));
    lblChangedElsewhere->hide();
    // While a search (or Select All, Clear, a new order) goes on: what it does, how far it got,
    // and the one button that still answers.
    pnlWork = named(new QWidget(this), QStringLiteral("pnlWork"));
    lblWork = named(new QLabel(pnlWork), QStringLiteral("lblWork"));
    pbWork = named(new QProgressBar(pnlWork), QStringLiteral("pbWork"));
    pbWork->setRange(0, 0); // no end known: the bar shows that work goes on
    pbWork->setMaximumWidth(160);
    pbWork->setTextVisible(false);
    btnCancelWork = button(QStringLiteral("btnCancelWork"), QStringLiteral("Cancel"), pnlWork);
    btnCancelWork->setToolTip(
        QStringLiteral("Cancel (%1): the work table stays as it was")
            .arg(QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText)));
    auto* workLine = new QHBoxLayout(pnlWork);
    workLine->setContentsMargins(0, 0, 0, 0);
    workLine->addWidget(lblWork, 1);
    workLine->addWidget(pbWork);
    workLine->addWidget(btnCancelWork);
    pnlWork->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Splitter1, 1);
    layout->addWidget(lblChangedElsewhere);
    layout->addWidget(pnlWork);
    layout->addLayout(bottom);

    // Before a category is chosen the transaction page shows the Sales group.
    sbNVisible();
    sbTrans->show();
    gbSales->show();
}

QScrollArea* TdlgExportToAcct::buildTransactionPage() {
    auto* content = new QWidget;

    gbSales = named(new QGroupBox(QStringLiteral("Sales Transaction"), content),
                    QStringLiteral("gbSales"));
    rbtnSales_Cash = radio(QStringLiteral("rbtnSales_Cash"), QStringLiteral("Cash Sales"), gbSales);
    rbtnSales_Inv = radio(QStringLiteral("rbtnSales_Inv"), QStringLiteral("Invoice"), gbSales);
    rbtnSales_CN = radio(QStringLiteral("rbtnSales_CN"), QStringLiteral("CN/Return"), gbSales);
    rbtnSales_Cash->setChecked(true);
    auto* salesLayout = new QHBoxLayout(gbSales);
    for (QRadioButton* each : {rbtnSales_Cash, rbtnSales_Inv, rbtnSales_CN})
        salesLayout->addWidget(each);
    salesLayout->addStretch(1);

    gbPurchase = named(new QGroupBox(QStringLiteral("Purchase Transaction"), content),
                       QStringLiteral("gbPurchase"));
    rbtPur_Inv = radio(QStringLiteral("rbtPur_Inv"), QStringLiteral("Invoice"), gbPurchase);
    rbtnPur_Return = radio(QStringLiteral("rbtnPur_Return"), QStringLiteral("Return"), gbPurchase);
    rbtPur_Inv->setChecked(true);
    auto* purchaseLayout = new QHBoxLayout(gbPurchase);
    purchaseLayout->addWidget(rbtPur_Inv);
    purchaseLayout->addWidget(rbtnPur_Return);
    purchaseLayout->addStretch(1);

    const QList<DatasetColumnsModel::Column> storeColumns{
        {QStringLiteral("P_STORE"), QStringLiteral("Store")},
        {QStringLiteral("StationDesc"), QStringLiteral("Description")},
        {QStringLiteral("StationODesc"), QStringLiteral("Others Description")}};
    wwDBLookupCombo1 = lookupCombo(QStringLiteral("wwDBLookupCombo1"), content,
                                   &dmPolling->tblStation, storeColumns);
    // The upper end of the store range: always the same store, never shown.
    wwDBLookupCombo2 = lookupCombo(QStringLiteral("wwDBLookupCombo2"), content,
                                   &dmPolling->tblStation, storeColumns);
    wwDBLookupCombo2->hide();
    DateTimePicker1 = picker(QStringLiteral("DateTimePicker1"), content);
    DateTimePicker2 = picker(QStringLiteral("DateTimePicker2"), content);
    Edit1 = named(new QLineEdit(QStringLiteral("0000000001"), content), QStringLiteral("Edit1"));
    Edit2 = named(new QLineEdit(QStringLiteral("9999999999"), content), QStringLiteral("Edit2"));
    chkSearchAll =
        named(new QCheckBox(QStringLiteral("Search All"), content), QStringLiteral("chkSearchAll"));
    chkSearchAll->setChecked(true);
    btnSearch = button(QStringLiteral("btnSearch"), QStringLiteral("Search"), content);
    chkSelectAll =
        named(new QCheckBox(QStringLiteral("Select All"), content), QStringLiteral("chkSelectAll"));
    giveKey(btnSearch, QKeySequence(Qt::Key_F5));
    giveKey(chkSelectAll, QKeySequence(Qt::CTRL | Qt::Key_A));
    wwDBGrid2 = grid(QStringLiteral("wwDBGrid2"), content);

    auto* filters = new QGridLayout;
    filters->setHorizontalSpacing(10);
    filters->addWidget(new QLabel(QStringLiteral("Store"), content), 0, 0);
    filters->addWidget(wwDBLookupCombo1, 0, 1);
    filters->addWidget(new QLabel(QStringLiteral("Doc. Date"), content), 1, 0);
    filters->addWidget(DateTimePicker1, 1, 1);
    filters->addWidget(new QLabel(QStringLiteral("To"), content), 1, 2);
    filters->addWidget(DateTimePicker2, 1, 3);
    filters->addWidget(new QLabel(QStringLiteral("Ref. No."), content), 2, 0);
    filters->addWidget(Edit1, 2, 1);
    filters->addWidget(new QLabel(QStringLiteral("To"), content), 2, 2);
    filters->addWidget(Edit2, 2, 3);
    filters->addWidget(chkSearchAll, 0, 4);
    filters->addWidget(btnSearch, 1, 4);
    filters->setColumnStretch(5, 1);

    auto* layout = new QGridLayout(content);
    // Both groups sit in the same place; one of them is shown.
    layout->addWidget(gbSales, 0, 0);
    layout->addWidget(gbPurchase, 0, 0);
    layout->addLayout(filters, 1, 0);
    layout->addWidget(chkSelectAll, 2, 0);
    layout->addWidget(wwDBGrid2, 3, 0);
    layout->setRowStretch(3, 1);
    return page(QStringLiteral("sbTrans"), content);
}

QScrollArea* TdlgExportToAcct::buildReceivablePage() {
    auto* content = new QWidget;
    auto* group =
        named(new QGroupBox(QStringLiteral("AR Transaction"), content), QStringLiteral("gbAR"));
    rbtnAR_Inv = radio(QStringLiteral("rbtnAR_Inv"), QStringLiteral("Invoice"), group);
    rbtnAR_DN = radio(QStringLiteral("rbtnAR_DN"), QStringLiteral("Debit Note"), group);
    rbtnAR_CN = radio(QStringLiteral("rbtnAR_CN"), QStringLiteral("Credit Note"), group);
    rbtnAR_Payment = radio(QStringLiteral("rbtnAR_Payment"), QStringLiteral("Payment"), group);
    rbtnAR_Inv->setChecked(true);
    auto* groupLayout = new QHBoxLayout(group);
    for (QRadioButton* each : {rbtnAR_Inv, rbtnAR_DN, rbtnAR_CN, rbtnAR_Payment})
        groupLayout->addWidget(each);
    groupLayout->addStretch(1);

    wwDBLookupCombo3 =
        lookupCombo(QStringLiteral("wwDBLookupCombo3"), content, &dmPolling->tblCustomer,
                    {{QStringLiteral("M_CODE"), QStringLiteral("Customer")},
                     {QStringLiteral("M_DESC"), QStringLiteral("Description")}});
    ARDateTimePicker1 = picker(QStringLiteral("ARDateTimePicker1"), content);
    ARDateTimePicker2 = picker(QStringLiteral("ARDateTimePicker2"), content);
    chkARSearchAll = named(new QCheckBox(QStringLiteral("Search All"), content),
                           QStringLiteral("chkARSearchAll"));
    chkARSearchAll->setChecked(true);
    btnARSearch = button(QStringLiteral("btnARSearch"), QStringLiteral("Search"), content);
    chkARSelectAll = named(new QCheckBox(QStringLiteral("Select All"), content),
                           QStringLiteral("chkARSelectAll"));
    giveKey(btnARSearch, QKeySequence(Qt::Key_F5));
    giveKey(chkARSelectAll, QKeySequence(Qt::CTRL | Qt::Key_A));
    wwDBGrid4 = grid(QStringLiteral("wwDBGrid4"), content);

    auto* filters = new QGridLayout;
    filters->setHorizontalSpacing(10);
    filters->addWidget(new QLabel(QStringLiteral("Customer"), content), 0, 0);
    filters->addWidget(wwDBLookupCombo3, 0, 1);
    filters->addWidget(new QLabel(QStringLiteral("Doc. Date"), content), 1, 0);
    filters->addWidget(ARDateTimePicker1, 1, 1);
    filters->addWidget(new QLabel(QStringLiteral("To"), content), 1, 2);
    filters->addWidget(ARDateTimePicker2, 1, 3);
    filters->addWidget(chkARSearchAll, 0, 4);
    filters->addWidget(btnARSearch, 1, 4);
    filters->setColumnStretch(5, 1);

    auto* layout = new QVBoxLayout(content);
    layout->addWidget(group);
    layout->addLayout(filters);
    layout->addWidget(chkARSelectAll);
    layout->addWidget(wwDBGrid4, 1);
    return page(QStringLiteral("sbAR"), content);
}

QScrollArea* TdlgExportToAcct::buildMasterPage(const QString& objectName, const QString& groupTitle,
                                               QRadioButton*& allButton, QRadioButton*& diffButton,
                                               const QString& diffName, QTableView*& masterGrid,
                                               const QString& gridName) {
    auto* content = new QWidget;
    auto* group = new QGroupBox(groupTitle, content);
    allButton = new QRadioButton(QStringLiteral("All"), group);
    diffButton = radio(diffName, QStringLiteral("Differences (New)"), group);
    allButton->setChecked(true);
    auto* groupLayout = new QHBoxLayout(group);
    groupLayout->addWidget(allButton);
    groupLayout->addWidget(diffButton);
    groupLayout->addStretch(1);
    masterGrid = grid(gridName, content);
    auto* layout = new QVBoxLayout(content);
    layout->addWidget(group);
    layout->addWidget(masterGrid, 1);
    return page(objectName, content);
}

void TdlgExportToAcct::connectHandlers() {
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this] { TreeView1Click(); });
    connect(rbtnSales_Cash, &QRadioButton::toggled, this, [this] { rbtnSales_CashClick(); });
    connect(rbtnSales_Inv, &QRadioButton::toggled, this, [this] { rbtnSales_InvClick(); });
    connect(rbtnSales_CN, &QRadioButton::toggled, this, [this] { rbtnSales_CNClick(); });
    connect(rbtPur_Inv, &QRadioButton::toggled, this, [this] { rbtPur_InvClick(); });
    connect(rbtnPur_Return, &QRadioButton::toggled, this, [this] { rbtnPur_ReturnClick(); });
    connect(rbtnAR_Inv, &QRadioButton::toggled, this, [this] { rbtnAR_InvClick(); });
    connect(rbtnAR_DN, &QRadioButton::toggled, this, [this] { rbtnAR_DNClick(); });
    connect(rbtnAR_CN, &QRadioButton::toggled, this, [this] { rbtnAR_CNClick(); });
    connect(rbtnAR_Payment, &QRadioButton::toggled, this, [this] { rbtnAR_PaymentClick(); });
    connect(chkSearchAll, &QCheckBox::toggled, this, [this] { chkSearchAllClick(); });
    connect(chkARSearchAll, &QCheckBox::toggled, this, [this] { chkARSearchAllClick(); });
    // Select All acts when the user changes it; the window unticks it without running it.
    connect(chkSelectAll, &QCheckBox::clicked, this, [this] { chkSelectAllClick(); });
    connect(chkARSelectAll, &QCheckBox::clicked, this, [this] { chkARSelectAllClick(); });
    connect(wwDBLookupCombo1, &QComboBox::currentTextChanged, this,
            [this] { wwDBLookupCombo1Change(); });
    connect(wwDBLookupCombo3, &QComboBox::currentTextChanged, this,
            [this] { wwDBLookupCombo1Change(); });
    connect(btnSearch, &QPushButton::clicked, this, [this] { btnSearchClick(); });
    connect(btnARSearch, &QPushButton::clicked, this, [this] { btnARSearchClick(); });
    connect(btnClear, &QPushButton::clicked, this, [this] { btnClearClick(); });
    connect(btnCheck, &QPushButton::clicked, this, [this] { btnCheckClick(); });
    connect(btnExport, &QPushButton::clicked, this, [this] { btnExportClick(); });
    connect(btnExit, &QPushButton::clicked, this, [this] { btnExitClick(); });
    connect(btnPosted, &QPushButton::clicked, this, [this] { btnPostedClick(); });
    connect(btnCancelWork, &QPushButton::clicked, this, [this] { cancelWork(); });
    connect(worker_, &WorkTableWorker::progress, this,
            [this](int rows) { showWorkProgress(rows); });
    connect(worker_, &WorkTableWorker::finished, this,
            [this](const WorkTableResult& result) { workFinished(result); });
    // The GST-date check runs when a from-date's calendar closes and when it loses the focus.
    for (QDateEdit* from : {DateTimePicker1, ARDateTimePicker1}) {
        QWidget* calendar = from->calendarWidget()->window();
        calendarPopups_.insert(calendar, from);
        calendar->installEventFilter(this);
        from->installEventFilter(this);
    }
}
