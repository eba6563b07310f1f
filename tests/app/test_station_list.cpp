// The station list on the first page and the station commands, on a small installation with a
// fixed clock (5 March 2024 10:15:02).
#include "app/station_commands.h"
#include "app/ui/main_window.h"
#include "app/ui/station_list_view.h"
#include "data/db_error.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "tests/app/app_installation.h"
#include "tests/app/window_helpers.h"
#include "tests/support/test_context.h"

#include <QContextMenuEvent>
#include <QListView>
#include <QLocale>
#include <QMenu>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeView>
#include <QtTest>

using AppInstallation::WriteFile;

namespace {

const char NoAccountType[] = "Export Denied !\r\nNo account type defined.";
const char RemoveQuestion[] = "Are You Sure To Remove Station ?";

// The job rows of a store as text, one line per job in P_FILE order.
QStringList jobsOf(const QString& store) {
    QStringList rows;
    RowReader reader(dmPolling->dbStk,
                     QStringLiteral("SELECT P_FILE, P_STATUS, P_TYPE, P_TABLE, P_FILENO, P_DESC "
                                    "FROM ACC_STATION_JOB WHERE P_STORE = '%1' ORDER BY P_FILE")
                         .arg(store));
    while (reader.next()) {
        QStringList fields;
        for (int i = 0; i < reader.columnCount(); ++i)
            fields << (reader.value(i).isNull() ? QStringLiteral("<null>")
                                                : reader.value(i).toString());
        rows << fields.join(QLatin1Char('|'));
    }
    return rows;
}

int stationCount(const QString& store) {
    return SelectValue(
               dmPolling->dbStk,
               QStringLiteral("SELECT COUNT(*) FROM ACC_STATION WHERE P_STORE = '%1'").arg(store))
        .toInt();
}

} // namespace

class TestStationList : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void columns_data();
    void columns();
    void selectionMovesTheCurrentStation();
    void copyAndPasteJobSets();
    void pastingAStationWithoutJobsEmptiesTheTarget();
    void withNoSelectionTheCommandsActOnTheFirstStation();
    void remove_data();
    void remove();
    void failedPasteLeavesTheJobsAsTheyWere();
    void commandsNeedAnAccountType_data();
    void commandsNeedAnAccountType();
    void commandsOpenTheirWindows_data();
    void commandsOpenTheirWindows();
    void viewStylesSwitchTheView();
    void keysAndRightClickMenuOnTheList();

private:
    TfrmMain& open() {
        window = std::make_unique<TfrmMain>(QStringList{"zantro-link", "-#UADMIN"});
        list = window->findChild<StationListView*>("lvStore");
        return *window;
    }
    QToolButton* button(const char* name) { return window->findChild<QToolButton*>(name); }
    void settings(const QByteArray& text) { WriteFile(context->path("Ledvora.ini"), text); }

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TfrmMain> window;
    StationListView* list = nullptr;
};

void TestStationList::initTestCase() {
    // A month-first region: the time columns are day first all the same.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestStationList::init() {
    context = std::make_unique<TestContext>();
    AppInstallation::Create(context->folder());
}

void TestStationList::cleanup() {
    window.reset();
    FreeGroupAccessModule();
    context.reset();
}

void TestStationList::columns_data() {
    QTest::addColumn<QByteArray>("changedDays");
    QTest::addColumn<QStringList>("exportColumn");
    QTest::newRow("CHANGED_DAYS=7")
        << QByteArray("CHANGED_DAYS=7\r\n") << QStringList{"O.K.", "Warning", "Warning", "O.K."};
    QTest::newRow("blanks around the number")
        << QByteArray("CHANGED_DAYS= 7 \r\n") << QStringList{"O.K.", "Warning", "Warning", "O.K."};
    QTest::newRow("missing: 0 days")
        << QByteArray() << QStringList{"Warning", "Warning", "Warning", "Warning"};
    QTest::newRow("not a number counts as 0")
        << QByteArray("CHANGED_DAYS=seven\r\n")
        << QStringList{"Warning", "Warning", "Warning", "Warning"};
    QTest::newRow("CHANGED_DAYS=9")
        << QByteArray("CHANGED_DAYS=9\r\n") << QStringList{"O.K.", "O.K.", "Warning", "O.K."};
}

