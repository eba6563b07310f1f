// The check before posting against the strict stand-in package: one case for each kind of finding,
// and that a check posts nothing, flags nothing and changes no tick.
#include "config/settings_file.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/document_search.h"
#include "export/export_run.h"
#include "export/posting_check.h"
#include "export/posting_journal.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/call_recorder.h"
#include "sqlacc/posting_sources.h"
#include "sqlacc/sqlacc_export_master.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_codes.h"
#include "standin/package_dump.h"
#include "standin/package_setup.h"
#include "standin/standin_package.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QJsonArray>
#include <QtTest>

using namespace ExportFixture;

class TestPostingCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void eachFindingIsNamedAndNothingChanges_data();
    void eachFindingIsNamedAndNothingChanges();
    void readyDocumentsPassAndEachCodeIsAskedOnce();

private:
    void addCustomer(const QString& code, const QVariant& debtor);
    void postCustomers();
    void addInvoice(const QString& id, const QVariantHash& lineChanges = {});
    void addPayment(const QString& settles);
    int tick(const QString& kind);
    QString snapshot();

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
    std::unique_ptr<SettingsFile> settings;
    StandinPackage* package = nullptr;
};

void TestPostingCheck::initTestCase() {
    package = &UseStandinPackage();
}

void TestPostingCheck::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    CreateTestPackage(context->folder());
    SettingsFile file;
    file.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
    file.writeString("GENERAL", "EXPORT_MODE", "0");
    file.writeString("SQLACC", "DCF", context->path("Package/DEFAULT.DCF"));
    file.writeString("SQLACC", "SALES_TRANSACTION", "ACC-0001.FDB");
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    settings = std::make_unique<SettingsFile>();
    AddStationJobs(data->dbStk);
    package->clearFaults();
    UseStandinPackage();
}

void TestPostingCheck::cleanup() {
    ReleaseBizApp();
    UseStandinPackage();
    data.reset();
    context.reset();
}

void TestPostingCheck::addCustomer(const QString& code, const QVariant& debtor) {
    InsertRow(data->dbApp, "MAS_CUSTOMER",
              {{"M_CODE", code},
               {"M_DESC", "Customer " + code},
               {"M_DEBTOR", debtor},
               {"M_EXPORT_ACCT", "F"}});
}

void TestPostingCheck::postCustomers() {
    const PostingSources sources{data->dbStk, data->dbApp, data->dbAR};
    QVERIFY(SQLAccExportMaster(sources, "AR_CUSTOMER", "300-000", "ALL"));
    data->dbApp.execute("UPDATE MAS_CUSTOMER SET M_EXPORT_ACCT = 'T'");
}

// A sales invoice IV-<id> of customer C001: one line of item P1, 2 at 50.00, 6.00 tax under SR.
void TestPostingCheck::addInvoice(const QString& id, const QVariantHash& lineChanges) {
    InsertRow(data->dbStk, "STK_MLEDGER",
              With(LedgerRow("SL_IV", id), {{"S_AR_INVOICE_NO", "IV-" + id},
                                            {"S_REFNO", "00000" + id},
                                            {"S_TOTAL", 100.0},
                                            {"S_NETTOTAL", 106.0}}));
    if (lineChanges.contains("none"))
        return;
    InsertRow(data->dbStk, "STK_SLEDGER",
              With({{"S_ID", id},
                    {"S_SEQ", 1},
                    {"S_PLUCODE", "P1"},
                    {"S_QTY", 2.0},
                    {"S_PRICE", 50.0},
                    {"S_COST", 40.0},
                    {"S_TOTAL", 100.0},
                    {"S_COSTTOTAL", 80.0},
                    {"S_TAX_CODE", "SR"},
                    {"S_TAX_AMT", 6.0},
                    {"S_REASON", "Goods"},
                    {"S_EXPORT_ACCT", "F"}},
                   lineChanges));
}

// A payment OR/0001 of customer C001 that settles the invoice numbered `settles`.
void TestPostingCheck::addPayment(const QString& settles) {
    InsertRow(data->dbAR, "AR_TRANS", ReceivableRow("AR_PM"));
    InsertRow(data->dbAR, "AR_LINK",
              {{"LK_MASDOC", "OR/0001"},
               {"LK_TYPE", "INV/"},
               {"LK_DOCNO", settles},
               {"LK_TOTAL", 50.5},
               {"LK_DATE", At(2024, 3, 20)},
               {"LK_EXPORT_ACCT", "F"}});
}

int TestPostingCheck::tick(const QString& kind) {
    DocumentSearch search(*data, *settings);
    if (kind.startsWith("AR_"))
        search.SearchReceivables(kind, ReceivableSearchFilter{});
    else
        search.SearchStockDocuments(kind, StockSearchFilter{});
    return search.TickAll(kind, true);
}

