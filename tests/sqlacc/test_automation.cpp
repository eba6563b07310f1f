#include "sqlacc/automation.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/call_recorder.h"

#include <QObject>
#include <QStringList>
#include <QTest>

#include <climits>
#include <functional>
#include <map>

Q_DECLARE_METATYPE(AutoValue)

namespace {

QStringList linesOf(const CallLog& log) {
    QStringList lines;
    for (const std::string& line : log.lines())
        lines << QString::fromStdString(line);
    return lines;
}

// A short run in the package's call order: login, a new cash sale with one line, a lookup by
// reference, an existing record opened by key, and a knock-off search.
AutoValue runPosting(const AutoObjectPtr& app) {
    if (!app->invoke("IsLogin").asBool())
        app->invoke("Login", {"ADMIN", "ADMIN", "x.dcf", "ACC-0001.FDB"});
    const AutoObjectPtr document = findBizObject(app, "SL_CS");
    const AutoObjectPtr header = findDataSet(document, "MainDataSet");
    const AutoObjectPtr detail = findDataSet(document, "cdsDocDetail");
    document->invoke("New");
    setField(header, "DOCKEY", "-1");
    setField(header, "DOCDATE", "2024/03/05");
    detail->invoke("Append");
    setField(detail, "Qty", 3);
    setField(detail, "UnitPrice", 12.5);
    setField(detail, "DISC", 3.0);
    detail->invoke("Post");
    document->invoke("Save");
    const AutoValue key = document->invoke("FindKeyByRef", {"DOCNO", "X1"});
    setParam(document, "DocKey", "12");
    document->invoke("Open");
    const AutoObjectPtr knockOff = findDataSet(document, "cdsKnockOff");
    knockOff->invoke("Locate", {"DocType;DocNo", AutoValue::fromArray({"IV", "X1"}), false, false});
    return key;
}

const QStringList postingLog = {
    R"(BizApp.IsLogin)",
    R"(BizApp.Login("ADMIN","ADMIN","x.dcf","ACC-0001.FDB"))",
    R"(BizObjects.Find("SL_CS"))",
    R"(SL_CS.DataSets.Find("MainDataSet"))",
    R"(SL_CS.DataSets.Find("cdsDocDetail"))",
    R"(SL_CS.New)",
    R"(SL_CS.MainDataSet.DOCKEY := "-1")",
    R"(SL_CS.MainDataSet.DOCDATE := "2024/03/05")",
    R"(SL_CS.cdsDocDetail.Append)",
    R"(SL_CS.cdsDocDetail.Qty := 3)",
    R"(SL_CS.cdsDocDetail.UnitPrice := 12.5)",
    R"(SL_CS.cdsDocDetail.DISC := 3.0)",
    R"(SL_CS.cdsDocDetail.Post)",
    R"(SL_CS.Save)",
    R"(SL_CS.FindKeyByRef("DOCNO","X1"))",
    R"(SL_CS.Params.DocKey := "12")",
    R"(SL_CS.Open)",
    R"(SL_CS.DataSets.Find("cdsKnockOff"))",
    R"(SL_CS.cdsKnockOff.Locate("DocType;DocNo",["IV","X1"],false,false))",
};

// Runs call and returns the text of the AutomationError it throws, or a note that it did not.
QString errorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const AutomationError& error) {
        return QString::fromStdString(error.what());
    }
    return QStringLiteral("(no error)");
}

} // namespace

class TestAutomation : public QObject {
    Q_OBJECT

private slots:
    void describe_data();
    void describe();
    void accessors_data();
    void accessors();
    void valuesCompareByTypeAndValue();
    void recorderLogsTheCallOrder();
    void memberNamesMatchInAnyCase();
    void scriptedAnswers();
    void faultOnTheNthSave();
    void failedNavigationIsLoggedInFull();
    void nullPackageStoresNothingButAnswers();
    void recordingObjectForwardsAndLogsLikeThePackage();
    void helpersRefuseWhatIsNoObject();
    void bizAppComesFromTheFactory();
};

