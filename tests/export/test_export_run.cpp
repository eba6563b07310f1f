// The export run and the master-data export end to end: real embedded databases, the stand-in
// package, and the flags set at the sources.
#include "config/settings_file.h"
#include "core/stop_signals.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/document_kinds.h"
#include "export/document_search.h"
#include "export/export_run.h"
#include "export/export_run_lock.h"
#include "export/export_status.h"
#include "export/master_export.h"
#include "export/module_codes.h"
#include "export/posting_journal.h"
#include "export/reconciliation.h"
#include "export/run_messages.h"
#include "export/run_register.h"
#include "export/source_marking.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/call_recorder.h"
#include "sqlacc/document_read_back.h"
#include "sqlacc/posting_sources.h"
#include "sqlacc/sqlacc_export_ar.h"
#include "sqlacc/sqlacc_export_doc.h"
#include "sqlacc/sqlacc_export_master.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_dump.h"
#include "standin/package_setup.h"
#include "standin/standin_package.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QJsonArray>
#include <QScopeGuard>
#include <QtTest>

using namespace ExportFixture;

class TestExportRun : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void documentKindsAgreeWithThePostingRoutines();
    void markingStatementsAreExact_data();
    void markingStatementsAreExact();
    void documentWithoutLinesIsSkippedUnmarked();
    void byItemMarksReceiptLinesAndCloseDay();
    void bySummaryMarksOnlyItsStoresReceipts();
    void eInvoiceCashSalesRun_data();
    void eInvoiceCashSalesRun();
    void knockOffDocumentWaitsForItsLinks();
    void noTickedRowPostsNothing();
    void missingCustomerMasterPassesEmptyCode();
    void ticksFromEarlierOpeningAreSent();
    void failingSaveStopsTheRunAndRetryPostsOnce();
    void documentPostedButNotMarkedIsNotPostedAgain();
    void markingIsAllOrNothing();
    void eachDocumentCommitsOnceAtItsSource();
    void observerCanStopAfterTheDocumentInHand();
    void stopSignalStopsAfterTheDocumentInHand();

    void journalRecordsEveryDocumentWithItsOutcome();
    void refusalIsJournalled_data();
    void refusalIsJournalled();
    void postingIsJournalledWhenFlaggingFails();
    void receivableDocumentIsJournalledWithItsFlags();
    void readBackDifferenceIsJournalledBesideThePosting();
    void purchaseInvoicesOfTwoSuppliersWithOneNumberAreBothPosted();
    void documentSavedButNotReadBackIsPostedAndSaysSo();
    void numberHeldByThePackage_data();
    void numberHeldByThePackage();
    void receivableNumberOfAnotherDocumentIsRefused();
    void invoiceFromThePosSavedButNotFlaggedIsNotSavedAgain();
    void knockOffsLandOrStayOpen();
    void flaggedDocumentIsNotPostedAgain_data();
    void flaggedDocumentIsNotPostedAgain();
    void runStopsBeforeItsFirstDocument_data();
    void runStopsBeforeItsFirstDocument();

    void debtorCodes_data();
    void debtorCodes();
    void creditorCodeWithoutDashInAccount();
    void noQuestionWhenNoCodeIsMissingAndEmptyTextCounts();
    void declinedGenerationDoesNothing();
    void diffSendsUnexportedRowsAndMarksAll();

private:
    void writeSettings(const QString& exportMode = QStringLiteral("0"));
    void addCustomer(const QString& code, const QString& debtor,
                     const QString& exported = QStringLiteral("F"));
    void addSupplier(const QString& code, const QString& creditor);
    void postMasters();
    void addLedgerDocument(const QString& kind, const QString& id, bool withLines = true);
    void addReceivable(const QString& kind, const QString& docNo, const QString& reference,
                       const QVariantHash& changes = {});
    void addLink(const QString& masterDoc, const QString& type, const QString& docNo,
                 double amount);
    QJsonArray packageKnockOffs(const QString& bizObject, const QString& number);
    QStringList flags(DbConnection& db, const QString& sql);
    QStringList packageDocuments(const QString& bizObject);
    int tick(const QString& kind);

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
    std::unique_ptr<SettingsFile> settings;
    StandinPackage* package = nullptr;
};

void TestExportRun::initTestCase() {
    package = &UseStandinPackage();
}

void TestExportRun::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    CreateTestPackage(context->folder());
    writeSettings();
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    settings = std::make_unique<SettingsFile>();
    AddStationJobs(data->dbStk);
    package->clearFaults();
    UseStandinPackage();
}

void TestExportRun::cleanup() {
    ReleaseBizApp();
    SetBizAppFactory({});
    data.reset();
    context.reset();
}

void TestExportRun::writeSettings(const QString& exportMode) {
    SettingsFile file;
    file.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
    file.writeString("GENERAL", "EXPORT_MODE", exportMode);
    file.writeString("SQLACC", "DCF", context->path("Package/DEFAULT.DCF"));
    file.writeString("SQLACC", "SALES_TRANSACTION", "ACC-0001.FDB");
}

void TestExportRun::addCustomer(const QString& code, const QString& debtor,
                                const QString& exported) {
    QVariantHash row{{"M_CODE", code}, {"M_DESC", "Customer " + code}, {"M_EXPORT_ACCT", exported}};
    row["M_DEBTOR"] = debtor.isNull() ? QVariant() : QVariant(debtor);
    InsertRow(data->dbApp, "MAS_CUSTOMER", row);
}

void TestExportRun::addSupplier(const QString& code, const QString& creditor) {
    QVariantHash row{{"M_CODE", code}, {"M_DESC", "Supplier " + code}, {"M_EXPORT_ACCT", "F"}};
    row["M_CREDITOR"] = creditor.isNull() ? QVariant() : QVariant(creditor);
    InsertRow(data->dbApp, "MAS_SUPPLIER", row);
}

// The package refuses documents of parties it does not hold, so the masters go first.
void TestExportRun::postMasters() {
    const PostingSources sources{data->dbStk, data->dbApp, data->dbAR};
    QVERIFY(SQLAccExportMaster(sources, "AR_CUSTOMER", "300-000", "ALL"));
    QVERIFY(SQLAccExportMaster(sources, "AP_SUPPLIER", "400-000", "ALL"));
}

void TestExportRun::addLedgerDocument(const QString& kind, const QString& id, bool withLines) {
    InsertRow(
        data->dbStk, "STK_MLEDGER",
        With(LedgerRow(kind, id), {{"S_AR_INVOICE_NO", "IV-" + id}, {"S_REFNO", "00000" + id}}));
    if (!withLines)
        return;
    InsertRow(data->dbStk, "STK_SLEDGER",
              {{"S_ID", id},
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
               {"S_EXPORT_ACCT", "F"}});
}

QStringList TestExportRun::flags(DbConnection& db, const QString& sql) {
    QStringList values;
    RowReader reader(db, sql);
    while (reader.next()) {
        QStringList row;
        for (int i = 0; i < reader.columnCount(); ++i)
            row << reader.value(i).toString();
        values << row.join(QLatin1Char(' '));
    }
    return values;
}

QStringList TestExportRun::packageDocuments(const QString& bizObject) {
    QStringList numbers;
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()));
    for (const QJsonValue document : dump["documents"].toArray())
        if (document["bizObject"].toString() == bizObject)
            numbers << document["DOCNO"].toString();
    return numbers;
}

int TestExportRun::tick(const QString& kind) {
    DocumentSearch search(*data, *settings);
    if (kind.startsWith("AR_"))
        search.SearchReceivables(kind, ReceivableSearchFilter{});
    else
        search.SearchStockDocuments(kind, StockSearchFilter{});
    return search.TickAll(kind, true);
}

// The posting routines find purchase documents by number and supplier on their own; the table of
// kinds must say the same of every kind.
void TestExportRun::documentKindsAgreeWithThePostingRoutines() {
    QCOMPARE(int(DocumentKindsEnd() - DocumentKindsBegin()), TransactionCodes().size());
    for (const DocumentKind* kind = DocumentKindsBegin(); kind != DocumentKindsEnd(); ++kind)
        QVERIFY2(FoundByNumberAndParty(QLatin1String(kind->code)) == kind->foundByNumberAndParty,
                 kind->code);
}