void TestStationList::columns() {
    QFETCH(QByteArray, changedDays);
    QFETCH(QStringList, exportColumn);
    settings("[GENERAL]\r\n" + changedDays);
    open();
    QCOMPARE(list->columnTitles(), (QStringList{"Store", "Description", "Last Export",
                                                "Last Import", "Active", "Export"}));
    const QList<QStringList> expected{
        {"S001", "Main Street", "28/02/2024 10:15:02", "01/03/2024", "Yes"},
        {"S002", "Harbour", "26/02/2024 10:15:02", "", "No"}, // P_ACTIVE 't'
        {"S003", "", "", "", "Yes"},                          // no store, never exported
        {"S004", "Airport", "01/03/2024", "", "No"}};         // exported at midnight
    QCOMPARE(list->rowCount(), expected.size());
    for (int row = 0; row < expected.size(); ++row) {
        QStringList shown;
        for (int column = 0; column < 6; ++column)
            shown << list->text(row, column);
        QCOMPARE(shown, expected.at(row) + QStringList{exportColumn.at(row)});
    }
}

void TestStationList::selectionMovesTheCurrentStation() {
    open();
    QVERIFY(list->selectedCaption().isEmpty());
    QCOMPARE(dmPolling->tblStation.field("P_STORE").asString(), QStringLiteral("S001"));
    list->selectRow(2);
    QCOMPARE(dmPolling->tblStation.field("P_STORE").asString(), QStringLiteral("S003"));
    // The status bar names the station chosen.
    QCOMPARE(window->statusPanelText(1), QStringLiteral("Store : [ S003 ]"));
    list->selectRow(1);
    QCOMPARE(window->statusPanelText(1), QStringLiteral("Store : [ S002 ]"));
    QCOMPARE(dmPolling->tblJob.recordCount(), 1); // the jobs follow the station
    window->RefreshStationList1Click();
    QVERIFY(list->selectedCaption().isEmpty());
    QCOMPARE(dmPolling->tblStation.field("P_STORE").asString(), QStringLiteral("S001"));
}

void TestStationList::copyAndPasteJobSets() {
    open();
    QVERIFY(!button("ToolButton8")->isEnabled());
    QVERIFY(!window->findChild<QAction*>("PasteStation1")->isEnabled());
    const QStringList source = jobsOf("S001");
    QCOMPARE(source.size(), 2);

    list->selectRow(0);
    window->findChild<QAction*>("CopyStation2")->trigger(); // the context menu's item
    QCOMPARE(button("ToolButton7")->toolTip(), QStringLiteral("Recently Copy From S001"));
    QVERIFY(button("ToolButton8")->isEnabled());
    QAction* pasteItem = window->findChild<QAction*>("PasteStation1");
    pasteItem->setVisible(true); // a hidden item reads as disabled
    QVERIFY(pasteItem->isEnabled());
    QVERIFY(button("ToolButton8")->toolTip().isEmpty());

    for (int row : {1, 3}) {
        list->selectRow(row);
        button("ToolButton8")->click();
        const QString store = list->text(row, 0);
        QCOMPARE(jobsOf(store), source);
        QCOMPARE(button("ToolButton8")->toolTip(), QStringLiteral("Latest Paste To ") + store);
    }
    QCOMPARE(dmPolling->tblJob.recordCount(), 2);
    QCOMPARE(jobsOf("S001"), source);
    QVERIFY(context->messages->texts().isEmpty());
}

void TestStationList::pastingAStationWithoutJobsEmptiesTheTarget() {
    open();
    list->selectRow(2); // S003 has no jobs
    window->ToolButton7Click();
    QCOMPARE(window->jobClipboard().Count, 0);
    list->selectRow(0);
    window->ToolButton8Click();
    QVERIFY(jobsOf("S001").isEmpty());
    QCOMPARE(dmPolling->tblJob.recordCount(), 0);
}

void TestStationList::withNoSelectionTheCommandsActOnTheFirstStation() {
    open();
    window->ToolButton7Click();
    QCOMPARE(button("ToolButton7")->toolTip(), QStringLiteral("Recently Copy From S001"));
    QCOMPARE(window->jobClipboard().Count, 2);
    window->ToolButton9Click();
    QCOMPARE(stationCount("S001"), 0);
    QVERIFY(jobsOf("S001").isEmpty());
    QCOMPARE(list->text(0, 0), QStringLiteral("S002"));
}

