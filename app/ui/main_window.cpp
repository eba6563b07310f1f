#include "app/ui/main_window.h"

#include "app/command_line.h"
#include "app/station_list_rows.h"
#include "app/ui/maintenance_page.h"
#include "app/ui/paste_icon.h"
#include "app/ui/station_list_view.h"
#include "app/ui/vertical_title_label.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/ui/preferences_dialog.h"
#include "config/ui/properties_dialog.h"
#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/profile_file.h"
#include "data/activity_log.h"
#include "data/dm_mm_group_access.h"
#include "data/dm_polling.h"
#include "data/store_check.h"
#include "export/ui/dlg_export_to_acct.h"
#include "export/ui/einvoice_check_dialog.h"
#include "export/ui/posted_documents_dialog.h"
#include "login/login_check.h"
#include "login/program_version.h"
#include "login/time_code.h"
#include "login/ui/password_dialog.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

TfrmMain* frmMain = nullptr;

namespace {

// dmMMGroupAccess lives until the program ends, beyond the main window.
std::unique_ptr<TdmMMGroupAccess> groupAccessModule;

const char ProgramTitle[] = "Zantro POS Accounting Link";

// The keys of the station commands, shown in the menus and in the tool buttons' tips.
QKeySequence AddKey() {
    return QKeySequence(Qt::CTRL | Qt::Key_N);
}
QKeySequence CopyKey() {
    return QKeySequence(Qt::CTRL | Qt::Key_C);
}
QKeySequence PasteKey() {
    return QKeySequence(Qt::CTRL | Qt::Key_V);
}
QKeySequence RemoveKey() {
    return QKeySequence(Qt::Key_Delete);
}
QKeySequence PropertiesKey() {
    return QKeySequence(Qt::ALT | Qt::Key_Return);
}
QKeySequence RefreshKey() {
    return QKeySequence(Qt::Key_F5);
}
QKeySequence ExportKey() {
    return QKeySequence(Qt::CTRL | Qt::Key_E);
}
QKeySequence ImportKey() {
    return QKeySequence(Qt::CTRL | Qt::Key_I);
}
QKeySequence ExitKey() {
    return QKeySequence(Qt::ALT | Qt::Key_F4);
}

QAction* withKey(QAction* item, const QKeySequence& key,
                 Qt::ShortcutContext context = Qt::WindowShortcut) {
    item->setShortcut(key);
    item->setShortcutContext(context);
    return item;
}

void tipWithKey(QToolButton* button, const QKeySequence& key) {
    button->setToolTip(
        QStringLiteral("%1 (%2)").arg(button->text(), key.toString(QKeySequence::NativeText)));
}

} // namespace

void FreeGroupAccessModule() {
    if (dmMMGroupAccess == groupAccessModule.get())
        dmMMGroupAccess = nullptr;
    groupAccessModule.reset();
}

TfrmMain::TfrmMain(const QStringList& arguments, QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("frmMain"));
    buildWindow();
    frmMain = this;
    try {
        FormCreate(arguments);
    } catch (...) {
        FormClose();
        throw;
    }
}

TfrmMain::~TfrmMain() {
    FormClose();
}

// ---------------------------------------------------------------------------------------------
// The window's parts

void TfrmMain::buildWindow() {
    setWindowTitle(QStringLiteral("Zantro POS Accounting Link v"));
    resize(1100, 700);

    auto* central = new QWidget(this);
    auto* centralLayout = new QHBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    CoolMenuLabel1 = new VerticalTitleLabel(QLatin1String(ProgramTitle), central);
    CoolMenuLabel1->setObjectName(QStringLiteral("CoolMenuLabel1"));
    pnlClient = new QWidget(central);
    pnlClient->setObjectName(QStringLiteral("pnlClient"));
    centralLayout->addWidget(CoolMenuLabel1);
    centralLayout->addWidget(pnlClient, 1);
    setCentralWidget(central);

    buildToolBar();
    buildPages();
    buildMenus();
    buildStatusBar();
    buildPageContents();
    placeToolBar(ToolBarPosition::Left);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TfrmMain::Timer1Timer);
}

