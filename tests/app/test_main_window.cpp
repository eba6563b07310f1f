// The main window's frame, its layout keys, its start with and without the command line, and
// its clock, on a small installation.
#include "app/command_line.h"
#include "app/ui/main_window.h"
#include "app/ui/station_list_view.h"
#include "app/ui/vertical_title_label.h"
#include "app/ui/widget_message_service.h"
#include "data/dm_mm_group_access.h"
#include "login/time_code.h"
#include "login/ui/password_dialog.h"
#include "tests/app/app_installation.h"
#include "tests/app/window_helpers.h"
#include "tests/support/test_context.h"

#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using AppInstallation::ReadFile;
using AppInstallation::WriteFile;

namespace {
const char StoreNotFound[] =
    "Default Store Code Not Found !\r\nPlease define the default store code.";
}

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void frameAsDesigned();
    void menuItems_data();
    void menuItems();
    void clockPanelAndTimeCode();
    void layoutItemsWriteAtOnceAndTheNextStartReadsThem();
    void layoutKeysAtStart_data();
    void layoutKeysAtStart();
    void startWithCommandLine_data();
    void startWithCommandLine();
    void loginThroughTheDialog();
    void unknownDefaultStoreEndsTheProgram_data();
    void unknownDefaultStoreEndsTheProgram();
    void messageBoxes_data();
    void messageBoxes();

private:
    TfrmMain& open(const QStringList& arguments = {QStringLiteral("zantro-link")}) {
        window = std::make_unique<TfrmMain>(arguments);
        return *window;
    }
    QString settingsText() { return QString::fromLatin1(ReadFile(context->path("Ledvora.ini"))); }

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TfrmMain> window;
};

void TestMainWindow::init() {
    context = std::make_unique<TestContext>();
    AppInstallation::Create(context->folder());
}

void TestMainWindow::cleanup() {
    window.reset();
    FreeGroupAccessModule();
    context.reset();
}

void TestMainWindow::frameAsDesigned() {
    TfrmMain& w = open();
    QCOMPARE(w.objectName(), QStringLiteral("frmMain"));
    QCOMPARE(w.windowTitle(), QStringLiteral("Zantro POS Accounting Link v1.20"));
    QCOMPARE(w.findChild<VerticalTitleLabel*>("CoolMenuLabel1")->text(),
             QStringLiteral("Zantro POS Accounting Link"));

    auto* toolBar = w.findChild<QToolBar*>("ToolBar1");
    QStringList order, captions, hidden, disabled;
    for (QAction* action : toolBar->actions()) {
        auto* button = qobject_cast<QToolButton*>(toolBar->widgetForAction(action));
        if (!button)
            continue;
        order << button->objectName();
        captions << button->text();
        if (!action->isVisible())
            hidden << button->objectName();
        // A hidden button reads as disabled too.
        if (action->isVisible() && !button->isEnabled())
            disabled << button->objectName();
    }
    QCOMPARE(order,
             (QStringList{"ToolButton1", "ToolButton7", "ToolButton8", "ToolButton9", "ToolButton6",
                          "ToolButton2", "ToolButton3", "ToolButton4", "ToolButton5"}));
    QCOMPARE(captions, (QStringList{"Add", "Copy", "Paste", "Remove", "Properties", "Export",
                                    "Import", "Write", "Exit"}));
    QCOMPARE(hidden, (QStringList{"ToolButton7", "ToolButton3", "ToolButton4"}));
    QCOMPARE(disabled, QStringList{"ToolButton8"});

    auto* pages = w.findChild<QTabWidget*>("PageControl1");
    QCOMPARE(pages->count(), 4);
    QStringList names, tabCaptions;
    QList<bool> tabsVisible;
    for (int i = 0; i < pages->count(); ++i) {
        names << pages->widget(i)->objectName();
        tabCaptions << pages->tabText(i);
        tabsVisible << pages->isTabVisible(i);
    }
    QCOMPARE(names, (QStringList{"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet4"}));
    QCOMPARE(tabCaptions,
             (QStringList{"    Station    ", "       Log       ", " Summaries ", "Maintenance"}));
    QCOMPARE(tabsVisible, (QList<bool>{true, false, false, true}));
    QVERIFY(w.findChild<StationListView*>("lvStore")->parent() == pages->widget(0));

    QCOMPARE(w.statusBar()->objectName(), QStringLiteral("StatusBar1"));
    for (int i = 0; i < 4; ++i)
        QVERIFY(w.findChild<QWidget*>(QStringLiteral("StatusBar1Panel%1").arg(i)));
    QVERIFY(w.findChild<QMenu*>("PopupMenu1"));
}

