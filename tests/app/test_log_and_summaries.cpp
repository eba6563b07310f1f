// The rules of the log page and the summaries page that need no window: the tree built from a
// log's tags, the size check of a log, and the exchange folders the summaries show.
#include "app/log_size_check.h"
#include "app/log_tree.h"
#include "app/summary_folders.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/station_folders.h"
#include "core/app_error.h"
#include "tests/app/app_installation.h"
#include "tests/support/test_context.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTest>

using AppInstallation::WriteFile;

namespace {

// The tree as lines in file order, each indented by two blanks per level.
QStringList rendered(const LogTree& tree) {
    QStringList lines;
    QList<int> depth;
    for (const LogNode& node : tree.nodes()) {
        const int level = node.parent < 0 ? 0 : depth.at(node.parent) + 1;
        depth << level;
        lines << QString(2 * level, QLatin1Char(' ')) + node.text;
    }
    return lines;
}

// A device that hands out its bytes and then fails, as a file does when its disk goes away.
class FailingDevice : public QIODevice {
public:
    FailingDevice(QByteArray bytes, qint64 failAt) : bytes_(std::move(bytes)), failAt_(failAt) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (given_ >= failAt_) {
            setErrorString(QStringLiteral("Input/output error"));
            return -1;
        }
        const qint64 count = qMin(maxSize, failAt_ - given_);
        memcpy(data, bytes_.constData() + given_, size_t(count));
        given_ += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray bytes_;
    qint64 failAt_;
    qint64 given_ = 0;
};

} // namespace

class TestLogAndSummaries : public QObject {
    Q_OBJECT
private slots:
    void logTree_data();
    void logTree();
    void lineOfAnyLength();
    void readErrorKeepsWhatWasRead();
    void groupedNumber_data();
    void groupedNumber();
    void sizeCheck_data();
    void sizeCheck();
    void summaryFolders_data();
    void summaryFolders();
    void csvFileNames();
};

void TestLogAndSummaries::logTree_data() {
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QStringList>("tree");
    QTest::newRow("every tag")
        << QByteArray("#1  Day 1\n#12 summary\n#2  Station S001\n#23 sent 4\n#23 sent 5\n"
                      "#2  Station S002\n#1  Day 2\n#12 done\n")
        << QStringList{"Day 1",      "  summary",      "  Station S001", "    sent 4",
                       "    sent 5", "  Station S002", "Day 2",          "  done"};
    QTest::newRow("children before their parents go to the top level")
        << QByteArray("#12 orphan\n#2  section\n#23 under the section\n#1  top\n"
                      "#23 no section under this top yet\n#2  s\n#23 d\n")
        << QStringList{
               "orphan", "section", "  under the section", "top", "no section under this top yet",
               "  s",    "    d"};
    QTest::newRow("other tags and untagged lines are ignored")
        << QByteArray("#3  three\n#1 short\n#1\n\nplain text\n #1  indented\n#12x\n#21 y\n"
                      "#1  kept\n#13 z\n#12 child\n")
        << QStringList{"kept", "  child"};
    QTest::newRow("CRLF line ends and no final line end")
        << QByteArray("#1  a\r\n#12 b\r\n#1  c") << QStringList{"a", "  b", "c"};
    QTest::newRow("the text is the rest of the line, blanks included")
        << QByteArray("#1    spaced  \n#12 \n#1  ") << QStringList{"  spaced  ", "  ", ""};
    QTest::newRow("bytes that are not text")
        << QByteArray("#1  \x00\xff\xfe\x01\n#12 caf\xc3\xa9\n#12 caf\xe9\n", 28)
        << QStringList{QString::fromLatin1("\x00\xff\xfe\x01", 4), "  caf\u00e9", "  caf\u00e9"};
}

void TestLogAndSummaries::logTree() {
    QFETCH(QByteArray, log);
    QFETCH(QStringList, tree);
    TestContext context;
    const QString path = ProgramLogPath(context.folder());
    QDir().mkpath(QFileInfo(path).path());
    WriteFile(path, log);
    LogTree built;
    QVERIFY(ReadLogFile(path, built));
    QCOMPARE(rendered(built), tree);
}

void TestLogAndSummaries::lineOfAnyLength() {
    const QByteArray longText(3 * 1024 * 1024 + 17, 'x');
    const QByteArray log = "#1  " + longText + "\n#12 after\n" + QByteArray(200000, '#') + "\n";
    QBuffer device;
    device.setData(log);
    device.open(QIODevice::ReadOnly);
    LogTree tree;
    ReadLogLines(device, QStringLiteral("Ledvora.Log"), tree);
    QCOMPARE(tree.nodes().size(), 2);
    QCOMPARE(tree.nodes().at(0).text.size(), longText.size());
    QCOMPARE(tree.nodes().at(1).text, QStringLiteral("after"));
}

