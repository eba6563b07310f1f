// Cash sales for the consolidated e-invoice, posted into the stand-in package: its e-invoice
// fields only from the build that has them, the cash-sales customer as the general public, and a
// day's summary naming its receipts.

#include "config/settings_file.h"
#include "data/connection.h"
#include "data/query.h"
#include "sqlacc/document_read_back.h"
#include "sqlacc/sqlacc_export_doc.h"
#include "sqlacc/sqlacc_export_master.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_dump.h"
#include "standin/standin_package.h"

#include "tests/sqlacc/posting_fixture.h"
#include "tests/standin/standin_fixture.h"
#include "tests/support/test_databases.h"

#include <QJsonArray>
#include <QTest>
#include <memory>

namespace {

const char kBuild860[] = "5.2024.1007.860";
const char kBuild854[] = "5.2024.992.854";
const char kBuild848[] = "5.2024.983.848";

QJsonObject findEntry(const QJsonObject& dump, const char* list, const QString& object,
                      const QString& code) {
    const QString key = QLatin1String(list) == QLatin1String("documents") ? "DOCNO" : "CODE";
    for (const QJsonValue entry : dump[QLatin1String(list)].toArray())
        if (entry["bizObject"].toString() == object && entry[key].toString() == code)
            return entry.toObject();
    return {};
}

void setEInvoice(const QString& value) {
    SettingsFile().writeString("SQLACC", "EINVOICE", value);
}

} // namespace

class TestEInvoicePosting : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void fieldsFromTheirBuild_data();
    void fieldsFromTheirBuild();
    void cashSalesCustomer_data();
    void cashSalesCustomer();
    void daySummaryNamesItsReceipts_data();
    void daySummaryNamesItsReceipts();
    void packageOfAnEarlierStandinGetsTheColumns();

private:
    QJsonObject dump() const { return DumpPackage(package_->database); }
    void insertReceipts(const QString& counter, const QList<int>& numbers, const char* status);

    std::unique_ptr<TestContext> context_;
    std::unique_ptr<StandinInstallation> package_;
    std::unique_ptr<DbConnection> stk_, app_, ar_;
    std::unique_ptr<PostingSources> sources_;
};

void TestEInvoicePosting::insertReceipts(const QString& counter, const QList<int>& numbers,
                                         const char* status) {
    for (int number : numbers)
        stk_->execute(QStringLiteral("INSERT INTO POS_SALES (SALES_STORE, SALES_CTRNO, "
                                     "SALES_TRANSNO, SALES_DATETIME, SALES_RCPTNO, "
                                     "SALES_CLOSEDATE, SALES_STATUS, SALES_NETSALES) VALUES "
                                     "('S001', '%1', %2, '2024-03-05 12:00:00', %2, "
                                     "'2024-03-05', '%3', 10)")
                          .arg(counter)
                          .arg(number)
                          .arg(QLatin1String(status)));
}

void TestEInvoicePosting::initTestCase() {
    context_ = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context_->folder());
    package_ = std::make_unique<StandinInstallation>(*context_);
    stk_ = std::make_unique<DbConnection>("ZaLedvoraStk", "ZantStk");
    app_ = std::make_unique<DbConnection>("ZaLedvoraApp", "ZantApp");
    ar_ = std::make_unique<DbConnection>("ZaARSys", "ARDB");
    sources_ = std::make_unique<PostingSources>(PostingSources{*stk_, *app_, *ar_});
    InsertPostingFixture(*sources_);
    UseStandinPackage().clearFaults();

    // Counter 01 of 5 March 2024 (its close day is the fixture's): 1234 to 1350 but for 1302,
    // which was voided, the example. Counter 02: one receipt. Counter 03: 100 receipts
    // each on its own, more than the header holds.
    QList<int> first, second;
    for (int n = 1234; n <= 1301; ++n)
        first << n;
    for (int n = 1303; n <= 1350; ++n)
        second << n;
    insertReceipts("01", first + second, "NS");
    insertReceipts("01", {1302}, "VD");
    insertReceipts("02", {7}, "NS");
    QList<int> lone;
    for (int n = 1; n <= 199; n += 2)
        lone << n;
    insertReceipts("03", lone, "NS");
    for (const char* counter : {"02", "03"})
        stk_->execute(QStringLiteral("INSERT INTO POS_CLOSEINFO (CI_STORE, CI_CTRNO, CI_CLOSEDATE, "
                                     "SALES_STATUS, CI_TAXABLEAMT1, CI_TAX1) VALUES ('S001', '%1', "
                                     "'2024-03-05', 'NS', 50, 3)")
                          .arg(QLatin1String(counter)));
}

void TestEInvoicePosting::cleanupTestCase() {
    ReleaseBizApp();
    sources_.reset();
    stk_.reset();
    app_.reset();
    ar_.reset();
    package_.reset();
    context_.reset();
}