void TestMainWindow::menuItems_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("visible");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("key"); // as the menu shows it
    const auto item = [](const char* name, const char* caption, bool visible = true,
                         bool enabled = true, const char* key = "") {
        QTest::newRow(name) << name << caption << visible << enabled << key;
    };
    item("StationProperties1", "Account Book &Properties", true, true, "Alt+Return");
    item("Exit1", "E&xit", true, true, "Alt+F4");
    item("Tools1", "&Add Account Book", true, true, "Ctrl+N");
    item("Copystation1", "&Copy Account Book", false, false);
    item("PasteStation1", "&Paste Account Book", false, false);
    item("RemoveStation1", "R&emove Account Book", true, true, "Del");
    item("Entry1", "&Write Mode");
    item("RefreshStationList1", "&Refresh Account Book List", true, true, "F5");
    item("RefreshSummaries1", "Refresh &Summaries", false);
    item("Top1", "&Top");
    item("Right1", "&Right");
    item("Bottom1", "&Bottom");
    item("Left1", "&Left");
    item("Large1", "&Large Icon");
    item("Small1", "&Small Icon");
    item("List1", "L&ist");
    item("Details1", "&Details");
    item("Preferences1", "&Preferences");
    item("ProcessOut1", "&Export  Data", true, true, "Ctrl+E");
    item("ProcessIn1", "&Import Data", false, true, "Ctrl+I");
    // The station list's own menu.
    item("AddStation1", "Add Station", true, true, "Ctrl+N");
    item("CopyStation2", "Copy Station", true, true, "Ctrl+C");
    item("PasteStation2", "Paste Station", true, false, "Ctrl+V");
    item("RemoveStation2", "Remove Station", true, true, "Del");
    item("RefreshStationList2", "Refresh Station List", true, true, "F5");
    item("StationProperties2", "Station Properties", true, true, "Alt+Return");
}

void TestMainWindow::menuItems() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(bool, visible);
    QFETCH(bool, enabled);
    QFETCH(QString, key);
    TfrmMain& w = open();
    auto* item = w.findChild<QAction*>(name);
    QVERIFY2(item, qPrintable(name));
    QCOMPARE(item->text(), caption);
    QCOMPARE(item->isVisible(), visible);
    QCOMPARE(item->shortcut().toString(QKeySequence::PortableText), key);
    // A hidden item reads as disabled; shown, it tells whether it was disabled as well.
    item->setVisible(true);
    QCOMPARE(item->isEnabled(), enabled);
    QStringList menus;
    for (QAction* top : w.menuBar()->actions())
        menus << top->text();
    QCOMPARE(menus, (QStringList{"&File", "&Edit", "&View", "&Option", "&Tools"}));
}

void TestMainWindow::clockPanelAndTimeCode() {
    TfrmMain& w = open();
    QCOMPARE(w.statusPanelText(0), QStringLiteral("05/03/2024 10:15:02"));
    QCOMPARE(w.login.CurrentTimeCode, 2025);
    context->clock->advanceSeconds(65);
    QTRY_COMPARE_WITH_TIMEOUT(w.statusPanelText(0), QStringLiteral("05/03/2024 10:16:07"), 2500);
    QCOMPARE(w.login.CurrentTimeCode, TimeCode(QTime(10, 16)));
}

