// The Windows automation adapter making real COM calls under Wine. The posting routines post one
// document of every kind here, through the call recorder, into a call script; the replay program
// plays the script through ComObject against the test server, in-process and as a local server,
// and the server's log is held against the script: the same members in the same order, with the
// same values and VARIANT types. The package's errors, the missing registration and the
// reference counts are checked on the same runs.

#include "config/settings_file.h"
#include "data/connection.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/call_recorder.h"
#include "sqlacc/document_read_back.h"
#include "sqlacc/sqlacc_export_ar.h"
#include "sqlacc/sqlacc_export_doc.h"
#include "sqlacc/sqlacc_export_master.h"
#include "sqlacc/sqlacc_login.h"
#include "tests/sqlacc/com_server/call_script.h"
#include "tests/sqlacc/com_server/wine_session.h"
#include "tests/sqlacc/posting_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using PostingCall = std::function<bool(const PostingSources&)>;

// The texts the test server raises, as the user is to read them.
const char* const kLoginRefused = "Login refused: the password of user \u201CU\u201D is wrong";
// A refused login stops the run with the package's text after the login's.
const char* const kLoginRefusedForTheRun =
    "The accounting package refused the login (user U, data collection file x.dcf, database "
    "ACC.FDB): ";
// Windows words ERROR_DISK_FULL "There is not enough space on the disk."; this is Wine's text.
const char* const kDiskFull = "Save: Disk full. (0x80070070)";
const char* const kNotRegistered =
    "The automation server SQLAcc.BizApp is not registered on this computer: install the "
    "accounting package or register its server (OLE error 0x800401F3)";

struct Document {
    const char* title;
    QStringList settings; // "SECTION/KEY=value" beyond the package login
    PostingCall post;
    const char* failingMember = nullptr; // the call the package refuses, with error
    const char* error = nullptr;
};

// One run of one session: one document of every kind and mode, tax-inclusive lines with a given
// tax and a tariff code, a read-back, a master export of each kind, and a save the test server
// fails with a bare HRESULT. Then a run of its own whose login the server refuses with its text.
std::vector<Document> documents() {
    const QStringList byItem;
    const QStringList bySummary = {"GENERAL/EXPORT_MODE=1", "SQLACC/ITEM_CODE=POS"};
    return {
        {"SL_CS by item, read back", byItem,
         [](const PostingSources& s) {
             PostingReadBack readBack;
             return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-000000007", "2024/03/05", "300-POS",
                                    25.0, -0.02, &readBack);
         }},
        {"SL_CS by summary", bySummary,
         [](const PostingSources& s) {
             return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-05032024", "2024/03/05", "300-POS",
                                    125.03, 0.03);
         }},
        {"SL_IV", byItem,
         [](const PostingSources& s) {
             return SQLAccExportDoc(s, "SL_IV", "D100", "IV-9001", "2024/03/06", "300-C1", 0, 0);
         }},
        {"SL_CN", byItem,
         [](const PostingSources& s) {
             return SQLAccExportDoc(s, "SL_CN", "C200", "CN-5001", "2024/03/07", "300-C1", 0, 0);
         }},
        {"PH_PI, a tax-inclusive line", byItem,
         [](const PostingSources& s) {
             return SQLAccExportDoc(s, "PH_PI", "R300", "S001-R300", "2024/03/08", "V-0001", 0, 0);
         }},
        {"PH_SC by summary", bySummary,
         [](const PostingSources& s) {
             return SQLAccExportDoc(s, "PH_SC", "E400", "S001-E400", "2024/03/09", "V-0001", 0, 0);
         }},
        {"AR_IV, tariff code",
         {"SQLACC/TARIFF_CODE=9801.00.00"},
         [](const PostingSources& s) {
             return SQLAccExportAR(s, "AR_IV", "INV/1", "IV-1001", "2024/03/01", "300-C1", 106, 0);
         }},
        {"AR_DN", byItem,
         [](const PostingSources& s) {
             return SQLAccExportAR(s, "AR_DN", "DN/1", "DN-1", "2024/03/02", "300-C1", 10.5, 0);
         }},
        {"AR_CN with knock-off", byItem,
         [](const PostingSources& s) {
             return SQLAccExportAR(s, "AR_CN", "CN/1", "CN-1", "2024/03/03", "300-C1", 5.25, 0);
         }},
        {"AR_PM with knock-offs", byItem,
         [](const PostingSources& s) {
             return SQLAccExportAR(s, "AR_PM", "OR/1", "OR-1", "2024/03/04", "300-C1", 60, 0);
         }},
        {"AP_SUPPLIER", byItem,
         [](const PostingSources& s) {
             return SQLAccExportMaster(s, "AP_SUPPLIER", "400-000", "ALL");
         }},
        {"AR_CUSTOMER", byItem,
         [](const PostingSources& s) {
             return SQLAccExportMaster(s, "AR_CUSTOMER", "300-000", "DIFF");
         }},
        {"ST_ITEM", byItem,
         [](const PostingSources& s) { return SQLAccExportMaster(s, "ST_ITEM", "", "ALL"); }},
        {"save fails with a bare HRESULT", byItem,
         [](const PostingSources& s) {
             return SQLAccExportDoc(s, "SL_CN", "C200", "FAIL-HR", "2024/03/07", "300-C1", 0, 0);
         },
         "Save", kDiskFull},
    };
}

