// The stand-in package on its own: login, strictness (the forms of its two kinds of build, its
// code lists, its rules on documents and items), its own totals, atomic Save, what it counts of a
// session, and fault injection.

#include "data/connection.h"
#include "data/query.h"
#include "sqlacc/automation.h"
#include "sqlacc/package_code_lists.h"
#include "standin/package_codes.h"
#include "standin/package_dump.h"
#include "standin/package_setup.h"
#include "standin/standin_package.h"
#include "tests/standin/standin_fixture.h"

#include <QJsonArray>
#include <QTest>
#include <functional>
#include <memory>

using PackageSteps = std::function<void(const AutoObjectPtr&)>;
Q_DECLARE_METATYPE(PackageSteps)

namespace {

const char kBefore860[] = "5.2024.1001.859";
const char kFrom860[] = "5.2024.1007.860";

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

bool booleans(const QString& build) {
    return build == QLatin1String(kFrom860);
}

// A true/false value in the form a build takes: Boolean from 860 on; before, 1/0 for
// TaxInclusive and IsBase and "T"/"F" for the others.
AutoValue rightFlag(const QString& build, bool oneZero, bool value) {
    if (booleans(build))
        return value;
    if (oneZero)
        return std::int32_t(value ? 1 : 0);
    return value ? "T" : "F";
}

// The form the other kind of build takes.
AutoValue wrongFlag(const QString& build, bool oneZero, bool value) {
    return rightFlag(booleans(build) ? QString(kBefore860) : QString(kFrom860), oneZero, value);
}

// A customer or supplier as the master export would send it.
void addMaster(const AutoObjectPtr& app, const char* object, const char* code) {
    const AutoObjectPtr master = findBizObject(app, object);
    master->invoke("New");
    setField(findDataSet(master, "MainDataSet"), "CODE", code);
    master->invoke("Save");
    master->invoke("Close");
}

// A stock item with its unit row; isBase in the form given.
void addItem(const AutoObjectPtr& app, const char* code, const AutoValue& isBase) {
    const AutoObjectPtr item = findBizObject(app, "ST_ITEM");
    item->invoke("New");
    setField(findDataSet(item, "MainDataSet"), "CODE", code);
    const AutoObjectPtr units = findDataSet(item, "cdsUOM");
    units->invoke("Append");
    setField(units, "UOM", "UNIT");
    setField(units, "Rate", 1.0);
    setField(units, "IsBase", isBase);
    units->invoke("Post");
    item->invoke("Save");
    item->invoke("Close");
}

using HeaderSteps = std::function<void(const AutoObjectPtr& header)>;
using LineSteps = std::function<void(const AutoObjectPtr& detail)>;

// A line as the posting writes one: item, quantity, unit, price, account, tax.
LineSteps line(const char* item, double qty, double price, const char* tax = "SR") {
    return [=](const AutoObjectPtr& detail) {
        if (*item)
            setField(detail, "ItemCode", item);
        setField(detail, "Qty", qty);
        setField(detail, "UOM", "UNIT");
        setField(detail, "UnitPrice", price);
        setField(detail, "Account", "500-000");
        setField(detail, "TAX", tax);
    };
}

// A line written as `base` writes it, then one more field.
LineSteps plus(const LineSteps& base, const char* field, const AutoValue& value) {
    return [=](const AutoObjectPtr& detail) {
        base(detail);
        setField(detail, field, value);
    };
}

// A document of the business object with the header codes of Ledvora.ini's defaults, then
// `header`, and one line per entry of `lines`; saved and closed.
void postDocument(const AutoObjectPtr& app, const char* object, const char* docNo, const char* code,
                  const std::vector<LineSteps>& lines, const HeaderSteps& header = {}) {
    const AutoObjectPtr document = findBizObject(app, object);
    const AutoObjectPtr main = findDataSet(document, "MainDataSet");
    const AutoObjectPtr detail = findDataSet(document, "cdsDocDetail");
    document->invoke("New");
    setField(main, "DOCKEY", "-1");
    setField(main, "DOCNO", docNo);
    setField(main, "DOCDATE", "2024/03/05");
    setField(main, "CODE", code);
    setField(main, "AREA", "----");
    setField(main, "AGENT", "----");
    setField(main, "CURRENCYCODE", "----");
    setField(main, "TERMS", "C.O.D");
    if (header)
        header(main);
    for (const LineSteps& steps : lines) {
        detail->invoke("Append");
        steps(detail);
        detail->invoke("Post");
    }
    document->invoke("Save");
    document->invoke("Close");
}

void postCashSale(const AutoObjectPtr& app, const char* docNo, const char* code = "300-POS") {
    postDocument(app, "SL_CS", docNo, code, {line("P1", 2, 10.0)});
}

// The package's total of a saved document, as the posting reads it back.
double docAmt(const AutoObjectPtr& app, const char* object, const char* docNo) {
    const AutoObjectPtr document = findBizObject(app, object);
    const AutoValue key = document->invoke("FindKeyByRef", {"DOCNO", docNo});
    setParam(document, "DocKey", key.toText());
    document->invoke("Open");
    const double amount =
        fieldValue(findDataSet(document, "MainDataSet"), "DocAmt", "AsFloat").asFloat();
    document->invoke("Close");
    return amount;
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
    void packageTotals_data();
    void packageTotals();
    void knockOffListTakesThePackagesTypes();
    void reopenedDocumentKeepsItsLines();
    void purchaseNumbersAreHeldPerSupplier();
    void codeListsAnswerTheirObjects();
    void sessionIsCountedAndNamed();
    void olderDatabaseIsBroughtUpToDate();
    void failedSaveKeepsNothingOfTheDocument();
    void readsBeforeASaveCommitWithIt();
    void faultsFromTheEnvironment_data();
    void faultsFromTheEnvironment();

private:
    // Logged in, with the customer 300-POS, the suppliers V-1 and V-2 and the item P1.
    AutoObjectPtr loggedIn(const QString& build = kFrom860);

    std::unique_ptr<TestContext> context_;
    std::unique_ptr<StandinInstallation> package_;
};

void TestStandinPackage::init() {
    context_ = std::make_unique<TestContext>();
    package_ = std::make_unique<StandinInstallation>(*context_);
    AddPackageCodes(package_->database, {{"TAX", "ST", "Sales tax", 10, true}});
    UseStandinPackage().clearFaults();
}

void TestStandinPackage::cleanup() {
    UseStandinPackage().clearFaults();
    package_.reset();
    context_.reset();
}

AutoObjectPtr TestStandinPackage::loggedIn(const QString& build) {
    package_->setBuild(build);
    const AutoObjectPtr app = UseStandinPackage().createBizApp();
    app->invoke("Login", {"ADMIN", "ADMIN", text(package_->dcf), "ACC-0001.FDB"});
    addMaster(app, "AR_CUSTOMER", "300-POS");
    addMaster(app, "AP_SUPPLIER", "V-1");
    addMaster(app, "AP_SUPPLIER", "V-2");
    addItem(app, "P1", rightFlag(build, true, true));
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

// Each rule twice, under a build before 860 and one from 860 on: a case it refuses (the error)
// and one it takes (no error).
void TestStandinPackage::strict_data() {
    QTest::addColumn<QString>("build");
    QTest::addColumn<PackageSteps>("steps");
    QTest::addColumn<QString>("error"); // empty: taken

    QTest::newRow("business objects before login")
        << QString(kFrom860) << PackageSteps([](const AutoObjectPtr&) {
               findBizObject(UseStandinPackage().createBizApp(), "SL_CS");
           })
        << "Not logged in";
    QTest::newRow("unknown business object")
        << QString(kFrom860)
        << PackageSteps([](const AutoObjectPtr& app) { findBizObject(app, "SL_XX"); })
        << R"(Business object "SL_XX" not found)";
    QTest::newRow("dataset the object does not have")
        << QString(kFrom860) << PackageSteps([](const AutoObjectPtr& app) {
               findDataSet(findBizObject(app, "SL_IV"), "cdsKnockOff");
           })
        << R"(Dataset "cdsKnockOff" not found in SL_IV (datasets: MainDataSet, cdsDocDetail))";
    QTest::newRow("unknown field")
        << QString(kFrom860) << PackageSteps([](const AutoObjectPtr& app) {
               const AutoObjectPtr branch =
                   findDataSet(findBizObject(app, "AR_CUSTOMER"), "cdsBranch");
               member(branch, "FindField", {"ADDRESS4"});
           })
        << "Field \"ADDRESS4\" not found in AR_CUSTOMER.cdsBranch (fields: CODE, ADDRESS1, "
           "ADDRESS2, ADDRESS3, PHONE1, PHONE2, ATTENTION, FAX1, EMAIL, "
           "POSTCODE, CITY, STATE, COUNTRY)";
    QTest::newRow("field written before New")
        << QString(kFrom860) << PackageSteps([](const AutoObjectPtr& app) {
               setField(findDataSet(findBizObject(app, "SL_CS"), "MainDataSet"), "DOCNO", "X");
           })
        << "SL_CS.MainDataSet cannot be changed: call New, or Open and Edit, on SL_CS first";
    QTest::newRow("line field before Append")
        << QString(kFrom860) << PackageSteps([](const AutoObjectPtr& app) {
               const AutoObjectPtr sale = findBizObject(app, "SL_CS");
               sale->invoke("New");
               setField(findDataSet(sale, "cdsDocDetail"), "Qty", 1.0);
           })
        << "SL_CS.cdsDocDetail has no current row";
    QTest::newRow("customer the package does not hold")
        << QString(kFrom860)
        << PackageSteps([](const AutoObjectPtr& app) { postCashSale(app, "CS-1", "NOBODY"); })
        << R"(SL_CS: customer code "NOBODY" does not exist)";
    QTest::newRow("a customer is no supplier")
        << QString(kFrom860) << PackageSteps([](const AutoObjectPtr& app) {
               postDocument(app, "PH_PI", "PI-1", "300-POS", {});
           })
        << R"(PH_PI: supplier code "300-POS" does not exist)";
    QTest::newRow("duplicate document number")
        << QString(kFrom860) << PackageSteps([](const AutoObjectPtr& app) {
               postCashSale(app, "CS-1");
               postCashSale(app, "CS-1");
           })
        << R"(SL_CS: document number "CS-1" already exists)";
    QTest::newRow("duplicate master code")
        << QString(kFrom860)
        << PackageSteps([](const AutoObjectPtr& app) { addMaster(app, "AR_CUSTOMER", "300-POS"); })
        << R"(AR_CUSTOMER: code "300-POS" already exists)";
    QTest::newRow("key parameter of another object")
        << QString(kFrom860) << PackageSteps([](const AutoObjectPtr& app) {
               setParam(findBizObject(app, "AR_CUSTOMER"), "DocKey", "1");
           })
        << R"(Parameter "DocKey" not found in AR_CUSTOMER (parameters: CODE))";
    QTest::newRow("Open of a key not held")
        << QString(kFrom860) << PackageSteps([](const AutoObjectPtr& app) {
               const AutoObjectPtr payment = findBizObject(app, "AR_PM");
               setParam(payment, "DocKey", "999");
               payment->invoke("Open");
           })
        << R"(AR_PM: record "999" not found)";

    for (const QString build : {QString(kBefore860), QString(kFrom860)}) {
        const auto row = [&build](const char* name) -> QTestData& {
            return QTest::newRow(qPrintable(build + ": " + name)) << build;
        };
        const QString on = QStringLiteral(" on build ") + build;

        row("Qty a float") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS", {line("P1", 2.5, 10.0)});
        }) << "";
        row("Qty as text") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS",
                         {[](const AutoObjectPtr& detail) { setField(detail, "Qty", "2"); }});
        }) << R"(Field Qty of SL_CS.cdsDocDetail takes a number, not "2")";
        row("amount as text") << PackageSteps([](const AutoObjectPtr& app) {
            const AutoObjectPtr sale = findBizObject(app, "SL_CS");
            sale->invoke("New");
            setField(findDataSet(sale, "MainDataSet"), "P_AMOUNT", "12.50");
        }) << R"(Field P_AMOUNT of SL_CS.MainDataSet takes a number, not "12.50")";

        row("TaxInclusive in the build's form") << PackageSteps([build](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS",
                         {plus(line("P1", 1, 10.6), "TAXINCLUSIVE", rightFlag(build, true, true))});
        }) << "";
        row("TaxInclusive in the other build's form")
            << PackageSteps([build](const AutoObjectPtr& app) {
                   postDocument(app, "SL_CS", "CS-1", "300-POS",
                                {[build](const AutoObjectPtr& detail) {
                                    setField(detail, "TAXINCLUSIVE", wrongFlag(build, true, true));
                                }});
               })
            << (booleans(build)
                    ? "Field TAXINCLUSIVE of SL_CS.cdsDocDetail takes True or False" + on +
                          ", not 1"
                    : "Field TAXINCLUSIVE of SL_CS.cdsDocDetail takes 1 or 0" + on + ", not true");
        row("TaxInclusive as text")
            << PackageSteps([](const AutoObjectPtr& app) {
                   postDocument(app, "SL_CS", "CS-1", "300-POS", {[](const AutoObjectPtr& detail) {
                                    setField(detail, "TAXINCLUSIVE", "1");
                                }});
               })
            << (booleans(build)
                    ? "Field TAXINCLUSIVE of SL_CS.cdsDocDetail takes True or False" + on +
                          ", not \"1\""
                    : "Field TAXINCLUSIVE of SL_CS.cdsDocDetail takes 1 or 0" + on + ", not \"1\"");

        const auto knockOff = [build](bool right) {
            return PackageSteps([build, right](const AutoObjectPtr& app) {
                postDocument(app, "SL_IV", "IV-1", "300-POS", {line("P1", 1, 100.0)});
                const AutoObjectPtr payment = findBizObject(app, "AR_PM");
                payment->invoke("New");
                const AutoObjectPtr header = findDataSet(payment, "MainDataSet");
                setField(header, "DOCNO", "OR-1");
                setField(header, "CODE", "300-POS");
                setField(header, "PAYMENTMETHOD", "320-000");
                setField(header, "DOCAMT", 50.0);
                const AutoObjectPtr list = findDataSet(payment, "cdsKnockOff");
                list->invoke("Locate",
                             {"DocType;DocNo", AutoValue::fromArray({"IV", "IV-1"}), false, false});
                list->invoke("Edit");
                setField(list, "KOAmt", 50.0);
                setField(list, "KNOCKOFF",
                         right ? rightFlag(build, false, true) : wrongFlag(build, false, true));
                list->invoke("Post");
                payment->invoke("Save");
            });
        };
        row("KnockOff in the build's form") << knockOff(true) << "";
        row("KnockOff in the other build's form")
            << knockOff(false)
            << (booleans(build)
                    ? "Field KNOCKOFF of AR_PM.cdsKnockOff takes True or False" + on + ", not \"T\""
                    : "Field KNOCKOFF of AR_PM.cdsKnockOff takes \"T\" or \"F\"" + on +
                          ", not true");
        row("IsBase in the build's form") << PackageSteps([build](const AutoObjectPtr& app) {
            addItem(app, "P5", rightFlag(build, true, true));
        }) << "";
        row("IsBase in the other build's form")
            << PackageSteps([build](const AutoObjectPtr& app) {
                   addItem(app, "P5", wrongFlag(build, true, true));
               })
            << (booleans(build)
                    ? "Field IsBase of ST_ITEM.cdsUOM takes True or False" + on + ", not 1"
                    : "Field IsBase of ST_ITEM.cdsUOM takes 1 or 0" + on + ", not true");
        row("stock item without a unit") << PackageSteps([](const AutoObjectPtr& app) {
            const AutoObjectPtr item = findBizObject(app, "ST_ITEM");
            item->invoke("New");
            setField(findDataSet(item, "MainDataSet"), "CODE", "P5");
            item->invoke("Save");
        }) << R"(ST_ITEM: stock item "P5" has no unit of measure (cdsUOM))";

        row("discount as text") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS",
                         {plus(line("P1", 2, 10.0), "DISC", "5%+3")});
        }) << "";
        row("discount as a number") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS",
                         {[](const AutoObjectPtr& detail) { setField(detail, "DISC", 1.5); }});
        }) << R"(Field DISC of SL_CS.cdsDocDetail takes text such as "5%+3", not 1.5)";

        // The package's own lists: each code a document names must be in its list.
        const auto header = [](const char* field, const char* code) {
            return PackageSteps([=](const AutoObjectPtr& app) {
                postDocument(app, "SL_CS", "CS-1", "300-POS", {line("P1", 1, 10.0)},
                             [=](const AutoObjectPtr& main) { setField(main, field, code); });
            });
        };
        row("codes of the package") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS", {line("P1", 1, 10.0, "ZR")},
                         [](const AutoObjectPtr& main) {
                             setField(main, "P_PAYMENTMETHOD", "320-000");
                             setField(main, "P_PAYMENTPROJECT", "----");
                         });
        }) << "";
        row("terms not held") << header("TERMS", "30 DAYS")
                              << R"(SL_CS: terms "30 DAYS" not found)";
        row("area not held") << header("AREA", "NORTH") << R"(SL_CS: area "NORTH" not found)";
        row("agent not held") << header("AGENT", "ALI") << R"(SL_CS: agent "ALI" not found)";
        row("currency not held") << header("CURRENCYCODE", "USD")
                                 << R"(SL_CS: currency "USD" not found)";
        row("project not held") << header("P_PAYMENTPROJECT", "P1")
                                << R"(SL_CS: project "P1" not found)";
        row("payment method not held") << header("P_PAYMENTMETHOD", "330-000")
                                       << R"(SL_CS: payment method "330-000" not found)";
        row("tax code not held") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS",
                         {line("P1", 1, 10.0), line("P1", 1, 10.0, "SV")});
        }) << R"(SL_CS: tax code "SV" not found (line 2))";
        row("account not held") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS",
                         {plus(line("P1", 1, 10.0), "Account", "599-000")});
        }) << R"(SL_CS: GL account "599-000" not found (line 1))";
        row("item not held") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS", {line("P9", 1, 10.0)});
        }) << R"(SL_CS: item code "P9" not found (line 1))";

        // ST needs a tariff code on every line of a customer invoice, and elsewhere on lines
        // without an item code.
        row("tariff code given") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_IV", "IV-1", "300-POS",
                         {plus(line("P1", 1, 10.0, "ST"), "TARIFF", "9801.00.00")});
            postDocument(app, "SL_CS", "CS-1", "300-POS", {line("P1", 1, 10.0, "ST")});
        }) << "";
        row("tariff code missing on an invoice") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_IV", "IV-1", "300-POS", {line("P1", 1, 10.0, "ST")});
        }) << R"(SL_IV: tax code "ST" needs a tariff code (TARIFF) (line 1))";
        row("tariff code missing on a line without item")
            << PackageSteps([](const AutoObjectPtr& app) {
                   postDocument(app, "SL_CS", "CS-1", "300-POS",
                                {line("P1", 1, 10.0, "ST"), line("", 1, 0.05, "ST")});
               })
            << R"(SL_CS: tax code "ST" needs a tariff code (TARIFF) (line 2))";

        row("negative line, document above 0") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS",
                         {line("P1", 1, 10.0, ""), line("", 1, -10.0, "")});
        }) << "";
        row("document below 0") << PackageSteps([](const AutoObjectPtr& app) {
            postDocument(app, "SL_CS", "CS-1", "300-POS",
                         {line("P1", 1, 10.0, ""), line("", 1, -10.01, "")});
        }) << "SL_CS: the document amount (DocAmt) -0.01 is below 0";
    }
}