void TestExportRun::markingStatementsAreExact_data() {
    QTest::addColumn<QStringList>("statements");
    QTest::addColumn<QStringList>("expected");
    const QString day =
        "extract(year from %1)||'/'||substring(100+extract(month from %1) from 2 for 2)||'/'||"
        "substring(100+extract(day from %1) from 2 for 2)";
    QTest::newRow("cash sale by item")
        << CashSaleByItemMarking("S001", "01", "000000007", "2015/04/01")
        << QStringList{"Update POS_CLOSEINFO  Set CI_EXPORT_ACCT='T' Where CI_STORE ='S001' AND "
                       "CI_CTRNO ='01' AND "
                       "CI_CLOSEDATE = '2015/04/01'",
                       "Update POS_SALES  Set SALES_EXPORT_ACCT='T' Where SALES_CTRNO ='01' AND "
                       "SALES_STORE ='S001' AND "
                       "SALES_TRANSNO ='7' AND " +
                           day.arg("SALES_DATETIME") + " ='2015/04/01'",
                       "Update POS_SALESDTL  Set SALES_EXPORT_ACCT='T' Where SDTL_CTRNO ='01' AND "
                       "SDTL_STORE ='S001' AND "
                       "SDTL_TRANSNO ='7' AND " +
                           day.arg("SDTL_DATETIME") + " = '2015/04/01'"};
    QTest::newRow("cash sales by summary")
        << CashSaleBySummaryMarking("S001", "01", "2015/04/05")
        << QStringList{"Update POS_CLOSEINFO  Set CI_EXPORT_ACCT='T' Where CI_STORE ='S001' AND "
                       "CI_CTRNO ='01' AND "
                       "CI_CLOSEDATE = '2015/04/05'",
                       "Update POS_SALES  Set SALES_EXPORT_ACCT='T' Where SALES_CTRNO ='01' AND "
                       "SALES_STORE ='S001' "
                       "AND SALES_CLOSEDATE ='2015/04/05'",
                       "Update POS_SALESDTL  Set SALES_EXPORT_ACCT='T' Where SDTL_CTRNO ='01' AND "
                       "SDTL_STORE ='S001' "
                       "AND SDTL_CLOSEDATE = '2015/04/05'"};
    QTest::newRow("stock document, quoted id")
        << StockDocumentMarking("O'1")
        << QStringList{"Update Stk_MLedger Set S_EXPORT_ACCT='T' Where S_ID='O''1'",
                       "Update Stk_SLedger Set S_EXPORT_ACCT='T' Where S_ID='O''1'"};
    QTest::newRow("receivable invoice")
        << ReceivableDocumentMarking("INV/1")
        << QStringList{"Update AR_TRANS  Set TD_EXPORT_ACCT ='T' Where TD_DOCNO  ='INV/1'"};
    QTest::newRow("payment: only the links the package applied")
        << KnockOffDocumentMarking("OR/1", {{"INV/", "IV-1"}, {"DN/", "D'2"}})
        << QStringList{"Update AR_LINK  Set LK_EXPORT_ACCT ='T' Where LK_MASDOC  ='OR/1' AND "
                       "LK_TYPE ='INV/' AND LK_DOCNO ='IV-1'",
                       "Update AR_LINK  Set LK_EXPORT_ACCT ='T' Where LK_MASDOC  ='OR/1' AND "
                       "LK_TYPE ='DN/' AND LK_DOCNO ='D''2'",
                       "Update AR_TRANS  Set TD_EXPORT_ACCT ='T' Where TD_DOCNO  ='OR/1' AND "
                       "TD_DOCNO NOT IN  (SELECT LK_MASDOC   FROM AR_LINK   WHERE "
                       "LK_EXPORT_ACCT ='F')"};
}

void TestExportRun::markingStatementsAreExact() {
    QFETCH(QStringList, statements);
    QFETCH(QStringList, expected);
    QCOMPARE(statements, expected);
}

void TestExportRun::documentWithoutLinesIsSkippedUnmarked() {
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    addLedgerDocument("SL_IV", "2", false); // nothing to post
    addLedgerDocument("SL_IV", "3");
    QCOMPARE(tick("SL_IV"), 3);
    const ExportRunSummary summary = ExportRun(*data, *settings).Run("SL_IV");
    QCOMPARE(summary.total, 3);
    QCOMPARE(summary.posted, 2);
    QCOMPARE(summary.nothingToPost, 1);
    QCOMPARE(flags(data->dbStk, "SELECT S_ID, S_EXPORT_ACCT FROM STK_MLEDGER ORDER BY S_ID"),
             (QStringList{"1 T", "2 F", "3 T"}));
    QCOMPARE(flags(data->dbStk, "SELECT S_ID, S_EXPORT_ACCT FROM STK_SLEDGER ORDER BY S_ID"),
             (QStringList{"1 T", "3 T"}));
    QCOMPARE(packageDocuments("SL_IV"), (QStringList{"IV-1", "IV-3"}));
    // The search that follows offers the skipped document again, unticked.
    tick("SL_IV");
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), QStringList{"2"});
}

void TestExportRun::byItemMarksReceiptLinesAndCloseDay() {
    addCustomer("C001", "300-C001");
    postMasters();
    InsertRow(data->dbStk, "POS_SALES",
              With(ReceiptRow(), {{"SALES_TRANSNO", 7}, {"SALES_RCPTNO", 7}}));
    InsertRow(
        data->dbStk, "POS_SALES",
        With(ReceiptRow(),
             {{"SALES_TRANSNO", 8}, {"SALES_RCPTNO", 8}, {"SALES_DATETIME", At(2024, 3, 20, 15)}}));
    for (int trans : {7, 8})
        InsertRow(
            data->dbStk, "POS_SALESDTL",
            {{"SDTL_STORE", "S001"},
             {"SDTL_CTRNO", "01"},
             {"SDTL_TRANSNO", trans},
             {"SDTL_DATETIME", trans == 7 ? At(2024, 3, 20, 14, 35, 10) : At(2024, 3, 20, 15)},
             {"SDTL_LINENO", 1},
             {"SDTL_CLOSEDATE", At(2024, 3, 20)},
             {"SDTL_PLUNO", "P1"},
             {"SDTL_QTY", 1.0},
             {"SDTL_SELLPRICE", 106.0},
             {"SDTL_TAXSYMBOL", "S"},
             {"SALES_EXPORT_ACCT", "F"}});
    InsertRow(data->dbStk, "POS_CLOSEINFO", CloseRow());
    DocumentSearch(*data, *settings).SearchStockDocuments("SL_CS", StockSearchFilter{});
    data->dbStk.execute(
        "UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'T' WHERE S_REFNO = '000000007'");

    const ExportRunSummary summary = ExportRun(*data, *settings).Run("SL_CS");
    QCOMPARE(summary.posted, 1);
    QCOMPARE(packageDocuments("SL_CS"), QStringList{"S001-01-000000007"});
    QCOMPARE(
        flags(data->dbStk, "SELECT SALES_TRANSNO, SALES_EXPORT_ACCT FROM POS_SALES ORDER BY 1"),
        (QStringList{"7 T", "8 F"}));
    QCOMPARE(
        flags(data->dbStk, "SELECT SDTL_TRANSNO, SALES_EXPORT_ACCT FROM POS_SALESDTL ORDER BY 1"),
        (QStringList{"7 T", "8 F"}));
    QCOMPARE(flags(data->dbStk, "SELECT CI_EXPORT_ACCT FROM POS_CLOSEINFO"), QStringList{"T"});
    // That counter-day is no longer offered By Summary.
    writeSettings("1");
    QCOMPARE(DocumentSearch(*data, *settings).SearchStockDocuments("SL_CS", StockSearchFilter{}),
             0);
}

