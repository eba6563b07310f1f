// The stand-in package on its own: login, strictness, atomic Save and fault injection.

#include "data/connection.h"
#include "data/query.h"
#include "sqlacc/automation.h"
#include "standin/package_dump.h"
#include "standin/standin_package.h"
#include "tests/standin/standin_fixture.h"

#include <QJsonArray>
#include <QTest>
#include <functional>
#include <memory>

using PackageSteps = std::function<void(const AutoObjectPtr&)>;
Q_DECLARE_METATYPE(PackageSteps)

namespace {

QString errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const AutomationError& error) {
        return QString::fromUtf8(error.what());
    }
    return QStringLiteral("(no error)");
}

std::string text(const QString& value) {
    return value.toStdString();
}

// A customer or supplier as the master export would send it.
void addMaster(const AutoObjectPtr& app, const char* object, const char* code) {
    const AutoObjectPtr master = findBizObject(app, object);
    master->invoke("New");
    setField(findDataSet(master, "MainDataSet"), "CODE", code);
    master->invoke("Save");
}

// A cash sale with one line.
void postCashSale(const AutoObjectPtr& app, const char* docNo, const char* code = "300-POS") {
    const AutoObjectPtr sale = findBizObject(app, "SL_CS");
    const AutoObjectPtr header = findDataSet(sale, "MainDataSet");
    const AutoObjectPtr detail = findDataSet(sale, "cdsDocDetail");
    sale->invoke("New");
    setField(header, "DOCKEY", "-1");
    setField(header, "DOCNO", docNo);
    setField(header, "DOCDATE", "2024/03/05");
    setField(header, "CODE", code);
    detail->invoke("Append");
    setField(detail, "DtlKey", "-1");
    setField(detail, "ItemCode", "P1");
    setField(detail, "Qty", 2);
    setField(detail, "UnitPrice", 10.0);
    detail->invoke("Post");
    sale->invoke("Save");
}

} // namespace

class TestStandinPackage : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void login_data();
    void login();
    void strict_data();
    void strict();
    void failedSaveKeepsNothingOfTheDocument();
    void readsBeforeASaveCommitWithIt();
    void faultsFromTheEnvironment_data();
    void faultsFromTheEnvironment();

private:
    AutoObjectPtr loggedIn();

    std::unique_ptr<TestContext> context_;
    std::unique_ptr<StandinInstallation> package_;
};

void TestStandinPackage::init() {
    context_ = std::make_unique<TestContext>();
    package_ = std::make_unique<StandinInstallation>(*context_);
    UseStandinPackage().clearFaults();
}

void TestStandinPackage::cleanup() {
    UseStandinPackage().clearFaults();
    package_.reset();
    context_.reset();
}

AutoObjectPtr TestStandinPackage::loggedIn() {
    const AutoObjectPtr app = UseStandinPackage().createBizApp();
    app->invoke("Login", {"ADMIN", "ADMIN", text(package_->dcf), "ACC-0001.FDB"});
    return app;
}

void TestStandinPackage::login_data() {
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("dcf"); // empty: the installation's
    QTest::addColumn<QString>("database");
    QTest::addColumn<QString>("error");

    QTest::newRow("accepted, user in any case") << "admin"
                                                << "ADMIN"
                                                << ""
                                                << "ACC-0001.FDB"
                                                << "";
    QTest::newRow("wrong password") << "ADMIN"
                                    << "admin"
                                    << ""
                                    << "ACC-0001.FDB"
                                    << "Login failed: invalid user name or password";
    QTest::newRow("unknown user") << "GUEST"
                                  << "ADMIN"
                                  << ""
                                  << "ACC-0001.FDB"
                                  << "Login failed: invalid user name or password";
    QTest::newRow("missing DCF") << "ADMIN"
                                 << "ADMIN"
                                 << "/nowhere/DEFAULT.DCF"
                                 << "ACC-0001.FDB"
                                 << "Data collection file not found: /nowhere/DEFAULT.DCF";
    QTest::newRow("missing database") << "ADMIN"
                                      << "ADMIN"
                                      << ""
                                      << "ACC-0002.FDB"
                                      << "Database file not found: %1/Package/ACC-0002.FDB";
}