QToolButton* TfrmMain::toolButton(const char* name, const QString& caption, int icon,
                                  void (TfrmMain::*handler)()) {
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setIcon(style()->standardIcon(QStyle::StandardPixmap(icon)));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(24, 24));
    button->setMinimumWidth(68);
    button->setAutoRaise(true);
    toolButtonActions_.insert(button, ToolBar1->addWidget(button));
    if (handler)
        connect(button, &QToolButton::clicked, this, handler);
    return button;
}

void TfrmMain::setToolButtonVisible(QToolButton* button, bool visible) {
    // A widget in a tool bar is shown and hidden through its action.
    toolButtonActions_.value(button)->setVisible(visible);
}

void TfrmMain::buildToolBar() {
    ToolBar1 = new QToolBar(pnlClient);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setFloatable(false);
    ToolButton1 = toolButton("ToolButton1", QStringLiteral("Add"), QStyle::SP_FileDialogNewFolder,
                             &TfrmMain::ToolButton1Click);
    ToolButton7 = toolButton("ToolButton7", QStringLiteral("Copy"), QStyle::SP_FileLinkIcon,
                             &TfrmMain::ToolButton7Click);
    ToolButton8 = toolButton("ToolButton8", QStringLiteral("Paste"), QStyle::SP_DialogSaveButton,
                             &TfrmMain::ToolButton8Click);
    ToolButton9 = toolButton("ToolButton9", QStringLiteral("Remove"), QStyle::SP_TrashIcon,
                             &TfrmMain::ToolButton9Click);
    ToolButton6 = toolButton("ToolButton6", QStringLiteral("Properties"),
                             QStyle::SP_FileDialogDetailedView, &TfrmMain::ToolButton6Click);
    ToolButton2 = toolButton("ToolButton2", QStringLiteral("Export"), QStyle::SP_ArrowUp,
                             &TfrmMain::ToolButton2Click);
    ToolButton3 = toolButton("ToolButton3", QStringLiteral("Import"), QStyle::SP_ArrowDown,
                             &TfrmMain::ToolButton3Click);
    // The maintenance page connects the Write button when it is built.
    ToolButton4 = toolButton("ToolButton4", QStringLiteral("Write"),
                             QStyle::SP_FileDialogContentsView, nullptr);
    ToolBar1->addSeparator();
    ToolButton5 = toolButton("ToolButton5", QStringLiteral("Exit"), QStyle::SP_DialogCloseButton,
                             &TfrmMain::ToolButton5Click);
    setToolButtonVisible(ToolButton7, false);
    setToolButtonVisible(ToolButton3, false);
    setToolButtonVisible(ToolButton4, false);
    ToolButton8->setIcon(PasteIcon());
    ToolButton8->setEnabled(false);
    // Copy's and Paste's tips name the station last copied from and pasted to.
    tipWithKey(ToolButton1, AddKey());
    tipWithKey(ToolButton9, RemoveKey());
    tipWithKey(ToolButton6, PropertiesKey());
    tipWithKey(ToolButton2, ExportKey());
    tipWithKey(ToolButton3, ImportKey());
    tipWithKey(ToolButton5, ExitKey());
}