void TestExportRun::bySummaryMarksOnlyItsStoresReceipts() {
    writeSettings("1");
    addCustomer("C001", "300-C001");
    postMasters();
    InsertRow(data->dbStk, "POS_SALES", ReceiptRow());
    InsertRow(data->dbStk, "POS_SALES", With(ReceiptRow(), {{"SALES_STORE", "S005"}}));
    InsertRow(data->dbStk, "POS_CLOSEINFO",
              With(CloseRow(),
                   {{"CI_TAXABLEAMT1", 100.0}, {"CI_TAXABLEAMT2", 0.0}, {"CI_TAXABLEAMT3", 0.0}}));
    InsertRow(data->dbStk, "POS_CLOSEINFO",
              With(CloseRow(), {{"CI_STORE", "S005"}, {"CI_TAXABLEAMT1", 100.0}}));
    DocumentSearch(*data, *settings).SearchStockDocuments("SL_CS", StockSearchFilter{});
    data->dbStk.execute(
        "UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'T' WHERE S_STORE_FROM = 'S001'");
    QCOMPARE(ExportRun(*data, *settings).Run("SL_CS").posted, 1);
    QCOMPARE(packageDocuments("SL_CS"), QStringList{"S001-01-20032024"});
    QCOMPARE(flags(data->dbStk, "SELECT SALES_STORE, SALES_EXPORT_ACCT FROM POS_SALES ORDER BY 1"),
             (QStringList{"S001 T", "S005 F"}));
    QCOMPARE(flags(data->dbStk, "SELECT CI_STORE, CI_EXPORT_ACCT FROM POS_CLOSEINFO ORDER BY 1"),
             (QStringList{"S001 T", "S005 F"}));
}

// A By Summary run with EINVOICE set: on a build with the e-invoice fields each day's summary names
// its receipt; on an older one the documents go as before and the run says so once, in its
// summary and in the window's closing text.
void TestExportRun::eInvoiceCashSalesRun_data() {
    QTest::addColumn<QString>("build");
    QTest::addColumn<bool>("tooOld");
    QTest::newRow("860") << "5.2024.1007.860" << false;
    QTest::newRow("853") << "5.2024.990.853" << true;
}

void TestExportRun::eInvoiceCashSalesRun() {
    QFETCH(QString, build);
    QFETCH(bool, tooOld);
    writeSettings("1");
    settings->writeString("SQLACC", "EINVOICE", "Y");
    SetPackageDcfValue(context->path("Package/DEFAULT.DCF"), "BUILD", build);
    addCustomer("C001", "300-C001");
    postMasters();
    for (const char* store : {"S001", "S005"}) {
        InsertRow(data->dbStk, "POS_SALES", With(ReceiptRow(), {{"SALES_STORE", store}}));
        InsertRow(data->dbStk, "POS_CLOSEINFO",
                  With(CloseRow(), {{"CI_STORE", store},
                                    {"CI_TAXABLEAMT1", 100.0},
                                    {"CI_TAXABLEAMT2", 0.0},
                                    {"CI_TAXABLEAMT3", 0.0}}));
    }
    DocumentSearch(*data, *settings).SearchStockDocuments("SL_CS", StockSearchFilter{});
    data->dbStk.execute("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'T'");

    const ExportRunSummary summary = ExportRun(*data, *settings).Run("SL_CS");
    QCOMPARE(summary.posted, 2);
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()));
    QStringList descriptions;
    for (const QJsonValue document : dump["documents"].toArray())
        descriptions << document["header"]["DESCRIPTION"].toString();
    if (tooOld) {
        QCOMPARE(descriptions, (QStringList{"", ""}));
        QCOMPARE(summary.notices.size(), 1);
        QVERIFY(summary.notices.first().contains("build 5.2024.990.853 is too old"));
        QCOMPARE(ExportRunEndText(summary).count("too old for e-invoicing"), 1);
    } else {
        QCOMPARE(descriptions, (QStringList{"Receipts 000012345 (1)", "Receipts 000012345 (1)"}));
        QCOMPARE(summary.notices, QStringList());
    }
}

void TestExportRun::knockOffDocumentWaitsForItsLinks() {
    data->dbAR.execute("INSERT INTO AR_TRANS (TD_DOCNO, TD_SEQ, TD_TYPE, TD_EXPORT_ACCT) VALUES "
                       "('OR/1', 1, 'OR/', 'F')");
    data->dbAR.execute(
        "INSERT INTO AR_LINK (LK_MASDOC, LK_TYPE, LK_DOCNO, LK_TOTAL, LK_EXPORT_ACCT) "
        "VALUES ('OR/1', 'INV/', 'IV1', 10, 'F')");
    data->dbAR.execute(
        "INSERT INTO AR_LINK (LK_MASDOC, LK_TYPE, LK_DOCNO, LK_TOTAL, LK_EXPORT_ACCT) "
        "VALUES ('OR/1', 'INV/', 'IV2', 5, 'F')");
    // While a link of the payment is still unmarked, the payment stays unmarked.
    RunMarking(data->dbAR, KnockOffDocumentMarking("OR/1", {{"INV/", "IV1"}}));
    QCOMPARE(flags(data->dbAR, "SELECT LK_DOCNO, LK_EXPORT_ACCT FROM AR_LINK ORDER BY 1"),
             (QStringList{"IV1 T", "IV2 F"}));
    QCOMPARE(flags(data->dbAR, "SELECT TD_EXPORT_ACCT FROM AR_TRANS"), QStringList{"F"});
    RunMarking(data->dbAR, KnockOffDocumentMarking("OR/1", {{"INV/", "IV2"}}));
    QCOMPARE(flags(data->dbAR, "SELECT LK_EXPORT_ACCT FROM AR_LINK"), (QStringList{"T", "T"}));
    QCOMPARE(flags(data->dbAR, "SELECT TD_EXPORT_ACCT FROM AR_TRANS"), QStringList{"T"});
}

void TestExportRun::noTickedRowPostsNothing() {
    addLedgerDocument("SL_IV", "1");
    tick("SL_IV");
    DocumentSearch(*data, *settings).TickAll("SL_IV", false);
    auto recorder = std::make_shared<RecordingPackage>();
    SetBizAppFactory([recorder] { return recorder; });
    const ExportRunSummary summary = ExportRun(*data, *settings).Run("SL_IV");
    QCOMPARE(summary.total, 0);
    QCOMPARE(recorder->log().callCount(), 0);
}

void TestExportRun::missingCustomerMasterPassesEmptyCode() {
    addLedgerDocument("SL_IV", "1"); // customer C001 has no master row
    tick("SL_IV");
    auto recorder = std::make_shared<RecordingPackage>();
    SetBizAppFactory([recorder] { return recorder; });
    QCOMPARE(ExportRun(*data, *settings).Run("SL_IV").posted, 1);
    const std::vector<std::string> lines = recorder->log().lines();
    QVERIFY2(std::find(lines.begin(), lines.end(), "SL_IV.MainDataSet.CODE := \"\"") != lines.end(),
             recorder->log().text().c_str());
}

void TestExportRun::ticksFromEarlierOpeningAreSent() {
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("PH_PI", "1");
    addSupplier("V001", "400-V001");
    postMasters();
    // A tick saved in the work table by an earlier opening, with no search since.
    data->dbStk.execute(
        "INSERT INTO TMP_EXPORT_ACCT (S_ID, S_STORE_FROM, S_REFNO, S_DATE, S_CODE, S_MODULE, "
        "S_EXPORT_ACCT) VALUES ('1', 'S001', '000001', '2024/03/20', 'V001', 'PH_PI', 'T')");
    QCOMPARE(ExportRun(*data, *settings).Run("PH_PI").posted, 1);
    QCOMPARE(packageDocuments("PH_PI"), QStringList{"S001-000001"});
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER"), QStringList{"T"});
}

void TestExportRun::failingSaveStopsTheRunAndRetryPostsOnce() {
    addCustomer("C001", "300-C001");
    postMasters();
    for (const QString id : {"1", "2", "3"})
        addLedgerDocument("SL_IV", id);
    tick("SL_IV");
    package->failCall("Save", 2, "Disk full");
    ExportRun run(*data, *settings);
    try {
        run.Run("SL_IV");
        QFAIL("the failing save must stop the run");
    } catch (const std::exception& error) {
        QVERIFY2(QString::fromUtf8(error.what()).contains("Disk full"), error.what());
    }
    QCOMPARE(run.summary().posted, 1);
    QCOMPARE(packageDocuments("SL_IV").size(), 1);
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER ORDER BY S_ID"),
             (QStringList{"T", "F", "F"}));

    package->clearFaults();
    // The stopped run unticked the document it posted and left the others ticked; pressing
    // Export again sends what is still open.
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID || S_EXPORT_ACCT"),
             (QStringList{"1F", "2T", "3T"}));
    const ExportRunSummary again = ExportRun(*data, *settings).Run("SL_IV");
    QCOMPARE(again.posted, 2);
    QCOMPARE(again.alreadyInPackage, 0);
    QStringList documents = packageDocuments("SL_IV");
    documents.sort();
    QCOMPARE(documents, (QStringList{"IV-1", "IV-2", "IV-3"}));
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER ORDER BY S_ID"),
             (QStringList{"T", "T", "T"}));
}