void TestStandinPackage::strict() {
    QFETCH(QString, build);
    QFETCH(PackageSteps, steps);
    QFETCH(QString, error);
    const AutoObjectPtr app = loggedIn(build);
    QCOMPARE(errorOf([&] { steps(app); }), error.isEmpty() ? QStringLiteral("(no error)") : error);
}

// DocAmt once saved is the package's own total of the lines: the amount before tax (given, or
// quantity times price less the discount, less the tax a tax-inclusive price holds) and the tax
// (given, or worked out at the tax code's rate). A tax given on a tax-inclusive line stays only
// when the line is switched to tax-inclusive with the controls disabled.
void TestStandinPackage::packageTotals_data() {
    QTest::addColumn<LineSteps>("lines");
    QTest::addColumn<double>("total");

    QTest::newRow("tax given") << plus(line("P1", 3, 10.0), "TAXAMT", 1.75) << 31.75;
    QTest::newRow("tax at the rate") << line("P1", 2.5, 10.0) << 26.5;
    QTest::newRow("discount in parts") << plus(line("P1", 10, 10.0, "ZR"), "DISC", "5%+3") << 92.0;
    QTest::newRow("tax-inclusive price, tax at the rate")
        << plus(line("P1", 1, 10.6), "TAXINCLUSIVE", true) << 10.6;
    QTest::newRow("given tax, switched as documented")
        << LineSteps([](const AutoObjectPtr& detail) {
               line("P1", 4, 5.3)(detail);
               setField(detail, "TAXINCLUSIVE", false);
               setField(detail, "AMOUNT", 20.0);
               setField(detail, "TAXAMT", 1.3);
               detail->invoke("DisableControls");
               setField(detail, "TAXINCLUSIVE", true);
               detail->invoke("EnableControls");
           })
        << 21.3;
    QTest::newRow("given tax, switched with the controls enabled")
        << LineSteps([](const AutoObjectPtr& detail) {
               line("P1", 4, 5.3)(detail);
               setField(detail, "AMOUNT", 20.0);
               setField(detail, "TAXAMT", 1.3);
               setField(detail, "TAXINCLUSIVE", true);
           })
        << 21.2;
    QTest::newRow("amount given, no tax") << LineSteps([](const AutoObjectPtr& detail) {
        setField(detail, "Account", "500-000");
        setField(detail, "TAX", "");
        setField(detail, "AMOUNT", 45.45);
    }) << 45.45;
}

