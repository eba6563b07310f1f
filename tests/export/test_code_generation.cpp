// Generated creditor and debtor codes never merge two parties: the master export end to end on
// real databases and the stand-in package.
#include "config/settings_file.h"
#include "core/app_error.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/master_export.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_dump.h"
#include "standin/package_setup.h"
#include "standin/standin_package.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QJsonArray>
#include <QtTest>

using namespace ExportFixture;

class TestCodeGeneration : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void generatedCodesAreFree_data();
    void generatedCodesAreFree();
    void noRoomForAnyCodeGeneratesNone();

private:
    QString table(const QString& kind) const;
    QString codeColumn(const QString& kind) const;
    // Masters as "M_CODE=CODE" (CODE empty for none).
    void addMasters(const QString& kind, const QStringList& masters);
    QStringList masterCodes(const QString& kind);
    // The package's records of the kind as "CODE=COMPANYNAME".
    QStringList packageMasters(const QString& kind);
    MasterExportResult exportMasters(const QString& kind);

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
};

void TestCodeGeneration::initTestCase() {
    UseStandinPackage();
}

void TestCodeGeneration::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    CreatePackageDatabase(context->path("Package/DEFAULT.DCF"), context->path("Package"),
                          QStringLiteral("ACC-0001.FDB"), QStringLiteral("ADMIN"),
                          QStringLiteral("ADMIN"));
    SettingsFile settings;
    settings.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
    settings.writeString("SQLACC", "DCF", context->path("Package/DEFAULT.DCF"));
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
}

void TestCodeGeneration::cleanup() {
    ReleaseBizApp();
    data.reset();
    context.reset();
}

QString TestCodeGeneration::table(const QString& kind) const {
    return kind == "AP_SUPPLIER" ? "MAS_SUPPLIER" : "MAS_CUSTOMER";
}

QString TestCodeGeneration::codeColumn(const QString& kind) const {
    return kind == "AP_SUPPLIER" ? "M_CREDITOR" : "M_DEBTOR";
}

void TestCodeGeneration::addMasters(const QString& kind, const QStringList& masters) {
    for (const QString& master : masters) {
        const QString code = master.section('=', 0, 0);
        const QString account = master.section('=', 1);
        QVariantHash row{{"M_CODE", code}, {"M_DESC", "Party " + code}, {"M_EXPORT_ACCT", "F"}};
        if (!account.isEmpty())
            row.insert(codeColumn(kind), account);
        InsertRow(data->dbApp, table(kind), row);
    }
}

QStringList TestCodeGeneration::masterCodes(const QString& kind) {
    QStringList codes;
    RowReader reader(
        data->dbApp,
        QString("SELECT M_CODE, %1 FROM %2 ORDER BY M_CODE").arg(codeColumn(kind), table(kind)));
    while (reader.next())
        codes << reader.value(0).toString() + "=" + reader.value(1).toString();
    return codes;
}

QStringList TestCodeGeneration::packageMasters(const QString& kind) {
    QStringList masters;
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()));
    for (const QJsonValue master : dump["masters"].toArray())
        if (master["bizObject"].toString() == kind)
            masters << master["CODE"].toString() + "=" + master["fields"]["COMPANYNAME"].toString();
    masters.sort();
    return masters;
}

MasterExportResult TestCodeGeneration::exportMasters(const QString& kind) {
    return ExportSUPP_CUST_STOCK(*data, SettingsFile(), kind, true,
                                 [](const QString&) { return true; });
}