void TestExportRun::documentPostedButNotMarkedIsNotPostedAgain() {
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    tick("SL_IV");
    // A run that was killed after the package saved the document and before the source was
    // flagged: the posting happened, the marking did not.
    const PostingSources sources{data->dbStk, data->dbApp, data->dbAR};
    QVERIFY(SQLAccExportDoc(sources, "SL_IV", "1", "IV-1", "2024/03/20", "300-C001", 106.0, 0.0));
    const ExportRunSummary summary = ExportRun(*data, *settings).Run("SL_IV");
    QCOMPARE(summary.alreadyInPackage, 1);
    QCOMPARE(summary.posted, 0);
    QCOMPARE(packageDocuments("SL_IV"), QStringList{"IV-1"});
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER"), QStringList{"T"});
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_SLEDGER"), QStringList{"T"});
}

void TestExportRun::markingIsAllOrNothing() {
    addLedgerDocument("SL_IV", "1");
    // The line table refuses the update; the header must not stay flagged alone.
    data->dbStk.execute("CREATE EXCEPTION LINES_LOCKED 'lines are locked'");
    data->dbStk.execute("CREATE TRIGGER STK_SLEDGER_LOCK FOR STK_SLEDGER BEFORE UPDATE AS BEGIN "
                        "EXCEPTION LINES_LOCKED; END");
    QVERIFY_THROWS_EXCEPTION(AppError, RunMarking(data->dbStk, StockDocumentMarking("1")));
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER"), QStringList{"F"});
}

void TestExportRun::eachDocumentCommitsOnceAtItsSource() {
    addCustomer("C001", "300-C001");
    postMasters();
    for (const QString id : {"1", "2", "3"})
        addLedgerDocument("SL_IV", id);
    tick("SL_IV");
    // The engine numbers every transaction it starts on the database; the probe takes one.
    const auto probe = [this] {
        return SelectValue(data->dbStk, "SELECT CURRENT_TRANSACTION FROM RDB$DATABASE")
            .toLongLong();
    };
    const qlonglong before = probe();
    QCOMPARE(ExportRun(*data, *settings).Run("SL_IV").posted, 3);
    // The kind's open view is read again (it saves a pending tick), the ticked rows are read, the
    // books the run posts into are noted in the run register and the run's last journal number
    // is read, a transaction each; then each document's lines are read and its two marking
    // statements and its journal record run in one more. A commit waits on the disk: one per
    // document is what the run is built to. At its end the run notes what became of every
    // document in one more.
    QCOMPARE(probe() - before, 1 + 1 + 1 + 1 + 3 + 1 + 1);
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_SLEDGER ORDER BY S_ID"),
             (QStringList{"T", "T", "T"}));
}

namespace {
class StopAfterFirst : public ExportRunObserver {
public:
    QStringList seen;
    void documentDone(int index, int total, const QString& number, ExportRowResult) override {
        seen << QStringLiteral("%1/%2 %3").arg(index).arg(total).arg(number);
    }
    bool stopRequested() override { return true; }
};
} // namespace

void TestExportRun::observerCanStopAfterTheDocumentInHand() {
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    addLedgerDocument("SL_IV", "2");
    tick("SL_IV");
    StopAfterFirst observer;
    const ExportRunSummary summary = ExportRun(*data, *settings).Run("SL_IV", &observer);
    QVERIFY(summary.stopped);
    QCOMPARE(summary.posted, 1);
    QCOMPARE(observer.seen.size(), 1);
    QVERIFY(observer.seen.first().startsWith("1/2 IV-"));
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER ORDER BY S_EXPORT_ACCT"),
             (QStringList{"F", "T"}));
}

void TestExportRun::debtorCodes_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("debtor");
    QTest::newRow("short") << "C01"
                           << "300-C01";
    QTest::newRow("six") << "ABCDEF"
                         << "300-ABCDEF";
    QTest::newRow("seven") << "ABCDEFG"
                           << "300-ABCDEF";
    QTest::newRow("eight: six before the last") << "ABCDEFGH"
                                                << "300-BCDEFG";
}

void TestExportRun::debtorCodes() {
    QFETCH(QString, code);
    QFETCH(QString, debtor);
    addCustomer(code, QString());
    QStringList asked;
    const MasterExportResult result =
        ExportSUPP_CUST_STOCK(*data, *settings, "AR_CUSTOMER", true, [&](const QString& q) {
            asked << q;
            return true;
        });
    QCOMPARE(
        asked,
        QStringList{"Some record do not have Debtor Code. Do you want system to auto generate?"});
    QVERIFY(result.generated);
    QCOMPARE(flags(data->dbApp, "SELECT M_DEBTOR FROM MAS_CUSTOMER"), QStringList{debtor});
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()));
    QStringList codes;
    for (const QJsonValue master : dump["masters"].toArray())
        if (master["bizObject"].toString() == "AR_CUSTOMER")
            codes << master["CODE"].toString();
    codes.sort();
    QStringList expected{"300-POS", debtor};
    expected.sort();
    QCOMPARE(codes, expected);
}

void TestExportRun::creditorCodeWithoutDashInAccount() {
    SettingsFile().writeString("SQLACC", "SUPPLIER_ACCOUNT", "400000");
    addSupplier("S001", QString());
    ExportSUPP_CUST_STOCK(*data, *settings, "AP_SUPPLIER", true,
                          [](const QString&) { return true; });
    QCOMPARE(flags(data->dbApp, "SELECT M_CREDITOR FROM MAS_SUPPLIER"), QStringList{"-S001"});
}

void TestExportRun::noQuestionWhenNoCodeIsMissingAndEmptyTextCounts() {
    addSupplier("S001", "400-S001");
    int questions = 0;
    auto count = [&](const QString&) {
        ++questions;
        return true;
    };
    QCOMPARE(ExportSUPP_CUST_STOCK(*data, *settings, "AP_SUPPLIER", true, count).outcome,
             MasterExportOutcome::Completed);
    QCOMPARE(questions, 0);
    QCOMPARE(ExportSUPP_CUST_STOCK(*data, *settings, "ST_ITEM", true, count).outcome,
             MasterExportOutcome::Completed);
    QCOMPARE(questions, 0);
    addSupplier("S002", "");
    const MasterExportResult result =
        ExportSUPP_CUST_STOCK(*data, *settings, "AP_SUPPLIER", true, count);
    QCOMPARE(questions, 1);
    QCOMPARE(result.missingCodes, 1);
}

void TestExportRun::declinedGenerationDoesNothing() {
    addCustomer("C001", QString());
    addCustomer("C002", "300-C002");
    const MasterExportResult result = ExportSUPP_CUST_STOCK(*data, *settings, "AR_CUSTOMER", true,
                                                            [](const QString&) { return false; });
    QCOMPARE(result.outcome, MasterExportOutcome::Declined);
    QCOMPARE(
        flags(data->dbApp, "SELECT M_CODE, M_DEBTOR, M_EXPORT_ACCT FROM MAS_CUSTOMER ORDER BY 1"),
        (QStringList{"C001  F", "C002 300-C002 F"}));
    for (const QJsonValue master :
         DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()))["masters"]
             .toArray())
        QCOMPARE(master["bizObject"].toString(), QStringLiteral("ST_ITEM")); // the fixture's item
}

void TestExportRun::diffSendsUnexportedRowsAndMarksAll() {
    addCustomer("C001", "300-C001", "T");
    addCustomer("C002", "300-C002", "F");
    addCustomer("C003", "300-C003", "F");
    ExportSUPP_CUST_STOCK(*data, *settings, "AR_CUSTOMER", false,
                          [](const QString&) { return true; });
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()));
    QStringList codes;
    for (const QJsonValue master : dump["masters"].toArray())
        if (master["bizObject"].toString() == "AR_CUSTOMER")
            codes << master["CODE"].toString();
    codes.sort();
    QCOMPARE(codes, (QStringList{"300-C002", "300-C003", "300-POS"}));
    QCOMPARE(flags(data->dbApp, "SELECT M_EXPORT_ACCT FROM MAS_CUSTOMER"),
             (QStringList{"T", "T", "T"}));
}

