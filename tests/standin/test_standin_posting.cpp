// Posting into the stand-in package and reading back what it saved: each kind of document with
// the package's own total equal to its source's, the masters, one session for a run, a second
// export of a receivable document, a failing Save, a refused login and the command.

#include "config/settings_file.h"
#include "data/connection.h"
#include "sqlacc/document_read_back.h"
#include "sqlacc/sqlacc_export_ar.h"
#include "sqlacc/sqlacc_export_doc.h"
#include "sqlacc/sqlacc_export_master.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_dump.h"
#include "standin/standin_package.h"

#include "tests/sqlacc/posting_fixture.h"
#include "tests/standin/standin_fixture.h"
#include "tests/support/test_databases.h"
#include <QDir>

#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTest>
#include <functional>
#include <memory>

using PostingCall = std::function<bool(const PostingSources&, PostingReadBack*)>;
Q_DECLARE_METATYPE(PostingCall)

namespace {

QString number(const QJsonValue& value) {
    return value.isDouble() ? QString::number(value.toDouble()) : value.toString();
}

// A saved line as "Field=value" for the fields that were set, in the package's order.
QString lineText(const QJsonObject& line) {
    QStringList parts;
    for (const char* field : {"ItemCode", "DESCRIPTION", "Qty", "UnitPrice", "DISC", "TAX",
                              "TAXAMT", "AMOUNT", "TAXINCLUSIVE"}) {
        if (line.contains(QLatin1String(field)))
            parts << QLatin1String(field) + QLatin1Char('=') + number(line[QLatin1String(field)]);
    }
    return parts.join(QLatin1Char(' '));
}

QJsonArray entries(const QJsonObject& dump, const char* list, const QString& object,
                   const QString& code) {
    QJsonArray found;
    const QString key = QLatin1String(list) == QLatin1String("documents") ? "DOCNO" : "CODE";
    for (const QJsonValue entry : dump[QLatin1String(list)].toArray()) {
        if (entry["bizObject"].toString() == object && entry[key].toString() == code)
            found.append(entry);
    }
    return found;
}

} // namespace

class TestStandinPosting : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void masters();
    void documents_data();
    void documents();
    void oneSessionForARun();
    void secondExportUpdatesTheUnappliedAmountOnly();
    void failingSaveLeavesNothingAndRaises();
    void refusedLoginReachesTheCaller();
    void dumpCommand_data();
    void dumpCommand();

private:
    QJsonObject dump() const { return DumpPackage(package_->database); }

    std::unique_ptr<TestContext> context_;
    std::unique_ptr<StandinInstallation> package_;
    std::unique_ptr<DbConnection> stk_, app_, ar_;
    std::unique_ptr<PostingSources> sources_;
};

void TestStandinPosting::initTestCase() {
    context_ = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context_->folder());
    package_ = std::make_unique<StandinInstallation>(*context_);
    stk_ = std::make_unique<DbConnection>("ZaLedvoraStk", "ZantStk");
    app_ = std::make_unique<DbConnection>("ZaLedvoraApp", "ZantApp");
    ar_ = std::make_unique<DbConnection>("ZaARSys", "ARDB");
    sources_ = std::make_unique<PostingSources>(PostingSources{*stk_, *app_, *ar_});
    InsertPostingFixture(*sources_);
    // Items the fixture's documents name without a stock master of the back office.
    package_->addItems({"P3", "P9"});
    UseStandinPackage().clearFaults();
}

void TestStandinPosting::cleanupTestCase() {
    ReleaseBizApp();
    sources_.reset();
    stk_.reset();
    app_.reset();
    ar_.reset();
    package_.reset();
    context_.reset();
}