void TestStandinPackage::packageTotals() {
    QFETCH(LineSteps, lines);
    QFETCH(double, total);
    const AutoObjectPtr app = loggedIn();
    postDocument(app, "SL_IV", "IV-1", "300-POS", {lines});
    QCOMPARE(docAmt(app, "SL_IV", "IV-1"), total);
}

// The knock-off list names invoices "IV" and debit notes "DN": a type written another way finds
// nothing.
void TestStandinPackage::knockOffListTakesThePackagesTypes() {
    const AutoObjectPtr app = loggedIn();
    postDocument(app, "AR_DN", "DN-1", "300-POS", {line("", 1, 10.0, "ZR")});
    const AutoObjectPtr payment = findBizObject(app, "AR_PM");
    payment->invoke("New");
    setField(findDataSet(payment, "MainDataSet"), "CODE", "300-POS");
    const AutoObjectPtr list = findDataSet(payment, "cdsKnockOff");
    const auto locate = [&list](const char* type) {
        return list
            ->invoke("Locate",
                     {"DocType;DocNo", AutoValue::fromArray({type, "DN-1"}), false, false})
            .asBool();
    };
    QVERIFY(!locate("DN/"));
    QVERIFY(locate("DN"));
}

// A document found by its number and opened reads its lines when they are looked at, and a save
// of it keeps them.
void TestStandinPackage::reopenedDocumentKeepsItsLines() {
    const AutoObjectPtr app = loggedIn();
    postDocument(app, "SL_IV", "IV-1", "300-POS", {line("P1", 1, 10.0), line("P1", 2, 5.0, "ZR")});
    const auto reopen = [&app] {
        const AutoObjectPtr invoice = findBizObject(app, "SL_IV");
        setParam(invoice, "DocKey", invoice->invoke("FindKeyByRef", {"DOCNO", "IV-1"}).toText());
        invoice->invoke("Open");
        return invoice;
    };
    AutoObjectPtr invoice = reopen();
    invoice->invoke("Edit");
    setField(findDataSet(invoice, "MainDataSet"), "DESCRIPTION", "Changed");
    invoice->invoke("Save");
    invoice->invoke("Close");
    invoice = reopen();
    QCOMPARE(findDataSet(invoice, "cdsDocDetail")->invoke("RecordCount"), AutoValue(2));
    QCOMPARE(fieldValue(findDataSet(invoice, "MainDataSet"), "DocAmt", "AsFloat"), AutoValue(20.6));
    invoice->invoke("Close");
}