void TestMainWindow::layoutItemsWriteAtOnceAndTheNextStartReadsThem() {
    {
        TfrmMain& w = open();
        // Without a settings file the defaults TOP and DETAILS are applied and written.
        QCOMPARE(w.toolBarPosition(), ToolBarPosition::Top);
        QVERIFY(w.findChild<QAction*>("Top1")->isChecked());
        QVERIFY(w.findChild<QAction*>("Details1")->isChecked());
        QVERIFY(settingsText().contains("TOOL_BAR=TOP"));

        w.findChild<QAction*>("Bottom1")->trigger();
        QVERIFY(settingsText().contains("TOOL_BAR=BOTTOM"));
        w.findChild<QAction*>("List1")->trigger();
        QVERIFY(settingsText().contains("VIEW_STYLE=LIST"));
        // Choosing the ticked item again keeps it ticked.
        w.findChild<QAction*>("List1")->trigger();
        QVERIFY(w.findChild<QAction*>("List1")->isChecked());
        QVERIFY(!w.findChild<QAction*>("Top1")->isChecked());
        QVERIFY(!w.findChild<QAction*>("Details1")->isChecked());
        QCOMPARE(w.findChild<QToolBar*>("ToolBar1")->orientation(), Qt::Horizontal);
    }
    window.reset();
    TfrmMain& next = open();
    QCOMPARE(next.toolBarPosition(), ToolBarPosition::Bottom);
    QVERIFY(next.findChild<QAction*>("Bottom1")->isChecked());
    auto* list = next.findChild<StationListView*>("lvStore");
    QCOMPARE(list->viewStyle(), StationViewStyle::List);
    QVERIFY(next.findChild<QAction*>("List1")->isChecked());
    QCOMPARE(list->currentView(), static_cast<QAbstractItemView*>(list->iconView()));
    QCOMPARE(list->iconView()->flow(), QListView::TopToBottom);
}

void TestMainWindow::layoutKeysAtStart_data() {
    QTest::addColumn<QByteArray>("layout");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("positionItem");
    QTest::addColumn<int>("style");
    QTest::addColumn<QString>("styleItem");
    QTest::newRow("RIGHT, LARGE") << QByteArray("TOOL_BAR=RIGHT\r\nVIEW_STYLE=LARGE\r\n")
                                  << int(ToolBarPosition::Right) << "Right1"
                                  << int(StationViewStyle::Large) << "Large1";
    QTest::newRow("LEFT, SMALL") << QByteArray("TOOL_BAR=LEFT\r\nVIEW_STYLE=SMALL\r\n")
                                 << int(ToolBarPosition::Left) << "Left1"
                                 << int(StationViewStyle::Small) << "Small1";
    // Lower case is no value: the designed layout stays and nothing is ticked.
    QTest::newRow("lower case") << QByteArray("TOOL_BAR=bottom\r\nVIEW_STYLE=large\r\n")
                                << int(ToolBarPosition::Left) << ""
                                << int(StationViewStyle::Details) << "";
    QTest::newRow("present but empty")
        << QByteArray("TOOL_BAR=\r\nVIEW_STYLE=\r\n") << int(ToolBarPosition::Left) << ""
        << int(StationViewStyle::Details) << "";
}

void TestMainWindow::layoutKeysAtStart() {
    QFETCH(QByteArray, layout);
    QFETCH(int, position);
    QFETCH(QString, positionItem);
    QFETCH(int, style);
    QFETCH(QString, styleItem);
    WriteFile(context->path("Ledvora.ini"), "[LAYOUT]\r\n" + layout);
    TfrmMain& w = open();
    QCOMPARE(int(w.toolBarPosition()), position);
    QCOMPARE(int(w.findChild<StationListView*>("lvStore")->viewStyle()), style);
    QStringList ticked;
    for (const char* name :
         {"Top1", "Right1", "Bottom1", "Left1", "Large1", "Small1", "List1", "Details1"})
        if (w.findChild<QAction*>(name)->isChecked())
            ticked << QLatin1String(name);
    QStringList expected;
    for (const QString& name : {positionItem, styleItem})
        if (!name.isEmpty())
            expected << name;
    QCOMPARE(ticked, expected);
    // What was read stays as it was written.
    QCOMPARE(ReadFile(context->path("Ledvora.ini")), "[LAYOUT]\r\n" + layout);
}

