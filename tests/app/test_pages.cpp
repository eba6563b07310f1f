// The log, summaries and maintenance pages of the main window and its Import command, on a small
// installation: what the pages show, the questions they ask, and what their commands change.
#include "app/log_size_check.h"
#include "app/log_tree.h"
#include "app/maintenance_grids.h"
#include "app/ui/log_page.h"
#include "app/ui/main_window.h"
#include "app/ui/maintenance_grid.h"
#include "app/ui/station_list_view.h"
#include "data/dataset_model.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "tests/app/app_installation.h"
#include "tests/app/window_helpers.h"
#include "tests/support/test_context.h"

#include <QCheckBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtTest>

using AppInstallation::ReadFile;
using AppInstallation::WriteFile;

namespace {

const char ClearQuestion[] = "Are You Sure To Clear ?";

// Every node of a tree, indented by two blanks per level.
QStringList treeLines(const QTreeWidget* tree) {
    QStringList lines;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int level) {
        lines << QString(2 * level, QLatin1Char(' ')) + item->text(0);
        for (int i = 0; i < item->childCount(); ++i)
            walk(item->child(i), level + 1);
    };
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        walk(tree->topLevelItem(i), 0);
    return lines;
}

QStringList rows(const QTreeWidget* list) {
    QStringList all;
    for (int i = 0; i < list->topLevelItemCount(); ++i)
        all << list->topLevelItem(i)->text(0) + '|' + list->topLevelItem(i)->text(1);
    return all;
}

QStringList items(const QListWidget* list) {
    QStringList all;
    for (int i = 0; i < list->count(); ++i)
        all << list->item(i)->text();
    return all;
}

// M_CODE of every row of a table, in the table's order.
QStringList codes(Dataset& table) {
    QStringList all;
    for (int row = 0; row < table.recordCount(); ++row)
        all << table.valueAt(row, QStringLiteral("M_CODE")).toString();
    return all;
}

// The store codes the station table holds now.
QStringList codesOfStations() {
    QStringList all;
    for (int row = 0; row < dmPolling->tblStation.recordCount(); ++row)
        all << dmPolling->tblStation.valueAt(row, QStringLiteral("P_STORE")).toString();
    return all;
}

// Three rows per master whose code, description and account code orders all differ.
void addMasters() {
    DbConnection app(QStringLiteral("Setup"), QStringLiteral("ZantApp"));
    for (const char* table : {"MAS_CUSTOMER", "MAS_SUPPLIER", "MAS_PAYMENT"}) {
        const QString code = QLatin1String(table) == QLatin1String("MAS_CUSTOMER")   ? "M_DEBTOR"
                             : QLatin1String(table) == QLatin1String("MAS_SUPPLIER") ? "M_CREDITOR"
                                                                                     : "M_GLCODE";
        for (const char* row : {"'X01', 'Zeta', 'B'", "'X02', 'Alpha', 'C'", "'X03', 'Mid', 'A'"})
            app.execute(QStringLiteral("INSERT INTO %1 (M_CODE, M_DESC, %2) VALUES (%3)")
                            .arg(QLatin1String(table), code, QLatin1String(row)));
    }
}

} // namespace

class TestPages : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void logPageAtStart_data();
    void logPageAtStart();
    void stationLogFollowsTheStationBox();
    void clearButtons_data();
    void clearButtons();

    void summariesFollowTheAccountType_data();
    void summariesFollowTheAccountType();
    void fileListsFollowTheSelectedStation();

    void writeModeAndSorting_data();
    void writeModeAndSorting();
    void editsArePostedWhenTheRowIsLeft();

    void importComesBackToThePageItWasOn_data();
    void importComesBackToThePageItWasOn();
    void maintenanceColumnsFitAndKeepTheCodeInView();

