#include "config/ui/properties_dialog.h"

#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/station_folders.h"
#include "config/station_jobs.h"
#include "config/station_pages.h"
#include "config/ui/dialog_buttons.h"
#include "config/ui/grid_combo_box.h"
#include "config/ui/option_page.h"
#include "config/ui/window_layout.h"
#include "core/action_guard.h"
#include "core/app_context.h"
#include "data/dm_polling.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QFormLayout>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char kStoreNotFound[] = "Station Code Not Found !\r\nPlease key in the valid station code.";
const char kStationFound[] = "Station Code Found !\r\nPlease key in the others station code.";

const QStringList& documentCaptions() {
    static const QStringList captions{QStringLiteral("None"), QStringLiteral("Real Time"),
                                      QStringLiteral("Manual"), QStringLiteral("By Schedule")};
    return captions;
}

const QStringList& profileCaptions() {
    static const QStringList captions{QStringLiteral("None"), QStringLiteral("Differences"),
                                      QStringLiteral("All"), QString()};
    return captions;
}

QCheckBox* optionBox(const QString& name) {
    auto* box = new QCheckBox;
    box->setObjectName(name);
    return box;
}

ProfileChoice choiceOfColumn(int column) {
    static const ProfileChoice choices[] = {ProfileChoice::None, ProfileChoice::Differences,
                                            ProfileChoice::All, ProfileChoice::Fourth};
    return choices[column];
}

// A box the user reads but does not change: greyed, as the login dialog shows its own.
QLineEdit* readOnlyBox(const QString& name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
    return box;
}

} // namespace

TdlgProperties::TdlgProperties(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("dlgProperties"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Station Properties"));

    TreeView1 = new QTreeWidget(this);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setRootIsDecorated(false);
    TreeView1->setMinimumWidth(120);
    TreeView1->installEventFilter(this);
    connect(TreeView1, &QTreeWidget::itemClicked, this, [this] { TreeView1Click(); });

    auto* pageArea = new QFrame(this);
    pageArea->setFrameShape(QFrame::StyledPanel);
    auto* pageLayout = new QGridLayout(pageArea);
    pageLayout->setContentsMargins(8, 8, 8, 8);
    sbGeneral = new QScrollArea(pageArea);
    sbGeneral->setObjectName(QStringLiteral("sbGeneral"));
    sbGeneral->setFrameShape(QFrame::NoFrame);
    sbGeneral->setWidgetResizable(true);
    sbGeneral->setWidget(buildGeneralPage());
    pageLayout->addWidget(sbGeneral, 0, 0);
    buildPages();
    for (QWidget* page : {static_cast<QWidget*>(sbDataEntry), static_cast<QWidget*>(sbCustProfile),
                          static_cast<QWidget*>(sbAREntry), static_cast<QWidget*>(sbAPEntry),
                          static_cast<QWidget*>(sbSalesTrans)}) {
        page->setParent(pageArea);
        pageLayout->addWidget(page, 0, 0);
    }
    HideAllPages();

    const DialogButtons dialogButtons = MakeOkCancelApplyButtons(this);
    BitBtn1 = dialogButtons.ok;
    BitBtn2 = dialogButtons.cancel;
    bbtnApply = dialogButtons.apply;
    connect(BitBtn1, &QPushButton::clicked, this, &TdlgProperties::BitBtn1Click);
    connect(BitBtn2, &QPushButton::clicked, this, &TdlgProperties::BitBtn2Click);
    connect(bbtnApply, &QPushButton::clicked, this, &TdlgProperties::bbtnApplyClick);

    QHBoxLayout* buttons = dialogButtons.row;

    auto* content = new QSplitter(Qt::Horizontal, this);
    content->setObjectName(QStringLiteral("Splitter1"));
    content->setChildrenCollapsible(false);
    content->addWidget(TreeView1);
    content->addWidget(pageArea);
    content->setStretchFactor(1, 1);
    content->setSizes({170, 600});

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(content, 1);
    layout->addLayout(buttons);
    resize(780, 380);
    auto* layoutKeeper = new WindowLayoutKeeper(this, Keys::Layout::PropertiesWindowSize);
    layoutKeeper->keepSplitter(content, Keys::Layout::PropertiesSplitter);
}

QWidget* TdlgProperties::buildGeneralPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    wwDBLookupCombo1 = new GridComboBox(page);
    wwDBLookupCombo1->setObjectName(QStringLiteral("wwDBLookupCombo1"));
    wwDBLookupCombo1->setEditable(true);
    wwDBLookupCombo1->setInsertPolicy(QComboBox::NoInsert);
    wwDBLookupCombo1->setMaximumWidth(120);
    wwDBLookupCombo2 = new GridComboBox(page);
    wwDBLookupCombo2->setObjectName(QStringLiteral("wwDBLookupCombo2"));
    wwDBEdit3 = readOnlyBox(QStringLiteral("wwDBEdit3"), page);
    wwDBEdit1 = readOnlyBox(QStringLiteral("wwDBEdit1"), page);
    wwDBEdit2 = readOnlyBox(QStringLiteral("wwDBEdit2"), page);
    wwDBComboBox1 = new QComboBox(page);
    wwDBComboBox1->setObjectName(QStringLiteral("wwDBComboBox1"));
    wwDBComboBox1->addItems({QStringLiteral("Yes"), QStringLiteral("No")});
    wwDBComboBox1->setMaximumWidth(120);

    form->addRow(QStringLiteral("Station"), wwDBLookupCombo1);
    form->addRow(QStringLiteral("Description"), wwDBLookupCombo2);
    form->addRow(QStringLiteral("Other Description"), wwDBEdit3);
    form->addRow(QStringLiteral("Region"), wwDBEdit1);
    form->addRow(QStringLiteral("Station Type"), wwDBEdit2);
    form->addRow(QStringLiteral("Activate Station For Processing / Exchange"), wwDBComboBox1);

    connect(wwDBLookupCombo1, &QComboBox::editTextChanged, this, &TdlgProperties::storeCodeEdited);
    connect(wwDBLookupCombo2, &QComboBox::activated, this, &TdlgProperties::storeDescriptionChosen);
    connect(wwDBComboBox1, &QComboBox::activated, this, &TdlgProperties::activeChosen);
    return page;
}

