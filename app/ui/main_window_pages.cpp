// The main window's log, summaries and maintenance pages and its Import command. The pages do
// the work; the main window's handlers, named after their controls, forward to them and show
// what the commands change in the tool bar, the menu and the status bar.
#include "app/ui/log_page.h"
#include "app/ui/main_window.h"
#include "app/ui/maintenance_grid.h"
#include "app/ui/maintenance_page.h"
#include "app/ui/summaries_page.h"
#include "config/ui/process_in_dialog.h"
#include "core/action_guard.h"
#include "data/dm_polling.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Pictures of the write-mode commands: the button's and the menu item's, in read and in write
// mode.
const QStyle::StandardPixmap WriteButtonImage = QStyle::SP_FileDialogContentsView; // image 9
const QStyle::StandardPixmap ReadButtonImage = QStyle::SP_FileDialogListView;      // image 11
const QStyle::StandardPixmap WriteItemImage = QStyle::SP_FileDialogContentsView;   // image 13
const QStyle::StandardPixmap ReadItemImage = QStyle::SP_FileDialogListView;        // image 14

void fill(QWidget* sheet, QWidget* content) {
    auto* layout = new QVBoxLayout(sheet);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
}

} // namespace

void TfrmMain::buildPageContents() {
    logPage_ = new LogPage([this] { return settingsFile_.get(); }, TabSheet2);
    logPage_->setObjectName(QStringLiteral("pnlLog"));
    fill(TabSheet2, logPage_);
    summariesPage_ = new SummariesPage(TabSheet3);
    summariesPage_->setObjectName(QStringLiteral("pnlSummaries"));
    fill(TabSheet3, summariesPage_);
    maintenancePage_ = new MaintenancePage(TabSheet4);
    maintenancePage_->setObjectName(QStringLiteral("pnlMaintenance"));
    fill(TabSheet4, maintenancePage_);

    connect(logPage_->BitBtn1, &QPushButton::clicked, this, &TfrmMain::BitBtn1Click);
    connect(logPage_->BitBtn2, &QPushButton::clicked, this, &TfrmMain::BitBtn2Click);
    // The station box's list closing with a station chosen.
    connect(logPage_->wwDBLookupCombo1, &QComboBox::activated, this,
            &TfrmMain::wwDBLookupCombo1CloseUp);
    connect(summariesPage_, &SummariesPage::lvProOutClick, this, &TfrmMain::lvProOutClick);
    connect(ToolButton4, &QToolButton::clicked, this, &TfrmMain::ToolButton4Click);
    connect(maintenancePage_->CheckBox1, &QCheckBox::clicked, this, &TfrmMain::ToolButton4Click);
    connect(Entry1, &QAction::triggered, this, &TfrmMain::Entry1Click);
    showWriteMode();
}

void TfrmMain::attachMaintenanceTables() {
    maintenancePage_->attachTables(dmPolling->tblCustomer, dmPolling->tblSupplier,
                                   dmPolling->tblPayment);
    connect(maintenancePage_->wwDBGrid1, &MaintenanceGrid::titleButtonClick, this,
            &TfrmMain::wwDBGrid1TitleButtonClick);
    connect(maintenancePage_->wwDBGrid2, &MaintenanceGrid::titleButtonClick, this,
            &TfrmMain::wwDBGrid2TitleButtonClick);
    connect(maintenancePage_->wwDBGrid3, &MaintenanceGrid::titleButtonClick, this,
            &TfrmMain::wwDBGrid3TitleButtonClick);
}

// ---------------------------------------------------------------------------------------------
// Log page

void TfrmMain::SizeTvLog() {
    logPage_->SizeTvLog();
}

void TfrmMain::ShowTvLog() {
    logPage_->ShowTvLog();
}

void TfrmMain::ShowTvStationLog() {
    logPage_->ShowTvStationLog();
}

void TfrmMain::BitBtn1Click() {
    RunGuarded([this] { logPage_->BitBtn1Click(); });
}

void TfrmMain::BitBtn2Click() {
    RunGuarded([this] { logPage_->BitBtn2Click(); });
}

void TfrmMain::wwDBLookupCombo1CloseUp() {
    RunGuarded([this] { logPage_->wwDBLookupCombo1CloseUp(); });
}

// ---------------------------------------------------------------------------------------------
// Summaries page

void TfrmMain::ListProInOut() {
    if (!dmPolling || !settingsFile_)
        return;
    summariesPage_->fillStations(dmPolling->tblStation);
    setStatusPanelText(3, AccountingLinkPathText(*settingsFile_));
    ShowSummaryFolders();
}

void TfrmMain::ShowSummaryFolders() {
    if (!settingsFile_)
        return;
    const SummaryFolders folders = summariesPage_->ShowSummaryFolders(*settingsFile_);
    // Only the ACCPAC account type imports.
    setToolButtonVisible(ToolButton3, folders.importOffered);
    ProcessIn1->setVisible(folders.importOffered);
}

void TfrmMain::lvProOutClick() {
    RunGuarded([this] { ShowSummaryFolders(); });
}

void TfrmMain::RefreshSummaries1Click() {
    RunGuarded([this] { ListProInOut(); });
}

// ---------------------------------------------------------------------------------------------
// Maintenance page

void TfrmMain::ToolButton4Click() {
    RunGuarded([this] { maintenancePage_->ToolButton4Click(); });
    showWriteMode();
}

void TfrmMain::Entry1Click() {
    ToolButton4Click();
}

void TfrmMain::showWriteMode() {
    const bool write = maintenancePage_->isWriteMode();
    ToolButton4->setText(write ? QStringLiteral("Read") : QStringLiteral("Write"));
    ToolButton4->setIcon(style()->standardIcon(write ? ReadButtonImage : WriteButtonImage));
    Entry1->setText(write ? QStringLiteral("&Read Mode") : QStringLiteral("&Write Mode"));
    Entry1->setIcon(style()->standardIcon(write ? ReadItemImage : WriteItemImage));
}

void TfrmMain::wwDBGrid1TitleButtonClick(const QString& field) {
    RunGuarded([&] { maintenancePage_->titleButtonClick(maintenancePage_->wwDBGrid1, field); });
}

void TfrmMain::wwDBGrid2TitleButtonClick(const QString& field) {
    RunGuarded([&] { maintenancePage_->titleButtonClick(maintenancePage_->wwDBGrid2, field); });
}

void TfrmMain::wwDBGrid3TitleButtonClick(const QString& field) {
    RunGuarded([&] { maintenancePage_->titleButtonClick(maintenancePage_->wwDBGrid3, field); });
}

// ---------------------------------------------------------------------------------------------
// Import

void TfrmMain::OpenImportDialog() {
    // The window frees itself when it closes.
    auto* dialog = new TdlgProcessIn(*settingsFile_, this);
    connect(dialog, &TdlgProcessIn::formDestroyed, this, &TfrmMain::processInDestroyed);
    dialog->exec();
}

void TfrmMain::processInDestroyed(bool imported) {
    // The window stays on the page it was on. The summaries page has no tab of its own: making
    // it current left the tab bar with no tab chosen and a page the user cannot leave by a tab.
    QWidget* page = PageControl1->currentWidget();
    RunGuarded([this] { ListStation(); });
    RunGuarded([this] { ShowTvLog(); });
    if (imported)
        RunGuarded([this] { ShowSummaryFolders(); });
    PageControl1->setCurrentWidget(page);
}