private:
    TfrmMain& open() {
        window = std::make_unique<TfrmMain>(QStringList{"zantro-link", "-#UADMIN"});
        return *window;
    }
    // Opens the window and waits until it has been shown (the log and summaries are filled).
    TfrmMain& openAndShow() {
        TfrmMain& w = open();
        w.show();
        [&] { QTRY_COMPARE(w.statusPanelText(1), QStringLiteral("Store : [ S001 ]")); }();
        return w;
    }
    template <typename T> T* find(const char* name) {
        T* found = window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no %s", name);
        return found;
    }
    void settings(const QByteArray& text) {
        WriteFile(context->path("Ledvora.ini"), "[GENERAL]\r\n" + text);
    }
    QString logPath(const QString& station = QString()) {
        const QString path = station.isEmpty() ? ProgramLogPath(context->folder())
                                               : StationLogPath(context->folder(), station);
        QDir().mkpath(QFileInfo(path).path());
        return path;
    }
    void pickStation(const QString& store) {
        auto* box = find<StationLookupCombo>("wwDBLookupCombo1");
        box->fillFromStations();
        box->setCurrentIndex(box->findText(store));
        emit box->activated(box->currentIndex());
    }
    bool toolButtonShown(const char* name) {
        auto* toolBar = find<QToolBar>("ToolBar1");
        for (QAction* action : toolBar->actions())
            if (toolBar->widgetForAction(action) == find<QToolButton>(name))
                return action->isVisible();
        return false;
    }

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TfrmMain> window;
};

void TestPages::init() {
    context = std::make_unique<TestContext>();
    AppInstallation::Create(context->folder());
}

void TestPages::cleanup() {
    window.reset();
    FreeGroupAccessModule();
    context.reset();
}

void TestPages::logPageAtStart_data() {
    QTest::addColumn<QByteArray>("general");
    QTest::addColumn<QByteArray>("log");       // null: a folder stands where the log should be
    QTest::addColumn<QStringList>("messages"); // each shown message starts with its entry
    QTest::addColumn<QStringList>("tree");
    const QByteArray log = "#1  Day\n#12 done\n";
    QTest::newRow("any log is over the default limit; No keeps it")
        << QByteArray() << log
        << QStringList{"File Over Size !\r\nPlease reduce the file size.\r\n\r\n"
                       "Log File Size : 17 bytes\r\nMaximum File Size : 0 bytes"}
        << QStringList{"Day", "  done"};
    QTest::newRow("within the limit") << QByteArray("LEDVORALOG_FILESIZE=1\r\n") << log
                                      << QStringList() << QStringList{"Day", "  done"};
    QTest::newRow("a limit that is not a whole number still builds the tree")
        << QByteArray("LEDVORALOG_FILESIZE=1K\r\n") << log
        << QStringList{"'1K' is not a valid integer value for [GENERAL] LEDVORALOG_FILESIZE."}
        << QStringList{"Day", "  done"};
    QTest::newRow("a log that cannot be opened")
        << QByteArray("LEDVORALOG_FILESIZE=1\r\n") << QByteArray()
        << QStringList{"Cannot open file \""} << QStringList();
}

void TestPages::logPageAtStart() {
    QFETCH(QByteArray, general);
    QFETCH(QByteArray, log);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, tree);
    settings(general);
    if (log.isNull())
        QDir().mkpath(logPath());
    else
        WriteFile(logPath(), log);
    openAndShow();
    const QStringList shown = context->messages->texts();
    QCOMPARE(shown.size(), messages.size());
    for (int i = 0; i < shown.size(); ++i)
        QVERIFY2(shown.at(i).startsWith(messages.at(i)), qPrintable(shown.at(i)));
    QCOMPARE(treeLines(find<QTreeWidget>("tvLog")), tree);
    QVERIFY(QFileInfo::exists(logPath()));
}

void TestPages::stationLogFollowsTheStationBox() {
    settings("LEDVORALOG_FILESIZE=1\r\nSTATIONLOG_FILESIZE=1\r\n");
    WriteFile(logPath("S001"), "#1  S001 day\n#2  Cash Sales\n#23 posted\n");
    WriteFile(logPath("S002"), "#1  S002 day\n" + QByteArray(1100, 'x') + "\n#12 end\n");
    openAndShow();
    auto* tree = find<QTreeWidget>("tvStationLog");
    QVERIFY(tree->topLevelItemCount() == 0);

    pickStation("S001");
    QCOMPARE(treeLines(tree), (QStringList{"S001 day", "  Cash Sales", "    posted"}));
    QVERIFY(context->messages->texts().isEmpty());

    // Another station's log only; it is over its limit, and Yes deletes it but keeps the tree.
    context->messages->answers = {MessageAnswer::Yes};
    pickStation("S002");
    QCOMPARE(treeLines(tree), (QStringList{"S002 day", "  end"}));
    QCOMPARE(context->messages->shown.size(), 1);
    QVERIFY(context->messages->texts().first().contains(QStringLiteral("Maximum File Size : 1") +
                                                        ThousandsSeparator() + "024 bytes"));
    QVERIFY(!QFileInfo::exists(logPath("S002")));
    QVERIFY(QFileInfo::exists(logPath("S001")));

    // A station without a log empties the tree.
    pickStation("S004");
    QCOMPARE(tree->topLevelItemCount(), 0);
}