void TestExportRun::stopSignalStopsAfterTheDocumentInHand() {
    addCustomer("C001", "300-C001");
    postMasters();
    for (const QString id : {"1", "2", "3"})
        addLedgerDocument("SL_IV", id);
    tick("SL_IV");
    // The signal arrives while the first document is being posted.
    class SignalDuringFirst : public ExportRunObserver {
    public:
        void documentStarting(int index, int, const QString&) override {
            if (index == 1)
                StopSignals::Request(15);
        }
    } observer;
    const auto forget = qScopeGuard([] { StopSignals::Reset(); });
    const ExportRunSummary summary = ExportRun(*data, *settings).Run("SL_IV", &observer);
    QVERIFY(summary.stopped);
    QCOMPARE(summary.posted, 1);
    QCOMPARE(packageDocuments("SL_IV"), QStringList{"IV-1"});
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER ORDER BY S_ID"),
             (QStringList{"T", "F", "F"}));
    QCOMPARE(ReadJournal(data->dbStk, data->dbAR, {}).size(), 1);
}

namespace {
QStringList journalLines(TdmPolling& data) {
    QStringList lines;
    for (const JournalEntry& entry : ReadJournal(data.dbStk, data.dbAR, {}))
        lines << QStringList{entry.runId,
                             QString::number(entry.sequence),
                             entry.user,
                             entry.store,
                             entry.moduleCode,
                             entry.sourceId,
                             entry.documentNumber,
                             entry.date.toString(Qt::ISODate),
                             entry.party,
                             QString::number(entry.netTotal),
                             JournalOutcomeCode(entry.outcome),
                             entry.message}
                     .join(QLatin1Char('|'));
    return lines;
}
} // namespace

void TestExportRun::journalRecordsEveryDocumentWithItsOutcome() {
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    addLedgerDocument("SL_IV", "2", false); // nothing to post
    addLedgerDocument("SL_IV", "3");
    tick("SL_IV");
    const PostingSources sources{data->dbStk, data->dbApp, data->dbAR};
    QVERIFY(SQLAccExportDoc(sources, "SL_IV", "3", "IV-3", "2024/03/20", "300-C001", 106.0, 0.0));
    context->clock->set(QDateTime(QDate(2024, 3, 21), QTime(2, 0, 1)));

    ExportRun(*data, *settings, {"RUN-1", "CLERK", false}).Run("SL_IV");
    QCOMPARE(journalLines(*data),
             (QStringList{"RUN-1|1|CLERK|S001|SL_IV|1|IV-1|2024-03-20|300-C001|106|POSTED|",
                          "RUN-1|2|CLERK|S001|SL_IV|2|IV-2|2024-03-20|300-C001|106|NOTHING|",
                          "RUN-1|3|CLERK|S001|SL_IV|3|IV-3|2024-03-20|300-C001|106|ALREADY|"}));
    QCOMPARE(ReadJournal(data->dbStk, data->dbAR, {}).first().time,
             QDateTime(QDate(2024, 3, 21), QTime(2, 0, 1)));
    // A second run with the same id (a schedule exports several kinds) numbers on; the document
    // with nothing to post is offered again.
    addLedgerDocument("SL_IV", "4");
    tick("SL_IV");
    ExportRun(*data, *settings, {"RUN-1", "CLERK", false}).Run("SL_IV");
    QCOMPARE(journalLines(*data).mid(3),
             (QStringList{"RUN-1|4|CLERK|S001|SL_IV|2|IV-2|2024-03-20|300-C001|106|NOTHING|",
                          "RUN-1|5|CLERK|S001|SL_IV|4|IV-4|2024-03-20|300-C001|106|POSTED|"}));
    // The journal's filters: days of the record, kind.
    QCOMPARE(ReadJournal(data->dbStk, data->dbAR, {QDate(2024, 3, 21), QDate(2024, 3, 21), "SL_IV"})
                 .size(),
             5);
    QCOMPARE(ReadJournal(data->dbStk, data->dbAR, {QDate(2024, 3, 22), QDate(), QString()}).size(),
             0);
    QCOMPARE(ReadJournal(data->dbStk, data->dbAR, {QDate(), QDate(), "PH_PI"}).size(), 0);
}

void TestExportRun::refusalIsJournalled_data() {
    QTest::addColumn<bool>("goOn");
    QTest::newRow("window: the refusal ends the run") << false;
    QTest::newRow("schedule: the run goes on") << true;
}

void TestExportRun::refusalIsJournalled() {
    QFETCH(bool, goOn);
    addCustomer("C001", "300-C001");
    postMasters();
    for (const QString id : {"1", "2", "3"})
        addLedgerDocument("SL_IV", id);
    tick("SL_IV");
    package->failCall("Save", 2, "Disk full");
    ExportRun run(*data, *settings, {"RUN-2", "CLERK", goOn});
    bool raised = false;
    try {
        run.Run("SL_IV");
    } catch (const AutomationError&) {
        raised = true;
    }
    QCOMPARE(raised, !goOn);
    QCOMPARE(run.summary().refused, 1);
    QCOMPARE(run.summary().refusals.first().documentNumber, QStringLiteral("IV-2"));
    // Each document handled is recorded in order, the refused one with the package's text.
    QStringList records;
    for (const ExportDocumentRecord& record : run.summary().documents)
        records << record.documentNumber + '|' + record.party + '|' + record.message;
    const QStringList expected =
        goOn ? QStringList{"IV-1|300-C001|", "IV-2|300-C001|Disk full", "IV-3|300-C001|"}
             : QStringList{"IV-1|300-C001|", "IV-2|300-C001|Disk full"};
    QCOMPARE(records, expected);
    const QStringList lines = journalLines(*data);
    QVERIFY2(lines.value(1).startsWith("RUN-2|2|CLERK|S001|SL_IV|2|IV-2|2024-03-20|300-C001|106|"
                                       "REFUSED|") &&
                 lines.value(1).contains("Disk full"),
             qPrintable(lines.join('\n')));
    QCOMPARE(lines.size(), goOn ? 3 : 2);
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER ORDER BY S_ID"),
             (QStringList{"T", "F", goOn ? "T" : "F"}));
    // What became of each document stays beside the work table for the export window; the
    // documents done with are unticked there, the refused one (and one not reached) not.
    QCOMPARE(flags(data->dbStk, "SELECT ST_ID, ST_OUTCOME, ST_ATTENTION, ST_TEXT FROM "
                                "ACC_EXPORT_STATUS WHERE ST_MODULE = 'SL_IV' ORDER BY ST_ID"),
             goOn ? (QStringList{"1 POSTED 0 posted", "2 REFUSED 1 refused: Disk full",
                                 "3 POSTED 0 posted"})
                  : (QStringList{"1 POSTED 0 posted", "2 REFUSED 1 refused: Disk full"}));
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID || S_EXPORT_ACCT"),
             (QStringList{"1F", "2T", goOn ? "3F" : "3T"}));
}

void TestExportRun::postingIsJournalledWhenFlaggingFails() {
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    tick("SL_IV");
    // The package saves the document, then its source cannot be flagged.
    data->dbStk.execute("CREATE EXCEPTION LINES_LOCKED 'lines are locked'");
    data->dbStk.execute("CREATE TRIGGER STK_SLEDGER_LOCK FOR STK_SLEDGER BEFORE UPDATE AS BEGIN "
                        "EXCEPTION LINES_LOCKED; END");
    QVERIFY_THROWS_EXCEPTION(AppError,
                             ExportRun(*data, *settings, {"RUN-3", "CLERK", false}).Run("SL_IV"));
    QCOMPARE(packageDocuments("SL_IV"), QStringList{"IV-1"});
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER"), QStringList{"F"});
    const QList<JournalEntry> journal = ReadJournal(data->dbStk, data->dbAR, {});
    QCOMPARE(journal.size(), 1);
    QCOMPARE(journal.first().outcome, JournalOutcome::Posted);
    QVERIFY2(journal.first().message.contains("could not be flagged") &&
                 journal.first().message.contains("lines are locked"),
             qPrintable(journal.first().message));
    // The document the error stopped the run on says so, and stays ticked.
    QCOMPARE(flags(data->dbStk, "SELECT ST_OUTCOME, ST_ATTENTION FROM ACC_EXPORT_STATUS"),
             QStringList{"ERROR 1"});
    const QString status =
        SelectValue(data->dbStk, "SELECT ST_TEXT FROM ACC_EXPORT_STATUS").toString();
    QVERIFY2(status.startsWith("stopped on an error: ") && status.contains("lines are locked"),
             qPrintable(status));
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_EXPORT_ACCT"), QStringList{"T"});
}