// A run of its own: the login that the server refuses.
Document refusedLogin() {
    return {"login refused",
            {"SQLACC/PASSWORD=WRONG"},
            [](const PostingSources& s) {
                return SQLAccExportAR(s, "AR_DN", "DN/1", "DN-1", "2024/03/02", "300-C1", 10.5, 0);
            },
            "Login",
            kLoginRefused};
}

// Values written to a field and read back through another field object: texts with what BSTR
// lengths and conversions get wrong, and every other type the adapter passes.
std::vector<AutoValue> roundTripValues() {
    return {
        "Café – 東京",
        "",
        "say \"hi\" \\ back",
        "tab\tand\nnew line",
        AutoValue(std::string("nul\0inside", 10)),
        "\xF0\x9D\x84\x9E clef", // a character beyond 16 bits: two UTF-16 units
        12.5,
        0.1 + 0.2,
        -0.02,
        3,
        -7,
        2147483647,
        true,
        false,
        AutoValue::null(),
        AutoValue::empty(),
        AutoValue::fromArray({"IV", "IV-1001", 2, 4.5}),
    };
}

std::string textsAndTypesScript() {
    std::string script = "doc texts and types\n"
                         "create #1\n"
                         "#1 BizObjects() -> #2\n"
                         "#2 Find(\"ST_ITEM\") -> #3\n"
                         "#3 DataSets() -> #4\n"
                         "#4 Find(\"MainDataSet\") -> #5\n"
                         "#3 New() -> Empty\n";
    int next = 6;
    const auto field = [&](const std::string& then) {
        const std::string number = "#" + std::to_string(next++);
        script += "#5 FindField(\"DESCRIPTION\") -> " + number + "\n" + number + " " + then + "\n";
    };
    for (const AutoValue& value : roundTripValues()) {
        field("value := " + value.describe());
        field("Value() -> " + value.describe());
    }
    field("AsString := \"Café – 東京\"");
    field("AsString() -> \"Café – 東京\"");
    return script;
}

// ---- what the server is to log ----

int utf16Length(const std::string& text) {
    return static_cast<int>(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).size());
}

// A value as the server logs the VARIANT it received: texts as OLE strings, amounts as 8-byte
// floats, quantities as 32-bit integers.
QString variantText(const AutoValue& value) {
    switch (value.type()) {
    case AutoValue::Type::Text:
        return QStringLiteral("BSTR(%1)").arg(utf16Length(value.asText())) +
               QString::fromStdString(value.describe());
    case AutoValue::Type::Float:
        return QStringLiteral("R8 ") + QString::fromStdString(value.describe());
    case AutoValue::Type::Int:
        return QStringLiteral("I4 %1").arg(value.asInt());
    case AutoValue::Type::Bool:
        return value.asBool() ? QStringLiteral("BOOL -1") : QStringLiteral("BOOL 0");
    case AutoValue::Type::Null:
        return QStringLiteral("NULL");
    case AutoValue::Type::Empty:
        return QStringLiteral("EMPTY");
    case AutoValue::Type::Array: {
        QStringList items;
        for (const AutoValue& item : value.asArray())
            items << variantText(item);
        return QStringLiteral("ARRAY(0..%1)[%2]")
            .arg(value.asArray().size() - 1)
            .arg(items.join(QLatin1Char(',')));
    }
    case AutoValue::Type::Object:
        break;
    }
    return QStringLiteral("(object)");
}