void TestCodeGeneration::generatedCodesAreFree_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("account");          // control account, empty for the default
    QTest::addColumn<QStringList>("packageHolds"); // codes the package holds for parties the
                                                   // back office no longer has
    QTest::addColumn<QStringList>("masters");      // M_CODE=code before
    QTest::addColumn<QStringList>("expected");     // M_CODE=code after
    QTest::addColumn<QStringList>("adjusted");

    QTest::newRow("two customers whose rule gives one code")
        << "AR_CUSTOMER" << QString() << QStringList()
        << QStringList{"CORPORATE01=", "CORPORATE02="}
        << QStringList{"CORPORATE01=300-ORATE0", "CORPORATE02=300-ORATE0-2"}
        << QStringList{"CORPORATE02: 300-ORATE0-2 (300-ORATE0 is held by customer CORPORATE01)"};
    QTest::newRow("a code another customer holds, in another case")
        << "AR_CUSTOMER" << QString() << QStringList()
        << QStringList{"CORPORATE01=", "TYPED=300-orate0 "}
        << QStringList{"CORPORATE01=300-ORATE0-2", "TYPED=300-orate0 "}
        << QStringList{"CORPORATE01: 300-ORATE0-2 (300-ORATE0 is held by customer TYPED)"};
    QTest::newRow("numbers taken already are passed over")
        << "AR_CUSTOMER" << QString() << QStringList()
        << QStringList{"CORPORATE01=", "CORPORATE02=", "TYPED=300-ORATE0-2"}
        << QStringList{"CORPORATE01=300-ORATE0", "CORPORATE02=300-ORATE0-3", "TYPED=300-ORATE0-2"}
        << QStringList{"CORPORATE02: 300-ORATE0-3 (300-ORATE0 is held by customer CORPORATE01)"};
    QTest::newRow("the package holds it for another party")
        << "AR_CUSTOMER" << QString() << QStringList{"300-C001"} << QStringList{"C001="}
        << QStringList{"C001=300-C001-2"}
        << QStringList{"C001: 300-C001-2 (300-C001 is held in the accounting package by another "
                       "customer)"};
    QTest::newRow("the cash-sales customer's code")
        << "AR_CUSTOMER" << QString() << QStringList() << QStringList{"POS="}
        << QStringList{"POS=300-POS-2"}
        << QStringList{"POS: 300-POS-2 (300-POS is the cash-sales customer's code)"};
    QTest::newRow("typed codes stay, even when two customers share one")
        << "AR_CUSTOMER" << QString() << QStringList()
        << QStringList{"A=300-SAME", "B=300-SAME", "C001="}
        << QStringList{"A=300-SAME", "B=300-SAME", "C001=300-C001"} << QStringList();
    QTest::newRow("a creditor code longer than the column")
        << "AP_SUPPLIER"
        << "40000-000" << QStringList() << QStringList{"ABCDEFGHIJKLMNO="}
        << QStringList{"ABCDEFGHIJKLMNO=40000-ABCDEFGHIJKLMN"}
        << QStringList{"ABCDEFGHIJKLMNO: 40000-ABCDEFGHIJKLMN (40000-ABCDEFGHIJKLMNO is longer "
                       "than the 20 characters of a creditor code)"};
    QTest::newRow("the number takes the place of the last characters of a full code")
        << "AP_SUPPLIER" << QString() << QStringList()
        << QStringList{"ABCDEFGHIJKLMNO=", "TYPED=400-ABCDEFGHIJKLMNO"}
        << QStringList{"ABCDEFGHIJKLMNO=400-ABCDEFGHIJKLMN-2", "TYPED=400-ABCDEFGHIJKLMNO"}
        << QStringList{"ABCDEFGHIJKLMNO: 400-ABCDEFGHIJKLMN-2 (400-ABCDEFGHIJKLMNO is held by "
                       "supplier TYPED)"};
    QTest::newRow("suppliers' codes differ from customers'")
        << "AP_SUPPLIER" << QString() << QStringList{"400-S001"} << QStringList{"S001=", "S002="}
        << QStringList{"S001=400-S001-2", "S002=400-S002"}
        << QStringList{"S001: 400-S001-2 (400-S001 is held in the accounting package by another "
                       "supplier)"};
}

void TestCodeGeneration::generatedCodesAreFree() {
    QFETCH(QString, kind);
    QFETCH(QString, account);
    QFETCH(QStringList, packageHolds);
    QFETCH(QStringList, masters);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, adjusted);
    if (!account.isEmpty())
        SettingsFile().writeString(
            "SQLACC", kind == "AP_SUPPLIER" ? "SUPPLIER_ACCOUNT" : "CUSTOMER_ACCOUNT", account);
    // The package's own parties: sent once by a back office that has since dropped them.
    QStringList others;
    for (const QString& code : packageHolds) {
        addMasters(kind, {"GONE=" + code});
        others << code + "=Party GONE";
    }
    if (!packageHolds.isEmpty()) {
        exportMasters(kind);
        data->dbApp.execute(QString("DELETE FROM %1 WHERE M_CODE = 'GONE'").arg(table(kind)));
    }
    addMasters(kind, masters);

    const MasterExportResult result = exportMasters(kind);
    QCOMPARE(result.outcome, MasterExportOutcome::Completed);
    QCOMPARE(masterCodes(kind), expected);
    QStringList described;
    for (const AdjustedCode& code : result.adjustedCodes)
        described << code.describe();
    QCOMPARE(described, adjusted);

    // Every party given a code is its own record in the package, and what the package held
    // before stays as it was.
    QStringList inPackage = others;
    for (const QString& master : expected)
        if (masters.contains(master.section('=', 0, 0) + "="))
            inPackage << master.section('=', 1) + "=Party " + master.section('=', 0, 0);
    if (kind == "AR_CUSTOMER")
        inPackage << "300-POS=CASH SALES";
    const QStringList held = packageMasters(kind);
    for (const QString& master : inPackage)
        QVERIFY2(held.contains(master), qPrintable(master + " in " + held.join(", ")));
}

// A prefix that fills the whole column leaves no room for a code: the error names the supplier
// and nothing is generated, not even for the suppliers whose codes would fit.
void TestCodeGeneration::noRoomForAnyCodeGeneratesNone() {
    SettingsFile().writeString("SQLACC", "SUPPLIER_ACCOUNT", "4000000000000000000-0");
    addMasters("AP_SUPPLIER", {"A=", "ZZZ="});
    try {
        exportMasters("AP_SUPPLIER");
        QFAIL("the generation went through");
    } catch (const AppError& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("No creditor code can be generated for supplier A: the prefix "
                                "\"4000000000000000000\" and \"-\" fill the 20 characters of "
                                "M_CREDITOR."));
    }
    QCOMPARE(masterCodes("AP_SUPPLIER"), (QStringList{"A=", "ZZZ="}));
    QCOMPARE(packageMasters("AP_SUPPLIER"), QStringList());
}

QTEST_GUILESS_MAIN(TestCodeGeneration)
#include "test_code_generation.moc"
