// The package login: a new application object on every call outside a run and one for a whole
// run, the IsLogin short-cut, the four settings with their defaults, what the package says of
// itself after the login (its build, the forms that build takes, its company), and errors.

#include "config/settings_file.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/call_recorder.h"
#include "sqlacc/flag_values.h"
#include "sqlacc/package_build.h"
#include "sqlacc/sqlacc_login.h"
#include "tests/support/test_context.h"

#include <QTest>
#include <functional>
#include <memory>

using PackageScript = std::function<void(RecordingPackage&)>;
Q_DECLARE_METATYPE(PackageScript)

namespace {

// After the login: the build, and the company of the open books.
const QStringList kAfterLogin = {"BizApp.BuildNo", R"(RptObjects.Find("Common.Agent.RO"))",
                                 "Common.Agent.RO.CalculateReport",
                                 R"(Common.Agent.RO.DataSets.Find("cdsProfile"))",
                                 "Common.Agent.RO.cdsProfile.CompanyName.AsString"};

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
    void oneObjectForARun();
    void errorsPassUnchanged_data();
    void errorsPassUnchanged();
    void buildsCompareByTheirCounter_data();
    void buildsCompareByTheirCounter();
    void flagsTakeTheFormOfTheBuild_data();
    void flagsTakeTheFormOfTheBuild();

private:
    std::unique_ptr<TestContext> context_;
};

void TestSqlAccLogin::logsInWithTheSettings_data() {
    QTest::addColumn<bool>("writeSettings");
    QTest::addColumn<bool>("isLogin");
    QTest::addColumn<QStringList>("log");

    QTest::newRow("settings")
        << true << false
        << QStringList{"BizApp.IsLogin", R"(BizApp.Login("BOSS","SECRET","D:\\A.DCF","B.FDB"))"} +
               kAfterLogin;
    QTest::newRow("no settings file: the defaults")
        << false << false
        << QStringList{"BizApp.IsLogin",
                       R"(BizApp.Login("ADMIN","ADMIN","C:\\Program Files\\eStream\\SQLAccounting\\Share\\DEFAULT.DCF","ACC-0001.FDB"))"} +
               kAfterLogin;
    QTest::newRow("already logged in: no login")
        << true << true << QStringList{"BizApp.IsLogin"} + kAfterLogin;
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

// Within a run the first login opens the session and the others use it; the run's end lets the
// object go, without a logout.
void TestSqlAccLogin::oneObjectForARun() {
    int created = 0;
    auto package = std::make_shared<RecordingPackage>();
    package->setBuildNo("5.2024.1001.859");
    package->setReadValue("Common.Agent.RO", "CompanyName", "Zantro Trading Sdn Bhd");
    SetBizAppFactory([&created, package] {
        ++created;
        return package;
    });
    {
        const PackageRunSession run;
        SQLAccLogin();
        {
            const PackageRunSession nested; // a run within the run: the schedule's kinds
            SQLAccLogin();
        }
        SQLAccLogin();
        QCOMPARE(created, 1);
        QCOMPARE(CurrentPackageSession().build.number(), 859);
        QCOMPARE(CurrentPackageSession().companyName, QStringLiteral("Zantro Trading Sdn Bhd"));
    }
    QVERIFY(!BizApp);
    SetBizAppFactory(nullptr);
    QCOMPARE(package.use_count(), 1); // nothing of this process holds the object any more
    QCOMPARE(QString::fromStdString(package->log().text()).count("Login"), 2); // IsLogin, Login
    QVERIFY(package->log().text().find("Logout") == std::string::npos);
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
    // A refused login is an error of the run: it names the login, not the password.
    QTest::newRow("login refused")
        << false << PackageScript([](RecordingPackage& p) {
               p.failCall("Login", 1, "Invalid User or Password");
           })
        << "The accounting package refused the login (user ADMIN, data collection file "
           "C:\\Program Files\\eStream\\SQLAccounting\\Share\\DEFAULT.DCF, database "
           "ACC-0001.FDB): Invalid User or Password";
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
    } catch (const std::exception& raised) {
        QCOMPARE(QString::fromUtf8(raised.what()), error);
    }
    QVERIFY(!QString::fromUtf8(package->log().text().c_str()).contains("Password: "));
}