void TfrmMain::buildPages() {
    PageControl1 = new QTabWidget(pnlClient);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setDocumentMode(false);
    const auto page = [this](const char* name, const QString& caption) {
        auto* sheet = new QWidget(PageControl1);
        sheet->setObjectName(QLatin1String(name));
        PageControl1->addTab(sheet, caption);
        return sheet;
    };
    TabSheet1 = page("TabSheet1", QStringLiteral("    Station    "));
    TabSheet2 = page("TabSheet2", QStringLiteral("       Log       "));
    TabSheet3 = page("TabSheet3", QStringLiteral(" Summaries "));
    TabSheet4 = page("TabSheet4", QStringLiteral("Maintenance"));
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet2), false);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet3), false);

    lvStore = new StationListView(TabSheet1);
    lvStore->setObjectName(QStringLiteral("lvStore"));
    auto* stationLayout = new QVBoxLayout(TabSheet1);
    stationLayout->setContentsMargins(4, 4, 4, 4);
    stationLayout->addWidget(lvStore);
    connect(lvStore, &StationListView::rowSelected, this, &TfrmMain::lvStoreSelectItem);
    connect(lvStore, &StationListView::enterPressed, this, &TfrmMain::lvStoreKeyDown);
    connect(lvStore, &StationListView::rowDoubleClicked, this, &TfrmMain::ToolButton6Click);
    // A right click on the list opens its menu of station commands.
    connect(lvStore, &StationListView::contextMenuAsked, this,
            [this](const QPoint& at) { PopupMenu1->popup(at); });
}

QAction* TfrmMain::menuItem(QMenu* menu, const char* name, const QString& caption,
                            void (TfrmMain::*handler)()) {
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    if (handler)
        connect(item, &QAction::triggered, this, handler);
    return item;
}