void TestPages::clearButtons_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("station"); // empty: the program log
    QTest::addColumn<bool>("yes");
    QTest::newRow("program log, Yes") << "BitBtn1"
                                      << "" << true;
    QTest::newRow("program log, No") << "BitBtn1"
                                     << "" << false;
    QTest::newRow("station log, Yes") << "BitBtn2"
                                      << "S002" << true;
    QTest::newRow("station log, No") << "BitBtn2"
                                     << "S002" << false;
}

void TestPages::clearButtons() {
    QFETCH(QString, button);
    QFETCH(QString, station);
    QFETCH(bool, yes);
    settings("LEDVORALOG_FILESIZE=9\r\nSTATIONLOG_FILESIZE=9\r\n");
    WriteFile(logPath(station), "#1  top\n#12 child\n");
    openAndShow();
    auto* tree = find<QTreeWidget>(station.isEmpty() ? "tvLog" : "tvStationLog");
    if (!station.isEmpty())
        pickStation(station);
    QCOMPARE(treeLines(tree), (QStringList{"top", "  child"}));

    context->messages->answers = {yes ? MessageAnswer::Yes : MessageAnswer::No};
    find<QPushButton>(qPrintable(button))->click();
    QCOMPARE(context->messages->texts(), QStringList{ClearQuestion});
    QCOMPARE(QFileInfo::exists(logPath(station)), !yes);
    QCOMPARE(treeLines(tree), yes ? QStringList() : (QStringList{"top", "  child"}));
}

void TestPages::summariesFollowTheAccountType_data() {
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<bool>("stations");
    QTest::addColumn<bool>("importShown");
    QTest::newRow("SQLACC") << QByteArray("SQLACC") << true << false;
    QTest::newRow("ACCPAC") << QByteArray("ACCPAC") << true << true;
    QTest::newRow("ACCPAC, no stations") << QByteArray("ACCPAC") << false << true;
    QTest::newRow("accpac in lower case") << QByteArray("accpac") << true << false;
}

void TestPages::summariesFollowTheAccountType() {
    QFETCH(QByteArray, type);
    QFETCH(bool, stations);
    QFETCH(bool, importShown);
    settings("ACCOUNT_TYPE=" + type + "\r\nLEDVORA_PATH=D:\\Link\\Ledvora\r\n");
    if (!stations) {
        DbConnection stk(QStringLiteral("Setup"), QStringLiteral("ZantStk"));
        stk.execute(QStringLiteral("DELETE FROM ACC_STATION_JOB"));
        stk.execute(QStringLiteral("DELETE FROM ACC_STATION"));
    }
    TfrmMain& w = open();
    QCOMPARE(toolButtonShown("ToolButton3"), importShown);
    QCOMPARE(find<QAction>("ProcessIn1")->isVisible(), importShown);
    QCOMPARE(w.statusPanelText(3), QStringLiteral("Accounting Link Path : D:\\Link\\Ledvora"));
    const QStringList expected =
        stations ? QStringList{"S001|Main Street", "S002|Harbour", "S003|", "S004|Airport"}
                 : QStringList();
    QCOMPARE(rows(find<QTreeWidget>("lvProOut")), expected);
    QCOMPARE(find<QTreeWidget>("lvProIn")->topLevelItemCount(), expected.size());
    QVERIFY(find<QTreeWidget>("lvProIn")->isHidden());
    QVERIFY(find<QTabWidget>("PageControl3")->isHidden());
    QCOMPARE(find<QLabel>("Header1")->text(), importShown ? "RECEIVED" : "NONE");
    QCOMPARE(find<QLabel>("Header3")->text(), importShown ? "UPDATED" : "NONE");
}