void TestMainWindow::startWithCommandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("loginDialog");
    QTest::addColumn<QString>("user"); // after a login dialog is cancelled
    QTest::newRow("known user") << QStringList{"zantro-link", "-#UADMIN"} << QStringList() << false
                                << "ADMIN";
    QTest::newRow("prefix in lower case, fifth argument ignored")
        << QStringList{"zantro-link", "a", "b", "-#uADMIN", "c", "-#UNOBODY"} << QStringList()
        << false << "ADMIN";
    QTest::newRow("unknown user") << QStringList{"zantro-link", "-#UNOBODY"}
                                  << QStringList{UnknownUserSwitchMessage("NOBODY")} << true << "";
    QTest::newRow("text after -#S")
        << QStringList{"zantro-link", "-#S8AM", "-#UADMIN"}
        << QStringList{BadNumberSwitchMessage({"-#S8AM"})} << true << "";
    QTest::newRow("no switch") << QStringList{"zantro-link"} << QStringList() << true << "";
}

void TestMainWindow::startWithCommandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, messages);
    QFETCH(bool, loginDialog);
    QFETCH(QString, user);
    WriteFile(context->path("Ledvora.ini"), "[GENERAL]\r\nACCOUNT_TYPE=SQLACC\r\n");
    TfrmMain& w = open(arguments);
    QCOMPARE(context->messages->texts(), messages);

    // A login dialog is given up with its close box.
    ModalWatcher watcher([](QWidget* modal) { modal->close(); });
    w.show();
    if (loginDialog) {
        QTRY_VERIFY(!w.isVisible());
        QCOMPARE(watcher.seenClass, QStringLiteral("TdlgPassword"));
        QVERIFY(w.terminationRequested());
        QVERIFY(w.login.identity.UserCode.isEmpty());
        return;
    }
    QTRY_COMPARE(w.statusPanelText(1), QStringLiteral("Store : [ S001 ]"));
    QCOMPARE(w.statusPanelText(2), QStringLiteral("Type : SQLACC"));
    QVERIFY(watcher.seenClass.isEmpty());
    QVERIFY(w.isVisible());
    QCOMPARE(w.login.identity.UserCode, user);
    QCOMPARE(w.login.identity.UserName, QStringLiteral("Administrator"));
    QCOMPARE(w.login.identity.UserGroup, QStringLiteral("ADM"));
    QCOMPARE(w.login.identity.UserPassword, QStringLiteral("SECRET"));
    QCOMPARE(dmMMGroupAccess->qryUser.sql(),
             QStringLiteral("Select * From MAS_User Where M_Code='ADMIN'"));
    QCOMPARE(dmMMGroupAccess->qryUserGroup.recordCount(), 1);
    QCOMPARE(w.findChild<QTabWidget*>("PageControl1")->currentWidget()->objectName(),
             QStringLiteral("TabSheet1"));
}

void TestMainWindow::loginThroughTheDialog() {
    TfrmMain& w = open();
    ModalWatcher watcher([](QWidget* modal) {
        modal->findChild<QLineEdit*>("edtLogInUser")->setText("ADMIN");
        modal->findChild<QLineEdit*>("edtLogInPassword")->setText("SECRET");
        modal->findChild<QPushButton*>("bbtnOK")->click();
    });
    w.show();
    QTRY_COMPARE(w.statusPanelText(1), QStringLiteral("Store : [ S001 ]"));
    QCOMPARE(watcher.seenClass, QStringLiteral("TdlgPassword"));
    QVERIFY(w.isVisible());
    QVERIFY(!w.terminationRequested());
    QCOMPARE(w.login.identity.UserCode, QStringLiteral("ADMIN"));
    QCOMPARE(w.login.LoginTimeTo, TimeCode(QTime(23, 59)));
    QCOMPARE(w.statusPanelText(2), QStringLiteral("Type : "));
    QVERIFY(context->messages->texts().isEmpty());
}