void TfrmMain::buildMenus() {
    QMenuBar* MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* file = MainMenu1->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    withKey(menuItem(file, "StationProperties1", QStringLiteral("Account Book &Properties"),
                     &TfrmMain::StationProperties1Click),
            PropertiesKey());
    file->addSeparator();
    withKey(menuItem(file, "Exit1", QStringLiteral("E&xit"), &TfrmMain::Exit1Click), ExitKey());

    QMenu* edit = MainMenu1->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    withKey(menuItem(edit, "Tools1", QStringLiteral("&Add Account Book"), &TfrmMain::Tools1Click),
            AddKey());
    Copystation1 = menuItem(edit, "Copystation1", QStringLiteral("&Copy Account Book"),
                            &TfrmMain::Copystation1Click);
    PasteStation1 = menuItem(edit, "PasteStation1", QStringLiteral("&Paste Account Book"),
                             &TfrmMain::PasteStation1Click);
    // Del removes a station only from the station list, never while another page has the keys.
    lvStore->addAction(
        withKey(menuItem(edit, "RemoveStation1", QStringLiteral("R&emove Account Book"),
                         &TfrmMain::RemoveStation1Click),
                RemoveKey(), Qt::WidgetWithChildrenShortcut));
    edit->addSeparator();
    // The maintenance page connects the write mode when it is built.
    Entry1 = menuItem(edit, "Entry1", QStringLiteral("&Write Mode"), nullptr);
    Copystation1->setVisible(false);
    Copystation1->setEnabled(false);
    PasteStation1->setVisible(false);
    PasteStation1->setEnabled(false);

    QMenu* view = MainMenu1->addMenu(QStringLiteral("&View"));
    view->setObjectName(QStringLiteral("View1"));
    withKey(menuItem(view, "RefreshStationList1", QStringLiteral("&Refresh Account Book List"),
                     &TfrmMain::RefreshStationList1Click),
            RefreshKey());
    RefreshSummaries1 = menuItem(view, "RefreshSummaries1", QStringLiteral("Refresh &Summaries"),
                                 &TfrmMain::RefreshSummaries1Click);
    RefreshSummaries1->setVisible(false);
    view->addSeparator();
    QMenu* align = view->addMenu(QStringLiteral("Align &Toolbar"));
    align->setObjectName(QStringLiteral("AlignToolbar1"));
    Top1 = menuItem(align, "Top1", QStringLiteral("&Top"), &TfrmMain::Top1Click);
    Right1 = menuItem(align, "Right1", QStringLiteral("&Right"), &TfrmMain::Right1Click);
    Bottom1 = menuItem(align, "Bottom1", QStringLiteral("&Bottom"), &TfrmMain::Bottom1Click);
    Left1 = menuItem(align, "Left1", QStringLiteral("&Left"), &TfrmMain::Left1Click);
    QMenu* style = view->addMenu(QStringLiteral("View &Account Book"));
    style->setObjectName(QStringLiteral("ViewAccountBook1"));
    Large1 = menuItem(style, "Large1", QStringLiteral("&Large Icon"), &TfrmMain::Large1Click);
    Small1 = menuItem(style, "Small1", QStringLiteral("&Small Icon"), &TfrmMain::Small1Click);
    List1 = menuItem(style, "List1", QStringLiteral("L&ist"), &TfrmMain::List1Click);
    Details1 = menuItem(style, "Details1", QStringLiteral("&Details"), &TfrmMain::Details1Click);
    for (QAction* item : {Top1, Right1, Bottom1, Left1, Large1, Small1, List1, Details1})
        item->setCheckable(true);

    QMenu* option = MainMenu1->addMenu(QStringLiteral("&Option"));
    option->setObjectName(QStringLiteral("Option1"));
    menuItem(option, "Preferences1", QStringLiteral("&Preferences"), &TfrmMain::Preferences1Click);

    QMenu* tools = MainMenu1->addMenu(QStringLiteral("&Tools"));
    tools->setObjectName(QStringLiteral("Tools2"));
    withKey(menuItem(tools, "ProcessOut1", QStringLiteral("&Export  Data"),
                     &TfrmMain::ProcessOut1Click),
            ExportKey());
    ProcessIn1 = withKey(
        menuItem(tools, "ProcessIn1", QStringLiteral("&Import Data"), &TfrmMain::ProcessIn1Click),
        ImportKey());
    ProcessIn1->setVisible(false);
    menuItem(tools, "PostedDocuments1", QStringLiteral("&Posted Documents"),
             &TfrmMain::PostedDocuments1Click);
    menuItem(tools, "EInvoiceCheck1", QStringLiteral("e-Invoice &Month Check"),
             &TfrmMain::EInvoiceCheck1Click);

    // The station list's own menu (a right click). Its items show the keys of the same commands
    // above, active only while the menu is open; Copy and Paste, which the menus above do not
    // offer, also answer their keys in the list itself.
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    withKey(menuItem(PopupMenu1, "AddStation1", QStringLiteral("Add Station"),
                     &TfrmMain::ToolButton1Click),
            AddKey(), Qt::WidgetShortcut);
    lvStore->addAction(withKey(menuItem(PopupMenu1, "CopyStation2", QStringLiteral("Copy Station"),
                                        &TfrmMain::ToolButton7Click),
                               CopyKey(), Qt::WidgetWithChildrenShortcut));
    PasteStation2 = withKey(menuItem(PopupMenu1, "PasteStation2", QStringLiteral("Paste Station"),
                                     &TfrmMain::ToolButton8Click),
                            PasteKey(), Qt::WidgetWithChildrenShortcut);
    // Like the Paste button, nothing to paste before a Copy.
    PasteStation2->setEnabled(false);
    lvStore->addAction(PasteStation2);
    withKey(menuItem(PopupMenu1, "RemoveStation2", QStringLiteral("Remove Station"),
                     &TfrmMain::ToolButton9Click),
            RemoveKey(), Qt::WidgetShortcut);
    PopupMenu1->addSeparator();
    withKey(menuItem(PopupMenu1, "RefreshStationList2", QStringLiteral("Refresh Station List"),
                     &TfrmMain::RefreshStationList1Click),
            RefreshKey(), Qt::WidgetShortcut);
    withKey(menuItem(PopupMenu1, "StationProperties2", QStringLiteral("Station Properties"),
                     &TfrmMain::ToolButton6Click),
            PropertiesKey(), Qt::WidgetShortcut);
}

