// The Import window and its run on a real installation with the clock on 1 April 2015: the
// caption, LAST_IMPORT, the two polling-log lines, the station filter while the window is open,
// and what is left to the user when the polling log cannot be written.
#include "config/import_run.h"
#include "config/settings_file.h"
#include "config/ui/process_in_dialog.h"
#include "data/activity_log.h"
#include "data/connection.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestImport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void caption_data();
    void caption();
    void runOnFirstApril2015();
    void closingWithoutARun();
    void pollingLogThatCannotBeWritten();
    void filterErrorIsShownAfterTheRun();

private:
    // Opens a new window (shown, not modal, so the test can press its buttons).
    TdlgProcessIn* openWindow() {
        auto* window = new TdlgProcessIn(*settings, nullptr);
        connect(window, &TdlgProcessIn::formDestroyed, this,
                [this](bool imported) { destroyedWith << imported; });
        window->show();
        return window;
    }
    template <typename T> static T* child(QWidget* window, const char* name) {
        return window->findChild<T*>(QLatin1String(name));
    }
    static QStringList labels(QWidget* window) {
        QStringList texts;
        for (const char* name :
             {"lblStation", "lblCategory", "lblFiles", "lblDesc", "lblDateTime", "lblStatus"})
            texts << child<QLabel>(window, name)->text();
        return texts;
    }
    QStringList stations() {
        QStringList codes;
        for (int row = 0; row < polling->tblStation.recordCount(); ++row)
            codes << polling->tblStation.valueAt(row, QStringLiteral("P_STORE")).toString();
        return codes;
    }
    QString pollingLog() const { return PollingLogFile(context->folder()); }

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> polling;
    std::unique_ptr<SettingsFile> settings;
    QList<bool> destroyedWith;
};

void TestImport::init() {
    context = std::make_unique<TestContext>(QDateTime(QDate(2015, 4, 1), QTime(10, 15, 2)));
    TestDatabases::CreateInstallation(context->folder());
    DbConnection stk(QStringLiteral("Setup"), QStringLiteral("ZantStk"));
    for (const char* row : {"'S001', 'T'", "'S002', 'F'", "'S003', 't'", "'S004', 'T'"})
        stk.execute(QStringLiteral("INSERT INTO ACC_STATION (P_STORE, P_ACTIVE) VALUES (%1)")
                        .arg(QLatin1String(row)));
    polling = std::make_unique<TdmPolling>();
    dmPolling = polling.get();
    settings = std::make_unique<SettingsFile>(context->path("Ledvora.ini"));
    destroyedWith.clear();
}

void TestImport::cleanup() {
    dmPolling = nullptr;
    settings.reset();
    polling.reset();
    context.reset();
}

void TestImport::caption_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("caption");
    QTest::newRow("no import recorded: two blanks before the bracket")
        << QByteArray() << "Import...[ Last Process Date :  ]";
    QTest::newRow("last import recorded") << QByteArray("[HISTORY]\r\nLAST_IMPORT=31/03/2015\r\n")
                                          << "Import...[ Last Process Date : 31/03/2015 ]";
}

void TestImport::caption() {
    QFETCH(QByteArray, stored);
    QFETCH(QString, caption);
    if (!stored.isEmpty())
        writeAll(context->path("Ledvora.ini"), stored);
    std::unique_ptr<TdlgProcessIn> window(openWindow());
    QCOMPARE(window->windowTitle(), caption);
    // Showing the window again does not add to the caption.
    window->hide();
    window->show();
    QCOMPARE(window->windowTitle(), caption);
}