// BuildNo as the package gives it, text or number; an unreadable build counts as the newest.
void TestSqlAccLogin::buildsCompareByTheirCounter_data() {
    QTest::addColumn<QString>("given"); // an AutoValue as described
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("atLeast860");

    QTest::newRow("dotted, the first with Booleans") << R"("5.2024.1007.860")"
                                                     << "5.2024.1007.860" << 860 << true;
    QTest::newRow("dotted, the one before") << R"("5.2024.1001.859")"
                                            << "5.2024.1001.859" << 859 << false;
    QTest::newRow("e-invoice build") << R"(" 5.2024.992.854 ")"
                                     << "5.2024.992.854" << 854 << false;
    QTest::newRow("a later year, a later build") << R"("5.2025.1044.871")"
                                                 << "5.2025.1044.871" << 871 << true;
    QTest::newRow("the counter alone, as a number") << "859"
                                                    << "859" << 859 << false;
    QTest::newRow("a whole float") << "860.0"
                                   << "860" << 860 << true;
    QTest::newRow("no build") << "Empty"
                              << "unknown" << 0 << true;
    QTest::newRow("text without numbers") << R"("trial")"
                                          << "unknown" << 0 << true;
}

void TestSqlAccLogin::buildsCompareByTheirCounter() {
    QFETCH(QString, given);
    QFETCH(QString, text);
    QFETCH(int, number);
    QFETCH(bool, atLeast860);
    AutoValue value;
    if (given == "Empty")
        value = AutoValue::empty();
    else if (given.startsWith('"'))
        value = given.mid(1, given.size() - 2).toStdString();
    else if (given.contains('.'))
        value = given.toDouble();
    else
        value = std::int32_t(given.toInt());
    const PackageBuild build = PackageBuild::fromValue(value);
    QCOMPARE(build.text(), text);
    QCOMPARE(build.number(), number);
    QCOMPARE(build.atLeast(PackageBuilds::BooleanFields), atLeast860);
    QCOMPARE(build.atLeast(PackageBuilds::EInvoiceFields), number == 0 || number >= 854);
}

void TestSqlAccLogin::flagsTakeTheFormOfTheBuild_data() {
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("value");
    QTest::addColumn<QString>("sent"); // as the call log writes it

    QTest::newRow("TaxInclusive before 860") << "5.2024.1001.859"
                                             << "TAXINCLUSIVE" << true << "1";
    QTest::newRow("IsBase before 860") << "5.2024.1001.859"
                                       << "IsBase" << false << "0";
    QTest::newRow("KnockOff before 860") << "5.2024.1001.859"
                                         << "KNOCKOFF" << true << R"("T")";
    QTest::newRow("Cancelled before 860") << "5.2024.1001.859"
                                          << "Cancelled" << false << R"("F")";
    QTest::newRow("TaxInclusive from 860") << "5.2024.1007.860"
                                           << "TAXINCLUSIVE" << true << "true";
    QTest::newRow("KnockOff from 860") << "5.2024.1007.860"
                                       << "KnockOff" << false << "false";
    QTest::newRow("a build the link does not know") << ""
                                                    << "KnockOff" << true << "true";
}

void TestSqlAccLogin::flagsTakeTheFormOfTheBuild() {
    QFETCH(QString, build);
    QFETCH(QString, field);
    QFETCH(bool, value);
    QFETCH(QString, sent);
    const AutoValue flag = FlagValue(PackageBuild::fromText(build), field.toStdString(), value);
    QCOMPARE(QString::fromStdString(flag.describe()), sent);
}

QTEST_GUILESS_MAIN(TestSqlAccLogin)
#include "test_sqlacc_login.moc"