void TfrmMain::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    const int widths[4] = {190, 170, 170, 0};
    for (int i = 0; i < 4; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        panel->setContentsMargins(6, 1, 6, 1);
        panel->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        if (widths[i] > 0)
            panel->setFixedWidth(widths[i]);
        bar->addWidget(panel, widths[i] > 0 ? 0 : 1);
        StatusPanels[i] = panel;
    }
    StatusPanels[0]->setAlignment(Qt::AlignCenter);
}

QString TfrmMain::statusPanelText(int panel) const {
    return panel >= 0 && panel < 4 ? StatusPanels[panel]->text() : QString();
}

void TfrmMain::setStatusPanelText(int panel, const QString& text) {
    if (panel >= 0 && panel < 4)
        StatusPanels[panel]->setText(text);
}

// ---------------------------------------------------------------------------------------------
// Start, show and close

void TfrmMain::FormCreate(const QStringList& arguments) {
    groupAccessModule = std::make_unique<TdmMMGroupAccess>();
    dmMMGroupAccess = groupAccessModule.get();
    polling_ = std::make_unique<TdmPolling>();
    dmPolling = polling_.get();
    attachMaintenanceTables();

    // The program's own date and time texts use fixed forms (dd/MM/yyyy, HH:mm:ss; see
    // ShortDateText and LongTimeText), so no process-wide setting needs changing here; the
    // station list keeps the regional forms of the operating system.

    setWindowTitle(windowTitle() + QLatin1String(ProgramVersion));

    const ProfileFile registerIni(RegisterIniPath());
    login.DatabaseMode = registerIni.readString(QStringLiteral("DATABASE"),
                                                QStringLiteral("DEFAULT_SERVER"), QString());
    login.DatabaseServer = registerIni.readString(QStringLiteral("DATABASE"),
                                                  QStringLiteral("DATABASE_SERVER"), QString());
    applyCommandLine(arguments);
    DefaultStore =
        registerIni.readString(QStringLiteral("STORE"), QStringLiteral("DEFAULT_STORE"), QString());
    // An unknown store ends the program; the remaining steps still run.
    if (!CheckStoreCode(DefaultStore))
        terminate_ = true;

    settingsFile_ = std::make_unique<::SettingsFile>();
    applyLayoutSettings();
    ListStation();

    // The clock shows at once rather than after its first second.
    Timer1Timer();
    Timer1->start();
}

void TfrmMain::applyCommandLine(const QStringList& arguments) {
    const CommandLineSwitches switches = ParseCommandLine(arguments);
    if (switches.loginTimeFrom)
        login.LoginTimeFrom = *switches.loginTimeFrom;
    if (switches.loginTimeTo)
        login.LoginTimeTo = *switches.loginTimeTo;
    // A command line that is not understood runs the ordinary login.
    if (!switches.badNumbers.isEmpty()) {
        Messages().error(BadNumberSwitchMessage(switches.badNumbers));
        return;
    }
    if (!switches.userCode || switches.userCode->isEmpty())
        return;
    const QString code = *switches.userCode;
    const Query& users = dmMMGroupAccess->qryUser;
    const QString codeField = QStringLiteral("M_CODE");
    if (users.lookup(codeField, code, codeField).isNull()) {
        Messages().error(UnknownUserSwitchMessage(code));
        return;
    }
    login.identity.UserCode = code;
    login.identity.UserName = users.lookup(codeField, code, QStringLiteral("M_DESC")).toString();
    login.identity.UserGroup =
        users.lookup(codeField, code, QStringLiteral("M_USERGROUP")).toString();
    login.identity.UserPassword =
        users.lookup(codeField, code, QStringLiteral("M_PASSWORD")).toString();
}