// The package of a build before 854 has none of the e-invoice fields; from 854 on it has them.
void TestEInvoicePosting::fieldsFromTheirBuild_data() {
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("dataSet");
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("known");

    QTest::newRow("848: customer TIN") << kBuild848 << "AR_CUSTOMER"
                                       << "MainDataSet"
                                       << "TIN" << false;
    QTest::newRow("854: customer TIN") << kBuild854 << "AR_CUSTOMER"
                                       << "MainDataSet"
                                       << "TIN" << true;
    QTest::newRow("848: cash sale SUBMISSIONTYPE") << kBuild848 << "SL_CS"
                                                   << "MainDataSet"
                                                   << "SUBMISSIONTYPE" << false;
    QTest::newRow("860: cash sale SUBMISSIONTYPE") << kBuild860 << "SL_CS"
                                                   << "MainDataSet"
                                                   << "SUBMISSIONTYPE" << true;
    QTest::newRow("848: supplier's postcode") << kBuild848 << "AP_SUPPLIER"
                                              << "cdsBranch"
                                              << "POSTCODE" << false;
    QTest::newRow("854: line's exemption reason") << kBuild854 << "SL_IV"
                                                  << "cdsDocDetail"
                                                  << "TAXEXEMPTIONREASON" << true;
    QTest::newRow("848: what was always there") << kBuild848 << "AR_CUSTOMER"
                                                << "MainDataSet"
                                                << "COMPANYNAME" << true;
}

void TestEInvoicePosting::fieldsFromTheirBuild() {
    QFETCH(QString, build);
    QFETCH(QString, object);
    QFETCH(QString, dataSet);
    QFETCH(QString, field);
    QFETCH(bool, known);
    package_->setBuild(build);
    const PackageRunSession run;
    SQLAccLogin();
    const AutoObjectPtr data = findDataSet(
        findBizObject(CurrentPackageSession().app, object.toStdString()), dataSet.toStdString());
    try {
        member(data, "FindField", {field.toStdString()});
        QVERIFY2(known, "the field was found");
    } catch (const AutomationError& error) {
        QVERIFY2(!known, error.what());
        QVERIFY2(QString::fromUtf8(error.what()).startsWith("Field \"" + field + "\" not found"),
                 error.what());
    }
}

// The cash-sales customer with and without the setting, new or held already, on a build before
// and from 854; on the older build the session says once that the package is too old.
void TestEInvoicePosting::cashSalesCustomer_data() {
    QTest::addColumn<QString>("build");
    QTest::addColumn<QString>("setting");
    QTest::addColumn<bool>("heldBefore");
    QTest::addColumn<bool>("generalPublic");
    QTest::addColumn<bool>("tooOld");

    QTest::newRow("N, 860, new") << kBuild860 << "N" << false << false << false;
    QTest::newRow("missing, 860, held") << kBuild860 << "" << true << false << false;
    QTest::newRow("Y, 854, new") << kBuild854 << "Y" << false << true << false;
    QTest::newRow("y, 860, held: updated") << kBuild860 << "y" << true << true << false;
    QTest::newRow("Y, 848, new: as before") << kBuild848 << "Y" << false << false << true;
    QTest::newRow("Y, 848, held: as before") << kBuild848 << "Y" << true << false << true;
}

void TestEInvoicePosting::cashSalesCustomer() {
    QFETCH(QString, build);
    QFETCH(QString, setting);
    QFETCH(bool, heldBefore);
    QFETCH(bool, generalPublic);
    QFETCH(bool, tooOld);

    {
        DbConnection package(QStringLiteral("TestPackage"), package_->database);
        package.execute("DELETE FROM SA_MASTER_BRANCH WHERE MASTERKEY IN (SELECT MASTERKEY FROM "
                        "SA_MASTER WHERE CODE = '300-POS')");
        package.execute("DELETE FROM SA_MASTER WHERE CODE = '300-POS'");
    }
    package_->setBuild(build);
    if (heldBefore) {
        setEInvoice("N");
        QVERIFY(SQLAccExportMaster(*sources_, "AR_CUSTOMER", "300-000", "DIFF"));
    }
    setEInvoice(setting);
    QStringList notices;
    {
        const PackageRunSession run;
        // Twice in one run: the customer is updated once, the notice said once.
        QVERIFY(SQLAccExportMaster(*sources_, "AR_CUSTOMER", "300-000", "DIFF"));
        QVERIFY(SQLAccExportMaster(*sources_, "AR_CUSTOMER", "300-000", "DIFF"));
        notices = CurrentPackageSession().notices;
    }

    const QJsonObject fields =
        findEntry(dump(), "masters", "AR_CUSTOMER", "300-POS")["fields"].toObject();
    QCOMPARE(fields["COMPANYNAME"].toString(), QStringLiteral("CASH SALES"));
    QCOMPARE(fields["CONTROLACCOUNT"].toString(), QStringLiteral("300-000"));
    if (generalPublic) {
        QCOMPARE(fields["SUBMISSIONTYPE"].toInt(), 18);
        QCOMPARE(fields["TIN"].toString(), QStringLiteral("EI00000000010"));
    } else {
        QVERIFY(!fields.contains("SUBMISSIONTYPE"));
        QVERIFY(!fields.contains("TIN"));
    }
    if (tooOld) {
        QCOMPARE(notices.size(), 1);
        QVERIFY2(notices.first().contains("build " + build + " is too old for e-invoicing"),
                 qPrintable(notices.first()));
    } else {
        QCOMPARE(notices, QStringList());
    }
}