void TestExportRun::receivableDocumentIsJournalledWithItsFlags() {
    addCustomer("C001", "300-C001");
    postMasters();
    InsertRow(data->dbAR, "AR_TRANS", ReceivableRow("AR_IV"));
    InsertRow(
        data->dbAR, "AR_TRANS",
        With(ReceivableRow("AR_IV"), {{"TD_SEQ", 2}, {"TD_TOTAL", 0.0}, {"TD_TAX_AMT", 0.0}}));
    tick("AR_IV");
    QCOMPARE(ExportRun(*data, *settings, {"RUN-4", "CLERK", false}).Run("AR_IV").posted, 1);
    QCOMPARE(
        journalLines(*data),
        QStringList{"RUN-4|1|CLERK|S001|AR_IV|INV/0001|REF-1|2024-03-20|300-C001|106|POSTED|"});
    QCOMPARE(flags(data->dbAR, "SELECT TD_EXPORT_ACCT FROM AR_TRANS"), (QStringList{"T", "T"}));
    // The record is in the receivables database, committed with the flags.
    QCOMPARE(SelectValue(data->dbAR, "SELECT COUNT(*) FROM ACC_POST_JOURNAL").toInt(), 1);
    QCOMPARE(SelectValue(data->dbStk, "SELECT COUNT(*) FROM ACC_POST_JOURNAL").toInt(), 0);
}

// Every posted document is read back from the package after its save. One whose total there
// differs from the source's is in the books: it is flagged, and its journal record, the run's
// summary and the reconciliation say what differs. The run notes the books it posted into.
void TestExportRun::readBackDifferenceIsJournalledBesideThePosting() {
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    addLedgerDocument("SL_IV", "2");
    // The back office says 110.00 for the second; its line makes 106.00.
    data->dbStk.execute("UPDATE STK_MLEDGER SET S_NETTOTAL = 110 WHERE S_ID = '2'");
    tick("SL_IV");
    ExportRunLock lock(data->dbStk, {"CLERK", "zantro-batch", "export SL_IV"});
    const ExportRunSummary summary =
        ExportRun(*data, *settings, {lock.runId(), "CLERK", false}).Run("SL_IV");

    const QString difference =
        "posted; the package's total 106.00 differs from the source's 110.00 by 4.00";
    QCOMPARE(summary.posted, 2);
    QCOMPARE(summary.differing, 1);
    QCOMPARE(summary.differences.size(), 1);
    QCOMPARE(summary.differences.first().documentNumber, QStringLiteral("IV-2"));
    QCOMPARE(summary.differences.first().message, difference);
    QCOMPARE(ExportStatusText(summary.documents.at(1)), difference);
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER ORDER BY S_ID"),
             (QStringList{"T", "T"}));
    const QList<JournalEntry> journal = ReadJournal(data->dbStk, data->dbAR, {});
    QCOMPARE(journal.size(), 2);
    QCOMPARE(journal.at(0).check, JournalCheck::Agrees);
    QCOMPARE(journal.at(0).message, QString());
    QCOMPARE(journal.at(1).outcome, JournalOutcome::Posted);
    QCOMPARE(journal.at(1).check, JournalCheck::Differs);
    QCOMPARE(journal.at(1).message, difference);
    QCOMPARE(journal.at(1).packageTotal.value_or(0), 106.0);
    const QList<ReconciliationRow> rows =
        Reconcile(*data, *settings, {QDate(2024, 3, 1), QDate(2024, 3, 31), QString()});
    int differing = 0;
    for (const ReconciliationRow& row : rows)
        differing += row.differing;
    QCOMPARE(differing, 1);

    QCOMPARE(summary.packageCompany, QStringLiteral("ZANTRO DEMO SDN BHD"));
    QCOMPARE(RunPackage(data->dbStk, lock.runId()),
             QStringLiteral("ZANTRO DEMO SDN BHD (build 5.2024.1007.860)"));
}

// A purchase number is the store and the supplier's own reference: two suppliers' invoices with
// one reference are two documents of the package, found by number and supplier, each posted.
void TestExportRun::purchaseInvoicesOfTwoSuppliersWithOneNumberAreBothPosted() {
    addSupplier("V001", "400-V001");
    addSupplier("V002", "400-V002");
    postMasters();
    addLedgerDocument("PH_PI", "1");
    addLedgerDocument("PH_PI", "2");
    data->dbStk.execute("UPDATE STK_MLEDGER SET S_REFNO = '0000000500', S_COSTNETTTL = 86");
    data->dbStk.execute("UPDATE STK_MLEDGER SET S_SUPPLIER = 'V002' WHERE S_ID = '2'");
    tick("PH_PI");
    const ExportRunSummary summary = ExportRun(*data, *settings).Run("PH_PI");
    QCOMPARE(summary.posted, 2);
    QCOMPARE(summary.alreadyInPackage, 0);
    QCOMPARE(summary.differing, 0);
    QCOMPARE(packageDocuments("PH_PI"), (QStringList{"S001-0000000500", "S001-0000000500"}));
}

// The package saved the document, then failed while it was read back: the document is in the
// books, so it is flagged and journalled as posted, with what the package said.
void TestExportRun::documentSavedButNotReadBackIsPostedAndSaysSo() {
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    tick("SL_IV");
    package->failCall("Open", 1, "Catastrophic failure");
    const ExportRunSummary summary = ExportRun(*data, *settings).Run("SL_IV");
    QCOMPARE(summary.posted, 1);
    QCOMPARE(summary.refused, 0);
    QCOMPARE(summary.differing, 1);
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER"), QStringList{"T"});
    const QList<JournalEntry> journal = ReadJournal(data->dbStk, data->dbAR, {});
    QCOMPARE(journal.size(), 1);
    QCOMPARE(journal.first().check, JournalCheck::Missing);
    QCOMPARE(journal.first().message,
             QStringLiteral("posted; the accounting package could not read IV-1 back: "
                            "Catastrophic failure"));
    QCOMPARE(packageDocuments("SL_IV"), QStringList{"IV-1"});
}

void TestExportRun::addReceivable(const QString& kind, const QString& docNo,
                                  const QString& reference, const QVariantHash& changes) {
    InsertRow(data->dbAR, "AR_TRANS",
              With(With(ReceivableRow(kind), {{"TD_DOCNO", docNo}, {"TD_REFERENCE", reference}}),
                   changes));
}

void TestExportRun::addLink(const QString& masterDoc, const QString& type, const QString& docNo,
                            double amount) {
    InsertRow(data->dbAR, "AR_LINK",
              {{"LK_MASDOC", masterDoc},
               {"LK_TYPE", type},
               {"LK_DOCNO", docNo},
               {"LK_DATE", At(2024, 3, 21)},
               {"LK_TOTAL", amount},
               {"LK_EXPORT_ACCT", "F"}});
}

QJsonArray TestExportRun::packageKnockOffs(const QString& bizObject, const QString& number) {
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()));
    QJsonArray found;
    for (const QJsonValue document : dump["documents"].toArray())
        if (document["bizObject"].toString() == bizObject && document["DOCNO"].toString() == number)
            for (const QJsonValue knockOff : document["knockOffs"].toArray())
                found.append(knockOff);
    return found;
}