// Masters go first, as with a real package: documents need their customer or supplier.
void TestStandinPosting::masters() {
    QVERIFY(SQLAccExportMaster(*sources_, "AR_CUSTOMER", "300-000", "ALL"));
    QVERIFY(SQLAccExportMaster(*sources_, "AP_SUPPLIER", "400-000", "ALL"));
    QVERIFY(SQLAccExportMaster(*sources_, "ST_ITEM", "", "ALL"));
    const QJsonArray first = dump()["masters"].toArray();
    QStringList codes;
    for (const QJsonValue master : first)
        codes << master["bizObject"].toString() + " " + master["CODE"].toString();
    QCOMPARE(codes, (QStringList{"AP_SUPPLIER V-0001", "AP_SUPPLIER V-0002", "AR_CUSTOMER 300-C1",
                                 "AR_CUSTOMER 300-C2", "AR_CUSTOMER 300-POS", "ST_ITEM P1",
                                 "ST_ITEM P2", "ST_ITEM P3", "ST_ITEM P9"}));

    // "ALL" again, with another control account: every code updated in place, nothing new.
    QVERIFY(SQLAccExportMaster(*sources_, "AR_CUSTOMER", "300-999", "ALL"));
    QVERIFY(SQLAccExportMaster(*sources_, "AP_SUPPLIER", "400-000", "ALL"));
    QVERIFY(SQLAccExportMaster(*sources_, "ST_ITEM", "", "ALL"));
    const QJsonObject again = dump();
    QCOMPARE(again["masters"].toArray().size(), first.size());
    for (int i = 0; i < first.size(); ++i)
        QCOMPARE(again["masters"][i]["key"], first[i]["key"]);

    const QJsonObject cash = entries(again, "masters", "AR_CUSTOMER", "300-POS")[0].toObject();
    QCOMPARE(cash["fields"].toObject(), (QJsonObject{{"CODE", "300-POS"},
                                                     {"COMPANYNAME", "CASH SALES"},
                                                     {"CONTROLACCOUNT", "300-000"}}));
    const QJsonObject c1 = entries(again, "masters", "AR_CUSTOMER", "300-C1")[0].toObject();
    QCOMPARE(c1["fields"]["COMPANYNAME"].toString(), QStringLiteral("300-C1"));
    QCOMPARE(c1["fields"]["CONTROLACCOUNT"].toString(), QStringLiteral("300-999"));
    const QJsonObject v1 = entries(again, "masters", "AP_SUPPLIER", "V-0001")[0].toObject();
    QCOMPARE(v1["branches"].toArray().size(), 1);
    QCOMPARE(v1["branches"][0].toObject(), (QJsonObject{{"CODE", "V-0001"},
                                                        {"ADDRESS1", "1 Road"},
                                                        {"ADDRESS2", "Town"},
                                                        {"ADDRESS3", ""},
                                                        {"PHONE1", "03-111"},
                                                        {"PHONE2", "012-222"},
                                                        {"ATTENTION", "Ann"},
                                                        {"FAX1", "03-333"},
                                                        {"EMAIL", "a@x.com"}}));
    QCOMPARE(entries(again, "masters", "ST_ITEM", "P2")[0]
                 .toObject()["fields"]
                 .toObject()["DESCRIPTION"]
                 .toString(),
             QStringLiteral("P2"));

    // A control account without "-" makes the cash-sales customer "-POS".
    QVERIFY(SQLAccExportMaster(*sources_, "AR_CUSTOMER", "ABC", "DIFF"));
    const QJsonArray dashPos = entries(dump(), "masters", "AR_CUSTOMER", "-POS");
    QCOMPARE(dashPos.size(), 1);
    QCOMPARE(dashPos[0]["fields"]["CONTROLACCOUNT"].toString(), QStringLiteral("ABC"));
}