void TdlgProperties::buildPages() {
    sbDataEntry = new OptionPage(QStringLiteral("sbDataEntry"), QStringLiteral("hcDataEntry"),
                                 profileCaptions());
    buildProfilePage(sbDataEntry, StationJob::Supplier, QStringLiteral("Supplier"),
                     QStringLiteral("pnlSupplier"), 61);
    sbCustProfile = new OptionPage(QStringLiteral("sbCustProfile"), QStringLiteral("hcCustProfile"),
                                   profileCaptions());
    buildProfilePage(sbCustProfile, StationJob::Customer, QStringLiteral("Customer"),
                     QStringLiteral("pnlCustomer"), 101);

    sbAREntry = new OptionPage(QStringLiteral("sbAREntry"), QStringLiteral("hcAREntry"),
                               documentCaptions());
    addDocumentRow(sbAREntry, StationJob::Delivery, QStringLiteral("Delivery Order"),
                   QStringLiteral("pnlDeliveryOrder"), QStringLiteral("chkDO_"));
    sbAPEntry = new OptionPage(QStringLiteral("sbAPEntry"), QStringLiteral("hcAPEntry"),
                               documentCaptions());
    addDocumentRow(sbAPEntry, StationJob::Receiving, QStringLiteral("Stock Receiving"),
                   QStringLiteral("pnlStockReceiving"), QStringLiteral("chkSR_"));
    addDocumentRow(sbAPEntry, StationJob::ReturnOutwards, QStringLiteral("Return Outwards"),
                   QStringLiteral("pnlReturnOutwards"), QStringLiteral("chkR_"));
    addDocumentRow(sbAPEntry, StationJob::TransferOut, QStringLiteral("Transfer Out"),
                   QStringLiteral("pnlTransferOut"), QStringLiteral("chkT_"));
    sbAPEntry->rows().last()->hide();
    sbSalesTrans = new OptionPage(QStringLiteral("sbSalesTrans"), QStringLiteral("hcSalesTrans"),
                                  documentCaptions());
    addDocumentRow(sbSalesTrans, StationJob::SalesTransaction, QStringLiteral("Sales Transaction"),
                   QStringLiteral("pnlSalesTransaction"), QStringLiteral("chkS_"));

    connect(sbDataEntry->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { hcProfileSectionClick(StationJob::Supplier, column); });
    connect(sbCustProfile->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { hcProfileSectionClick(StationJob::Customer, column); });
    connect(sbAREntry->header(), &QHeaderView::sectionClicked, this,
            &TdlgProperties::hcAREntrySectionClick);
    connect(sbAPEntry->header(), &QHeaderView::sectionClicked, this,
            &TdlgProperties::hcAPEntrySectionClick);
    connect(sbSalesTrans->header(), &QHeaderView::sectionClicked, this,
            &TdlgProperties::hcSalesTransSectionClick);
    // The section-resize handlers: the columns must stay over their controls.
    for (OptionPage* page : {sbDataEntry, sbCustProfile, sbAREntry, sbAPEntry, sbSalesTrans})
        connect(page->header(), &QHeaderView::sectionResized, page,
                [page] { page->KeepColumnWidths(); });

    pageOfNode_ = {{QStringLiteral("General"), sbGeneral},
                   {QStringLiteral("Supplier Profile"), sbDataEntry},
                   {QStringLiteral("Customer Profile"), sbCustProfile},
                   {QStringLiteral("Stock AR Entry"), sbAREntry},
                   {QStringLiteral("Stock AP Entry"), sbAPEntry},
                   {QStringLiteral("Sales Transaction"), sbSalesTrans}};
}