// Purchase invoices and returns are unique by number and supplier together: one number may be
// held for two suppliers, and is then found by "DocNo;Code".
void TestStandinPackage::purchaseNumbersAreHeldPerSupplier() {
    const AutoObjectPtr app = loggedIn();
    postDocument(app, "PH_PI", "S001-100", "V-1", {line("P1", 1, 10.0, "TX")});
    const AutoObjectPtr invoices = findBizObject(app, "PH_PI");
    const auto byNumber = [&invoices](const char* supplier) {
        return invoices->invoke("FindKeyByRef",
                                {"DocNo;Code", AutoValue::fromArray({"S001-100", supplier})});
    };
    QVERIFY(byNumber("V-2").isNull());
    QVERIFY(!invoices->invoke("FindKeyByRef", {"DOCNO", "S001-100"}).isNull());

    postDocument(app, "PH_PI", "S001-100", "V-2", {line("P1", 2, 10.0, "TX")});
    QVERIFY(!byNumber("V-1").isNull());
    QVERIFY(!byNumber("V-2").isNull());
    QVERIFY(byNumber("V-1") != byNumber("V-2"));
    QCOMPARE(errorOf([&] {
                 invoices->invoke("FindKeyByRef", {"DOCNO", "S001-100"});
             }),
             QStringLiteral("PH_PI: document number \"S001-100\" is held for several suppliers: "
                            "find it by \"DocNo;Code\""));
    QCOMPARE(errorOf([&] {
                 postDocument(app, "PH_PI", "S001-100", "V-2", {line("P1", 1, 10.0, "TX")});
             }),
             QStringLiteral("PH_PI: document number \"S001-100\" already exists"));
    // Other kinds stay unique by number.
    postCashSale(app, "CS-1");
    QCOMPARE(errorOf([&] { postCashSale(app, "CS-1"); }),
             QStringLiteral("SL_CS: document number \"CS-1\" already exists"));
}