// The rows run in order into one package: the credit note and the payment settle the invoice
// posted before them.
// The rows run in order into one package: the credit note and the payment settle the invoice
// posted before them. Each document is read back after its save: the package's own total of it
// equals the source's, which the rows give as the back office would (a cash sale's net sales and
// rounding, the day's net sales with its rounding, a document's net total).
void TestStandinPosting::documents_data() {
    QTest::addColumn<QString>("exportMode");
    QTest::addColumn<PostingCall>("call");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("docNo");
    QTest::addColumn<QStringList>("header"); // FIELD=value that must be there
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QStringList>("knockOffs");
    QTest::addColumn<double>("total");

    const QStringList d100 = {
        "ItemCode=P1 DESCRIPTION=Widget Large Qty=3 UnitPrice=10 DISC=1 TAX=SR TAXAMT=1.75",
        "ItemCode=P2 DESCRIPTION=FREE GIFT Qty=1 TAX=ZR TAXINCLUSIVE=T",
        "ItemCode=P9 DESCRIPTION=P9 Qty=0.5 UnitPrice=4 TAX=SR TAXAMT=0.25"};

    QTest::newRow("cash sale by item: weighed quantities, the payment is what was paid")
        << "0" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-000000007", "2024/03/05",
                                      "300-POS", 30.0, -0.02, r);
           })
        << "SL_CS"
        << "S001-01-000000007"
        << QStringList{"CODE=300-POS", "DOCDATE=2024/03/05", "P_AMOUNT=29.98",
                       "P_PAYMENTMETHOD=320-000", "TERMS=C.O.D"}
        << QStringList{"ItemCode=P1 Qty=2.5 UnitPrice=10 TAX=SR TAXINCLUSIVE=T",
                       "ItemCode=P2 Qty=1 UnitPrice=5.5 DISC=0.5 TAX=ZR TAXINCLUSIVE=T",
                       "ItemCode=P3 Qty=3.5 TAX= TAXAMT=0 TAXINCLUSIVE=F",
                       "ItemCode= DESCRIPTION=ROUNDING Qty=1 UnitPrice=-0.02 TAX= TAXAMT=0 "
                       "TAXINCLUSIVE=F"}
        << QStringList() << 29.98;
    QTest::newRow("cash sale by summary")
        << "1" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportDoc(s, "SL_CS", "01", "S001-01-05032024", "2024/03/05", "300-POS",
                                      131.03, 0.03, r);
           })
        << "SL_CS"
        << "S001-01-05032024" << QStringList{"P_AMOUNT=131.03"}
        << QStringList{"DESCRIPTION=STANDARD RATED ITEM Qty=1 UnitPrice=100 TAX=SR TAXAMT=6",
                       "DESCRIPTION=ZERO RATED ITEM Qty=1 UnitPrice=20 TAX=ZR TAXAMT=0",
                       "DESCRIPTION=EXEMPTED ITEM Qty=1 UnitPrice=5 TAX= TAXAMT=0 TAXINCLUSIVE=F",
                       "DESCRIPTION=ROUNDING Qty=1 UnitPrice=0.03 TAX= TAXAMT=0 TAXINCLUSIVE=F"}
        << QStringList() << 131.03;
    QTest::newRow("sales invoice")
        << "0" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportDoc(s, "SL_IV", "D100", "IV-9001", "2024/03/06", "300-C1", 33, 0,
                                      r);
           })
        << "SL_IV"
        << "IV-9001" << QStringList{"CODE=300-C1", "DOCREF1=D100"} << d100 << QStringList() << 33.0;
    QTest::newRow("sales credit note: positive figures")
        << "0" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportDoc(s, "SL_CN", "C200", "CN-5001", "2024/03/07", "300-C1", 21.25,
                                      0, r);
           })
        << "SL_CN"
        << "CN-5001" << QStringList{"DOCREF1=C200"}
        << QStringList{"ItemCode=P1 DESCRIPTION=DAMAGED Qty=2 UnitPrice=10 TAX=SR TAXAMT=1.25"}
        << QStringList() << 21.25;
    QTest::newRow("purchase invoice: a price that includes its given tax")
        << "0" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportDoc(s, "PH_PI", "R300", "S001-R300", "2024/03/08", "V-0001", 82.7,
                                      0, r);
           })
        << "PH_PI"
        << "S001-R300" << QStringList{"CODE=V-0001"}
        << QStringList{"ItemCode=P1 DESCRIPTION=Widget Large Qty=10 UnitPrice=6 DISC=2 TAX=TX "
                       "TAXAMT=3.5",
                       "ItemCode=P2 DESCRIPTION=Gadget Qty=4 UnitPrice=5.3 TAX=TX TAXAMT=1.2 "
                       "AMOUNT=20 TAXINCLUSIVE=T"}
        << QStringList() << 82.7;
    QTest::newRow("purchase return by summary")
        << "1" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportDoc(s, "PH_SC", "E400", "S001-E400", "2024/03/09", "V-0001",
                                      14.75, 0, r);
           })
        << "PH_SC"
        << "S001-E400" << QStringList{"CODE=V-0001"}
        << QStringList{"DESCRIPTION=Product Item Qty=1 UnitPrice=14 TAX=TX TAXAMT=0.75"}
        << QStringList() << 14.75;
    QTest::newRow("receivable invoice")
        << "0" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportAR(s, "AR_IV", "INV/1", "IV-1001", "2024/03/01", "300-C1", 106, 0,
                                     r);
           })
        << "AR_IV"
        << "IV-1001" << QStringList{"DESCRIPTION=Invoice 1", "TERMS=C.O.D"}
        << QStringList{"DESCRIPTION=Line A TAX=SR TAXAMT=6 AMOUNT=100",
                       "DESCRIPTION=Line B TAX=ZR TAXAMT=0 AMOUNT=0 TAXINCLUSIVE=T"}
        << QStringList() << 106.0;
    QTest::newRow("receivable invoice from the POS")
        << "0" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportAR(s, "AR_IV", "INV/2", "D100", "2024/03/06", "300-C1", 33, 0, r);
           })
        << "SL_IV"
        << "INV/2" << QStringList{"DOCREF1=D100"} << d100 << QStringList() << 33.0;
    QTest::newRow("debit note") << "0"
                                << PostingCall([](const PostingSources& s, PostingReadBack* r) {
                                       return SQLAccExportAR(s, "AR_DN", "DN/1", "DN-1",
                                                             "2024/03/02", "300-C1", 10.5, 0, r);
                                   })
                                << "AR_DN"
                                << "DN-1" << QStringList{"DESCRIPTION=Debit 1"}
                                << QStringList{"DESCRIPTION=Charge TAX=SR TAXAMT=0.5 AMOUNT=10"}
                                << QStringList() << 10.5;
    QTest::newRow("credit note settling the invoice")
        << "0" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportAR(s, "AR_CN", "CN/1", "CN-1", "2024/03/03", "300-C1", 5.25, 0,
                                     r);
           })
        << "AR_CN"
        << "CN-1" << QStringList{"UNAPPLIEDAMT=0"}
        << QStringList{"DESCRIPTION=Return TAX=SR TAXAMT=0.25 AMOUNT=5"}
        << QStringList{"IV IV-1001 5.25"} << 5.25;
    QTest::newRow("payment: no lines, a link the package does not list is passed over")
        << "0" << PostingCall([](const PostingSources& s, PostingReadBack* r) {
               return SQLAccExportAR(s, "AR_PM", "OR/1", "OR-1", "2024/03/04", "300-C1", 60, 0, r);
           })
        << "AR_PM"
        << "OR-1"
        << QStringList{"DOCAMT=60", "LOCALDOCAMT=60", "UNAPPLIEDAMT=10", "PAYMENTMETHOD=320-000"}
        << QStringList() << QStringList{"IV IV-1001 45"} << 60.0;
}