// Objects renumbered from 1 in the order they appear in a document, so that a document is held
// against its script wherever the server's numbering and the script's stood.
class Renumbering {
public:
    QString apply(QString line) {
        static const QRegularExpression leading(QStringLiteral("^(create )?#(\\d+)"));
        static const QRegularExpression trailing(QStringLiteral(" -> #(\\d+)$"));
        if (const auto match = leading.match(line); match.hasMatch())
            line.replace(match.capturedStart(2), match.capturedLength(2),
                         number(match.captured(2)));
        if (const auto match = trailing.match(line); match.hasMatch())
            line.replace(match.capturedStart(1), match.capturedLength(1),
                         number(match.captured(1)));
        return line;
    }

private:
    QString number(const QString& server) {
        if (!numbers_.contains(server))
            numbers_.insert(server, QString::number(numbers_.size() + 1));
        return numbers_.value(server);
    }
    QMap<QString, QString> numbers_;
};

// The server's log of one document's calls, by document title.
QMap<QString, QStringList> expectedLog(const std::vector<ScriptCall>& script) {
    QMap<QString, QStringList> log;
    QString title;
    Renumbering renumbering;
    for (const ScriptCall& call : script) {
        const QString member = QString::fromStdString(call.member).toLower();
        QString line;
        switch (call.kind) {
        case ScriptCall::Kind::Document:
            title = QString::fromStdString(call.title);
            log[title];
            renumbering = Renumbering();
            continue;
        case ScriptCall::Kind::Create:
            if (call.failed)
                continue;
            line = QStringLiteral("create #%1").arg(call.object);
            break;
        case ScriptCall::Kind::Put:
            line = QStringLiteral("#%1 put %2(%3)")
                       .arg(call.object)
                       .arg(member, variantText(call.args[0]));
            break;
        case ScriptCall::Kind::Invoke: {
            QStringList args;
            for (const AutoValue& arg : call.args)
                args << variantText(arg);
            line = QStringLiteral("#%1 call %2(%3)").arg(call.object).arg(member, args.join(','));
            if (call.resultObject > 0)
                line += QStringLiteral(" -> #%1").arg(call.resultObject);
            else if (!call.failed && !call.result.isEmpty())
                line += QStringLiteral(" -> ") + variantText(call.result);
            break;
        }
        }
        if (call.failed)
            line += QStringLiteral(" -> failed");
        log[title] << renumbering.apply(line);
    }
    return log;
}

// ---- what the server logged ----

struct ServerRun {
    QString name;
    QMap<QString, QStringList> calls;   // by document: creations, calls and writes
    QMap<QString, QStringList> lookups; // by document: the names looked up
    QString keeper;                     // the "create" line of the replay's own application object
    QString aliveAtEnd;                 // the "alive" line after the last document
    QString lastLine;
    QString problems; // what the replay printed
    int exitCode = 0;
    double seconds = 0;
};

ServerRun readServerLog(const QString& path) {
    ServerRun run;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return run;
    QString title;
    bool ended = false;
    Renumbering renumbering;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.isEmpty())
            continue;
        run.lastLine = line;
        if (line.startsWith(QLatin1String("doc "))) {
            title = line.mid(4);
            renumbering = Renumbering();
        } else if (line == QLatin1String("end")) {
            ended = true;
        } else if (title.isEmpty()) {
            if (line.startsWith(QLatin1String("create ")))
                run.keeper = line.mid(7);
        } else if (line.startsWith(QLatin1String("alive "))) {
            if (ended && run.aliveAtEnd.isEmpty())
                run.aliveAtEnd = line;
        } else if (line.startsWith(QLatin1String("exit "))) {
        } else if (line.contains(QLatin1String(" lookup "))) {
            if (!ended)
                run.lookups[title] << line.section(QLatin1Char(' '), 2);
        } else if (!ended) {
            run.calls[title] << renumbering.apply(line);
        }
    }
    return run;
}

// The lines of a replay's output that belong to one document.
QStringList problemsOf(const QString& output, const QString& title) {
    QStringList lines;
    for (const QString& line : output.split(QLatin1Char('\n'))) {
        if (line.startsWith(title + QLatin1String(": ")))
            lines << line;
    }
    return lines;
}

// Where the server's log of a document first parts from the expected one; empty when nowhere.
QString firstDifference(const QStringList& logged, const QStringList& expected) {
    for (qsizetype i = 0; i < std::max(logged.size(), expected.size()); ++i) {
        const QString got = i < logged.size() ? logged[i] : QStringLiteral("(nothing more)");
        const QString want = i < expected.size() ? expected[i] : QStringLiteral("(nothing more)");
        if (got != want)
            return QStringLiteral("call %1 of %2:\n   logged:   %3\n   expected: %4")
                .arg(i + 1)
                .arg(expected.size())
                .arg(got, want);
    }
    return {};
}