void TdlgProperties::buildProfilePage(OptionPage* page, StationJob job, const QString& caption,
                                      const QString& panelName, int firstRadioNumber) {
    ProfileRow row{job, {}};
    std::array<QAbstractButton*, 4> controls{};
    for (int column = 0; column < 4; ++column) {
        auto* button = new QRadioButton;
        button->setObjectName(QStringLiteral("RadioButton%1").arg(firstRadioNumber + column));
        // Each button sits in its own column cell; the options decide which one is selected.
        button->setAutoExclusive(false);
        connect(button, &QRadioButton::clicked, this, [this, job, column] {
            options_.profile(job).choice = choiceOfColumn(column);
            ShowJobOptions();
        });
        row.buttons[column] = button;
        controls[column] = button;
    }
    page->addRow(panelName, caption, controls);
    row.buttons[3]->hide();
    profileRows_.append(row);
}

void TdlgProperties::addDocumentRow(OptionPage* page, StationJob job, const QString& caption,
                                    const QString& panelName, const QString& prefix) {
    DocumentRow row{job, optionBox(prefix + QStringLiteral("None")),
                    optionBox(prefix + QStringLiteral("RT")),
                    optionBox(prefix + QStringLiteral("Manual")),
                    optionBox(prefix + QStringLiteral("Schedule"))};
    page->addRow(panelName, caption, {row.none, row.realTime, row.manual, row.schedule});
    connect(row.none, &QCheckBox::clicked, this, [this, job] {
        options_.document(job).clickNone();
        ShowJobOptions();
    });
    connect(row.realTime, &QCheckBox::clicked, this, [this, job] {
        options_.document(job).clickRealTime();
        ShowJobOptions();
    });
    connect(row.manual, &QCheckBox::clicked, this, [this] { ShowJobOptions(); });
    connect(row.schedule, &QCheckBox::clicked, this, [this, job] {
        options_.document(job).clickSchedule();
        ShowJobOptions();
    });
    documentRows_.append(row);
}

void TdlgProperties::OpenStation(Mode mode) {
    if (!RunGuarded([&] { prepare(mode); })) {
        discardPendingChange();
        deleteLater();
        return;
    }
    exec();
}

void TdlgProperties::prepare(Mode mode) {
    Table& station = dmPolling->tblStation;
    mode_ = mode;
    fillStoreLists();
    if (mode == Mode::Add) {
        setWindowTitle(windowTitle() + QStringLiteral(" - Add"));
        station.insert();
        setStoreBoxesEnabled(true);
    } else {
        setStoreBoxesEnabled(false);
        if (station.isActive() && station.recNo() >= 0)
            boundStore_ = station.value(QStringLiteral("P_STORE")).toString();
    }
    showStationFields(true);

    TreeView1->clear();
    const QString accountType = SettingsFile().read(Keys::General::AccountType);
    for (const QString& node : StationPageNodes(accountType))
        new QTreeWidgetItem(TreeView1, QStringList{node});
    TreeView1->setCurrentItem(TreeView1->topLevelItem(0));
    TreeView1Click();
}