void TestStandinPosting::documents() {
    QFETCH(QString, exportMode);
    QFETCH(PostingCall, call);
    QFETCH(QString, object);
    QFETCH(QString, docNo);
    QFETCH(QStringList, header);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, knockOffs);
    QFETCH(double, total);

    SettingsFile().writeString("GENERAL", "EXPORT_MODE", exportMode);
    PostingReadBack readBack;
    QVERIFY(call(*sources_, &readBack));

    const QJsonArray saved = entries(dump(), "documents", object, docNo);
    QCOMPARE(saved.size(), 1);
    const QJsonObject document = saved[0].toObject();
    for (const QString& expected : header) {
        const QString field = expected.section('=', 0, 0);
        QCOMPARE(field + "=" + number(document["header"][field]), expected);
    }
    QStringList savedLines;
    for (const QJsonValue line : document["lines"].toArray())
        savedLines << lineText(line.toObject());
    QCOMPARE(savedLines, lines);
    QStringList savedKnockOffs;
    for (const QJsonValue row : document["knockOffs"].toArray())
        savedKnockOffs << row["DocType"].toString() + " " + row["DocNo"].toString() + " " +
                              number(row["KOAmt"]);
    QCOMPARE(savedKnockOffs, knockOffs);

    // The package's total, as it keeps it and as the posting read it back.
    QCOMPARE(document["docTotal"].toDouble(), total);
    QCOMPARE(readBack.moduleCode, object);
    QCOMPARE(readBack.documentNumber, docNo);
    QVERIFY2(readBack.agrees(), qPrintable(readBack.differenceText()));
    QCOMPARE(readBack.package.docAmt, total);
    QCOMPARE(readBack.package.docDate.isValid(), true);
    QCOMPARE(readBack.package.code, document["header"]["CODE"].toString());
}