bool writeFile(const QString& path, const std::string& text) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(text.data(), static_cast<qint64>(text.size())) ==
               static_cast<qint64>(text.size());
}

} // namespace

class TestComReplay : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void missingRegistrationNamesTheProgId();
    void serverReceivesTheScript_data();
    void serverReceivesTheScript();
    void everyObjectIsReleased_data();
    void everyObjectIsReleased();
    void sharedIdsHalveTheFieldWrites();
    void oneSessionForTheRun_data();
    void oneSessionForTheRun();

private:
    void recordScripts();
    ServerRun replay(const QString& serverFile, const QString& ids);

    QString windowsDir_;
    std::unique_ptr<WineSession> wine_;
    std::vector<ScriptCall> script_;
    QMap<QString, QStringList> expected_;
    WineSession::Result unregistered_;
    QList<ServerRun> runs_; // in-process, local server with ids per object, local server
};

// Posts every document through the call recorder, scripted with the answers of the test server,
// into one call script.
void TestComReplay::recordScripts() {
    TestContext context;
    TestDatabases::CreateInstallation(context.folder());
    DbConnection stk("ZaLedvoraStk", "ZantStk");
    DbConnection app("ZaLedvoraApp", "ZantApp");
    DbConnection ar("ZaARSys", "ARDB");
    const PostingSources sources{stk, app, ar};
    InsertPostingFixture(sources);

    ScriptRecorder recorder;
    // What the test server answers, so that the recording takes the same paths.
    const auto answersOfTheServer = [](RecordingPackage& package) {
        package.setBuildNo("5.2024.1007.860");
        package.setReadValue("Common.Agent.RO", "CompanyName", "ZANTRO TEST SDN BHD");
        package.setKey("AP_SUPPLIER", "V-0001", "V-0001");
        package.setKey("ST_ITEM", "P1", 7);
        package.setKey("SL_CS", "S001-01-000000007", 41);
        package.setLocateResult({"IV", "IV-1001"}, true);
        // A read-back reads what the document was given; DocAmt was given nothing.
        package.setReadValue("SL_CS", "CODE", "300-POS");
        package.setReadValue("SL_CS", "DOCDATE", "2024/03/05");
        package.setReadValue("SL_CS", "DocAmt", 0.0);
        package.setReadValue("SL_CS", "P_AMOUNT", 24.98);
    };
    const auto post = [&](const Document& document,
                          const std::shared_ptr<RecordingPackage>& package) {
        WritePostingSettings(document.settings);
        if (document.failingMember)
            package->failCall(document.failingMember, 1, document.error);
        recorder.beginDocument(document.title);
        try {
            QVERIFY2(document.post(sources), document.title);
            QVERIFY2(!document.error, document.title);
        } catch (const AppError& error) {
            QCOMPARE(error.message(),
                     QString::fromUtf8(kLoginRefusedForTheRun) + QString::fromUtf8(document.error));
        } catch (const AutomationError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QString::fromUtf8(document.error));
        }
    };
    {
        // Every document in one session: one login, as an export run makes.
        const PackageRunSession run;
        auto package = std::make_shared<RecordingPackage>(false);
        answersOfTheServer(*package);
        SetBizAppFactory(
            [&recorder, package] { return recorder.create([package] { return package; }); });
        for (const Document& document : documents())
            post(document, package);
    }
    {
        const PackageRunSession run;
        auto package = std::make_shared<RecordingPackage>(false);
        answersOfTheServer(*package);
        SetBizAppFactory(
            [&recorder, package] { return recorder.create([package] { return package; }); });
        post(refusedLogin(), package);
    }
    ReleaseBizApp();
    SetBizAppFactory(nullptr);

    const std::string text = recorder.text() + textsAndTypesScript();
    QVERIFY(writeFile(windowsDir_ + "/posting.script", text));
    QVERIFY(writeFile(windowsDir_ + "/unregistered.script",
                      "doc not registered\ncreate -> error " +
                          AutoValue(kNotRegistered).describe() + "\n"));
    script_ = ParseCallScript(text);
    expected_ = expectedLog(script_);
}