// The package holds a document under the number of the one in hand, saved by an earlier run
// that could not flag it, or another document that happens to carry the number. Only this very
// document (party, date and total to the cent) counts as already there.
void TestExportRun::numberHeldByThePackage_data() {
    QTest::addColumn<QString>("heldParty");
    QTest::addColumn<QString>("heldDate");
    QTest::addColumn<double>("sourceTotal");
    QTest::addColumn<QString>("refusal");
    const QString clash = "The accounting package already holds IV-1 for %1; this document is for "
                          "%2. Give one of them another number in the back office, then export "
                          "it again.";
    QTest::newRow("this document: already there") << "300-C001"
                                                  << "2024/03/20" << 106.0 << QString();
    QTest::newRow("another customer")
        << "300-C002"
        << "2024/03/20" << 106.0
        << clash.arg("300-C002 dated 20/03/2024, 106.00", "300-C001, 106.00");
    QTest::newRow("another date") << "300-C001"
                                  << "2024/03/19" << 106.0
                                  << clash.arg("300-C001 dated 19/03/2024, 106.00",
                                               "300-C001 dated 20/03/2024, 106.00");
    QTest::newRow("another amount, a cent apart")
        << "300-C001"
        << "2024/03/20" << 106.01
        << clash.arg("300-C001 dated 20/03/2024, 106.00", "300-C001, 106.01");
    QTest::newRow("another amount, in thousands")
        << "300-C001"
        << "2024/03/20" << 1534.35
        << clash.arg("300-C001 dated 20/03/2024, 106.00", "300-C001, 1,534.35");
}

void TestExportRun::numberHeldByThePackage() {
    QFETCH(QString, heldParty);
    QFETCH(QString, heldDate);
    QFETCH(double, sourceTotal);
    QFETCH(QString, refusal);
    addCustomer("C001", "300-C001");
    addCustomer("C002", "300-C002");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    addLedgerDocument("SL_IV", "2");
    const PostingSources sources{data->dbStk, data->dbApp, data->dbAR};
    QVERIFY(SQLAccExportDoc(sources, "SL_IV", "1", "IV-1", heldDate, heldParty, 106.0, 0.0));
    data->dbStk.execute(
        QStringLiteral("UPDATE STK_MLEDGER SET S_NETTOTAL = %1 WHERE S_ID = '1'").arg(sourceTotal));
    tick("SL_IV");

    ExportRun run(*data, *settings, {"RUN-5", "CLERK", true});
    const ExportRunSummary summary = run.Run("SL_IV");
    QCOMPARE(summary.posted, 1); // IV-2 goes on either way
    QCOMPARE(summary.alreadyInPackage, refusal.isEmpty() ? 1 : 0);
    QCOMPARE(summary.refused, refusal.isEmpty() ? 0 : 1);
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER ORDER BY S_ID"),
             (QStringList{refusal.isEmpty() ? "T" : "F", "T"}));
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_SLEDGER WHERE S_ID = '1'"),
             QStringList{refusal.isEmpty() ? "T" : "F"});
    QStringList numbers = packageDocuments("SL_IV");
    numbers.sort();
    QCOMPARE(numbers, (QStringList{"IV-1", "IV-2"}));
    const QList<JournalEntry> journal = ReadJournal(data->dbStk, data->dbAR, {});
    QCOMPARE(journal.size(), 2);
    QCOMPARE(journal.first().documentNumber, QStringLiteral("IV-1"));
    QCOMPARE(journal.first().outcome,
             refusal.isEmpty() ? JournalOutcome::AlreadyInPackage : JournalOutcome::Refused);
    QCOMPARE(journal.first().message, refusal);
    if (!refusal.isEmpty())
        QCOMPARE(summary.refusals.first().message, refusal);
    // Another export finds the refused document again, and refuses it again.
    if (!refusal.isEmpty()) {
        tick("SL_IV");
        QCOMPARE(ExportRun(*data, *settings, {"RUN-6", "CLERK", true}).Run("SL_IV").refused, 1);
        QCOMPARE(packageDocuments("SL_IV").size(), 2);
    }
}

// Receivable documents take their reference as their number: an invoice of another customer, or
// of another amount, under a reference the package holds is refused; the package's document and
// its unapplied amount stay as they were.
void TestExportRun::receivableNumberOfAnotherDocumentIsRefused() {
    addCustomer("C001", "300-C001");
    addCustomer("C002", "300-C002");
    postMasters();
    addReceivable("AR_IV", "INV/0001", "REF-1");
    addReceivable("AR_IV", "INV/0002", "REF-1", {{"TD_CUSTID", "C002"}, {"TD_BALANCE", 250.0}});
    addReceivable("AR_IV", "INV/0003", "REF-1",
                  {{"TD_TOTAL", 200.0}, {"TD_NETTOTAL", 206.0}, {"TD_BALANCE", 206.0}});
    tick("AR_IV");
    ExportRun run(*data, *settings, {"RUN-7", "CLERK", true});
    const ExportRunSummary summary = run.Run("AR_IV");
    QCOMPARE(summary.posted, 1);
    QCOMPARE(summary.refused, 2);
    QStringList refusals;
    for (const ExportRefusal& refusal : summary.refusals)
        refusals << refusal.message;
    QCOMPARE(refusals,
             (QStringList{"The accounting package already holds REF-1 for 300-C001 dated "
                          "20/03/2024, 106.00; this document is for 300-C002, 106.00. Give one "
                          "of them another number in the back office, then export it again.",
                          "The accounting package already holds REF-1 for 300-C001 dated "
                          "20/03/2024, 106.00; this document is for 300-C001, 206.00. Give one "
                          "of them another number in the back office, then export it again."}));
    QCOMPARE(flags(data->dbAR, "SELECT TD_DOCNO, TD_EXPORT_ACCT FROM AR_TRANS ORDER BY 1"),
             (QStringList{"INV/0001 T", "INV/0002 F", "INV/0003 F"}));
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(context->path("Package/DEFAULT.DCF"), QString()));
    int held = 0;
    for (const QJsonValue document : dump["documents"].toArray())
        if (document["bizObject"].toString() == "AR_IV") {
            ++held;
            QCOMPARE(document["header"]["CODE"].toString(), QStringLiteral("300-C001"));
        }
    QCOMPARE(held, 1);
}

// A receivable invoice taken over from the POS goes to the package as a sales invoice under its
// number. One that an export saved but could not flag (a kill between the two commits) is
// flagged by the next export, not saved a second time.
void TestExportRun::invoiceFromThePosSavedButNotFlaggedIsNotSavedAgain() {
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    addReceivable("AR_IV", "INV/0001", "1", {{"TD_IMPORT", "T"}});
    const PostingSources sources{data->dbStk, data->dbApp, data->dbAR};
    QVERIFY(
        SQLAccExportAR(sources, "AR_IV", "INV/0001", "1", "2024/03/20", "300-C001", 106.0, 0.0));
    tick("AR_IV");
    const ExportRunSummary summary = ExportRun(*data, *settings).Run("AR_IV");
    QCOMPARE(summary.posted, 0);
    QCOMPARE(summary.alreadyInPackage, 1);
    QCOMPARE(packageDocuments("SL_IV"), QStringList{"INV/0001"});
    QCOMPARE(flags(data->dbAR, "SELECT TD_EXPORT_ACCT FROM AR_TRANS"), QStringList{"T"});
}