// Every code list the link names is a business object of the package that finds a code it holds
// and none it does not, and whose records can be opened and read.
void TestStandinPackage::codeListsAnswerTheirObjects() {
    const AutoObjectPtr app = loggedIn();
    DbConnection probe("CodeListProbe", package_->database);
    const QList<PackageCode> held = ListPackageCodes(probe);
    for (const PackageCodeListInfo& info : PackageCodeLists()) {
        const AutoObjectPtr list = findBizObject(app, info.bizObject);
        QString code;
        for (const PackageCode& entry : held)
            if (entry.list == QLatin1String(info.bizObject) && code.isEmpty())
                code = entry.code;
        QVERIFY2(!code.isEmpty(), info.bizObject);
        QCOMPARE(list->invoke("FindKeyByRef", {"CODE", text(code)}), AutoValue(text(code)));
        QVERIFY2(list->invoke("FindKeyByRef", {"CODE", "NONE-SUCH"}).isNull(), info.bizObject);
    }
    const AutoObjectPtr taxes =
        findBizObject(app, CodeListInfo(PackageCodeList::TaxCode).bizObject);
    setParam(taxes, "CODE", "ST");
    taxes->invoke("Open");
    const AutoObjectPtr tax = findDataSet(taxes, "MainDataSet");
    QCOMPARE(fieldValue(tax, "RATE", "AsFloat"), AutoValue(10.0));
    QCOMPARE(fieldValue(tax, "TARIFFREQUIRED"), AutoValue("T"));
    taxes->invoke("Close");
}