void TestLogAndSummaries::readErrorKeepsWhatWasRead() {
    const QByteArray log = "#1  first\n#12 second\n#1  half";
    FailingDevice device(log, log.indexOf("half"));
    LogTree tree;
    try {
        ReadLogLines(device, QStringLiteral("/programs/Log/Ledvora/Ledvora.Log"), tree);
        QFAIL("a read error must raise");
    } catch (const AppError& error) {
        QVERIFY2(error.message().contains("Input/output error"), qPrintable(error.message()));
        QVERIFY(error.message().contains(QDir::toNativeSeparators("/programs/Log/Ledvora")));
    }
    QCOMPARE(rendered(tree), (QStringList{"first", "  second"}));

    // A log that exists but cannot be opened raises the system's error; a missing one does not.
    TestContext context;
    LogTree none;
    QVERIFY(!ReadLogFile(ProgramLogPath(context.folder()), none));
    QDir().mkpath(ProgramLogPath(context.folder())); // a folder where the file should be
    QVERIFY_THROWS_EXCEPTION(AppError, ReadLogFile(ProgramLogPath(context.folder()), none));
    QVERIFY(none.nodes().isEmpty());
}

void TestLogAndSummaries::groupedNumber_data() {
    QTest::addColumn<qint64>("value");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("text");
    QTest::newRow("0") << qint64(0) << ","
                       << "0";
    QTest::newRow("999") << qint64(999) << ","
                         << "999";
    QTest::newRow("1000") << qint64(1000) << ","
                          << "1,000";
    QTest::newRow("10240") << qint64(10240) << ","
                           << "10,240";
    QTest::newRow("beyond the pattern's nine digits") << qint64(12345678901) << ","
                                                      << "12,345,678,901";
    QTest::newRow("another separator") << qint64(1234567) << "."
                                       << "1.234.567";
    QTest::newRow("negative") << qint64(-1024) << ","
                              << "-1,024";
}

void TestLogAndSummaries::groupedNumber() {
    QFETCH(qint64, value);
    QFETCH(QString, separator);
    QFETCH(QString, text);
    QCOMPARE(GroupedNumber(value, separator), text);
}

void TestLogAndSummaries::sizeCheck_data() {
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<qint64>("size"); // -1: no log
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("question"); // "," stands for the system's separator
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("deleted");
    const QByteArray tenKb = "[GENERAL]\r\nLEDVORALOG_FILESIZE=10\r\n";
    const QString overTen = "File Over Size !\r\nPlease reduce the file size.\r\n\r\n"
                            "Log File Size : 10,241 bytes\r\nMaximum File Size : 10,240 bytes";
    QTest::newRow("exactly at the limit") << tenKb << qint64(10240) << true << ""
                                          << "" << false;
    QTest::newRow("one byte over, No keeps the log")
        << tenKb << qint64(10241) << false << overTen << "" << false;
    QTest::newRow("one byte over, Yes deletes it")
        << tenKb << qint64(10241) << true << overTen << "" << true;
    QTest::newRow("default limit 0, empty log") << QByteArray() << qint64(0) << true << ""
                                                << "" << false;
    QTest::newRow("default limit 0, one byte")
        << QByteArray() << qint64(1) << false
        << "File Over Size !\r\nPlease reduce the file size.\r\n\r\n"
           "Log File Size : 1 bytes\r\nMaximum File Size : 0 bytes"
        << "" << false;
    QTest::newRow("a limit that is not a whole number")
        << QByteArray("[GENERAL]\r\nLEDVORALOG_FILESIZE=10 KB\r\n") << qint64(50000) << true << ""
        << "'10 KB' is not a valid integer value for [GENERAL] LEDVORALOG_FILESIZE." << false;
    QTest::newRow("no log: nothing is read")
        << QByteArray("[GENERAL]\r\nLEDVORALOG_FILESIZE=ten\r\n") << qint64(-1) << true << ""
        << "" << false;
}

void TestLogAndSummaries::sizeCheck() {
    QFETCH(QByteArray, settings);
    QFETCH(qint64, size);
    QFETCH(bool, yes);
    QFETCH(QString, question);
    QFETCH(QString, error);
    QFETCH(bool, deleted);
    TestContext context;
    context.messages->answers = {yes ? MessageAnswer::Yes : MessageAnswer::No};
    if (!settings.isEmpty())
        WriteFile(context.path("Ledvora.ini"), settings);
    const SettingsFile file(context.path("Ledvora.ini"));
    const QString log = ProgramLogPath(context.folder());
    if (size >= 0) {
        QDir().mkpath(QFileInfo(log).path());
        WriteFile(log, QByteArray(size, '#'));
    }

    QString raised;
    bool removed = false;
    try {
        removed = CheckLogSize(log, file, Keys::General::LedvoraLogFileSize);
    } catch (const AppError& e) {
        raised = e.message();
    }
    QCOMPARE(raised, error);
    QCOMPARE(context.messages->texts(),
             question.isEmpty()
                 ? QStringList()
                 : QStringList{QString(question).replace(',', ThousandsSeparator())});
    QCOMPARE(removed, deleted);
    QCOMPARE(QFile::exists(log), size >= 0 && !deleted);
}