void TestPages::fileListsFollowTheSelectedStation() {
    const QString root = context->path("Ledvora");
    settings("ACCOUNT_TYPE=ACCPAC\r\nLEDVORA_PATH=" + root.toLocal8Bit() + "\r\n");
    for (const char* file :
         {"ACCPAC/Received/in.csv", "ACCPAC/Updated/up.CSV", "ACCPAC/Out/S002/Resume/again.csv",
          "ACCPAC/Out/S002/Sent/note.txt", "ACCPAC/Out/S001/Sent/s1.csv"}) {
        const QString path = root + '/' + QLatin1String(file);
        QDir().mkpath(QFileInfo(path).path());
        WriteFile(path, "a,b\r\n");
    }
    QDir().mkpath(context->path("Reports"));
    WriteFile(context->path("Reports/report.csv"), "a,b\r\n");
    open();
    const auto lists = [this] {
        return QList<QStringList>{
            items(find<QListWidget>("FileListBox1")), items(find<QListWidget>("FileListBox2")),
            items(find<QListWidget>("FileListBox3")), items(find<QListWidget>("FileListBox4"))};
    };
    const QStringList reports{"report.csv"};
    QCOMPARE(lists(), (QList<QStringList>{reports, reports, reports, reports}));

    auto* stations = find<QTreeWidget>("lvProOut");
    stations->setCurrentItem(stations->topLevelItem(1)); // S002
    QCOMPARE(lists(), (QList<QStringList>{{"in.csv"}, {"again.csv"}, {"up.CSV"}, {}}));
    stations->setCurrentItem(stations->topLevelItem(0)); // S001: no Resume folder
    QCOMPARE(lists(), (QList<QStringList>{{"in.csv"}, reports, {"up.CSV"}, {"s1.csv"}}));
    // A click on the station already selected reads its folders again.
    WriteFile(root + "/ACCPAC/Out/S001/Sent/s2.csv", "a,b\r\n");
    emit stations->itemClicked(stations->topLevelItem(0), 0);
    QCOMPARE(lists(), (QList<QStringList>{{"in.csv"}, reports, {"up.CSV"}, {"s1.csv", "s2.csv"}}));
}

void TestPages::writeModeAndSorting_data() {
    QTest::addColumn<QString>("grid");
    QTest::addColumn<QStringList>("titles");
    QTest::newRow("customers") << "wwDBGrid1"
                               << QStringList{"Customer Code", "Description", "Other Description",
                                              "A/R Debtor"};
    QTest::newRow("suppliers") << "wwDBGrid2"
                               << QStringList{"Supplier Code", "Description", "Other Description",
                                              "A/P Creditor"};
    QTest::newRow("payments") << "wwDBGrid3"
                              << QStringList{"Payment Code", "Description", "Other Description",
                                             "GL Code"};
}

