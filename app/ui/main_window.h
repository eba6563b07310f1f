#pragma once

#include "app/layout_keys.h"
#include "app/station_commands.h"
#include "login/login_identity.h"

#include <QHash>
#include <QMainWindow>
#include <QStringList>
#include <memory>
#include <optional>

class LogPage;
class MaintenancePage;
class QAction;
class QBoxLayout;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class SettingsFile;
class StationListView;
class SummariesPage;
class TdmPolling;
class VerticalTitleLabel;

// The main window: the station list and its commands, the log, summaries and maintenance pages,
// the menus, the tool bar, the status bar and its clock. Creating it opens the data modules,
// reads the installation settings and the command line, checks the default store, opens the
// settings file, applies the layout and fills the station list (FormCreate); showing it the
// first time runs the login (FormShow).
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // `arguments` as the program received them (the program itself first). Raises the engine's
    // error when a data module cannot be opened.
    explicit TfrmMain(const QStringList& arguments, QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The login identity, the login-hour codes and the database mode and server.
    LoginState login;
    QString DefaultStore;

    // Set when the program must end without running: the default store is unknown, or nobody
    // logged in.
    bool terminationRequested() const { return terminate_; }

    ::SettingsFile* settings() const { return settingsFile_.get(); }
    QString statusPanelText(int panel) const;
    ToolBarPosition toolBarPosition() const { return toolBarPosition_; }
    const JobClipboard& jobClipboard() const { return clipboard_; }

    // Handlers and routines, named after their control and event.
    void FormShow();
    void Timer1Timer();
    void Top1Click();
    void Right1Click();
    void Bottom1Click();
    void Left1Click();
    void Large1Click();
    void Small1Click();
    void List1Click();
    void Details1Click();
    void NoToolBar();
    void NoViewStyle();
    void ToolButton5Click(); // Exit
    void Exit1Click();

    void ListStation();
    void lvStoreSelectItem(const QString& caption);
    void lvStoreKeyDown();
    void ToolButton1Click(); // Add
    void ToolButton6Click(); // Properties
    void ToolButton7Click(); // Copy
    void ToolButton8Click(); // Paste
    void ToolButton9Click(); // Remove
    void ToolButton2Click(); // Export
    void ToolButton3Click(); // Import
    void Preferences1Click();
    void RefreshStationList1Click();
    void StationProperties1Click();
    void Tools1Click();
    void Copystation1Click();
    void PasteStation1Click();
    void RemoveStation1Click();
    void ProcessOut1Click();
    void ProcessIn1Click();
    // "Posted Documents" of the Tools menu: what the export runs posted, and what is outstanding.
    void PostedDocuments1Click();
    void EInvoiceCheck1Click();

    // The log page (main_window_pages.cpp; the page itself is LogPage). The routines raise their
    // errors; the handlers show them.
    void SizeTvLog();
    void ShowTvLog();
    void ShowTvStationLog();
    void BitBtn1Click();
    void BitBtn2Click();
    void wwDBLookupCombo1CloseUp();

    // The summaries page (SummariesPage).
    void ListProInOut();
    void ShowSummaryFolders();
    void lvProOutClick();
    void RefreshSummaries1Click();

    // The maintenance page (MaintenancePage): the write-mode switch and the title clicks.
    void ToolButton4Click(); // Write / Read, also the check box
    void Entry1Click();
    void wwDBGrid1TitleButtonClick(const QString& field);
    void wwDBGrid2TitleButtonClick(const QString& field);
    void wwDBGrid3TitleButtonClick(const QString& field);

public slots:
    void setStatusPanelText(int panel, const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate(const QStringList& arguments);
    void FormClose();
    void buildWindow();
    void buildMenus();
    void buildToolBar();
    void buildPages();
    void buildStatusBar();
    QAction* menuItem(QMenu* menu, const char* name, const QString& caption,
                      void (TfrmMain::*handler)());
    QToolButton* toolButton(const char* name, const QString& caption, int icon,
                            void (TfrmMain::*handler)());
    void setToolButtonVisible(QToolButton* button, bool visible);
    void applyCommandLine(const QStringList& arguments);
    void applyLayoutSettings();
    void placeToolBar(ToolBarPosition position);
    void chooseToolBarPosition(ToolBarPosition position);
    void chooseViewStyle(StationViewStyle style);
    void showLayoutTicks();
    QAction* toolBarItem(ToolBarPosition position) const;
    QAction* viewStyleItem(StationViewStyle style) const;
    bool checkAccountType();
    // Opens the station properties window for a new station or for the current one.
    void openStationProperties(bool newStation);
    void OpenExportDialog();
    // The export dialog, searched at once for one store's documents of a kind on one day.
    void OpenExportDialogSearching(const QString& store, const QDate& day,
                                   const QString& moduleCode);
    void OpenImportDialog();
    // The pages' own parts (main_window_pages.cpp).
    void buildPageContents();
    void attachMaintenanceTables();
    void showWriteMode();
    // The Import window is gone: the lists and the log are rebuilt, after a run the summaries
    // folders are read again; the window stays on its page.
    void processInDestroyed(bool imported);

    std::unique_ptr<TdmPolling> polling_;
    std::unique_ptr<::SettingsFile> settingsFile_;
    JobClipboard clipboard_;
    bool terminate_ = false;
    bool shown_ = false;
    bool closed_ = false;
    ToolBarPosition toolBarPosition_ = ToolBarPosition::Left;
    // The ticked "Align Toolbar" and "View Account Book" items (none in the design state).
    std::optional<ToolBarPosition> tickedToolBar_;
    std::optional<StationViewStyle> tickedViewStyle_;
    QHash<QToolButton*, QAction*> toolButtonActions_;

    VerticalTitleLabel* CoolMenuLabel1 = nullptr;
    QWidget* pnlClient = nullptr;
    QToolBar* ToolBar1 = nullptr;
    QToolButton* ToolButton1 = nullptr;
    QToolButton* ToolButton2 = nullptr;
    QToolButton* ToolButton3 = nullptr;
    QToolButton* ToolButton4 = nullptr;
    QToolButton* ToolButton5 = nullptr;
    QToolButton* ToolButton6 = nullptr;
    QToolButton* ToolButton7 = nullptr;
    QToolButton* ToolButton8 = nullptr;
    QToolButton* ToolButton9 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QWidget* TabSheet4 = nullptr;
    StationListView* lvStore = nullptr;
    LogPage* logPage_ = nullptr;
    SummariesPage* summariesPage_ = nullptr;
    MaintenancePage* maintenancePage_ = nullptr;
    QLabel* StatusPanels[4] = {};
    QTimer* Timer1 = nullptr;
    QMenu* PopupMenu1 = nullptr;

    QAction* Top1 = nullptr;
    QAction* Right1 = nullptr;
    QAction* Bottom1 = nullptr;
    QAction* Left1 = nullptr;
    QAction* Large1 = nullptr;
    QAction* Small1 = nullptr;
    QAction* List1 = nullptr;
    QAction* Details1 = nullptr;
    QAction* Copystation1 = nullptr;
    QAction* PasteStation1 = nullptr;
    QAction* PasteStation2 = nullptr; // the station list menu's
    QAction* ProcessIn1 = nullptr;
    QAction* RefreshSummaries1 = nullptr;
    QAction* Entry1 = nullptr;
};

// The main window while it exists.
extern TfrmMain* frmMain;

// Frees dmMMGroupAccess, which outlives the main window until the program ends.
void FreeGroupAccessModule();