// The package says which build it is and whose books it has open, and counts what a session did.
void TestStandinPackage::sessionIsCountedAndNamed() {
    SetPackageDcfValue(package_->dcf, "COMPANY_NAME", "Zantro Trading Sdn Bhd");
    StandinPackage& package = UseStandinPackage();
    const int logins = package.logins();
    const int open = package.openBusinessObjects();
    const AutoObjectPtr app = loggedIn(kBefore860);
    QCOMPARE(package.logins(), logins + 1);
    QCOMPARE(app->invoke("BuildNo"), AutoValue(kBefore860));
    const AutoObjectPtr profile = member(member(app, "RptObjects"), "Find", {"Common.Agent.RO"});
    profile->invoke("CalculateReport");
    QCOMPARE(fieldValue(findDataSet(profile, "cdsProfile"), "CompanyName", "AsString"),
             AutoValue("Zantro Trading Sdn Bhd"));

    postCashSale(app, "CS-1"); // closed
    QCOMPARE(package.openBusinessObjects(), open);
    const AutoObjectPtr sale = findBizObject(app, "SL_CS");
    sale->invoke("New");
    QCOMPARE(package.openBusinessObjects(), open + 1);
    sale->invoke("New"); // the same object, still one record
    QCOMPARE(package.openBusinessObjects(), open + 1);
    sale->invoke("Close");
    QCOMPARE(package.openBusinessObjects(), open);
    QCOMPARE(package.logouts(), 0);
}