// Replays the posting script against the registered server, whose log lies beside its file.
ServerRun TestComReplay::replay(const QString& serverFile, const QString& ids) {
    const QString log = windowsDir_ + "/" + serverFile + ".log";
    QFile::remove(log);
    const WineSession::Result result =
        wine_->run({windowsDir_ + "/com_replay.exe", "--script",
                    WineSession::windowsPath(windowsDir_ + "/posting.script"), "--log",
                    WineSession::windowsPath(log), "--ids", ids});
    // A local server ends half a second after its last object goes.
    QElapsedTimer waited;
    waited.start();
    ServerRun run = readServerLog(log);
    while (!run.lastLine.startsWith(QLatin1String("exit ")) && waited.elapsed() < 10000) {
        QTest::qWait(100);
        run = readServerLog(log);
    }
    run.problems = result.output;
    run.exitCode = result.exitCode;
    run.seconds = result.seconds;
    return run;
}

void TestComReplay::initTestCase() {
    QElapsedTimer timer;
    timer.start();
    windowsDir_ = qEnvironmentVariable("ZANTRO_COM_WINDOWS_DIR");
    if (!QFileInfo::exists(windowsDir_ + "/com_replay.exe"))
        QFAIL(qPrintable(QStringLiteral("The Windows test programs are missing from '%1': install "
                                        "the package g++-mingw-w64-x86-64 and build again")
                             .arg(windowsDir_)));
    wine_ = std::make_unique<WineSession>(qEnvironmentVariable("ZANTRO_WINE_PREFIX"));
    if (!wine_->error().isEmpty())
        QFAIL(qPrintable(wine_->error()));

    recordScripts();
    if (QTest::currentTestFailed())
        return;
    const double recorded = timer.elapsed() / 1000.0;
    const double prefix = wine_->prepare();
    if (!wine_->error().isEmpty())
        QFAIL(qPrintable(wine_->error()));

    const QString dll = WineSession::windowsPath(windowsDir_ + "/sqlacc_test_server.dll");
    const QString exe = windowsDir_ + "/sqlacc_test_server.exe";
    wine_->run({"regsvr32", "/u", "/s", dll});
    unregistered_ = wine_->run({windowsDir_ + "/com_replay.exe", "--script",
                                WineSession::windowsPath(windowsDir_ + "/unregistered.script")});

    const WineSession::Result registered = wine_->run({"regsvr32", "/s", dll});
    QVERIFY2(registered.exitCode == 0, qPrintable(registered.output));
    runs_ << replay("sqlacc_test_server.dll", "per-kind");
    runs_.last().name = QStringLiteral("in-process");

    const WineSession::Result local = wine_->run({exe, "/regserver"});
    QVERIFY2(local.exitCode == 0, qPrintable(local.output));
    runs_ << replay("sqlacc_test_server.exe", "per-object");
    runs_.last().name = QStringLiteral("local server, ids per object");
    runs_ << replay("sqlacc_test_server.exe", "per-kind");
    runs_.last().name = QStringLiteral("local server");
    wine_->run({exe, "/unregserver"});
    wine_->stop();

    QString times = QStringLiteral("recording %1 s, prefix %2 s").arg(recorded).arg(prefix);
    for (const ServerRun& run : runs_)
        times += QStringLiteral(", %1 %2 s").arg(run.name).arg(run.seconds);
    qInfo("%s; all %.1f s", qPrintable(times), timer.elapsed() / 1000.0);
}

void TestComReplay::cleanupTestCase() {
    if (wine_)
        wine_->stop();
}

void TestComReplay::missingRegistrationNamesTheProgId() {
    QVERIFY2(unregistered_.exitCode == 0, qPrintable(unregistered_.output));
}

void TestComReplay::serverReceivesTheScript_data() {
    QTest::addColumn<int>("run");
    QTest::addColumn<QString>("document");
    for (int run = 0; run < runs_.size(); ++run) {
        for (const QString& title : expected_.keys())
            QTest::newRow(qPrintable(runs_[run].name + ": " + title)) << run << title;
    }
}

void TestComReplay::serverReceivesTheScript() {
    QFETCH(int, run);
    QFETCH(QString, document);
    const ServerRun& server = runs_[run];
    const QString difference =
        firstDifference(server.calls.value(document), expected_.value(document));
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    const QStringList problems = problemsOf(server.problems, document);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
}

void TestComReplay::everyObjectIsReleased_data() {
    QTest::addColumn<int>("run");
    for (int run = 0; run < runs_.size(); ++run)
        QTest::newRow(qPrintable(runs_[run].name)) << run;
}