void TestAutomation::describe_data() {
    QTest::addColumn<AutoValue>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("empty") << AutoValue() << "Empty";
    QTest::newRow("null") << AutoValue::null() << "Null";
    QTest::newRow("text") << AutoValue("-1") << R"("-1")";
    // A string literal must not take the pointer-to-bool conversion.
    QTest::newRow("literal stays text") << AutoValue("T") << R"("T")";
    QTest::newRow("std::string") << AutoValue(std::string("X1")) << R"("X1")";
    QTest::newRow("text escapes") << AutoValue("a\"b\\c\nd\te\x01") << R"("a\"b\\c\nd\te\u0001")";
    QTest::newRow("utf-8 text") << AutoValue("Café – 東京") << "\"Café – 東京\"";
    QTest::newRow("int") << AutoValue(3) << "3";
    QTest::newRow("int minimum") << AutoValue::fromInt(INT32_MIN) << "-2147483648";
    QTest::newRow("float") << AutoValue(12.5) << "12.5";
    QTest::newRow("whole float keeps its point") << AutoValue(3.0) << "3.0";
    QTest::newRow("negative zero") << AutoValue(-0.0) << "-0.0";
    QTest::newRow("shortest round trip") << AutoValue(0.1) << "0.1";
    QTest::newRow("inexact sum") << AutoValue(0.1 + 0.2) << "0.30000000000000004";
    QTest::newRow("large float") << AutoValue(1e21) << "1e+21";
    QTest::newRow("true") << AutoValue(true) << "true";
    QTest::newRow("false") << AutoValue::fromBool(false) << "false";
    QTest::newRow("array") << AutoValue::fromArray({"IV", "X1"}) << R"(["IV","X1"])";
    QTest::newRow("nested array") << AutoValue::fromArray({1, 2.5, AutoValue::fromArray({}), ""})
                                  << R"([1,2.5,[],""])";
    QTest::newRow("object") << AutoValue::fromObject(std::make_shared<RecordingPackage>())
                            << "Object";
}

void TestAutomation::describe() {
    QFETCH(AutoValue, value);
    QFETCH(QString, expected);
    QCOMPARE(QString::fromStdString(value.describe()), expected);
}

void TestAutomation::accessors_data() {
    QTest::addColumn<AutoValue>("value");
    QTest::addColumn<QString>("accessor");
    // The result described, or "throws" for an AutomationError.
    QTest::addColumn<QString>("expected");

    const AutoValue object = AutoValue::fromObject(std::make_shared<RecordingPackage>());
    const AutoValue noObject = AutoValue::fromObject(nullptr);

    QTest::newRow("text as text") << AutoValue("X1") << "asText"
                                  << R"("X1")";
    QTest::newRow("int as text") << AutoValue(12) << "asText"
                                 << "throws";
    QTest::newRow("int as float") << AutoValue(3) << "asFloat"
                                  << "3.0";
    QTest::newRow("text as float") << AutoValue("3") << "asFloat"
                                   << "throws";
    QTest::newRow("float as int") << AutoValue(3.0) << "asInt"
                                  << "throws";
    QTest::newRow("int as bool") << AutoValue(-1) << "asBool"
                                 << "true";
    QTest::newRow("zero as bool") << AutoValue(0) << "asBool"
                                  << "false";
    QTest::newRow("text as bool") << AutoValue("True") << "asBool"
                                  << "throws";
    QTest::newRow("text as array") << AutoValue("IV") << "asArray"
                                   << "throws";
    QTest::newRow("null as object") << AutoValue::null() << "asObject"
                                    << "throws";
    QTest::newRow("object holding nothing") << noObject << "asObject"
                                            << "throws";
    QTest::newRow("object as object") << object << "asObject"
                                      << "Object";

    // A record key goes back to the package as text.
    QTest::newRow("key text") << AutoValue("12") << "toText"
                              << R"("12")";
    QTest::newRow("key int") << AutoValue(12) << "toText"
                             << R"("12")";
    QTest::newRow("key whole float") << AutoValue(12.0) << "toText"
                                     << R"("12")";
    QTest::newRow("key fraction") << AutoValue(0.1) << "toText"
                                  << R"("0.1")";
    QTest::newRow("bool as text") << AutoValue(true) << "toText"
                                  << R"("True")";
    QTest::newRow("empty as text") << AutoValue() << "toText"
                                   << R"("")";
    QTest::newRow("null as text") << AutoValue::null() << "toText"
                                  << "throws";
    QTest::newRow("array as text") << AutoValue::fromArray({"IV"}) << "toText"
                                   << "throws";
    QTest::newRow("object as text") << object << "toText"
                                    << "throws";
}

void TestAutomation::accessors() {
    QFETCH(AutoValue, value);
    QFETCH(QString, accessor);
    QFETCH(QString, expected);

    const std::map<QString, std::function<AutoValue(const AutoValue&)>> accessors = {
        {"asText", [](const AutoValue& v) { return AutoValue(v.asText()); }},
        {"asFloat", [](const AutoValue& v) { return AutoValue(v.asFloat()); }},
        {"asInt", [](const AutoValue& v) { return AutoValue(v.asInt()); }},
        {"asBool", [](const AutoValue& v) { return AutoValue(v.asBool()); }},
        {"asArray", [](const AutoValue& v) { return AutoValue::fromArray(v.asArray()); }},
        {"asObject", [](const AutoValue& v) { return AutoValue::fromObject(v.asObject()); }},
        {"toText", [](const AutoValue& v) { return AutoValue(v.toText()); }},
    };
    QString actual;
    try {
        actual = QString::fromStdString(accessors.at(accessor)(value).describe());
    } catch (const AutomationError&) {
        actual = "throws";
    }
    QCOMPARE(actual, expected);
}