void TestStandinPackage::login() {
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(QString, dcf);
    QFETCH(QString, database);
    QFETCH(QString, error);

    const AutoObjectPtr app = UseStandinPackage().createBizApp();
    QCOMPARE(app->invoke("IsLogin"), AutoValue(false));
    const QString raised = errorOf([&] {
        app->invoke("Login", {text(user), text(password), text(dcf.isEmpty() ? package_->dcf : dcf),
                              text(database)});
    });
    if (error.isEmpty()) {
        QCOMPARE(raised, QStringLiteral("(no error)"));
        QCOMPARE(app->invoke("IsLogin"), AutoValue(true));
    } else {
        QCOMPARE(raised, error.contains("%1") ? error.arg(context_->folder()) : error);
        QCOMPARE(app->invoke("IsLogin"), AutoValue(false));
    }
}

void TestStandinPackage::strict_data() {
    QTest::addColumn<PackageSteps>("steps");
    QTest::addColumn<QString>("error");

    QTest::newRow("business objects before login") << PackageSteps([](const AutoObjectPtr&) {
        findBizObject(UseStandinPackage().createBizApp(), "SL_CS");
    }) << "Not logged in";
    QTest::newRow("unknown business object")
        << PackageSteps([](const AutoObjectPtr& app) { findBizObject(app, "SL_XX"); })
        << R"(Business object "SL_XX" not found)";
    QTest::newRow("dataset the object does not have") << PackageSteps([](const AutoObjectPtr& app) {
        findDataSet(findBizObject(app, "SL_IV"), "cdsKnockOff");
    }) << R"(Dataset "cdsKnockOff" not found in SL_IV (datasets: MainDataSet, cdsDocDetail))";
    QTest::newRow("unknown field")
        << PackageSteps([](const AutoObjectPtr& app) {
               const AutoObjectPtr branch =
                   findDataSet(findBizObject(app, "AR_CUSTOMER"), "cdsBranch");
               member(branch, "FindField", {"ADDRESS4"});
           })
        << "Field \"ADDRESS4\" not found in AR_CUSTOMER.cdsBranch (fields: CODE, ADDRESS1, "
           "ADDRESS2, ADDRESS3, PHONE1, PHONE2, ATTENTION, FAX1, EMAIL)";
    QTest::newRow("field written before New") << PackageSteps([](const AutoObjectPtr& app) {
        setField(findDataSet(findBizObject(app, "SL_CS"), "MainDataSet"), "DOCNO", "X");
    }) << "SL_CS.MainDataSet cannot be changed: call New, or Open and Edit, on SL_CS first";
    QTest::newRow("line field before Append") << PackageSteps([](const AutoObjectPtr& app) {
        const AutoObjectPtr sale = findBizObject(app, "SL_CS");
        sale->invoke("New");
        setField(findDataSet(sale, "cdsDocDetail"), "Qty", 1);
    }) << "SL_CS.cdsDocDetail has no current row";
    QTest::newRow("amount that is no number") << PackageSteps([](const AutoObjectPtr& app) {
        const AutoObjectPtr sale = findBizObject(app, "SL_CS");
        sale->invoke("New");
        setField(findDataSet(sale, "MainDataSet"), "P_AMOUNT", "abc");
    }) << "'abc' is not a valid floating point value";
    QTest::newRow("customer the package does not hold")
        << PackageSteps([](const AutoObjectPtr& app) { postCashSale(app, "CS-1", "NOBODY"); })
        << R"(SL_CS: customer code "NOBODY" does not exist)";
    QTest::newRow("a customer is no supplier") << PackageSteps([](const AutoObjectPtr& app) {
        const AutoObjectPtr invoice = findBizObject(app, "PH_PI");
        invoice->invoke("New");
        const AutoObjectPtr header = findDataSet(invoice, "MainDataSet");
        setField(header, "DOCNO", "PI-1");
        setField(header, "CODE", "300-POS");
        invoice->invoke("Save");
    }) << R"(PH_PI: supplier code "300-POS" does not exist)";
    QTest::newRow("duplicate document number") << PackageSteps([](const AutoObjectPtr& app) {
        postCashSale(app, "CS-1");
        postCashSale(app, "CS-1");
    }) << R"(SL_CS: document number "CS-1" already exists)";
    QTest::newRow("duplicate master code")
        << PackageSteps([](const AutoObjectPtr& app) { addMaster(app, "AR_CUSTOMER", "300-POS"); })
        << R"(AR_CUSTOMER: code "300-POS" already exists)";
    QTest::newRow("key parameter of another object") << PackageSteps([](const AutoObjectPtr& app) {
        setParam(findBizObject(app, "AR_CUSTOMER"), "DocKey", "1");
    }) << R"(Parameter "DocKey" not found in AR_CUSTOMER (parameters: CODE))";
    QTest::newRow("Open of a key not held") << PackageSteps([](const AutoObjectPtr& app) {
        const AutoObjectPtr payment = findBizObject(app, "AR_PM");
        setParam(payment, "DocKey", "999");
        payment->invoke("Open");
    }) << R"(AR_PM: record "999" not found)";
}