// What a check must leave as it found it: the package's documents, the ticks and the flags at the
// sources, the customers' codes, and the journal.
QString TestPostingCheck::snapshot() {
    QStringList parts;
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()));
    parts << QString::number(dump["documents"].toArray().size());
    for (const char* sql :
         {"SELECT S_MODULE, S_ID, S_EXPORT_ACCT FROM TMP_EXPORT_ACCT ORDER BY 1, 2",
          "SELECT S_ID, S_EXPORT_ACCT FROM STK_MLEDGER ORDER BY 1",
          "SELECT S_ID, S_SEQ, S_EXPORT_ACCT FROM STK_SLEDGER ORDER BY 1, 2"}) {
        RowReader reader(data->dbStk, QString::fromLatin1(sql));
        while (reader.next())
            for (int i = 0; i < reader.columnCount(); ++i)
                parts << reader.value(i).toString();
    }
    // Codes that generation would give are tried and rolled back: the masters stay as they are.
    RowReader masters(data->dbApp, "SELECT M_CODE, COALESCE(M_DEBTOR, '(none)'), M_EXPORT_ACCT "
                                   "FROM MAS_CUSTOMER ORDER BY 1");
    while (masters.next())
        for (int i = 0; i < 3; ++i)
            parts << masters.value(i).toString();
    RowReader ar(data->dbAR, "SELECT TD_DOCNO, TD_EXPORT_ACCT FROM AR_TRANS ORDER BY 1");
    while (ar.next())
        parts << ar.value(0).toString() << ar.value(1).toString();
    parts << QString::number(ReadJournal(data->dbStk, data->dbAR, {}).size());
    return parts.join('|');
}

void TestPostingCheck::eachFindingIsNamedAndNothingChanges_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QStringList>("findings");
    QTest::addColumn<QString>("remedy");
    QTest::newRow("customer not exported yet")
        << "SL_IV" << QStringList{"customer \"300-C001\" is not in the accounting package"}
        << "export the Customer Profile first";
    QTest::newRow("customer without debtor code")
        << "SL_IV" << QStringList{"customer \"C001\" has no debtor code"}
        << "export the Customer Profile first and let it generate the missing codes (this "
           "customer gets \"300-C001\")";
    QTest::newRow("terms the package lacks")
        << "SL_IV" << QStringList{"terms \"60 DAYS\" is not in the accounting package"}
        << "add it to the package's terms list, or name another in the settings";
    QTest::newRow("account the package lacks")
        << "SL_IV"
        << QStringList{"GL account \"599-999\" is not in the accounting package (line 1)"}
        << "add it to the package's GL account list, or name another in the settings";
    QTest::newRow("tax code the package lacks")
        << "SL_IV" << QStringList{"tax code \"SV8\" is not in the accounting package (line 1)"}
        << "add it to the package's tax code list, or name another in the settings";
    QTest::newRow("tax code needing a tariff code")
        << "SL_IV"
        << QStringList{"tax code \"ST\" needs a tariff code and none is configured (line 1)"}
        << "set the tariff code (TARIFF_CODE of section SQLACC) in the settings";
    QTest::newRow("item the package lacks")
        << "SL_IV" << QStringList{"item code \"P9\" is not in the accounting package (line 1)"}
        << "add the item in the accounting package";
    QTest::newRow("total below 0") << "SL_IV" << QStringList{"its total -94.00 is below 0"}
                                   << "correct it at its source (the package takes no "
                                      "document below 0)";
    QTest::newRow("nothing to post") << "SL_IV" << QStringList{"its source holds no lines to post"}
                                     << "look at the document in the back office";
    QTest::newRow("number held for another amount")
        << "SL_IV"
        << QStringList{"The accounting package already holds IV-1 for 300-C001 dated 20/03/2024, "
                       "106.00; this document is for 300-C001, 999.00. Give one of them another "
                       "number in the back office, then export it again."}
        << "give one of them another number in the back office";
    QTest::newRow("knock-off of a document nowhere")
        << "AR_PM"
        << QStringList{"settles IV \"IV-9\", which is neither in the accounting package nor "
                       "ticked"}
        << "export the settled document first, or its knock-off is lost";
    QTest::newRow("knock-off of a document ticked under another kind")
        << "AR_PM"
        << QStringList{"settles IV \"IV-1\", which is ticked under sales invoices but not yet "
                       "posted"}
        << "export the sales invoices first";
}