// A run logs in once, whatever it posts, closes every business object and never logs out.
void TestStandinPosting::oneSessionForARun() {
    StandinPackage& package = UseStandinPackage();
    const int logins = package.logins();
    const int open = package.openBusinessObjects();
    {
        const PackageRunSession run;
        SettingsFile().writeString("GENERAL", "EXPORT_MODE", "0");
        QVERIFY(SQLAccExportMaster(*sources_, "AR_CUSTOMER", "300-000", "DIFF"));
        PostingReadBack readBack;
        QVERIFY(SQLAccExportDoc(*sources_, "SL_IV", "D100", "IV-9101", "2024/03/06", "300-C1", 33,
                                0, &readBack));
        QVERIFY(readBack.agrees());
        QVERIFY(SQLAccExportAR(*sources_, "AR_DN", "DN/1", "DN-9101", "2024/03/02", "300-C1", 10.5,
                               0, &readBack));
        QVERIFY(readBack.agrees());
        // A save the package refuses closes its object all the same.
        try {
            SQLAccExportDoc(*sources_, "SL_IV", "D100", "IV-9101", "2024/03/06", "300-C1", 33, 0);
            QFAIL("no error");
        } catch (const AutomationError&) {
        }
        QCOMPARE(CurrentPackageSession().build.number(), 860);
        QCOMPARE(CurrentPackageSession().companyName, QStringLiteral("ZANTRO DEMO SDN BHD"));
    }
    QCOMPARE(package.logins(), logins + 1);
    QCOMPARE(package.openBusinessObjects(), open);
    QCOMPARE(package.logouts(), 0);
}

void TestStandinPosting::secondExportUpdatesTheUnappliedAmountOnly() {
    ar_->execute("UPDATE AR_TRANS SET TD_BALANCE = 0, TD_DESCRIPTION = 'Changed' "
                 "WHERE TD_DOCNO = 'OR/1'");
    // A debit-note link not applied yet: the second export applies it ("DN/" is the package's
    // "DN"), and leaves the invoice's as it was.
    ar_->execute("UPDATE AR_LINK SET LK_EXPORT_ACCT = 'F' WHERE LK_MASDOC = 'OR/1'");
    const QJsonObject before = dump();
    const QJsonObject payment = entries(before, "documents", "AR_PM", "OR-1")[0].toObject();

    QVERIFY(SQLAccExportAR(*sources_, "AR_PM", "OR/1", "OR-1", "2024/03/04", "300-C1", 60, 0));

    const QJsonObject after = dump();
    QCOMPARE(after["documents"].toArray().size(), before["documents"].toArray().size());
    QJsonObject updated = entries(after, "documents", "AR_PM", "OR-1")[0].toObject();
    QCOMPARE(updated["header"].toObject()["UNAPPLIEDAMT"].toDouble(), 0.0);
    QCOMPARE(updated["header"].toObject()["DESCRIPTION"].toString(), QStringLiteral("Payment 1"));
    QCOMPARE(payment["knockOffs"].toArray(),
             (QJsonArray{QJsonObject{{"DocNo", "IV-1001"}, {"DocType", "IV"}, {"KOAmt", 45}}}));
    QCOMPARE(updated["knockOffs"].toArray(),
             (QJsonArray{QJsonObject{{"DocNo", "DN-1"}, {"DocType", "DN"}, {"KOAmt", 10.5}},
                         QJsonObject{{"DocNo", "IV-1001"}, {"DocType", "IV"}, {"KOAmt", 45}}}));
    // Nothing else of the document changed.
    QJsonObject header = updated["header"].toObject();
    header["UNAPPLIEDAMT"] = payment["header"]["UNAPPLIEDAMT"];
    updated["header"] = header;
    updated["knockOffs"] = payment["knockOffs"];
    QCOMPARE(updated, payment);
}

void TestStandinPosting::failingSaveLeavesNothingAndRaises() {
    SettingsFile().writeString("GENERAL", "EXPORT_MODE", "0");
    const QJsonObject before = dump();
    UseStandinPackage().failCall("Save", 1, "Disk full");
    try {
        SQLAccExportDoc(*sources_, "SL_IV", "D100", "IV-9002", "2024/03/06", "300-C1", 0, 0);
        QFAIL("no error");
    } catch (const AutomationError& error) {
        QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("Disk full"));
    }
    UseStandinPackage().clearFaults();
    QCOMPARE(dump(), before);
}