void TdlgProperties::fillStoreLists() {
    const Table& stores = dmPolling->tblStore;
    auto* byCode = new QStandardItemModel(0, 3, this);
    byCode->setHorizontalHeaderLabels({QStringLiteral("Code"), QStringLiteral("Description"),
                                       QStringLiteral("Other Description")});
    auto* byDescription = new QStandardItemModel(0, 2, this);
    byDescription->setHorizontalHeaderLabels(
        {QStringLiteral("Description"), QStringLiteral("Other Description")});
    storeCodes_.clear();
    for (int row = 0; stores.isActive() && row < stores.recordCount(); ++row) {
        const QString code = stores.valueAt(row, QStringLiteral("M_CODE")).toString();
        const QString description = stores.valueAt(row, QStringLiteral("M_DESC")).toString();
        const QString other = stores.valueAt(row, QStringLiteral("M_ODESC")).toString();
        storeCodes_ << code;
        byCode->appendRow(
            {new QStandardItem(code), new QStandardItem(description), new QStandardItem(other)});
        byDescription->appendRow({new QStandardItem(description), new QStandardItem(other)});
    }
    const QSignalBlocker blockCode(wwDBLookupCombo1);
    const QSignalBlocker blockDescription(wwDBLookupCombo2);
    wwDBLookupCombo1->setModel(byCode);
    wwDBLookupCombo1->completer()->setCaseSensitivity(Qt::CaseSensitive);
    wwDBLookupCombo2->setModel(byDescription);
}

void TdlgProperties::showStationFields(bool includeStoreCode) {
    const Table& station = dmPolling->tblStation;
    auto text = [&](const char* field) {
        return station.isActive() ? station.value(QLatin1String(field)).toString() : QString();
    };
    updatingFields_ = true;
    const QString code = text("P_STORE");
    if (includeStoreCode)
        wwDBLookupCombo1->setEditText(code);
    wwDBLookupCombo2->setCurrentIndex(storeCodes_.indexOf(code));
    wwDBEdit3->setText(text("StationODesc"));
    wwDBEdit1->setText(text("StationRegion"));
    wwDBEdit2->setText(text("StationType"));
    const QString active = text("P_ACTIVE");
    wwDBComboBox1->setCurrentIndex(active == QLatin1String("T")   ? 0
                                   : active == QLatin1String("F") ? 1
                                                                  : -1);
    updatingFields_ = false;
}

void TdlgProperties::storeCodeEdited(const QString& code) {
    if (updatingFields_ || !isNewStation())
        return;
    RunGuarded([&] {
        dmPolling->tblStation.setValue(QStringLiteral("P_STORE"), code);
        showStationFields(false);
    });
}

void TdlgProperties::storeDescriptionChosen(int index) {
    if (!isNewStation() || index < 0 || index >= storeCodes_.size())
        return;
    wwDBLookupCombo1->setEditText(storeCodes_.at(index));
}

void TdlgProperties::activeChosen(int index) {
    RunGuarded([&] {
        Table& station = dmPolling->tblStation;
        keepBoundStation();
        station.edit();
        station.setValue(QStringLiteral("P_ACTIVE"),
                         index == 0 ? QStringLiteral("T") : QStringLiteral("F"));
    });
    showStationFields(false);
}

void TdlgProperties::setStoreBoxesEnabled(bool enabled) {
    wwDBLookupCombo1->setEnabled(enabled);
    wwDBLookupCombo2->setEnabled(enabled);
}

bool TdlgProperties::isNewStation() const {
    return dmPolling && dmPolling->tblStation.state() == Dataset::State::Insert;
}

QString TdlgProperties::currentStoreCode() const {
    return wwDBLookupCombo1->currentText();
}

void TdlgProperties::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TdlgProperties::FormShow() {
    RunGuarded([this] { LoadJobOptions(); });
    if (mode_ == Mode::Add)
        wwDBLookupCombo1->setFocus();
}

bool TdlgProperties::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TreeView1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            TreeView1Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TdlgProperties::HideAllPages() {
    for (QWidget* page : {static_cast<QWidget*>(sbGeneral), static_cast<QWidget*>(sbDataEntry),
                          static_cast<QWidget*>(sbCustProfile), static_cast<QWidget*>(sbAREntry),
                          static_cast<QWidget*>(sbAPEntry), static_cast<QWidget*>(sbSalesTrans)})
        page->hide();
}

void TdlgProperties::TreeView1Click() {
    const QTreeWidgetItem* node = TreeView1->currentItem();
    if (!node)
        return;
    HideAllPages();
    if (QWidget* page = pageOfNode_.value(node->text(0)))
        page->show();
}

void TdlgProperties::LoadJobOptions() {
    keepBoundStation();
    const QList<JobRow> rows =
        isNewStation() ? QList<JobRow>() : ReadStationJobs(dmPolling->tblJob);
    options_ = ::LoadJobOptions(rows);
    ShowJobOptions();
}