void TestImport::runOnFirstApril2015() {
    QDir().mkpath(PollingLogFolder(context->folder()));
    writeAll(pollingLog(), "#1  31/03/2015 09:00:00 [] - Import   (Start) \n");
    const auto otherFiles = [this] {
        QStringList files;
        QDirIterator it(context->folder(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next();
        files.removeAll(context->path("Ledvora.ini"));
        files.sort();
        return files;
    };
    const QStringList filesBefore = otherFiles();
    const QString stationRows = QStringLiteral(
        "SELECT LIST(P_STORE || COALESCE(P_ACTIVE, '-') || COALESCE(P_IMPORT, '-')) FROM "
        "ACC_STATION");
    const QVariant stationsBefore = SelectValue(polling->dbStk, stationRows);

    QPointer<TdlgProcessIn> window = openWindow();
    QTest::mouseClick(child<QPushButton>(window, "BitBtn2"), Qt::LeftButton);

    QVERIFY(context->messages->texts().isEmpty());
    QVERIFY(window->Imported);
    QCOMPARE(ReadLastImport(*settings), QStringLiteral("01/04/2015"));
    QCOMPARE(readAll(pollingLog()), QByteArray("#1  31/03/2015 09:00:00 [] - Import   (Start) \n"
                                               "#1  01/04/2015 10:15:02 [] - Import   (Start) \n"
                                               "#1  01/04/2015 10:15:02 [] - Import   (End) \n"));
    QCOMPARE(labels(window),
             (QStringList{"Done", "<None>", "Done", "<None>", "<None>", "Completed"}));
    QVERIFY(!child<QPushButton>(window, "BitBtn2")->isEnabled());
    QVERIFY(child<QPushButton>(window, "BitBtn1")->isEnabled());
    QCOMPARE(window->focusWidget(), child<QPushButton>(window, "BitBtn1"));
    // While the window is open the station table holds the active stations only.
    QCOMPARE(stations(), (QStringList{"S001", "S004"}));

    QTest::mouseClick(child<QPushButton>(window, "BitBtn1"), Qt::LeftButton);
    QTRY_VERIFY(window.isNull());
    QCOMPARE(destroyedWith, QList<bool>{true});
    QCOMPARE(stations(), (QStringList{"S001", "S002", "S003", "S004"}));
    QVERIFY(polling->tblStation.filter().isEmpty());
    // Nothing else changed: no table, no other file.
    QCOMPARE(SelectValue(polling->dbStk, stationRows), stationsBefore);
    QCOMPARE(otherFiles(), filesBefore);
}

void TestImport::closingWithoutARun() {
    QPointer<TdlgProcessIn> window = openWindow();
    QTest::mouseClick(child<QPushButton>(window, "BitBtn1"), Qt::LeftButton);
    QTRY_VERIFY(window.isNull());
    QCOMPARE(destroyedWith, QList<bool>{false});
    QVERIFY(!polling->tblStation.filtered());
    QVERIFY(!QFile::exists(context->path("Ledvora.ini")));
    QVERIFY(!QFile::exists(pollingLog()));
}

void TestImport::pollingLogThatCannotBeWritten() {
    // A file where the polling-log folder should be.
    QDir().mkpath(context->path("Log"));
    writeAll(context->path("Log/Polling"), "not a folder");
    QPointer<TdlgProcessIn> window = openWindow();
    QTest::mouseClick(child<QPushButton>(window, "BitBtn2"), Qt::LeftButton);

    QCOMPARE(
        context->messages->texts(),
        QStringList{"Cannot create " + QDir::toNativeSeparators(context->path("Log/Polling/"))});
    QCOMPARE(ReadLastImport(*settings), QStringLiteral("01/04/2015"));
    QCOMPARE(labels(window), QStringList(6, "<None>"));
    // Cancel and OK stay disabled, and Esc does not close the window: only the close box does.
    QVERIFY(!child<QPushButton>(window, "BitBtn1")->isEnabled());
    QVERIFY(!child<QPushButton>(window, "BitBtn2")->isEnabled());
    QTest::keyClick(window, Qt::Key_Escape);
    QVERIFY(!window.isNull() && window->isVisible());
    QCOMPARE(stations(), (QStringList{"S001", "S004"}));

    window->close();
    QTRY_VERIFY(window.isNull());
    QCOMPARE(destroyedWith, QList<bool>{true});
    QCOMPARE(stations(), (QStringList{"S001", "S002", "S003", "S004"}));
}

void TestImport::filterErrorIsShownAfterTheRun() {
    // Without the station table the filter cannot be set; the run still writes its lines.
    dmPolling = nullptr;
    QPointer<TdlgProcessIn> window = openWindow();
    QTest::mouseClick(child<QPushButton>(window, "BitBtn2"), Qt::LeftButton);
    QCOMPARE(context->messages->texts(), QStringList{"The station table is not open."});
    QCOMPARE(readAll(pollingLog()).count('\n'), 2);
    QVERIFY(child<QPushButton>(window, "BitBtn1")->isEnabled());
    QCOMPARE(labels(window), QStringList(6, "<None>"));
    window->close();
    QTRY_VERIFY(window.isNull());
}

QTEST_MAIN(TestImport)
#include "test_import.moc"