void TestMainWindow::unknownDefaultStoreEndsTheProgram_data() {
    QTest::addColumn<QByteArray>("registerIni");
    QTest::newRow("empty DEFAULT_STORE") << QByteArray("[STORE]\r\nDEFAULT_STORE=\r\n");
    QTest::newRow("unknown store") << QByteArray("[STORE]\r\nDEFAULT_STORE=S009\r\n");
    QTest::newRow("no Register.ini") << QByteArray();
}

void TestMainWindow::unknownDefaultStoreEndsTheProgram() {
    QFETCH(QByteArray, registerIni);
    if (registerIni.isNull())
        QFile::remove(context->path("Register.ini"));
    else
        WriteFile(context->path("Register.ini"), registerIni);
    TfrmMain& w = open({QStringLiteral("zantro-link"), QStringLiteral("-#UADMIN")});
    QCOMPARE(context->messages->texts(), QStringList{StoreNotFound});
    QVERIFY(w.terminationRequested());
    // The rest of the creation still ran.
    QCOMPARE(w.findChild<StationListView*>("lvStore")->rowCount(), 4);
    ModalWatcher watcher([](QWidget* modal) { modal->close(); });
    w.show();
    QTRY_VERIFY(!w.isVisible());
    QVERIFY(watcher.seenClass.isEmpty());
    QVERIFY(dmMMGroupAccess->qryUser.sql().startsWith(QStringLiteral("Select *\nFrom")));
}

void TestMainWindow::messageBoxes_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("icon");
    QTest::addColumn<int>("buttons");
    QTest::addColumn<int>("press");
    QTest::addColumn<int>("answer");
    QTest::newRow("error") << int(MessageKind::Error) << int(QMessageBox::Critical)
                           << int(QMessageBox::Ok) << int(QMessageBox::Ok)
                           << int(MessageAnswer::Ok);
    QTest::newRow("information") << int(MessageKind::Information) << int(QMessageBox::Information)
                                 << int(QMessageBox::Ok) << int(QMessageBox::Ok)
                                 << int(MessageAnswer::Ok);
    QTest::newRow("question, Yes") << int(MessageKind::Confirmation) << int(QMessageBox::Question)
                                   << int(QMessageBox::Yes | QMessageBox::No)
                                   << int(QMessageBox::Yes) << int(MessageAnswer::Yes);
    QTest::newRow("question, No") << int(MessageKind::Confirmation) << int(QMessageBox::Question)
                                  << int(QMessageBox::Yes | QMessageBox::No) << int(QMessageBox::No)
                                  << int(MessageAnswer::No);
}

void TestMainWindow::messageBoxes() {
    QFETCH(int, kind);
    QFETCH(int, icon);
    QFETCH(int, buttons);
    QFETCH(int, press);
    QFETCH(int, answer);
    QMessageBox::Icon seenIcon = QMessageBox::NoIcon;
    int seenButtons = 0;
    QString seenText;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        seenIcon = box->icon();
        seenButtons = int(box->standardButtons());
        seenText = box->text();
        box->button(QMessageBox::StandardButton(press))->click();
    });
    WidgetMessageService service;
    const MessageAnswer given =
        service.show(MessageKind(kind), QStringLiteral("Access Denied !\r\nSecond line."));
    QCOMPARE(int(given), answer);
    QCOMPARE(int(seenIcon), icon);
    QCOMPARE(seenButtons, buttons);
    QCOMPARE(seenText, QStringLiteral("Access Denied !\nSecond line."));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