// A payment exported before the documents it settles is in the books, but its knock-offs are
// not: only the links the package applied are flagged, and the payment stays open until the
// next export, after the documents it settles, applies the rest. The links are read by the
// payment's number, which differs from its reference (its number in the package).
void TestExportRun::knockOffsLandOrStayOpen() {
    addCustomer("C001", "300-C001");
    postMasters();
    addReceivable("AR_IV", "INV/0001", "IV-77");
    addReceivable("AR_DN", "DN/0001", "DN-77");
    addReceivable("AR_CN", "CN/0001", "CN-77", {{"TD_BALANCE", 96.0}});
    addReceivable("AR_PM", "OR/0001", "PAY-1",
                  {{"TD_TAX_CODE", QVariant()},
                   {"TD_TAX_AMT", 0.0},
                   {"TD_TOTAL", 60.0},
                   {"TD_NETTOTAL", 60.0},
                   {"TD_BALANCE", 10.0}});
    addLink("OR/0001", "INV/", "IV-77", 30.0);
    addLink("OR/0001", "DN/", "DN-77", 20.0);
    addLink("CN/0001", "INV/", "IV-77", 10.0);

    const auto exportKind = [this](const QString& kind) {
        tick(kind);
        return ExportRun(*data, *settings, {"RUN-" + kind, "CLERK", false}).Run(kind);
    };
    QCOMPARE(exportKind("AR_IV").posted, 1);
    // The payment: the invoice's link lands, the debit note's does not yet.
    const ExportRunSummary payment = exportKind("AR_PM");
    const QString open =
        "1 of 2 knock-offs applied; DN-77 (20.00) is not in the accounting package yet";
    QCOMPARE(payment.posted, 1);
    QCOMPARE(payment.openKnockOffs.size(), 1);
    QCOMPARE(payment.openKnockOffs.first().documentNumber, QStringLiteral("PAY-1"));
    QCOMPARE(payment.openKnockOffs.first().message, "posted; " + open);
    QVERIFY2(ExportRunEndText(payment).contains("\r\nPAY-1 posted; " + open),
             qPrintable(ExportRunEndText(payment)));
    QCOMPARE(flags(data->dbAR, "SELECT LK_MASDOC, LK_DOCNO, LK_EXPORT_ACCT FROM AR_LINK "
                               "WHERE LK_MASDOC = 'OR/0001' ORDER BY 2"),
             (QStringList{"OR/0001 DN-77 F", "OR/0001 IV-77 T"}));
    QCOMPARE(flags(data->dbAR, "SELECT TD_EXPORT_ACCT FROM AR_TRANS WHERE TD_DOCNO = 'OR/0001'"),
             QStringList{"F"});
    QCOMPARE(ReadJournal(data->dbStk, data->dbAR, {}).last().message, open);
    // Offered again before the debit note is there: opened, nothing more to apply, still open,
    // and not journalled a second time.
    const ExportRunSummary early = exportKind("AR_PM");
    QCOMPARE(early.alreadyInPackage, 1);
    QCOMPARE(early.openKnockOffs.size(), 1);
    QCOMPARE(ReadJournal(data->dbStk, data->dbAR, {}).size(), 2);
    QCOMPARE(flags(data->dbAR, "SELECT TD_EXPORT_ACCT FROM AR_TRANS WHERE TD_DOCNO = 'OR/0001'"),
             QStringList{"F"});
    // The credit note settles the invoice, which is there: flagged with its link.
    QCOMPARE(exportKind("AR_CN").posted, 1);
    QCOMPARE(flags(data->dbAR, "SELECT TD_EXPORT_ACCT FROM AR_TRANS WHERE TD_DOCNO = 'CN/0001'"),
             QStringList{"T"});
    QCOMPARE(packageKnockOffs("AR_CN", "CN-77"),
             (QJsonArray{QJsonObject{{"DocNo", "IV-77"}, {"DocType", "IV"}, {"KOAmt", 10}}}));

    // The debit note, then the payment again: opened in the package, the rest applied, the
    // invoice's knock-off left as it was, everything flagged.
    QCOMPARE(exportKind("AR_DN").posted, 1);
    const ExportRunSummary again = exportKind("AR_PM");
    QCOMPARE(again.posted, 0);
    QCOMPARE(again.alreadyInPackage, 1);
    QVERIFY(again.openKnockOffs.isEmpty());
    QCOMPARE(packageDocuments("AR_PM"), QStringList{"PAY-1"});
    QCOMPARE(packageKnockOffs("AR_PM", "PAY-1"),
             (QJsonArray{QJsonObject{{"DocNo", "DN-77"}, {"DocType", "DN"}, {"KOAmt", 20}},
                         QJsonObject{{"DocNo", "IV-77"}, {"DocType", "IV"}, {"KOAmt", 30}}}));
    QCOMPARE(flags(data->dbAR, "SELECT LK_EXPORT_ACCT FROM AR_LINK"), (QStringList{"T", "T", "T"}));
    QCOMPARE(flags(data->dbAR, "SELECT DISTINCT TD_EXPORT_ACCT FROM AR_TRANS"), QStringList{"T"});
    QStringList paymentRecords;
    for (const JournalEntry& entry : ReadJournal(data->dbStk, data->dbAR, {}))
        if (entry.documentNumber == "PAY-1")
            paymentRecords << JournalOutcomeCode(entry.outcome) + '|' + entry.message;
    QCOMPARE(paymentRecords,
             (QStringList{"POSTED|" + open, "ALREADY|all 2 knock-offs applied (1 now)"}));
}

// After a run that stopped (an error, a kill) the work table still holds ticked rows whose
// documents it posted and flagged. The next run reports them as already exported: not posted,
// not journalled a second time.
void TestExportRun::flaggedDocumentIsNotPostedAgain_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("bizObject");
    QTest::newRow("sales invoice") << "SL_IV"
                                   << "SL_IV";
    QTest::newRow("purchase invoice") << "PH_PI"
                                      << "PH_PI";
    QTest::newRow("receivable invoice") << "AR_IV"
                                        << "AR_IV";
    QTest::newRow("payment") << "AR_PM"
                             << "AR_PM";
}

void TestExportRun::flaggedDocumentIsNotPostedAgain() {
    QFETCH(QString, kind);
    QFETCH(QString, bizObject);
    addCustomer("C001", "300-C001");
    addSupplier("V001", "400-V001");
    postMasters();
    if (kind.startsWith("AR_")) {
        addReceivable(kind, ReceivablePrefix(kind) + "0001", "REF-1");
        addReceivable(kind, ReceivablePrefix(kind) + "0002", "REF-2");
    } else {
        addLedgerDocument(kind, "1");
        addLedgerDocument(kind, "2");
    }
    tick(kind);
    QCOMPARE(ExportRun(*data, *settings).Run(kind).posted, 2);
    // As a killed run leaves the work table: its rows still ticked.
    data->dbStk.execute("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'T'");
    const ExportRunSummary again = ExportRun(*data, *settings).Run(kind);
    QCOMPARE(again.total, 2);
    QCOMPARE(again.posted, 0);
    QCOMPARE(again.alreadyInPackage, 0);
    QCOMPARE(again.alreadyExported, 2);
    QCOMPARE(ExportStatusText(again.documents.first()), QStringLiteral("already exported"));
    QVERIFY2(ExportRunEndText(again).contains("2 document(s) were already exported"),
             qPrintable(ExportRunEndText(again)));
    QCOMPARE(packageDocuments(bizObject).size(), 2);
    QCOMPARE(ReadJournal(data->dbStk, data->dbAR, {}).size(), 2);
    QCOMPARE(WorkColumn(data->dbStk, kind, "S_EXPORT_ACCT"), (QStringList{"F", "F"}));
}

// A refused login, or books of another company than the settings name, are errors of the run:
// it stops before its first document, journals nothing and posts nothing, whether it stops at a
// refused document or goes on past it.
void TestExportRun::runStopsBeforeItsFirstDocument_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<QString>("error");
    const QString refused = "The accounting package refused the login (user ADMIN, data "
                            "collection file %1, database ACC-0001.FDB): Login failed: invalid "
                            "user name or password";
    QTest::newRow("login refused") << "PASSWORD"
                                   << "WRONG" << false << refused;
    QTest::newRow("login refused, a run that goes on past refusals") << "PASSWORD"
                                                                     << "WRONG" << true << refused;
    QTest::newRow("books of another company")
        << "COMPANY_NAME"
        << "Other Trading Sdn Bhd" << true
        << "The accounting package has the books of \"ZANTRO DEMO SDN BHD\" open, but this "
           "installation posts into the books of \"Other Trading Sdn Bhd\" (COMPANY_NAME in "
           "section SQLACC): nothing was posted. Open the books of \"Other Trading Sdn Bhd\" in "
           "the package, then export again.";
}

void TestExportRun::runStopsBeforeItsFirstDocument() {
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(bool, goOn);
    QFETCH(QString, error);
    addCustomer("C001", "300-C001");
    postMasters();
    addLedgerDocument("SL_IV", "1");
    tick("SL_IV");
    SettingsFile().writeString("SQLACC", key, value);
    try {
        ExportRun(*data, *settings, {"RUN-9", "CLERK", goOn}).Run("SL_IV");
        QFAIL("no error");
    } catch (const PackageSessionError& stopped) {
        QCOMPARE(stopped.message(),
                 error.contains("%1") ? error.arg(context->path("Package/DEFAULT.DCF")) : error);
    }
    QCOMPARE(ReadJournal(data->dbStk, data->dbAR, {}).size(), 0);
    QCOMPARE(packageDocuments("SL_IV"), QStringList());
    QCOMPARE(flags(data->dbStk, "SELECT S_EXPORT_ACCT FROM STK_MLEDGER"), QStringList{"F"});
}

QTEST_GUILESS_MAIN(TestExportRun)
#include "test_export_run.moc"