void TestLogAndSummaries::summaryFolders_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("station");  // empty: none selected
    QTest::addColumn<QStringList>("made"); // folders under the accounting link folder
    // Expected folders of lists 1 to 4, under the accounting link folder; "Reports" for the
    // program's Reports folder.
    QTest::addColumn<QStringList>("lists");
    QTest::addColumn<QStringList>("headers"); // lists 1 and 3
    QTest::addColumn<bool>("import");
    const QStringList accPacFolders{"ACCPAC/Received", "ACCPAC/Updated", "ACCPAC/Out/S001/Resume",
                                    "ACCPAC/Out/S001/Sent"};
    const QStringList reports{"Reports", "Reports", "Reports", "Reports"};
    const QStringList none{"NONE", "NONE"};
    QTest::newRow("SQLACC, no station selected") << "SQLACC"
                                                 << "" << accPacFolders << reports << none << false;
    QTest::newRow("ACCPAC, no station selected")
        << "ACCPAC"
        << "" << accPacFolders << reports << QStringList{"RECEIVED", "UPDATED"} << true;
    QTest::newRow("ACCPAC, station with every folder")
        << "ACCPAC"
        << "S001" << accPacFolders
        << QStringList{"ACCPAC/Received", "ACCPAC/Out/S001/Resume", "ACCPAC/Updated",
                       "ACCPAC/Out/S001/Sent"}
        << QStringList{"RECEIVED", "UPDATED"} << true;
    QTest::newRow("ACCPAC, station without a Sent folder")
        << "ACCPAC"
        << "S001" << accPacFolders.mid(0, 3)
        << QStringList{"ACCPAC/Received", "ACCPAC/Out/S001/Resume", "ACCPAC/Updated", "Reports"}
        << QStringList{"RECEIVED", "UPDATED"} << true;
    QTest::newRow("ACCPAC, a station without folders")
        << "ACCPAC"
        << "S002" << accPacFolders
        << QStringList{"ACCPAC/Received", "Reports", "ACCPAC/Updated", "Reports"}
        << QStringList{"RECEIVED", "UPDATED"} << true;
    QTest::newRow("SQLACC receives and updates nothing")
        << "SQLACC"
        << "S001"
        << QStringList{"SQLACC/Received", "SQLACC/Updated", "SQLACC/Out/S001/Resume",
                       "SQLACC/Out/S001/Sent"}
        << QStringList{"Reports", "SQLACC/Out/S001/Resume", "Reports", "SQLACC/Out/S001/Sent"}
        << none << false;
    QTest::newRow("accpac in lower case is no type")
        << "accpac"
        << "S001" << QStringList{"accpac/Received", "accpac/Updated", "accpac/Out/S001/Resume"}
        << QStringList{"Reports", "accpac/Out/S001/Resume", "Reports", "Reports"} << none << false;
}

void TestLogAndSummaries::summaryFolders() {
    QFETCH(QString, type);
    QFETCH(QString, station);
    QFETCH(QStringList, made);
    QFETCH(QStringList, lists);
    QFETCH(QStringList, headers);
    QFETCH(bool, import);
    TestContext context;
    const QString root = context.path("Ledvora");
    for (const QString& folder : made)
        QVERIFY(QDir().mkpath(root + '/' + folder));
    const auto expected = [&](const QString& list) {
        return list == "Reports" ? QDir::toNativeSeparators(context.folder() + "/Reports/")
                                 : QDir::toNativeSeparators(root + '/' + list + '/');
    };

    const SummaryFolders folders =
        ChooseSummaryFolders(type, root, context.folder(),
                             station.isEmpty() ? std::nullopt : std::optional<QString>(station));
    QCOMPARE((QStringList{folders.received, folders.resume, folders.updated, folders.sent}),
             (QStringList{expected(lists.at(0)), expected(lists.at(1)), expected(lists.at(2)),
                          expected(lists.at(3))}));
    QCOMPARE((QStringList{folders.receivedHeader, folders.updatedHeader}), headers);
    QCOMPARE(folders.importOffered, import);

    // The folders the station properties make are the ones the summaries show.
    const QStringList stationFolders = StationFolders(root, type, QStringLiteral("S001"));
    for (const QString& folder : {folders.received, folders.resume, folders.updated})
        if (!folder.contains("Reports"))
            QVERIFY2(stationFolders.contains(folder), qPrintable(folder));
}

void TestLogAndSummaries::csvFileNames() {
    TestContext context;
    const QString folder = context.path("Out");
    QDir().mkpath(folder + "/inner.csv");
    for (const char* name : {"b.csv", "A.CSV", "c.txt", "d.csv.bak", "e.Csv"})
        WriteFile(folder + '/' + QLatin1String(name), "1,2\r\n");
    QCOMPARE(CsvFileNames(folder), (QStringList{"A.CSV", "b.csv", "e.Csv"}));
    QCOMPARE(CsvFileNames(context.path("Missing")), QStringList());
}

QTEST_MAIN(TestLogAndSummaries)
#include "test_log_and_summaries.moc"
