// The package login: a new application object on every call, the IsLogin short-cut, the four
// settings with their defaults, and errors passed on unchanged.

#include "config/settings_file.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/call_recorder.h"
#include "sqlacc/sqlacc_login.h"
#include "tests/support/test_context.h"

#include <QTest>
#include <functional>
#include <memory>

using PackageScript = std::function<void(RecordingPackage&)>;
Q_DECLARE_METATYPE(PackageScript)

namespace {

QStringList linesOf(const CallLog& log) {
    QStringList lines;
    for (const std::string& line : log.lines())
        lines << QString::fromStdString(line);
    return lines;
}

} // namespace

class TestSqlAccLogin : public QObject {
    Q_OBJECT

private slots:
    void init() { context_ = std::make_unique<TestContext>(); }
    void cleanup() {
        ReleaseBizApp();
        SetBizAppFactory(nullptr);
        context_.reset();
    }
    void logsInWithTheSettings_data();
    void logsInWithTheSettings();
    void newObjectOnEveryCall();
    void errorsPassUnchanged_data();
    void errorsPassUnchanged();

private:
    std::unique_ptr<TestContext> context_;
};

void TestSqlAccLogin::logsInWithTheSettings_data() {
    QTest::addColumn<bool>("writeSettings");
    QTest::addColumn<bool>("isLogin");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("settings") << true << false
                              << QStringList{
                                     "BizApp.IsLogin",
                                     R"(BizApp.Login("BOSS","SECRET","D:\\A.DCF","B.FDB"))"};
    QTest::newRow("no settings file: the defaults")
        << false << false
        << QStringList{
               "BizApp.IsLogin",
               R"(BizApp.Login("ADMIN","ADMIN","C:\\Program Files\\eStream\\SQLAccounting\\Share\\DEFAULT.DCF","ACC-0001.FDB"))"};
    QTest::newRow("already logged in: no login") << true << true << QStringList{"BizApp.IsLogin"};
}

void TestSqlAccLogin::logsInWithTheSettings() {
    QFETCH(bool, writeSettings);
    QFETCH(bool, isLogin);
    QFETCH(QStringList, log);

    if (writeSettings) {
        SettingsFile settings;
        settings.writeString("SQLACC", "USERLOGIN", "BOSS");
        settings.writeString("SQLACC", "PASSWORD", "SECRET");
        settings.writeString("SQLACC", "DCF", "D:\\A.DCF");
        settings.writeString("SQLACC", "SALES_TRANSACTION", "B.FDB");
    }
    auto package = std::make_shared<RecordingPackage>();
    package->setIsLogin(isLogin);
    SetBizAppFactory([package] { return package; });

    QVERIFY(SQLAccLogin());
    QCOMPARE(linesOf(package->log()), log);
    QCOMPARE(BizApp, AutoObjectPtr(package));
}

void TestSqlAccLogin::newObjectOnEveryCall() {
    int created = 0;
    SetBizAppFactory([&created] {
        ++created;
        return std::make_shared<RecordingPackage>();
    });
    SQLAccLogin();
    const std::weak_ptr<AutoObject> first = BizApp;
    SQLAccLogin();
    QCOMPARE(created, 2);
    QVERIFY(first.expired()); // the earlier object is released
    QVERIFY(BizApp);
}

void TestSqlAccLogin::errorsPassUnchanged_data() {
    QTest::addColumn<bool>("packageMissing");
    QTest::addColumn<PackageScript>("script");
    QTest::addColumn<QString>("error");

    QTest::newRow("package not installed")
        << true << PackageScript([](RecordingPackage&) {}) << "Invalid class string";
    QTest::newRow("IsLogin fails") << false << PackageScript([](RecordingPackage& p) {
        p.failCall("IsLogin", 1, "The RPC server is unavailable");
    }) << "The RPC server is unavailable";
    QTest::newRow("login refused") << false << PackageScript([](RecordingPackage& p) {
        p.failCall("Login", 1, "Invalid User or Password");
    }) << "Invalid User or Password";
}

void TestSqlAccLogin::errorsPassUnchanged() {
    QFETCH(bool, packageMissing);
    QFETCH(PackageScript, script);
    QFETCH(QString, error);

    auto package = std::make_shared<RecordingPackage>();
    script(*package);
    SetBizAppFactory([package, packageMissing]() -> AutoObjectPtr {
        if (packageMissing)
            throw AutomationError("Invalid class string");
        return package;
    });
    try {
        SQLAccLogin();
        QFAIL("no error");
    } catch (const AutomationError& raised) {
        QCOMPARE(QString::fromUtf8(raised.what()), error);
    }
}

QTEST_GUILESS_MAIN(TestSqlAccLogin)
#include "test_sqlacc_login.moc"