void TfrmMain::applyLayoutSettings() {
    if (const auto position = ParseToolBarPosition(settingsFile_->read(Keys::Layout::ToolBar)))
        chooseToolBarPosition(*position);
    if (const auto style = ParseStationViewStyle(settingsFile_->read(Keys::Layout::ViewStyle)))
        chooseViewStyle(*style);
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    // After the window is on the screen, so the login dialog opens over it.
    QTimer::singleShot(0, this, &TfrmMain::FormShow);
}

void TfrmMain::FormShow() {
    if (terminate_) {
        close();
        return;
    }
    if (!login.identity.UserCode.isEmpty()) {
        RunGuarded([this] { LoadUserQueries(*dmMMGroupAccess, login.identity); });
    } else {
        RunGuarded([this] {
            TdlgPassword dialog(login, this);
            dialog.exec();
        });
    }
    if (login.identity.UserCode.isEmpty()) {
        terminate_ = true;
        close();
        return;
    }
    PageControl1->setCurrentWidget(TabSheet1);
    maintenancePage_->PageControl2->setCurrentWidget(maintenancePage_->TabSheet5);
    // A size limit that is not a whole number does not keep the log tree from being built.
    RunGuarded([this] { SizeTvLog(); });
    RunGuarded([this] { ShowTvLog(); });
    RunGuarded([this] { ListProInOut(); });
    setStatusPanelText(1, QStringLiteral("Store : [ ") + DefaultStore + QStringLiteral(" ]"));
    RunGuarded([this] {
        setStatusPanelText(2, QStringLiteral("Type : ") +
                                  settingsFile_->read(Keys::General::AccountType));
    });
}

void TfrmMain::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TfrmMain::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    if (Timer1)
        Timer1->stop();
    settingsFile_.reset();
    if (dmPolling == polling_.get())
        dmPolling = nullptr;
    polling_.reset();
    if (frmMain == this)
        frmMain = nullptr;
}

void TfrmMain::Timer1Timer() {
    const QDateTime now = Now();
    setStatusPanelText(0, ShortDateText(now.date()) + QLatin1Char(' ') + LongTimeText(now.time()));
    login.CurrentTimeCode = TimeCode(now.time());
}

// ---------------------------------------------------------------------------------------------
// Layout

void TfrmMain::placeToolBar(ToolBarPosition position) {
    toolBarPosition_ = position;
    delete pnlClient->layout();
    const bool horizontal = position == ToolBarPosition::Top || position == ToolBarPosition::Bottom;
    ToolBar1->setOrientation(horizontal ? Qt::Horizontal : Qt::Vertical);
    auto* layout =
        new QBoxLayout(horizontal ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, pnlClient);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    const bool toolBarFirst = position == ToolBarPosition::Top || position == ToolBarPosition::Left;
    if (toolBarFirst)
        layout->addWidget(ToolBar1);
    layout->addWidget(PageControl1, 1);
    if (!toolBarFirst)
        layout->addWidget(ToolBar1);
    // The title label stays at the far left edge in every position.
}

QAction* TfrmMain::toolBarItem(ToolBarPosition position) const {
    switch (position) {
    case ToolBarPosition::Top:
        return Top1;
    case ToolBarPosition::Right:
        return Right1;
    case ToolBarPosition::Bottom:
        return Bottom1;
    case ToolBarPosition::Left:
        return Left1;
    }
    return nullptr;
}

QAction* TfrmMain::viewStyleItem(StationViewStyle style) const {
    switch (style) {
    case StationViewStyle::Large:
        return Large1;
    case StationViewStyle::Small:
        return Small1;
    case StationViewStyle::List:
        return List1;
    case StationViewStyle::Details:
        return Details1;
    }
    return nullptr;
}

void TfrmMain::showLayoutTicks() {
    for (ToolBarPosition p : {ToolBarPosition::Top, ToolBarPosition::Right, ToolBarPosition::Bottom,
                              ToolBarPosition::Left})
        toolBarItem(p)->setChecked(tickedToolBar_ == p);
    for (StationViewStyle s : {StationViewStyle::Large, StationViewStyle::Small,
                               StationViewStyle::List, StationViewStyle::Details})
        viewStyleItem(s)->setChecked(tickedViewStyle_ == s);
}