void TestPostingCheck::eachFindingIsNamedAndNothingChanges() {
    QFETCH(QString, kind);
    QFETCH(QStringList, findings);
    QFETCH(QString, remedy);
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    addCustomer("C001", name.contains("without debtor") ? QVariant() : QVariant("300-C001"));
    if (!name.contains("not exported") && !name.contains("without debtor"))
        postCustomers();
    if (name.contains("terms"))
        settings->writeString("SQLACC", "PAYMENT_TERM", "60 DAYS");
    if (name.contains("account"))
        settings->writeString("SQLACC", "SALES_ACCOUNT", "599-999");
    if (name.contains("tariff"))
        AddPackageCodes(PackageDatabaseTarget(ReadPackageDcf(context->path("Package/DEFAULT.DCF")),
                                              "ACC-0001.FDB"),
                        {PackageCode{"TAX", "ST", "Sales tax", 10, true}});
    QVariantHash line;
    if (name.contains("tax code the package lacks"))
        line = {{"S_TAX_CODE", "SV8"}};
    else if (name.contains("tariff"))
        line = {{"S_TAX_CODE", "ST"}, {"S_TAX_AMT", 10.0}};
    else if (name.contains("item"))
        line = {{"S_PLUCODE", "P9"}};
    else if (name.contains("below 0"))
        line = {{"S_PRICE", -50.0}, {"S_TOTAL", -100.0}, {"S_TAX_AMT", -6.0}};
    else if (name.contains("nothing to post"))
        line = {{"none", true}};

    if (kind == QLatin1String("AR_PM")) {
        if (name.contains("ticked under")) {
            addInvoice("1");
            tick("SL_IV");
        }
        addPayment(name.contains("ticked under") ? "IV-1" : "IV-9");
        QCOMPARE(tick("AR_PM"), 1);
    } else {
        addInvoice("1", line);
        if (name.contains("another amount")) {
            tick("SL_IV");
            QCOMPARE(ExportRun(*data, *settings).Run("SL_IV").posted, 1);
            // The same number ticked again, for another amount.
            data->dbStk.execute("UPDATE TMP_EXPORT_ACCT SET S_NETTOTAL = 999, S_EXPORT_ACCT = 'T' "
                                "WHERE S_MODULE = 'SL_IV'");
        } else {
            QCOMPARE(tick("SL_IV"), 1);
        }
    }
    const QString before = snapshot();
    const CheckReport report = CheckTickedDocuments(*data, *settings, kind);
    QCOMPARE(snapshot(), before);
    QCOMPARE(report.documents.size(), 1);
    const CheckedDocument& doc = report.documents.first();
    QStringList texts;
    for (const CheckFinding& finding : doc.findings)
        texts << finding.text;
    QCOMPARE(texts, findings);
    QCOMPARE(doc.findings.first().remedy, remedy);
    const bool noted = name == QLatin1String("nothing to post");
    QCOMPARE(doc.statusText(),
             (noted ? "Nothing to post: " : "Would be refused: ") + findings.join("; "));
    QCOMPARE(report.refusedCount(), noted ? 0 : 1);
    QCOMPARE(package->openBusinessObjects(), 0);

    // Posted without the check, the package refuses the document for the same cause.
    const CheckFinding& first = doc.findings.first();
    if (!first.refusedAtSave())
        return;
    ExportRun run(*data, *settings, {QString(), "TEST", true});
    run.Run(kind);
    QCOMPARE(run.summary().refused, 1);
    const QString cause = first.kind == CheckFindingKind::PartyMissing && doc.party.isEmpty()
                              ? QStringLiteral("code \"\" does not exist")
                              : first.code;
    QVERIFY2(run.summary().refusals.first().message.contains(cause),
             qPrintable(run.summary().refusals.first().message));
}

// Documents that the package would take pass, and further documents naming the same codes ask the
// package only whether their own numbers are held already.
void TestPostingCheck::readyDocumentsPassAndEachCodeIsAskedOnce() {
    addCustomer("C001", "300-C001");
    postCustomers();
    auto log = std::make_shared<CallLog>();
    SetBizAppFactory(
        [this, log] { return std::make_shared<RecordingObject>(package->createBizApp(), log); });
    const auto lookups = [&log] {
        int count = 0;
        for (const std::string& line : log->lines())
            count += line.find("FindKeyByRef") != std::string::npos ? 1 : 0;
        return count;
    };
    addInvoice("1");
    QCOMPARE(tick("SL_IV"), 1);
    QCOMPARE(CheckTickedDocuments(*data, *settings, "SL_IV").readyCount(), 1);
    const int oneDocument = lookups();
    QVERIFY(oneDocument >= 6); // the number, the customer, terms, account, tax code, item ...
    for (const QString id : {"2", "3", "4"})
        addInvoice(id);
    QCOMPARE(tick("SL_IV"), 4);
    log->clear();
    const QString state = snapshot();
    const CheckReport report = CheckTickedDocuments(*data, *settings, "SL_IV");
    QCOMPARE(snapshot(), state);
    QCOMPARE(report.summaryText(), "4 documents checked: 4 ready, 0 would be refused");
    QCOMPARE(lookups(), oneDocument + 3);
}

QTEST_GUILESS_MAIN(TestPostingCheck)
#include "test_posting_check.moc"
