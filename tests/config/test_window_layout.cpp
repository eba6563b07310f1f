// Window sizes and splitter positions kept in the settings file, and the drop-down grid of the
// store boxes, with offscreen widgets.
#include "config/settings_file.h"
#include "config/ui/grid_combo_box.h"
#include "config/ui/window_layout.h"
#include "tests/support/test_context.h"

#include <QDialog>
#include <QFile>
#include <QHBoxLayout>
#include <QListWidget>
#include <QScreen>
#include <QSplitter>
#include <QStandardItemModel>
#include <QTreeView>
#include <QtTest>

namespace {

constexpr SettingKey kSize = Keys::Layout::ExportWindowSize;
constexpr SettingKey kSplitter = Keys::Layout::ExportSplitter;

// A window as the dialogs make one: a splitter of two parts, its design size, then the keeper.
struct Window {
    QDialog dialog;
    QSplitter* splitter = new QSplitter(&dialog);
    Window() {
        splitter->addWidget(new QListWidget);
        splitter->addWidget(new QListWidget);
        splitter->setChildrenCollapsible(false);
        (new QHBoxLayout(&dialog))->addWidget(splitter);
        dialog.resize(600, 400);
        auto* keeper = new WindowLayoutKeeper(&dialog, kSize);
        keeper->keepSplitter(splitter, kSplitter);
    }
    void showAndSettle() {
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTest::qWait(20); // the sizes on the screen are taken after the first show
    }
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void init() { context = std::make_unique<TestContext>(); }
    void cleanup() { context.reset(); }

    void parseSizes_data();
    void parseSizes();
    void storedSizesAreAppliedAndChangesWrittenBack();
    void unreadableOrOversizedSizes_data();
    void unreadableOrOversizedSizes();
    void windowNobodyResizedWritesNothing();
    void gridListIsAsWideAsItsColumns();

private:
    SettingsFile settings() const { return SettingsFile(); }
    std::unique_ptr<TestContext> context;
};

void TestWindowLayout::parseSizes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("sizes"); // empty: not readable
    QTest::newRow("width and height") << "1000,640" << 2 << QList<int>{1000, 640};
    QTest::newRow("blanks around the numbers") << " 1000 , 640 " << 2 << QList<int>{1000, 640};
    QTest::newRow("three parts") << "180,0,820" << 3 << QList<int>{180, 0, 820};
    QTest::newRow("too few numbers") << "1000" << 2 << QList<int>();
    QTest::newRow("a word") << "1000,wide" << 2 << QList<int>();
    QTest::newRow("below the minimum") << "-5,640" << 2 << QList<int>();
    QTest::newRow("empty") << "" << 2 << QList<int>();
}

void TestWindowLayout::parseSizes() {
    QFETCH(QString, text);
    QFETCH(int, count);
    QFETCH(QList<int>, sizes);
    const auto parsed = ParseLayoutSizes(text, count, 0);
    QCOMPARE(parsed.value_or(QList<int>()), sizes);
    if (parsed)
        QCOMPARE(ParseLayoutSizes(LayoutSizesText(*parsed), count, 0), parsed);
}

void TestWindowLayout::storedSizesAreAppliedAndChangesWrittenBack() {
    settings().write(kSize, QStringLiteral("700,450"));
    settings().write(kSplitter, QStringLiteral("150,530"));
    {
        Window window;
        QCOMPARE(window.dialog.size(), QSize(700, 450));
        window.showAndSettle();
        // Within the pixel or two the splitter's handle takes from its parts.
        QVERIFY2(qAbs(window.splitter->sizes().first() - 150) <= 2,
                 qPrintable(LayoutSizesText(window.splitter->sizes())));
        // The user widens the window and moves the splitter; closing keeps both.
        window.dialog.resize(760, 480);
        window.splitter->setSizes({240, 500});
        QTest::qWait(20);
        window.dialog.reject();
    }
    QCOMPARE(settings().read(kSize), QStringLiteral("760,480"));
    const QList<int> kept =
        ParseLayoutSizes(settings().read(kSplitter), 2, 0).value_or(QList<int>{0});
    QVERIFY2(qAbs(kept.first() - 240) <= 2, qPrintable(settings().read(kSplitter)));
    // The next opening starts where the last one ended.
    Window again;
    QCOMPARE(again.dialog.size(), QSize(760, 480));
}

void TestWindowLayout::unreadableOrOversizedSizes_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QSize>("opened"); // (-1, -1): the screen's size
    QTest::newRow("nothing stored") << "" << QSize(600, 400);
    QTest::newRow("not two numbers") << "700x450" << QSize(600, 400);
    QTest::newRow("no width") << "0,450" << QSize(600, 400);
    QTest::newRow("larger than the screen") << "90000,90000" << QSize(-1, -1);
}

void TestWindowLayout::unreadableOrOversizedSizes() {
    QFETCH(QString, stored);
    QFETCH(QSize, opened);
    settings().write(kSize, stored);
    Window window;
    if (opened == QSize(-1, -1))
        opened = window.dialog.screen()->availableGeometry().size();
    QCOMPARE(window.dialog.size(), opened);
}

void TestWindowLayout::windowNobodyResizedWritesNothing() {
    settings().write(kSize, QStringLiteral("700,450"));
    const QByteArray before = fileBytes(settings().path());
    {
        Window window;
        window.showAndSettle();
        window.dialog.reject();
    }
    // Closed before it was ever on the screen: nothing to keep either.
    {
        Window window;
        window.dialog.show();
        window.dialog.resize(900, 600);
        window.dialog.reject();
    }
    QCOMPARE(fileBytes(settings().path()), before);
}

void TestWindowLayout::gridListIsAsWideAsItsColumns() {
    auto* stores = new QStandardItemModel(0, 3);
    stores->setHorizontalHeaderLabels({"Store", "Description", "Others Description"});
    const QString longest = QStringLiteral("Riverside Mall Kiosk and Food Court, Level 3");
    stores->appendRow({new QStandardItem("S001"), new QStandardItem("Main Street Store"),
                       new QStandardItem("Kedai Jalan Utama")});
    stores->appendRow({new QStandardItem("S002"), new QStandardItem(longest),
                       new QStandardItem("Kiosk Riverside")});
    GridComboBox box;
    box.setModel(stores);
    box.resize(120, box.sizeHint().height());
    box.show();
    box.showPopup();
    QTreeView* grid = box.gridView();
    QVERIFY(grid->isVisible());
    // Each column holds its widest value on one line; the list is as wide as the columns.
    QVERIFY(!grid->wordWrap());
    QVERIFY(grid->columnWidth(1) >= grid->fontMetrics().horizontalAdvance(longest));
    const int columns = grid->columnWidth(0) + grid->columnWidth(1) + grid->columnWidth(2);
    QVERIFY2(grid->window()->width() >= columns,
             qPrintable(QStringLiteral("%1 < %2").arg(grid->window()->width()).arg(columns)));
    box.hidePopup();
}

QTEST_MAIN(TestWindowLayout)
#include "test_window_layout.moc"