void TestPages::writeModeAndSorting() {
    QFETCH(QString, grid);
    QFETCH(QStringList, titles);
    addMasters();
    TfrmMain& w = open();
    auto* view = find<MaintenanceGrid>(qPrintable(grid));
    auto* box = find<QCheckBox>("CheckBox1");
    auto* item = find<QAction>("Entry1");
    auto* button = find<QToolButton>("ToolButton4");
    Table& table = *view->table();
    DatasetModel* model = view->datasetModel();
    const auto mode = [&] {
        return QStringList{button->text(), item->text(), box->isChecked() ? "ticked" : "unticked",
                           view->isReadOnly() ? "read-only" : "editable"};
    };
    const QStringList readMode{"Write", "&Write Mode", "unticked", "read-only"};
    const QStringList writeMode{"Read", "&Read Mode", "ticked", "editable"};
    const auto editable = [&](int column) {
        return bool(model->flags(model->index(0, column)) & Qt::ItemIsEditable);
    };

    QStringList shownTitles;
    for (int column = 0; column < model->columnCount(); ++column)
        shownTitles << model->headerData(column, Qt::Horizontal).toString();
    QCOMPARE(shownTitles, titles);
    QVERIFY(view->fixedColumnsView()->isColumnHidden(3));
    QVERIFY(!view->fixedColumnsView()->isColumnHidden(2));
    QCOMPARE(mode(), readMode);
    QVERIFY(!editable(3));

    // The arrow shows the column the table is ordered by, on both parts of the grid.
    const auto arrow = [&] {
        const int fixedArrow = view->fixedColumnsView()->horizontalHeader()->sortIndicatorSection();
        return view->horizontalHeader()->sortIndicatorSection() == fixedArrow ? fixedArrow : -2;
    };
    QVERIFY(view->horizontalHeader()->isSortIndicatorShown());
    QCOMPARE(arrow(), -1);

    // In read mode the code column's title sorts; write mode is then refused.
    emit view->horizontalHeader()->sectionClicked(3);
    QCOMPARE(codes(table), (QStringList{"X03", "X01", "X02"}));
    QCOMPARE(arrow(), 3);
    box->click();
    QCOMPARE(context->messages->texts(),
             QStringList{"Write Mode Denied !\r\nCannot use edit fields as a index."});
    QCOMPARE(mode(), readMode);

    // Another title (here on the fixed columns) sorts by its column; now write mode is allowed.
    emit view->fixedColumnsView()->horizontalHeader()->sectionClicked(1);
    QCOMPARE(codes(table), (QStringList{"X02", "X03", "X01"}));
    QCOMPARE(arrow(), 1);
    box->click();
    QCOMPARE(mode(), writeMode);
    QVERIFY(editable(3));
    QVERIFY(!editable(0) && !editable(1) && !editable(2));
    for (const char* other : {"wwDBGrid1", "wwDBGrid2", "wwDBGrid3"})
        QVERIFY(!find<MaintenanceGrid>(other)->isReadOnly());

    // In write mode the code column's title leaves the order as it was.
    emit view->horizontalHeader()->sectionClicked(3);
    QCOMPARE(codes(table), (QStringList{"X02", "X03", "X01"}));
    QCOMPARE(arrow(), 1);
    emit view->horizontalHeader()->sectionClicked(0);
    QCOMPARE(codes(table), (QStringList{"X01", "X02", "X03"}));

    // The menu item and the button switch back; the order stays.
    item->trigger();
    QCOMPARE(mode(), readMode);
    w.ToolButton4Click();
    QCOMPARE(mode(), writeMode);
    box->click();
    QCOMPARE(mode(), readMode);
    QCOMPARE(codes(table), (QStringList{"X01", "X02", "X03"}));
    QCOMPARE(context->messages->shown.size(), 1);
}

void TestPages::editsArePostedWhenTheRowIsLeft() {
    addMasters();
    TfrmMain& w = open();
    w.ToolButton4Click();
    auto* grid = find<MaintenanceGrid>("wwDBGrid1");
    DatasetModel* model = grid->datasetModel();
    Table& customers = dmPolling->tblCustomer;
    const auto stored = [](const char* code) {
        return SelectValue(dmPolling->dbApp,
                           QStringLiteral("SELECT M_DEBTOR FROM MAS_CUSTOMER WHERE M_CODE = '%1'")
                               .arg(QLatin1String(code)))
            .toString();
    };
    grid->setCurrentIndex(model->index(0, 3));

    QVERIFY(model->setData(model->index(0, 3), QStringLiteral("300-X01")));
    QCOMPARE(stored("X01"), QStringLiteral("B")); // not yet: the row has not been left
    grid->setCurrentIndex(model->index(1, 3));
    QCOMPARE(stored("X01"), QStringLiteral("300-X01"));
    QCOMPARE(customers.state(), Dataset::State::Browse);

    // A value longer than the column: the engine refuses it, the row stays in edit.
    QVERIFY(model->setData(model->index(1, 3), QString(30, QLatin1Char('9'))));
    grid->setCurrentIndex(model->index(2, 3));
    QCOMPARE(context->messages->shown.size(), 1);
    QCOMPARE(context->messages->shown.first().kind, MessageKind::Error);
    QVERIFY2(context->messages->texts().first().contains("truncation"),
             qPrintable(context->messages->texts().first()));
    QTRY_COMPARE(grid->currentIndex().row(), 1);
    QCOMPARE(customers.state(), Dataset::State::Edit);
    QCOMPARE(customers.recNo(), 1);
    QCOMPARE(stored("X02"), QStringLiteral("C"));

    // Esc gives the edit up.
    QTest::keyClick(grid, Qt::Key_Escape);
    QCOMPARE(customers.state(), Dataset::State::Browse);
    QCOMPARE(model->data(model->index(1, 3)).toString(), QStringLiteral("C"));
}

void TestPages::importComesBackToThePageItWasOn_data() {
    QTest::addColumn<bool>("run");
    QTest::newRow("OK, then Cancel") << true;
    QTest::newRow("Cancel at once") << false;
}