void TestStationList::remove_data() {
    QTest::addColumn<QByteArray>("confirmation");
    QTest::addColumn<QList<MessageAnswer>>("answers");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("removed");
    QTest::newRow("y in lower case asks; Yes")
        << QByteArray("CONFIRM_REMOVE=y\r\n") << QList<MessageAnswer>{MessageAnswer::Yes} << true
        << true;
    QTest::newRow("Y asks; No keeps the station")
        << QByteArray("CONFIRM_REMOVE=Y\r\n") << QList<MessageAnswer>{MessageAnswer::No} << true
        << false;
    QTest::newRow("absent removes at once")
        << QByteArray() << QList<MessageAnswer>() << false << true;
    QTest::newRow("N removes at once")
        << QByteArray("CONFIRM_REMOVE=N\r\n") << QList<MessageAnswer>() << false << true;
}

void TestStationList::remove() {
    QFETCH(QByteArray, confirmation);
    QFETCH(QList<MessageAnswer>, answers);
    QFETCH(bool, asked);
    QFETCH(bool, removed);
    settings("[CONFIRMATION]\r\n" + confirmation);
    open();
    context->messages->answers = answers;
    list->selectRow(1); // S002 with one job
    window->findChild<QAction*>("RemoveStation1")->trigger();
    QCOMPARE(context->messages->texts(), asked ? QStringList{RemoveQuestion} : QStringList());
    QCOMPARE(stationCount("S002"), removed ? 0 : 1);
    QCOMPARE(jobsOf("S002").size(), removed ? 0 : 1);
    QCOMPARE(list->rowCount(), removed ? 3 : 4);
    QCOMPARE(jobsOf("S001").size(), 2);
}

void TestStationList::failedPasteLeavesTheJobsAsTheyWere() {
    open();
    list->selectRow(0);
    const QStringList before = jobsOf("S001");
    JobClipboard clipboard;
    clipboard.Count = 2;
    clipboard.File = QStringList{"CUSTOM", "TOOLONGCODE"}; // the second cannot be stored
    clipboard.Status = QStringList{"A", "M"};
    clipboard.Type = QStringList{"APP", "STK"};
    clipboard.Table = QStringList{"MAS_CUSTOMER", "POS_SALES"};
    clipboard.FileNo = QStringList{"1", "2"};
    clipboard.Desc = QStringList{"Customer", "Too long"};
    QVERIFY_THROWS_EXCEPTION(DbError, PasteStationJobs(dmPolling->tblJob, clipboard));
    QCOMPARE(jobsOf("S001"), before);
    QCOMPARE(dmPolling->tblJob.recordCount(), before.size());
    QCOMPARE(dmPolling->tblJob.field("P_STORE").asString(), QStringLiteral("S001"));
}

void TestStationList::commandsNeedAnAccountType_data() {
    QTest::addColumn<QByteArray>("general");
    QTest::addColumn<QString>("command");
    for (const char* command : {"Add", "Properties by Enter", "Properties by double-click",
                                "Import", "Properties from the menu"}) {
        QTest::addRow("no ACCOUNT_TYPE, %s", command) << QByteArray() << command;
        QTest::addRow("empty ACCOUNT_TYPE, %s", command)
            << QByteArray("ACCOUNT_TYPE=\r\n") << command;
    }
}