void TestComReplay::everyObjectIsReleased() {
    QFETCH(int, run);
    // 0: as scripted, 1: differences (shown by the other test); anything else is a crash.
    QVERIFY2(runs_[run].exitCode == 0 || runs_[run].exitCode == 1, qPrintable(runs_[run].problems));
    // Only the application object that the replay holds throughout is left.
    QCOMPARE(runs_[run].aliveAtEnd, QStringLiteral("alive 1: %1 BizApp").arg(runs_[run].keeper));
    QCOMPARE(runs_[run].lastLine, QStringLiteral("exit 0"));
}

// Through the local server each call is a round trip. Every field write makes a fresh field
// object; with ids shared by kind it is written with one call instead of a lookup and a call.
void TestComReplay::sharedIdsHalveTheFieldWrites() {
    QCOMPARE(runs_.size(), 3);
    const ServerRun& before = runs_[1];
    const ServerRun& after = runs_[2];
    static const QRegularExpression valueCall(QStringLiteral("^#\\d+ (put|call) value\\("));
    qsizetype callsBefore = 0;
    qsizetype callsAfter = 0;
    for (const QString& title : expected_.keys()) {
        const qsizetype values = expected_.value(title).filter(valueCall).size();
        const qsizetype oneBefore =
            before.calls.value(title).size() + before.lookups.value(title).size();
        const qsizetype oneAfter =
            after.calls.value(title).size() + after.lookups.value(title).size();
        qInfo("%-32s %4lld calls, %4lld with shared ids (%lld field values)", qPrintable(title),
              static_cast<long long>(oneBefore), static_cast<long long>(oneAfter),
              static_cast<long long>(values));
        callsBefore += oneBefore;
        callsAfter += oneAfter;
        QCOMPARE(before.lookups.value(title).count(QStringLiteral("value")), values);
        // Fields and parameters each confirm the id on two objects before they share it.
        QVERIFY2(after.lookups.value(title).count(QStringLiteral("value")) <= 4, qPrintable(title));
    }
    qInfo("all documents: %lld calls, %lld with shared ids", static_cast<long long>(callsBefore),
          static_cast<long long>(callsAfter));
    QVERIFY(callsAfter < callsBefore);
}

void TestComReplay::oneSessionForTheRun_data() {
    QTest::addColumn<int>("run");
    for (int run = 0; run < runs_.size(); ++run)
        QTest::newRow(qPrintable(runs_[run].name)) << run;
}

// The run's documents reached the server through one application object, logged in once; every
// business object was closed after its document (a failed save's too); the true/false fields
// went as Booleans, which the server's build takes, and the quantities as 8-byte floats.
void TestComReplay::oneSessionForTheRun() {
    QFETCH(int, run);
    int created = 0, logins = 0, logouts = 0, saves = 0, closes = 0, booleans = 0, quantities = 0,
        integers = 0;
    static const QRegularExpression quantity(QStringLiteral("put value\\(R8 "));
    const ServerRun& server = runs_[run];
    for (auto document = server.calls.cbegin(); document != server.calls.cend(); ++document) {
        if (document.key() == QLatin1String("texts and types"))
            continue;
        for (const QString& line : document.value()) {
            integers += line.contains(QLatin1String("put value(I4")) ? 1 : 0;
            created += line.startsWith(QLatin1String("create ")) ? 1 : 0;
            logins += line.contains(QLatin1String(" call login(")) ? 1 : 0;
            logouts += line.contains(QLatin1String(" call logout(")) ? 1 : 0;
            saves += line.contains(QLatin1String(" call save()")) ? 1 : 0;
            closes += line.contains(QLatin1String(" call close()")) ? 1 : 0;
            booleans += line.contains(QLatin1String("put value(BOOL ")) ? 1 : 0;
            quantities += line.contains(quantity) ? 1 : 0;
        }
    }
    QCOMPARE(created, 2); // the run's, and the one whose login the server refused
    QCOMPARE(logins, 2);
    QCOMPARE(logouts, 0);
    QVERIFY(saves > 10);
    QCOMPARE(closes, saves);
    QVERIFY(booleans > 0);
    QVERIFY(quantities > 0);
    QCOMPARE(integers, 0); // no quantity goes as a 32-bit integer any more
}

QTEST_GUILESS_MAIN(TestComReplay)
#include "test_com_replay.moc"