// The package's text, after the login it refused: user, data collection file and database, but
// never the password.
void TestStandinPosting::refusedLoginReachesTheCaller() {
    SettingsFile().writeString("SQLACC", "PASSWORD", "WRONG");
    try {
        SQLAccExportDoc(*sources_, "SL_IV", "D100", "IV-9003", "2024/03/06", "300-C1", 0, 0);
        QFAIL("no error");
    } catch (const PackageSessionError& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("The accounting package refused the login (user ADMIN, data "
                                "collection file %1, database ACC-0001.FDB): Login failed: "
                                "invalid user name or password")
                     .arg(QDir::toNativeSeparators(package_->dcf)));
        QVERIFY(!error.message().contains("WRONG"));
    }
    SettingsFile().writeString("SQLACC", "PASSWORD", "ADMIN");
}

void TestStandinPosting::dumpCommand_data() {
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("error");
    QTest::newRow("the installation's package") << QStringList() << 0 << "";
    QTest::newRow("named DCF") << QStringList{"--dcf", "Package/DEFAULT.DCF"} << 0 << "";
    QTest::newRow("named database") << QStringList{"--db", "Package/ACC-0001.FDB"} << 0 << "";
    QTest::newRow("missing database")
        << QStringList{"--db", "Package/NONE.FDB"} << 1
        << "zantro-standin: Database file not found: %1/Package/NONE.FDB\n";
    QTest::newRow("unknown command") << QStringList{"--list"} << 1 << "usage:";
    QTest::newRow("codes of a list") << QStringList{"codes", "tax"} << 0 << "";
    QTest::newRow("a code added") << QStringList{"add-code", "TERMS", "30 DAYS", "--description",
                                                 "Thirty days"}
                                  << 0 << "";
    QTest::newRow("a list the package has not")
        << QStringList{"add-code", "BANK", "X"} << 1
        << "zantro-standin: \"BANK\" is not a code list of the package (lists: GL_ACC TAX TERMS "
           "AREA AGENT CURRENCY PROJECT PMMETHOD)\n";
}

void TestStandinPosting::dumpCommand() {
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, error);

    ReleaseBizApp();
    QProcess command;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZANTRO_HOME", context_->folder());
    command.setProcessEnvironment(environment);
    command.setWorkingDirectory(context_->folder());
    const QString verb = options.value(0);
    const bool ownVerb = verb == "--list" || verb == "codes" || verb == "add-code";
    const QStringList arguments = ownVerb ? options : QStringList{"dump"} + options;
    command.start(qEnvironmentVariable("ZANTRO_BIN_DIR") + "/zantro-standin", arguments);
    QVERIFY(command.waitForFinished(60000));
    QCOMPARE(command.exitCode(), status);
    const QString errors = QString::fromUtf8(command.readAllStandardError());
    if (status != 0) {
        if (error == "usage:")
            QVERIFY(errors.startsWith(error));
        else
            QCOMPARE(errors, error.contains("%1") ? error.arg(context_->folder()) : error);
        return;
    }
    const QString printed = QString::fromUtf8(command.readAllStandardOutput());
    if (verb == "codes") {
        QCOMPARE(printed, QStringLiteral("TAX\tSR\tStandard rated\t6%\n"
                                         "TAX\tTX\tPurchase tax\t6%\n"
                                         "TAX\tZR\tZero rated\t0%\n"));
        return;
    }
    if (verb == "add-code") {
        QVERIFY(printed.contains("TERMS\t30 DAYS\tThirty days\n"));
        bool listed = false;
        for (const QJsonValue code : dump()["codes"].toArray())
            listed = listed || code["CODE"].toString() == "30 DAYS";
        QVERIFY(listed);
        return;
    }
    const QJsonObject json = QJsonDocument::fromJson(printed.toUtf8()).object();
    QVERIFY(!entries(json, "documents", "SL_CS", "S001-01-000000007").isEmpty());
    QCOMPARE(json, dump());
}

QTEST_GUILESS_MAIN(TestStandinPosting)
#include "test_standin_posting.moc"