void TestStationList::commandsNeedAnAccountType() {
    QFETCH(QByteArray, general);
    QFETCH(QString, command);
    settings("[GENERAL]\r\n" + general);
    open();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    ModalWatcher watcher([](QWidget* modal) { modal->close(); }, 3000);
    QTreeView* report = list->reportView();
    const QModelIndex second = report->model()->index(1, 0);
    if (command == QLatin1String("Add")) {
        window->findChild<QAction*>("Tools1")->trigger();
    } else if (command == QLatin1String("Properties by Enter")) {
        report->setFocus();
        QTest::keyClick(report, Qt::Key_Return);
    } else if (command == QLatin1String("Properties by double-click")) {
        const QPoint at = report->visualRect(second).center();
        QTest::mouseClick(report->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(report->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(dmPolling->tblStation.field("P_STORE").asString(), QStringLiteral("S002"));
    } else if (command == QLatin1String("Import")) {
        window->ToolButton3Click();
    } else {
        window->findChild<QAction*>("StationProperties1")->trigger();
    }
    QCOMPARE(context->messages->texts(), QStringList{NoAccountType});
    QCOMPARE(int(context->messages->shown.first().kind), int(MessageKind::Error));
    QVERIFY(watcher.seenClass.isEmpty());
}

void TestStationList::commandsOpenTheirWindows_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("windowClass");
    QTest::newRow("Add") << "Tools1"
                         << "TdlgProperties";
    QTest::newRow("Properties") << "StationProperties1"
                                << "TdlgProperties";
    QTest::newRow("Preferences") << "Preferences1"
                                 << "TdlgPreferences";
}

void TestStationList::commandsOpenTheirWindows() {
    QFETCH(QString, item);
    QFETCH(QString, windowClass);
    settings("[GENERAL]\r\nACCOUNT_TYPE=SQLACC\r\n");
    open();
    ModalWatcher watcher([](QWidget* modal) { modal->close(); });
    window->findChild<QAction*>(item)->trigger();
    QCOMPARE(watcher.seenClass, windowClass);
    QVERIFY(!context->messages->texts().contains(NoAccountType));
}

void TestStationList::viewStylesSwitchTheView() {
    open();
    list->selectRow(1);
    const struct {
        const char* item;
        StationViewStyle style;
        bool report;
    } choices[] = {{"Large1", StationViewStyle::Large, false},
                   {"Small1", StationViewStyle::Small, false},
                   {"List1", StationViewStyle::List, false},
                   {"Details1", StationViewStyle::Details, true}};
    for (const auto& choice : choices) {
        window->findChild<QAction*>(choice.item)->trigger();
        QCOMPARE(list->viewStyle(), choice.style);
        QCOMPARE(list->currentView() == list->reportView(), choice.report);
        QCOMPARE(list->selectedCaption(), QStringLiteral("S002")); // the selection is kept
    }
    window->findChild<QAction*>("Large1")->trigger();
    QCOMPARE(list->iconView()->viewMode(), QListView::IconMode);
}

// Ctrl+C, Ctrl+V and Del work on the station list (Del nowhere else), and a right click opens
// the list's menu of station commands on the station clicked.
void TestStationList::keysAndRightClickMenuOnTheList() {
    open();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QAbstractItemView* view = list->currentView();
    view->setFocus();
    list->selectRow(0);
    QTest::keyClick(view, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(button("ToolButton7")->toolTip(), QStringLiteral("Recently Copy From S001"));
    QVERIFY(window->findChild<QAction*>("PasteStation2")->isEnabled());
    list->selectRow(1);
    const QString target = list->text(1, 0);
    QTest::keyClick(view, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(jobsOf(target), jobsOf("S001"));

    // Del on another page removes nothing.
    auto* pages = window->findChild<QTabWidget*>("PageControl1");
    pages->setCurrentIndex(pages->indexOf(window->findChild<QWidget*>("TabSheet4")));
    QWidget* grid = window->findChild<QWidget*>("wwDBGrid1");
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Delete);
    QCOMPARE(stationCount(target), 1);
    pages->setCurrentIndex(0);
    view->setFocus();
    QTest::keyClick(view, Qt::Key_Delete);
    QCOMPARE(stationCount(target), 0);

    const int rows = list->rowCount();
    QCOMPARE(list->text(rows - 1, 0), QStringLiteral("S004"));
    const QPoint at = view->visualRect(view->model()->index(rows - 1, 0)).center();
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, at);
    QContextMenuEvent menuAsked(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
    QApplication::sendEvent(view->viewport(), &menuAsked);
    auto* menu = window->findChild<QMenu*>("PopupMenu1");
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(list->selectedCaption(), QStringLiteral("S004"));
    QStringList items;
    for (QAction* item : menu->actions())
        if (!item->isSeparator())
            items << item->text();
    QCOMPARE(items, (QStringList{"Add Station", "Copy Station", "Paste Station", "Remove Station",
                                 "Refresh Station List", "Station Properties"}));
    menu->hide();
    QVERIFY(context->messages->texts().isEmpty());
}

QTEST_MAIN(TestStationList)
#include "test_station_list.moc"