// A day's summary names the receipts of its counter-day (voided ones are no sale), in the header
// text, and what does not fit on text lines that add nothing to its total. It takes the
// customer's submission type.
void TestEInvoicePosting::daySummaryNamesItsReceipts_data() {
    QTest::addColumn<QString>("counter");
    QTest::addColumn<double>("total");
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("textLines");

    QTest::newRow("ranges around a voided receipt")
        << "01" << 131.03 << "Receipts 000001234-000001301, 000001303-000001350 (116)" << 0;
    QTest::newRow("a single receipt") << "02" << 53.0 << "Receipts 000000007 (1)" << 0;
    QTest::newRow("longer than the header")
        << "03" << 53.0
        << "Receipts 000000001, 000000003, 000000005, 000000007, 000000009, 000000011, "
           "000000013, 000000015, 000000017, 000000019, 000000021, 000000023, 000000025, "
           "000000027, 000000029, 000000031, ... (100)"
        << 6;
}

void TestEInvoicePosting::daySummaryNamesItsReceipts() {
    QFETCH(QString, counter);
    QFETCH(double, total);
    QFETCH(QString, header);
    QFETCH(int, textLines);

    package_->setBuild(kBuild860);
    setEInvoice("Y");
    SettingsFile().writeString("GENERAL", "EXPORT_MODE", "1");
    QVERIFY(SQLAccExportMaster(*sources_, "AR_CUSTOMER", "300-000", "DIFF"));
    const QString docNo = "S001-" + counter + "-05032024";
    PostingReadBack readBack;
    QVERIFY(SQLAccExportDoc(*sources_, "SL_CS", counter, docNo, "2024/03/05", "300-POS", total, 0,
                            &readBack));
    QVERIFY2(readBack.agrees(), qPrintable(readBack.differenceText()));

    const QJsonObject document = findEntry(dump(), "documents", "SL_CS", docNo);
    QCOMPARE(document["header"]["DESCRIPTION"].toString(), header);
    QCOMPARE(document["header"]["SUBMISSIONTYPE"].toInt(), 18);
    QCOMPARE(document["docTotal"].toDouble(), total);
    const QJsonArray lines = document["lines"].toArray();
    int continued = 0;
    for (const QJsonValue line : lines) {
        const QString description = line["DESCRIPTION"].toString();
        if (!description.startsWith("Receipts (continued) "))
            continue;
        ++continued;
        QVERIFY(description.size() <= 200);
        QVERIFY(!line.toObject().contains("UnitPrice") && !line.toObject().contains("Qty"));
    }
    QCOMPARE(continued, textLines);
    if (textLines > 0)
        QVERIFY(lines.last()["DESCRIPTION"].toString().endsWith("000000199"));
}

// A package database made before the e-invoice fields is brought up to date when it is opened.
void TestEInvoicePosting::packageOfAnEarlierStandinGetsTheColumns() {
    const auto columns = [this] {
        DbConnection package(QStringLiteral("TestPackage"), package_->database);
        RowReader rows(package, "SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE "
                                "RDB$FIELD_NAME IN ('TIN', 'SUBMISSIONTYPE', 'POSTCODE')");
        rows.next();
        return rows.value(0).toInt();
    };
    QCOMPARE(columns(), 4); // SUBMISSIONTYPE of documents and of masters
    {
        DbConnection package(QStringLiteral("TestPackage"), package_->database);
        for (const char* drop :
             {"ALTER TABLE SA_MASTER DROP TIN", "ALTER TABLE SA_DOCUMENT DROP SUBMISSIONTYPE",
              "ALTER TABLE SA_MASTER_BRANCH DROP POSTCODE"})
            package.execute(QLatin1String(drop));
    }
    QCOMPARE(columns(), 1);
    dump();
    QCOMPARE(columns(), 4);
}

QTEST_GUILESS_MAIN(TestEInvoicePosting)
#include "test_einvoice_posting.moc"