void TdlgProperties::ShowJobOptions() {
    for (const ProfileRow& row : profileRows_) {
        const ProfileChoice choice = options_.profile(row.job).choice;
        for (int column = 0; column < 4; ++column) {
            const QSignalBlocker block(row.buttons[column]);
            row.buttons[column]->setChecked(choice == choiceOfColumn(column));
        }
    }
    for (const DocumentRow& row : documentRows_) {
        const DocumentOptions& document = options_.document(row.job);
        for (QCheckBox* box : {row.none, row.realTime, row.manual, row.schedule}) {
            const QSignalBlocker block(box);
            box->setChecked(box == row.none       ? document.none()
                            : box == row.realTime ? document.realTime()
                            : box == row.manual   ? document.manual()
                                                  : document.schedule());
        }
        row.none->setEnabled(true);
        row.realTime->setEnabled(document.realTimeEnabled());
        row.manual->setEnabled(false);
        row.schedule->setEnabled(document.scheduleEnabled());
    }
}

void TdlgProperties::hcProfileSectionClick(StationJob job, int column) {
    options_.profile(job).headerClick(column);
    ShowJobOptions();
}

void TdlgProperties::hcAREntrySectionClick(int column) {
    options_.delivery.headerClick(column);
    ShowJobOptions();
}

void TdlgProperties::hcAPEntrySectionClick(int column) {
    // The hidden Transfer Out row is left alone.
    options_.receiving.headerClick(column);
    options_.returnOutwards.headerClick(column);
    ShowJobOptions();
}

void TdlgProperties::hcSalesTransSectionClick(int column) {
    options_.salesTransaction.headerClick(column);
    ShowJobOptions();
}

void TdlgProperties::keepBoundStation() {
    Table& station = dmPolling->tblStation;
    if (boundStore_.isEmpty() || !station.isActive() || station.state() != Dataset::State::Browse)
        return;
    if (station.recNo() >= 0 && station.value(QStringLiteral("P_STORE")).toString() == boundStore_)
        return;
    station.locate(QStringLiteral("P_STORE"), boundStore_);
}

TdlgProperties::ApplyResult TdlgProperties::Apply() {
    Table& station = dmPolling->tblStation;
    keepBoundStation();
    const QString code = currentStoreCode();
    // Looked up among the stores in memory, so any text (quotes, blanks) is simply not found.
    if (dmPolling->tblStore.lookup(QStringLiteral("M_CODE"), code, QStringLiteral("M_CODE"))
            .isNull()) {
        Messages().error(QLatin1String(kStoreNotFound));
        if (isNewStation()) {
            wwDBLookupCombo1->setFocus();
        } else {
            station.cancel();
            showStationFields(true);
        }
        return ApplyResult::StoreNotFound;
    }
    if (isNewStation()) {
        if (dmPolling->tblStationSearch.locate(QStringLiteral("P_STORE"), code)) {
            Messages().error(QLatin1String(kStationFound));
            wwDBLookupCombo1->setFocus();
            return ApplyResult::DuplicateStation;
        }
        station.setValue(QStringLiteral("P_STORE"), code);
    }

    station.post();
    boundStore_ = station.value(QStringLiteral("P_STORE")).toString();
    listOutdated_ = true;
    setStoreBoxesEnabled(false);
    CreateStationFolders(SettingsFile(), boundStore_);
    SaveStationJobs(dmPolling->dbStk, boundStore_, options_);
    if (dmPolling->tblJob.isActive())
        dmPolling->tblJob.refresh();

    listOutdated_ = false;
    emit stationsChanged();
    // Rebuilding the list moves the station table to its first row; this window stays on its
    // own station so that a further Apply saves to it.
    keepBoundStation();
    showStationFields(true);
    return ApplyResult::Saved;
}

void TdlgProperties::bbtnApplyClick() {
    RunGuarded([this] { Apply(); });
}

void TdlgProperties::BitBtn1Click() {
    ApplyResult result = ApplyResult::Saved;
    if (!RunGuarded([&] { result = Apply(); }))
        return;
    if (result == ApplyResult::DuplicateStation)
        return;
    BitBtn2Click();
}

void TdlgProperties::BitBtn2Click() {
    reject();
}

void TdlgProperties::discardPendingChange() {
    if (!dmPolling)
        return;
    Table& station = dmPolling->tblStation;
    if (station.state() == Dataset::State::Insert || station.state() == Dataset::State::Edit)
        station.cancel();
}

void TdlgProperties::reject() {
    // Cancel, Escape and the close box all discard what was not applied.
    discardPendingChange();
    if (listOutdated_) {
        // A station was stored by an Apply that ended with an error before the list was rebuilt.
        listOutdated_ = false;
        emit stationsChanged();
    }
    QDialog::reject();
}