void TestAutomation::valuesCompareByTypeAndValue() {
    const auto package = std::make_shared<RecordingPackage>();
    QVERIFY(AutoValue(3) == AutoValue::fromInt(3));
    QVERIFY(!(AutoValue(3) == AutoValue(3.0)));
    QVERIFY(!(AutoValue("3") == AutoValue(3)));
    QVERIFY(AutoValue::null() == AutoValue::null());
    QVERIFY(!(AutoValue::null() == AutoValue()));
    QVERIFY(AutoValue::fromArray({"IV", 1}) == AutoValue::fromArray({"IV", 1}));
    QVERIFY(!(AutoValue::fromArray({"IV", 1}) == AutoValue::fromArray({"IV", 1.0})));
    QVERIFY(AutoValue::fromObject(package) == AutoValue::fromObject(package));
    QVERIFY(!(AutoValue::fromObject(package) ==
              AutoValue::fromObject(std::make_shared<RecordingPackage>())));
}

void TestAutomation::recorderLogsTheCallOrder() {
    const auto package = std::make_shared<RecordingPackage>();
    runPosting(package);
    QCOMPARE(linesOf(package->log()), postingLog);
    QCOMPARE(QString::fromStdString(package->log().text()), postingLog.join('\n'));
}

void TestAutomation::memberNamesMatchInAnyCase() {
    const auto package = std::make_shared<RecordingPackage>();
    package->setIsLogin(true);
    package->setKey("sl_cs", "X1", "12");
    package->failCall("SAVE", 1, "refused");

    QVERIFY(package->invoke("ISLOGIN").asBool());
    const AutoObjectPtr document = member(member(package, "bizobjects"), "FIND", {"SL_CS"});
    QCOMPARE(document->invoke("findKeyByRef", {"DOCNO", "X1"}), AutoValue("12"));
    const AutoObjectPtr header = member(member(document, "datasets"), "find", {"MainDataSet"});
    member(header, "FINDFIELD", {"Qty"})->put("VALUE", 3);
    member(member(document, "PARAMS"), "FIND", {"DocKey"})->put("value", "12");
    QCOMPARE(errorOf([&] { document->invoke("save"); }), QString("refused"));

    const QStringList expected = {
        R"(BizApp.ISLOGIN)",
        R"(bizobjects.FIND("SL_CS"))",
        R"(SL_CS.findKeyByRef("DOCNO","X1"))",
        R"(SL_CS.datasets.find("MainDataSet"))",
        R"(SL_CS.MainDataSet.Qty := 3)",
        R"(SL_CS.PARAMS.DocKey := "12")",
        R"(SL_CS.save)",
    };
    QCOMPARE(linesOf(package->log()), expected);
}

void TestAutomation::scriptedAnswers() {
    const auto shared = std::make_shared<RecordingPackage>();
    RecordingPackage& package = *shared;
    const auto keyOf = [&](const std::string& bizObject, const std::string& ref) {
        return findBizObject(shared, bizObject)->invoke("FindKeyByRef", {"DOCNO", ref});
    };
    const auto locate = [&](const std::vector<AutoValue>& values) {
        const AutoObjectPtr knockOff = findDataSet(findBizObject(shared, "AR_PM"), "cdsKnockOff");
        return knockOff->invoke("Locate",
                                {"DocType;DocNo", AutoValue::fromArray(values), false, false});
    };

    QCOMPARE(package.invoke("IsLogin"), AutoValue(false));
    QCOMPARE(keyOf("AR_PM", "X1"), AutoValue::null());
    QCOMPARE(locate({"IV", "X1"}), AutoValue(false));

    package.setIsLogin(true);
    package.setKey("AR_PM", "X1", 12);
    package.setLocateResult({"IV", "X1"}, true);

    QCOMPARE(package.invoke("IsLogin"), AutoValue(true));
    QCOMPARE(keyOf("AR_PM", "X1"), AutoValue(12));
    QCOMPARE(keyOf("AR_CN", "X1"), AutoValue::null()); // keys belong to one business object
    QCOMPARE(keyOf("AR_PM", "x1"), AutoValue::null()); // references compare exactly
    QCOMPARE(locate({"IV", "X1"}), AutoValue(true));
    QCOMPARE(locate({"CN", "X1"}), AutoValue(false));
    QCOMPARE(locate({"X1", "IV"}), AutoValue(false));

    package.setKey("AR_PM", "X1", "13");
    package.setLocateResult({"IV", "X1"}, false);
    QCOMPARE(keyOf("AR_PM", "X1"), AutoValue("13"));
    QCOMPARE(locate({"IV", "X1"}), AutoValue(false));
}