void TfrmMain::NoToolBar() {
    tickedToolBar_.reset();
    showLayoutTicks();
}

void TfrmMain::NoViewStyle() {
    tickedViewStyle_.reset();
    showLayoutTicks();
}

void TfrmMain::chooseToolBarPosition(ToolBarPosition position) {
    RunGuarded([&] {
        placeToolBar(position);
        settingsFile_->write(Keys::Layout::ToolBar, ToolBarPositionText(position));
        NoToolBar();
        tickedToolBar_ = position;
    });
    // The item's own click toggled its tick; show the ticks as they now stand.
    showLayoutTicks();
}

void TfrmMain::chooseViewStyle(StationViewStyle style) {
    RunGuarded([&] {
        lvStore->setViewStyle(style);
        settingsFile_->write(Keys::Layout::ViewStyle, StationViewStyleText(style));
        NoViewStyle();
        tickedViewStyle_ = style;
    });
    showLayoutTicks();
}

void TfrmMain::Top1Click() {
    chooseToolBarPosition(ToolBarPosition::Top);
}
void TfrmMain::Right1Click() {
    chooseToolBarPosition(ToolBarPosition::Right);
}
void TfrmMain::Bottom1Click() {
    chooseToolBarPosition(ToolBarPosition::Bottom);
}
void TfrmMain::Left1Click() {
    chooseToolBarPosition(ToolBarPosition::Left);
}
void TfrmMain::Large1Click() {
    chooseViewStyle(StationViewStyle::Large);
}
void TfrmMain::Small1Click() {
    chooseViewStyle(StationViewStyle::Small);
}
void TfrmMain::List1Click() {
    chooseViewStyle(StationViewStyle::List);
}
void TfrmMain::Details1Click() {
    chooseViewStyle(StationViewStyle::Details);
}

void TfrmMain::ToolButton5Click() {
    close();
}
void TfrmMain::Exit1Click() {
    ToolButton5Click();
}

// ---------------------------------------------------------------------------------------------
// Station list and commands

void TfrmMain::ListStation() {
    if (!dmPolling || !settingsFile_)
        return;
    lvStore->setRows(
        BuildStationRows(dmPolling->tblStation, Now(), ReadChangedDays(*settingsFile_)));
    ListProInOut();
}

void TfrmMain::lvStoreSelectItem(const QString& caption) {
    if (!dmPolling)
        return;
    RunGuarded([&] { dmPolling->tblStation.locate(QStringLiteral("P_STORE"), caption); });
    // The status bar names the station chosen in the list.
    setStatusPanelText(1, QStringLiteral("Store : [ ") + caption + QStringLiteral(" ]"));
}

void TfrmMain::lvStoreKeyDown() {
    ToolButton6Click();
}

bool TfrmMain::checkAccountType() {
    if (AccountTypeDefined(*settingsFile_))
        return true;
    Messages().error(QLatin1String(NoAccountTypeMessage));
    return false;
}

void TfrmMain::openStationProperties(bool newStation) {
    RunGuarded([&] {
        if (!checkAccountType())
            return;
        // The window frees itself when it closes.
        auto* dialog = new TdlgProperties(this);
        connect(dialog, &TdlgProperties::stationsChanged, this,
                [this] { RunGuarded([this] { ListStation(); }); });
        dialog->OpenStation(newStation ? TdlgProperties::Mode::Add
                                       : TdlgProperties::Mode::Properties);
    });
}

void TfrmMain::ToolButton1Click() {
    openStationProperties(true);
}

void TfrmMain::ToolButton6Click() {
    openStationProperties(false);
}