void TestStandinPackage::strict() {
    QFETCH(PackageSteps, steps);
    QFETCH(QString, error);
    const AutoObjectPtr app = loggedIn();
    addMaster(app, "AR_CUSTOMER", "300-POS");
    QCOMPARE(errorOf([&] { steps(app); }), error);
}

void TestStandinPackage::readsBeforeASaveCommitWithIt() {
    const AutoObjectPtr app = loggedIn();
    addMaster(app, "AR_CUSTOMER", "300-POS");
    // The engine numbers every transaction it starts on the database; each probe takes one.
    DbConnection probe(QStringLiteral("Probe"), package_->database);
    const auto started = [&probe] {
        return SelectValue(probe, "SELECT CURRENT_TRANSACTION FROM RDB$DATABASE").toLongLong();
    };
    const qlonglong before = started();
    // What a posting does: is the number taken? Then the document, whose Save checks the number
    // and the customer again and writes its rows.
    QVERIFY(findBizObject(app, "SL_CS")->invoke("FindKeyByRef", {"DOCNO", "CS-1"}).isNull());
    postCashSale(app, "CS-1");
    QCOMPARE(started() - before, 1 + 1);
    QCOMPARE(DumpPackage(package_->database)["documents"].toArray().size(), 1);

    // A number taken by then is refused, and the refused save leaves the next read clean.
    QCOMPARE(errorOf([&] { postCashSale(app, "CS-1"); }),
             QStringLiteral("SL_CS: document number \"CS-1\" already exists"));
    QVERIFY(!findBizObject(app, "SL_CS")->invoke("FindKeyByRef", {"DOCNO", "CS-1"}).isNull());
}

void TestStandinPackage::failedSaveKeepsNothingOfTheDocument() {
    const AutoObjectPtr app = loggedIn();
    addMaster(app, "AR_CUSTOMER", "300-POS");
    postCashSale(app, "CS-1");
    UseStandinPackage().failCall("Save", 2, "Disk full");
    postCashSale(app, "CS-2");
    QCOMPARE(errorOf([&] { postCashSale(app, "CS-3"); }), QStringLiteral("Disk full"));
    // The fault counted its own Saves: the next one goes through.
    postCashSale(app, "CS-4");

    QStringList saved;
    int lines = 0;
    for (const QJsonValue document : DumpPackage(package_->database)["documents"].toArray()) {
        saved << document["DOCNO"].toString();
        lines += document["lines"].toArray().size();
    }
    QCOMPARE(saved, (QStringList{"CS-1", "CS-2", "CS-4"}));
    QCOMPARE(lines, 3);
    // The failed document's number is free again.
    postCashSale(app, "CS-3");
}

void TestStandinPackage::faultsFromTheEnvironment_data() {
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("error");
    QTest::newRow("third Save") << "Save:3:Disk full: try later"
                                << "Disk full: try later";
    QTest::newRow("first New, of two faults") << "Edit:9:x|New:1:No licence"
                                              << "No licence";
    QTest::newRow("malformed")
        << "Save:three:Disk full"
        << "The stand-in package's fault \"Save:three:Disk full\" does not read MEMBER:N:TEXT "
           "(for example Save:3:Disk full)";
}

void TestStandinPackage::faultsFromTheEnvironment() {
    QFETCH(QString, variable);
    QFETCH(QString, error);
    qputenv("ZANTRO_STANDIN_FAIL", variable.toUtf8());
    StandinPackage package;
    qunsetenv("ZANTRO_STANDIN_FAIL");

    QCOMPARE(errorOf([&] {
                 const AutoObjectPtr app = package.createBizApp();
                 app->invoke("Login", {"ADMIN", "ADMIN", text(package_->dcf), "ACC-0001.FDB"});
                 addMaster(app, "AR_CUSTOMER", "300-POS");
                 postCashSale(app, "CS-1");
                 postCashSale(app, "CS-2");
             }),
             error);
}

QTEST_GUILESS_MAIN(TestStandinPackage)
#include "test_standin_package.moc"