void TestPages::importComesBackToThePageItWasOn() {
    QFETCH(bool, run);
    settings("ACCOUNT_TYPE=ACCPAC\r\n");
    TfrmMain& w = open();
    auto* pages = find<QTabWidget>("PageControl1");
    pages->setCurrentWidget(find<QWidget>("TabSheet4"));
    QStringList stationsWhileOpen;
    ModalWatcher watcher([&](QWidget* modal) {
        if (run)
            modal->findChild<QPushButton*>("BitBtn2")->click();
        stationsWhileOpen = codesOfStations();
        modal->findChild<QPushButton*>("BitBtn1")->click();
    });
    w.ToolButton3Click();
    QCOMPARE(watcher.seenClass, QStringLiteral("TdlgProcessIn"));
    QCOMPARE(context->messages->texts(), QStringList());
    // Only while a run's window is open does the station table hold the active stations alone.
    QCOMPARE(stationsWhileOpen,
             run ? (QStringList{"S001", "S003"}) : (QStringList{"S001", "S002", "S003", "S004"}));
    QVERIFY(!dmPolling->tblStation.filtered());
    QCOMPARE(find<StationListView>("lvStore")->rowCount(), 4);
    // The window is on the page it was on, with its tab chosen (the summaries page has none).
    QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheet4"));
    QVERIFY(pages->isTabVisible(pages->currentIndex()));
}

// At the width of a small screen the editable code column stays in view beside the fixed
// columns, a long code is shown whole on one line, and the fixed columns can be widened.
void TestPages::maintenanceColumnsFitAndKeepTheCodeInView() {
    DbConnection app(QStringLiteral("Setup"), QStringLiteral("ZantApp"));
    app.execute(
        QStringLiteral("INSERT INTO MAS_SUPPLIER (M_CODE, M_DESC, M_ODESC, M_CREDITOR) VALUES "
                       "('MEGAWHOLESALE01', 'Mega Wholesale Distributors Importers', "
                       "'Mega Wholesale Distributors Kuala Lumpur', '400-MEGAWHOLESALE01')"));
    TfrmMain& w = open();
    dmPolling->tblSupplier.refresh();
    w.resize(820, 600);
    w.show();
    auto* pages = find<QTabWidget>("PageControl1");
    pages->setCurrentWidget(find<QWidget>("TabSheet4"));
    find<QTabWidget>("PageControl2")->setCurrentWidget(find<QWidget>("TabSheet6"));
    auto* grid = find<MaintenanceGrid>("wwDBGrid2");
    QTRY_VERIFY(grid->isVisible());
    const QFontMetrics metrics = grid->fontMetrics();
    const int codeRow = int(codes(dmPolling->tblSupplier).indexOf("MEGAWHOLESALE01"));
    QVERIFY(codeRow >= 0);
    // Whole, on one line.
    QVERIFY(!grid->wordWrap());
    QVERIFY(grid->columnWidth(0) >= metrics.horizontalAdvance("MEGAWHOLESALE01"));
    QVERIFY(grid->columnWidth(3) >= metrics.horizontalAdvance("400-MEGAWHOLESALE01"));
    // The code column ends inside the grid.
    const int codeRight = grid->columnViewportPosition(3) + grid->columnWidth(3);
    QVERIFY2(grid->columnViewportPosition(3) >= 0 && codeRight <= grid->viewport()->width() + 1,
             qPrintable(QStringLiteral("%1..%2 of %3")
                            .arg(grid->columnViewportPosition(3))
                            .arg(codeRight)
                            .arg(grid->viewport()->width())));
    // A fixed column widened on its title widens the grid's column under it.
    QHeaderView* fixedTitles = grid->fixedColumnsView()->horizontalHeader();
    QCOMPARE(fixedTitles->sectionResizeMode(0), QHeaderView::Interactive);
    const int before = grid->columnWidth(0);
    fixedTitles->resizeSection(0, before + 30);
    QCOMPARE(grid->columnWidth(0), before + 30);
    // Widened without end, it stops before the code column is pushed out.
    fixedTitles->resizeSection(1, 5000);
    QVERIFY(grid->columnViewportPosition(3) < grid->viewport()->width());
}

QTEST_MAIN(TestPages)
#include "test_pages.moc"