void TfrmMain::ToolButton7Click() {
    RunGuarded([this] {
        CopyStationJobs(dmPolling->tblJob, clipboard_);
        PasteStation1->setEnabled(true);
        PasteStation2->setEnabled(true);
        ToolButton8->setEnabled(true);
        ToolButton8->setToolTip(QString());
        ToolButton7->setToolTip(QStringLiteral("Recently Copy From ") +
                                dmPolling->tblStation.field(QStringLiteral("P_STORE")).asString());
    });
}

void TfrmMain::ToolButton8Click() {
    RunGuarded([this] {
        // With no station there is nothing to paste to.
        if (dmPolling->tblStation.isEmpty())
            return;
        PasteStationJobs(dmPolling->tblJob, clipboard_);
        ToolButton8->setToolTip(QStringLiteral("Latest Paste To ") +
                                dmPolling->tblStation.field(QStringLiteral("P_STORE")).asString());
    });
}

void TfrmMain::ToolButton9Click() {
    RunGuarded([this] {
        if (dmPolling->tblStation.isEmpty())
            return;
        if (RemoveNeedsConfirmation(*settingsFile_) &&
            !Messages().confirm(QLatin1String(ConfirmRemoveQuestion)))
            return;
        RemoveStationWithJobs(dmPolling->tblStation, dmPolling->tblJob);
        ListStation();
    });
}

void TfrmMain::ToolButton2Click() {
    RunGuarded([this] { OpenExportDialog(); });
}

void TfrmMain::ToolButton3Click() {
    RunGuarded([this] {
        if (!checkAccountType())
            return;
        OpenImportDialog();
    });
}

// The export dialog, shown modally; it keeps the work table's rows and ticks when closed.
void TfrmMain::OpenExportDialog() {
    TdlgExportToAcct dialog(this);
    dialog.setRunUser(login.identity.UserCode);
    dialog.exec();
}

void TfrmMain::OpenExportDialogSearching(const QString& store, const QDate& day,
                                         const QString& moduleCode) {
    TdlgExportToAcct dialog(this);
    dialog.setRunUser(login.identity.UserCode);
    // Shown first: its tree is filled when it is shown.
    dialog.show();
    dialog.SearchFor(store, day, moduleCode);
    dialog.exec();
}

void TfrmMain::PostedDocuments1Click() {
    if (const std::optional<OutstandingChoice> chosen = ShowPostedDocuments(this))
        RunGuarded(
            [&] { OpenExportDialogSearching(chosen->store, chosen->day, chosen->moduleCode); });
}

void TfrmMain::EInvoiceCheck1Click() {
    RunGuarded([this] {
        TdlgEInvoiceCheck check(this);
        check.exec();
    });
}

void TfrmMain::Preferences1Click() {
    RunGuarded([this] {
        // The window frees itself when it closes and asks for the list to be rebuilt then.
        auto* dialog = new TdlgPreferences(this);
        connect(dialog, &TdlgPreferences::statusPanelChanged, this, &TfrmMain::setStatusPanelText);
        connect(dialog, &TdlgPreferences::stationsChanged, this,
                [this] { RunGuarded([this] { ListStation(); }); });
        dialog->exec();
    });
}

void TfrmMain::RefreshStationList1Click() {
    RunGuarded([this] {
        dmPolling->tblStation.refresh();
        ListStation();
    });
}

void TfrmMain::StationProperties1Click() {
    ToolButton6Click();
}
void TfrmMain::Tools1Click() {
    ToolButton1Click();
}
void TfrmMain::Copystation1Click() {
    ToolButton7Click();
}
void TfrmMain::PasteStation1Click() {
    ToolButton8Click();
}
void TfrmMain::RemoveStation1Click() {
    ToolButton9Click();
}
void TfrmMain::ProcessOut1Click() {
    ToolButton2Click();
}
void TfrmMain::ProcessIn1Click() {
    ToolButton3Click();
}