// A package database of an earlier stand-in (no code lists, no units, documents unique by number
// alone) is brought up to the present one at the first login, keeping what it holds.
void TestStandinPackage::olderDatabaseIsBroughtUpToDate() {
    // Packages of their own, so that no connection of this process holds the tables the older
    // database lacks while they are dropped.
    const auto login = [this](StandinPackage& package) {
        const AutoObjectPtr app = package.createBizApp();
        app->invoke("Login", {"ADMIN", "ADMIN", text(package_->dcf), "ACC-0001.FDB"});
        return app;
    };
    {
        StandinPackage earlier;
        const AutoObjectPtr app = login(earlier);
        addMaster(app, "AP_SUPPLIER", "V-1");
        addMaster(app, "AP_SUPPLIER", "V-2");
        addItem(app, "P1", true);
        postDocument(app, "PH_PI", "S001-100", "V-1", {line("P1", 1, 10.0, "TX")});
    }
    {
        DbConnection db("OlderPackage", package_->database);
        for (const char* statement :
             {"DROP TABLE SA_CODE", "DROP TABLE SA_ITEM_UOM",
              "ALTER TABLE SA_DOCUMENT DROP CONSTRAINT UQ_SA_DOCUMENT_NUMBER",
              "ALTER TABLE SA_DOCUMENT DROP DOCPARTY", "ALTER TABLE SA_DOCUMENT_DETAIL DROP TARIFF",
              "ALTER TABLE SA_DOCUMENT ADD CONSTRAINT UQ_SA_DOCUMENT_DOCNO UNIQUE (BIZOBJECT, "
              "DOCNO)"})
            db.execute(statement);
    }
    StandinPackage later;
    const AutoObjectPtr app = login(later);
    AddPackageCodes(package_->database, {{"TAX", "TX", "Purchase tax", 6, false},
                                         {"GL_ACC", "500-000", "Sales", 0, false},
                                         {"TERMS", "C.O.D", "Cash", 0, false}});
    // One number for a second supplier, an item that had no unit, the "none" codes.
    postDocument(app, "PH_PI", "S001-100", "V-2", {line("P1", 1, 10.0, "TX")});
    const QJsonObject dump = DumpPackage(package_->database);
    QCOMPARE(dump["documents"].toArray().size(), 2);
    QCOMPARE(dump["masters"][2]["CODE"].toString(), QStringLiteral("P1"));
    QCOMPARE(dump["masters"][2]["units"].toArray().size(), 1);
}

void TestStandinPackage::readsBeforeASaveCommitWithIt() {
    const AutoObjectPtr app = loggedIn();
    // The engine numbers every transaction it starts on the database; each probe takes one.
    DbConnection probe(QStringLiteral("Probe"), package_->database);
    const auto started = [&probe] {
        return SelectValue(probe, "SELECT CURRENT_TRANSACTION FROM RDB$DATABASE").toLongLong();
    };
    const qlonglong before = started();
    // What a posting does: is the number taken? Then the document, whose Save checks the number,
    // the customer, the codes and the items again and writes its rows.
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
                 addItem(app, "P1", true);
                 postCashSale(app, "CS-1");
                 postCashSale(app, "CS-2");
             }),
             error);
}

QTEST_GUILESS_MAIN(TestStandinPackage)
#include "test_standin_package.moc"