void TestAutomation::faultOnTheNthSave() {
    const auto package = std::make_shared<RecordingPackage>();
    package->failCall("Save", 3, "Document number X3 already exists");
    const AutoObjectPtr document = findBizObject(package, "SL_IV");

    QStringList errors;
    for (int i = 1; i <= 4; ++i) {
        document->invoke("New");
        errors << errorOf([&] { document->invoke("Save"); });
    }
    QCOMPARE(errors, QStringList({"(no error)", "(no error)", "Document number X3 already exists",
                                  "(no error)"}));
    // The failing call is logged, and nothing is skipped around it.
    QCOMPARE(linesOf(package->log()).count("SL_IV.Save"), 4);
}

void TestAutomation::failedNavigationIsLoggedInFull() {
    const auto package = std::make_shared<RecordingPackage>();
    package->failCall("FindField", 2, "Field 'NOPE' not found");
    const AutoObjectPtr header = findDataSet(findBizObject(package, "ST_ITEM"), "MainDataSet");

    setField(header, "CODE", "A1");
    QCOMPARE(errorOf([&] { setField(header, "NOPE", "x"); }), QString("Field 'NOPE' not found"));
    QCOMPARE(linesOf(package->log()).mid(2),
             QStringList({R"(ST_ITEM.MainDataSet.CODE := "A1")",
                          R"(ST_ITEM.MainDataSet.FindField("NOPE"))"}));
}

void TestAutomation::nullPackageStoresNothingButAnswers() {
    const auto recording = std::make_shared<RecordingPackage>();
    runPosting(recording);

    const auto null = std::make_shared<RecordingPackage>(false);
    null->setKey("SL_CS", "X1", "12");
    const AutoValue key = runPosting(null);

    QVERIFY(null->log().lines().empty());
    QCOMPARE(null->log().callCount(), recording->log().callCount());
    QCOMPARE(key, AutoValue("12"));

    // Switched on later, it records from there on.
    null->log().setRecording(true);
    null->invoke("IsLogin");
    QCOMPARE(linesOf(null->log()), QStringList({"BizApp.IsLogin"}));
}

void TestAutomation::recordingObjectForwardsAndLogsLikeThePackage() {
    const auto package = std::make_shared<RecordingPackage>();
    package->setKey("SL_CS", "X1", 7);
    const auto log = std::make_shared<CallLog>();
    const auto recorded = std::make_shared<RecordingObject>(package, log);

    // Every call reached the package, in order, and both logs say the same.
    QCOMPARE(runPosting(recorded), AutoValue(7));
    QCOMPARE(linesOf(*log), postingLog);
    QCOMPARE(linesOf(package->log()), postingLog);
    QCOMPARE(log->callCount(), package->log().callCount());

    // Errors pass through unchanged and the failing call is the last line of both logs.
    package->failCall("Save", 1, "Customer 300-X is not found");
    package->failCall("FindField", 1, "Field 'NOPE' not found");
    const AutoObjectPtr document = findBizObject(recorded, "SL_CS");
    QCOMPARE(errorOf([&] { document->invoke("Save"); }), QString("Customer 300-X is not found"));
    QCOMPARE(QString::fromStdString(log->lines().back()), QString("SL_CS.Save"));
    QCOMPARE(errorOf([&] { setField(findDataSet(document, "MainDataSet"), "NOPE", 1); }),
             QString("Field 'NOPE' not found"));
    QCOMPARE(linesOf(*log), linesOf(package->log()));
    QCOMPARE(QString::fromStdString(log->lines().back()),
             QString(R"(SL_CS.MainDataSet.FindField("NOPE"))"));
}

void TestAutomation::helpersRefuseWhatIsNoObject() {
    const auto package = std::make_shared<RecordingPackage>();
    QCOMPARE(errorOf([&] { member(package, "IsLogin"); }),
             QString("The automation member IsLogin returned false where an object was expected"));
    QCOMPARE(errorOf([&] { setField(nullptr, "CODE", "A1"); }),
             QString("No automation object to call"));
}

void TestAutomation::bizAppComesFromTheFactory() {
    int created = 0;
    SetBizAppFactory([&] {
        ++created;
        return std::make_shared<RecordingPackage>();
    });
    const AutoObjectPtr first = CreateBizApp();
    const AutoObjectPtr second = CreateBizApp();
    QCOMPARE(created, 2);
    QVERIFY(first && second && first != second);

    SetBizAppFactory([] { return AutoObjectPtr(); });
    QVERIFY(errorOf([] { CreateBizApp(); }) != "(no error)");

    SetBizAppFactory({});
#ifndef _WIN32
    QCOMPARE(errorOf([] { CreateBizApp(); }),
             QString("The accounting package is not available: no automation factory is set"));
#endif
}

QTEST_GUILESS_MAIN(TestAutomation)
#include "test_automation.moc"
