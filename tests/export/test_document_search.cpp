// The searches that fill the export work table, run against real embedded databases.
#include "config/settings_file.h"
#include "core/app_error.h"
#include "data/db_error.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/document_search.h"
#include "export/module_codes.h"
#include "export/search_settings.h"
#include "export/search_statements.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QFile>
#include <QSignalSpy>
#include <QtTest>

using namespace ExportFixture;

namespace {

// The range every range-form case searches: store S001, March 2024. The GST start date of the
// suite is 10 March 2024, so the range also covers days before it.
StockSearchFilter marchOfS001() {
    StockSearchFilter filter;
    filter.searchAll = false;
    filter.store = QStringLiteral("S001");
    filter.from = QDate(2024, 3, 1);
    filter.to = QDate(2024, 3, 31);
    return filter;
}

StockSearchFilter searchAll() {
    return StockSearchFilter{};
}

} // namespace

class TestDocumentSearch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanupTestCase();

    void stockDocumentCases_data();
    void stockDocumentCases();
    void stockDocumentColumns_data();
    void stockDocumentColumns();
    void cashSalesCases_data();
    void cashSalesCases();
    void cashSalesColumns_data();
    void cashSalesColumns();
    void cashSalesSettings_data();
    void cashSalesSettings();
    void receivableCases_data();
    void receivableCases();
    void receivableColumnsAreTrimmedDaysAndPlainNumbers();
    void receivableDocumentTotals_data();
    void receivableDocumentTotals();
    void receivableErrorIsRaisedAndRowsCopiedSoFarStay();
    void quotedValuesSearchNormally_data();
    void quotedValuesSearchNormally();
    void toDateBeforeFromDateFindsNothingAndSaysSo_data();
    void toDateBeforeFromDateFindsNothingAndSaysSo();
    void gstStartThatIsNotADateStopsBeforeAnythingIsDeleted();
    void searchLeavesOtherKindsRowsAndTicks();
    void secondSearchGivesTheSameRowsUnticked();
    void selectAllTicksAndUnticksEveryRowOfTheKind();
    void clearDeletesOnlyTheKind();
    void countOnlyGivesTheViewsCountWithoutHoldingItsRows();
    void statementText_data();
    void statementText();

private:
    void writeSettings(const QByteArray& text);
    int search(const QString& moduleCode, const StockSearchFilter& filter) {
        return searcher->SearchStockDocuments(moduleCode, filter);
    }
    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
    std::unique_ptr<SettingsFile> settings;
    std::unique_ptr<DocumentSearch> searcher;
};

void TestDocumentSearch::initTestCase() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    settings = std::make_unique<SettingsFile>(context->path(QStringLiteral("Ledvora.ini")));
    searcher = std::make_unique<DocumentSearch>(*data, *settings);
}

void TestDocumentSearch::cleanupTestCase() {
    searcher.reset();
    settings.reset();
    data.reset();
    context.reset();
}

void TestDocumentSearch::init() {
    WipeTables(*data);
    AddStationJobs(data->dbStk);
    writeSettings("[GENERAL]\r\nGSTSTARTDATE=2024/03/10\r\n");
    context->messages->shown.clear();
}

void TestDocumentSearch::writeSettings(const QByteArray& text) {
    QFile file(settings->path());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text);
}

// Per stock-document kind: one document, and whether the search takes it.
void TestDocumentSearch::stockDocumentCases_data() {
    QTest::addColumn<QString>("module");
    QTest::addColumn<QVariantHash>("changes");
    QTest::addColumn<bool>("all");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("store"); // the store of the range form

    const QStringList kinds{"SL_IV", "SL_CN", "PH_PI", "PH_SC"};
    const QHash<QString, QString> otherDocument{
        {"SL_IV", "R"}, {"SL_CN", "E"}, {"PH_PI", "D"}, {"PH_SC", "R"}};
    for (const QString& kind : kinds) {
        auto row = [&](const char* name, const QVariantHash& changes, bool all, bool found,
                       const QString& store = "S001") {
            QTest::addRow("%s %s", qPrintable(kind), name)
                << kind << changes << all << found << store;
        };
        row("taken", {}, true, true);
        row("status not P", {{"S_STATUS", "O"}}, true, false);
        row("exported", {{"S_EXPORT_ACCT", "T"}}, true, false);
        row("other document kind", {{"S_DOCUMENT", otherDocument.value(kind)}}, true, false);
        row("before the GST start", {{"S_DATE", At(2024, 3, 9, 23, 59, 59)}}, true, false);
        row("on the GST start day", {{"S_DATE", At(2024, 3, 10)}}, true, true);
        row("store job without M", {{"S_STORE_FROM", "S002"}}, true, false);
        row("store without jobs", {{"S_STORE_FROM", "S003"}}, true, false);
        row("M only on another job", {{"S_STORE_FROM", "S004"}}, true, false);
        row("other store with M", {{"S_STORE_FROM", "S005"}}, true, true);

        // Range form: one store, whole days from midnight to midnight, no GST condition.
        row("range: taken", {}, false, true);
        row("range: before the GST start", {{"S_DATE", At(2024, 3, 5)}}, false, true);
        row("range: first day", {{"S_DATE", At(2024, 3, 1)}}, false, true);
        row("range: day before", {{"S_DATE", At(2024, 2, 29, 23, 59, 59)}}, false, false);
        row("range: midnight of the to-date", {{"S_DATE", At(2024, 3, 31)}}, false, true);
        row("range: later on the to-date", {{"S_DATE", At(2024, 3, 31, 10)}}, false, false);
        row("range: another store", {{"S_STORE_FROM", "S005"}}, false, false);
        row("range: store job without M", {{"S_STORE_FROM", "S002"}}, false, false, "S002");
        row("range: store without jobs", {{"S_STORE_FROM", "S003"}}, false, false, "S003");
        row("range: other store with M", {{"S_STORE_FROM", "S005"}}, false, true, "S005");
        row("range: exported", {{"S_EXPORT_ACCT", "T"}}, false, false);
        row("range: reference 0000000001", {{"S_REFNO", "0000000001"}}, false, true);
        row("range: reference 9999999999", {{"S_REFNO", "9999999999"}}, false, true);
        // Compared as text: letters sort after the digits of the to-reference.
        row("range: reference with letters", {{"S_REFNO", "DO-0001"}}, false, false);
        row("range: reference 0000000000", {{"S_REFNO", "0000000000"}}, false, false);
    }
    QTest::newRow("SL_IV quantity 0")
        << "SL_IV" << QVariantHash{{"S_QTY", 0.0}} << true << true << "S001";
    QTest::newRow("SL_IV negative quantity")
        << "SL_IV" << QVariantHash{{"S_QTY", -1.0}} << true << false << "S001";
    QTest::newRow("SL_IV passed to receivables")
        << "SL_IV" << QVariantHash{{"S_TOARSYS", "T"}} << true << false << "S001";
    QTest::newRow("SL_IV without invoice number")
        << "SL_IV" << QVariantHash{{"S_AR_INVOICE_NO", ""}} << true << false << "S001";
    QTest::newRow("SL_IV invoice number null")
        << "SL_IV" << QVariantHash{{"S_AR_INVOICE_NO", QVariant()}} << true << false << "S001";
    QTest::newRow("SL_IV range: passed to receivables")
        << "SL_IV" << QVariantHash{{"S_TOARSYS", "T"}} << false << false << "S001";
    QTest::newRow("SL_CN quantity 0")
        << "SL_CN" << QVariantHash{{"S_QTY", 0.0}} << true << false << "S001";
    QTest::newRow("SL_CN positive quantity")
        << "SL_CN" << QVariantHash{{"S_QTY", 1.0}} << true << false << "S001";
    QTest::newRow("SL_CN passed to receivables")
        << "SL_CN" << QVariantHash{{"S_TOARSYS", "T"}} << true << true << "S001";
    QTest::newRow("SL_CN without invoice number")
        << "SL_CN" << QVariantHash{{"S_AR_INVOICE_NO", ""}} << true << true << "S001";
    QTest::newRow("PH_PI quantity 0")
        << "PH_PI" << QVariantHash{{"S_QTY", 0.0}} << true << true << "S001";
    QTest::newRow("PH_PI negative quantity")
        << "PH_PI" << QVariantHash{{"S_QTY", -1.0}} << true << false << "S001";
    QTest::newRow("PH_SC quantity 0")
        << "PH_SC" << QVariantHash{{"S_QTY", 0.0}} << true << false << "S001";
    QTest::newRow("PH_SC negative quantity")
        << "PH_SC" << QVariantHash{{"S_QTY", -1.0}} << true << false << "S001";
}

void TestDocumentSearch::stockDocumentCases() {
    QFETCH(QString, module);
    QFETCH(QVariantHash, changes);
    QFETCH(bool, all);
    QFETCH(bool, found);
    QFETCH(QString, store);
    InsertRow(data->dbStk, "STK_MLEDGER", With(LedgerRow(module), changes));
    StockSearchFilter range = marchOfS001();
    range.store = store;
    const int rows = search(module, all ? searchAll() : range);
    QCOMPARE(rows, found ? 1 : 0);
    QCOMPARE(WorkColumn(data->dbStk, module, "S_ID"), found ? QStringList{"L1"} : QStringList{});
}

void TestDocumentSearch::stockDocumentColumns_data() {
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("refNo");
    QTest::addColumn<QString>("code");
    QTest::addColumn<double>("tax");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("net");
    // Sales show the invoice number and the selling amounts, credit notes as positive amounts
    // (-10.00 is stored as 10.00); purchases the reference and the cost amounts.
    QTest::newRow("SL_IV") << "SL_IV"
                           << "IV-500"
                           << "C001" << 6.0 << 100.0 << 106.0;
    QTest::newRow("SL_CN") << "SL_CN"
                           << "IV-500"
                           << "C001" << 0.6 << 10.0 << 10.6;
    QTest::newRow("PH_PI") << "PH_PI"
                           << "0000000500"
                           << "V001" << 6.0 << 80.0 << 84.8;
    QTest::newRow("PH_SC") << "PH_SC"
                           << "0000000500"
                           << "V001" << 6.0 << 80.0 << 84.8;
}

void TestDocumentSearch::stockDocumentColumns() {
    QFETCH(QString, module);
    QFETCH(QString, refNo);
    QFETCH(QString, code);
    QFETCH(double, tax);
    QFETCH(double, total);
    QFETCH(double, net);
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow(module));
    QCOMPARE(search(module, searchAll()), 1);
    Table* view = data->ExportView(module);
    view->first();
    QCOMPARE(view->field("S_ID").asString(), QStringLiteral("L1"));
    QCOMPARE(view->field("S_STORE_FROM").asString(), QStringLiteral("S001"));
    QCOMPARE(view->field("S_REFNO").asString(), refNo);
    QCOMPARE(view->field("S_DATE").asDateTime(), At(2024, 3, 20, 9, 30));
    QCOMPARE(view->field("S_CODE").asString(), code);
    QCOMPARE(view->field("S_TAXAMT").asFloat(), tax);
    QCOMPARE(view->field("S_TOTAL").asFloat(), total);
    QCOMPARE(view->field("S_NETTOTAL").asFloat(), net);
    QCOMPARE(view->field("S_ROUNDING").asFloat(), 0.0);
    QCOMPARE(view->field("S_EXPORT_ACCT").asString(), QStringLiteral("F"));
    QCOMPARE(view->field("S_MODULE").asString(), module);
}

// Cash sales By Item (one row per receipt of POS_SALES) and By Summary (one row per counter
// and close day of POS_CLOSEINFO).
void TestDocumentSearch::cashSalesCases_data() {
    QTest::addColumn<bool>("byItem");
    QTest::addColumn<QVariantHash>("changes");
    QTest::addColumn<bool>("all");
    QTest::addColumn<bool>("found");

    auto item = [](const char* name, const QVariantHash& changes, bool all, bool found) {
        QTest::addRow("By Item %s", name) << true << changes << all << found;
    };
    item("taken", {}, true, true);
    item("status not NS", {{"SALES_STATUS", "VD"}}, true, false);
    item("exported", {{"SALES_EXPORT_ACCT", "T"}}, true, false);
    item("net sales 0", {{"SALES_NETSALES", 0.0}}, true, false);
    item("refund", {{"SALES_NETSALES", -5.0}}, true, false);
    item("before the GST start", {{"SALES_DATETIME", At(2024, 3, 9, 23, 59, 59)}}, true, false);
    item("on the GST start day", {{"SALES_DATETIME", At(2024, 3, 10)}}, true, true);
    item("store job without M", {{"SALES_STORE", "S002"}}, true, false);
    item("store without jobs", {{"SALES_STORE", "S003"}}, true, false);
    item("M only on another job", {{"SALES_STORE", "S004"}}, true, false);
    item("range: taken", {}, false, true);
    item("range: before the GST start", {{"SALES_DATETIME", At(2024, 3, 5, 12)}}, false, true);
    // The range compares sale days, so the whole to-day counts.
    item("range: end of the to-day", {{"SALES_DATETIME", At(2024, 3, 31, 23, 59, 59)}}, false,
         true);
    item("range: day after", {{"SALES_DATETIME", At(2024, 4, 1)}}, false, false);
    item("range: first day", {{"SALES_DATETIME", At(2024, 3, 1)}}, false, true);
    item("range: day before", {{"SALES_DATETIME", At(2024, 2, 29, 23, 59, 59)}}, false, false);
    item("range: another store", {{"SALES_STORE", "S005"}}, false, false);
    item("range: status not NS", {{"SALES_STATUS", "VD"}}, false, false);

    auto summary = [](const char* name, const QVariantHash& changes, bool all, bool found) {
        QTest::addRow("By Summary %s", name) << false << changes << all << found;
    };
    summary("taken", {}, true, true);
    summary("status not NS", {{"SALES_STATUS", "VD"}}, true, false);
    summary("exported", {{"CI_EXPORT_ACCT", "T"}}, true, false);
    summary("gross 0", {{"CI_GROSS", 0.0}}, true, false);
    summary("before the GST start", {{"CI_CLOSEDATE", At(2024, 3, 9)}}, true, false);
    summary("on the GST start day", {{"CI_CLOSEDATE", At(2024, 3, 10)}}, true, true);
    summary("store job without M", {{"CI_STORE", "S002"}}, true, false);
    summary("store without jobs", {{"CI_STORE", "S003"}}, true, false);
    summary("range: taken", {}, false, true);
    summary("range: before the GST start", {{"CI_CLOSEDATE", At(2024, 3, 5)}}, false, true);
    summary("range: to-day", {{"CI_CLOSEDATE", At(2024, 3, 31)}}, false, true);
    summary("range: day after", {{"CI_CLOSEDATE", At(2024, 4, 1)}}, false, false);
    summary("range: another store", {{"CI_STORE", "S005"}}, false, false);
}

void TestDocumentSearch::cashSalesCases() {
    QFETCH(bool, byItem);
    QFETCH(QVariantHash, changes);
    QFETCH(bool, all);
    QFETCH(bool, found);
    if (!byItem)
        writeSettings("[GENERAL]\r\nGSTSTARTDATE=2024/03/10\r\nEXPORT_MODE=1\r\n");
    if (byItem)
        InsertRow(data->dbStk, "POS_SALES", With(ReceiptRow(), changes));
    else
        InsertRow(data->dbStk, "POS_CLOSEINFO", With(CloseRow(), changes));
    QCOMPARE(search("SL_CS", all ? searchAll() : marchOfS001()), found ? 1 : 0);
}

void TestDocumentSearch::cashSalesColumns_data() {
    QTest::addColumn<bool>("byItem");
    QTest::addColumn<QVariantHash>("changes");
    QTest::addColumn<QString>("refNo");
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<double>("total");
    QTest::addColumn<double>("net");

    QTest::newRow("receipt 12345")
        << true << QVariantHash{} << "000012345" << At(2024, 3, 20) << 100.0 << 106.0;
    QTest::newRow("receipt number of ten digits")
        << true << QVariantHash{{"SALES_RCPTNO", 1234567890}} << "234567890" << At(2024, 3, 20)
        << 100.0 << 106.0;
    QTest::newRow("close day 5 April 2015")
        << false << QVariantHash{{"CI_CLOSEDATE", At(2015, 4, 5)}} << "05042015" << At(2015, 4, 5)
        << 100.0 << 106.0;
}

void TestDocumentSearch::cashSalesColumns() {
    QFETCH(bool, byItem);
    QFETCH(QVariantHash, changes);
    QFETCH(QString, refNo);
    QFETCH(QDateTime, date);
    QFETCH(double, total);
    QFETCH(double, net);
    writeSettings(byItem ? "[GENERAL]\r\nGSTSTARTDATE=2015/04/01\r\n"
                         : "[GENERAL]\r\nGSTSTARTDATE=2015/04/01\r\nEXPORT_MODE=1\r\n");
    if (byItem)
        InsertRow(data->dbStk, "POS_SALES", With(ReceiptRow(), changes));
    else
        InsertRow(data->dbStk, "POS_CLOSEINFO", With(CloseRow(), changes));
    QCOMPARE(search("SL_CS", searchAll()), 1);
    Table* view = data->ExportView("SL_CS");
    view->first();
    QCOMPARE(view->field("S_ID").asString(), QStringLiteral("01"));
    QCOMPARE(view->field("S_STORE_FROM").asString(), QStringLiteral("S001"));
    QCOMPARE(view->field("S_REFNO").asString(), refNo);
    QCOMPARE(view->field("S_DATE").asDateTime(), date);
    QCOMPARE(view->field("S_TAXAMT").asFloat(), 6.0);
    QCOMPARE(view->field("S_TOTAL").asFloat(), total);
    QVERIFY(qFuzzyCompare(view->field("S_NETTOTAL").asFloat(), net));
    QCOMPARE(view->field("S_ROUNDING").asFloat(), 0.02);
    QCOMPARE(view->field("S_CODE").asString(), QStringLiteral("300-POS"));
}

void TestDocumentSearch::cashSalesSettings_data() {
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("debtorCode");
    QTest::addColumn<bool>("byItem");
    QTest::newRow("no settings") << QByteArray() << "300-POS" << true;
    QTest::newRow("own control account")
        << QByteArray("[SQLACC]\r\nCUSTOMER_ACCOUNT=310-100\r\n") << "310-POS" << true;
    QTest::newRow("account without dash")
        << QByteArray("[SQLACC]\r\nCUSTOMER_ACCOUNT=3100\r\n") << "-POS" << true;
    QTest::newRow("section of the account type")
        << QByteArray("[GENERAL]\r\nACCOUNT_TYPE=UBS\r\n[UBS]\r\nCUSTOMER_ACCOUNT=3000-1\r\n"
                      "[SQLACC]\r\nCUSTOMER_ACCOUNT=310-100\r\n")
        << "3000-POS" << true;
    QTest::newRow("empty account type")
        << QByteArray("[GENERAL]\r\nACCOUNT_TYPE=\r\n[SQLACC]\r\nCUSTOMER_ACCOUNT=310-100\r\n")
        << "300-POS" << true;
    QTest::newRow("By Summary") << QByteArray("[GENERAL]\r\nEXPORT_MODE=1\r\n") << "300-POS"
                                << false;
    QTest::newRow("empty mode is By Summary")
        << QByteArray("[GENERAL]\r\nEXPORT_MODE=\r\n") << "300-POS" << false;
}

void TestDocumentSearch::cashSalesSettings() {
    QFETCH(QByteArray, ini);
    QFETCH(QString, debtorCode);
    QFETCH(bool, byItem);
    writeSettings(ini);
    const CashSalesSettings read = ReadCashSalesSettings(*settings);
    QCOMPARE(read.debtorCode, debtorCode);
    QCOMPARE(read.byItem, byItem);
}

void TestDocumentSearch::receivableCases_data() {
    QTest::addColumn<QString>("module");
    QTest::addColumn<QVariantHash>("changes");
    QTest::addColumn<bool>("all");
    QTest::addColumn<QString>("customer");
    QTest::addColumn<bool>("found");
    for (const QString kind : {"AR_IV", "AR_DN", "AR_CN", "AR_PM"}) {
        auto row = [&](const char* name, const QVariantHash& changes, bool all,
                       const QString& customer, bool found) {
            QTest::addRow("%s %s", qPrintable(kind), name)
                << kind << changes << all << customer << found;
        };
        row("taken", {}, true, "", true);
        row("other type", {{"TD_TYPE", kind == "AR_IV" ? "OR/" : "INV/"}}, true, "", false);
        row("exported", {{"TD_EXPORT_ACCT", "T"}}, true, "", false);
        row("before the GST start", {{"TD_DATE", At(2024, 3, 9, 23)}}, true, "", false);
        row("customer form: taken", {}, false, "C001", true);
        row("customer form: other customer", {}, false, "C002", false);
        row("customer form: empty customer", {}, false, "", false);
        row("customer form keeps the GST start", {{"TD_DATE", At(2024, 3, 5)}}, false, "C001",
            false);
        row("customer form: later on the to-date", {{"TD_DATE", At(2024, 3, 31, 8)}}, false, "C001",
            false);
        row("customer form: after the range", {{"TD_DATE", At(2024, 4, 1)}}, false, "C001", false);
    }
}

void TestDocumentSearch::receivableCases() {
    QFETCH(QString, module);
    QFETCH(QVariantHash, changes);
    QFETCH(bool, all);
    QFETCH(QString, customer);
    QFETCH(bool, found);
    InsertRow(data->dbAR, "AR_TRANS", With(ReceivableRow(module), changes));
    ReceivableSearchFilter filter;
    filter.searchAll = all;
    filter.customer = customer;
    filter.from = QDate(2024, 3, 1);
    filter.to = QDate(2024, 3, 31);
    QCOMPARE(searcher->SearchReceivables(module, filter), found ? 1 : 0);
    QCOMPARE(WorkColumn(data->dbStk, module, "S_ID").size(), found ? 1 : 0);
}

void TestDocumentSearch::receivableColumnsAreTrimmedDaysAndPlainNumbers() {
    InsertRow(data->dbAR, "AR_TRANS",
              With(ReceivableRow("AR_PM"), {{"TD_DOCNO", " OR/0001 "},
                                            {"TD_REFERENCE", "  CHQ 1234  "},
                                            {"TD_CUSTID", " C001"},
                                            {"TD_TAX_AMT", 0.1 + 0.2},
                                            {"TD_TOTAL", 1234567.891},
                                            {"TD_NETTOTAL", -10.0},
                                            {"TD_BALANCE", 1e-7}}));
    QCOMPARE(searcher->SearchReceivables("AR_PM", ReceivableSearchFilter{}), 1);
    Table* view = data->ExportView("AR_PM");
    view->first();
    QCOMPARE(view->field("S_ID").asString(), QStringLiteral("OR/0001"));
    QCOMPARE(view->field("S_STORE_FROM").asString(), QStringLiteral("S001"));
    QCOMPARE(view->field("S_REFNO").asString(), QStringLiteral("CHQ 1234"));
    QCOMPARE(view->field("S_CODE").asString(), QStringLiteral("C001"));
    QCOMPARE(view->field("S_DATE").asDateTime(), At(2024, 3, 20)); // the time is dropped
    QCOMPARE(view->field("S_TAXAMT").asFloat(), 0.3); // written with 15 significant digits
    QCOMPARE(view->field("S_TOTAL").asFloat(), 1234567.891);
    QCOMPARE(view->field("S_NETTOTAL").asFloat(), -10.0);
    QCOMPARE(view->field("S_BALANCE").asFloat(), 1e-7); // no exponent in the statement
    QCOMPARE(view->field("S_EXPORT_ACCT").asString(), QStringLiteral("F"));
    QCOMPARE(view->field("S_MODULE").asString(), QStringLiteral("AR_PM"));
}

void TestDocumentSearch::receivableDocumentTotals_data() {
    // Each line: document number, amount, tax. Every row of a document repeats its header: net
    // total 106 and balance 50.5 (ReceivableRow).
    using Line = std::tuple<QString, double, double>;
    QTest::addColumn<QList<Line>>("lines");
    QTest::addColumn<double>("gross");
    QTest::addColumn<double>("tax");
    QTest::addColumn<QStringList>("documents");
    const QString a = QStringLiteral("INV/0001");
    const QString b = QStringLiteral("INV/0002");
    QTest::newRow("one line") << QList<Line>{{a, 100.0, 6.0}} << 100.0 << 6.0 << QStringList{a};
    QTest::newRow("three lines") << QList<Line>{{a, 100.0, 6.0}, {a, 7.0, 0.42}, {a, 9.0, 0.0}}
                                 << 116.0 << 6.42 << QStringList{a};
    QTest::newRow("another document between its lines")
        << QList<Line>{{a, 100.0, 6.0}, {b, 55.0, 3.3}, {a, 7.0, 0.42}} << 107.0 << 6.42
        << QStringList{a, b};
    QTest::newRow("a discount line")
        << QList<Line>{{a, 100.0, 6.0}, {a, -10.0, -0.6}} << 90.0 << 5.4 << QStringList{a};
    QTest::newRow("sums written without binary noise")
        << QList<Line>{{a, 0.1, 0.1}, {a, 0.2, 0.2}} << 0.3 << 0.3 << QStringList{a};
}

void TestDocumentSearch::receivableDocumentTotals() {
    using Line = std::tuple<QString, double, double>;
    QFETCH(QList<Line>, lines);
    QFETCH(double, gross);
    QFETCH(double, tax);
    QFETCH(QStringList, documents);
    int seq = 0;
    for (const auto& [docNo, amount, lineTax] : lines)
        InsertRow(data->dbAR, "AR_TRANS",
                  With(ReceivableRow("AR_IV"), {{"TD_DOCNO", docNo},
                                                {"TD_SEQ", ++seq},
                                                {"TD_TOTAL", amount},
                                                {"TD_TAX_AMT", lineTax}}));
    QCOMPARE(searcher->SearchReceivables("AR_IV", ReceivableSearchFilter{}), int(documents.size()));
    QStringList found = WorkColumn(data->dbStk, "AR_IV", "S_ID");
    found.sort();
    QCOMPARE(found, documents);
    // The first document: its lines summed, its header once (not once per line).
    const auto first = [&](const char* column) {
        return SelectValue(data->dbStk, QStringLiteral("SELECT %1 FROM TMP_EXPORT_ACCT WHERE "
                                                       "S_ID = 'INV/0001'")
                                            .arg(QLatin1String(column)))
            .toDouble();
    };
    QCOMPARE(first("S_TOTAL"), gross);
    QCOMPARE(first("S_TAXAMT"), tax);
    QCOMPARE(first("S_NETTOTAL"), 106.0);
    QCOMPARE(first("S_BALANCE"), 50.5);
}

void TestDocumentSearch::receivableErrorIsRaisedAndRowsCopiedSoFarStay() {
    for (int i = 1; i <= 3; ++i)
        InsertRow(data->dbAR, "AR_TRANS",
                  With(ReceivableRow("AR_DN"), {{"TD_DOCNO", QStringLiteral("DN/000%1").arg(i)}}));
    // The work table refuses a second AR_DN row, whichever document comes first.
    data->dbStk.execute("CREATE EXCEPTION WORK_TABLE_FULL 'work table full'");
    data->dbStk.execute(
        "CREATE TRIGGER WORK_TABLE_LIMIT FOR TMP_EXPORT_ACCT BEFORE INSERT AS BEGIN "
        "IF (NEW.S_MODULE = 'AR_DN' AND EXISTS (SELECT 1 FROM TMP_EXPORT_ACCT WHERE S_MODULE = "
        "'AR_DN')) THEN EXCEPTION WORK_TABLE_FULL; END");
    auto dropTrigger = qScopeGuard([&] {
        data->dbStk.execute("DROP TRIGGER WORK_TABLE_LIMIT");
        data->dbStk.execute("DROP EXCEPTION WORK_TABLE_FULL");
    });
    QSignalSpy reread(searcher.get(), &DocumentSearch::viewReread);
    try {
        searcher->SearchReceivables("AR_DN", ReceivableSearchFilter{});
        QFAIL("the copy error must reach the caller");
    } catch (const DbError& error) {
        QVERIFY2(error.message().contains("work table full"), qPrintable(error.message()));
    }
    QCOMPARE(WorkColumn(data->dbStk, "AR_DN", "S_ID").size(), 1);
    // The view shows what was copied.
    QCOMPARE(data->ExportView("AR_DN")->recordCount(), 1);
    QCOMPARE(reread.last().at(1).toInt(), 1);
}

void TestDocumentSearch::quotedValuesSearchNormally_data() {
    QTest::addColumn<QString>("module");
    QTest::addColumn<QString>("value");
    QTest::newRow("store") << "SL_IV"
                           << "S'1";
    QTest::newRow("cash sales store") << "SL_CS"
                                      << "S'1";
    QTest::newRow("reference") << "PH_PI"
                               << "R'7";
    QTest::newRow("customer") << "AR_CN"
                              << "O'NEIL";
}

void TestDocumentSearch::quotedValuesSearchNormally() {
    QFETCH(QString, module);
    QFETCH(QString, value);
    if (module == "AR_CN") {
        InsertRow(data->dbAR, "AR_TRANS", With(ReceivableRow(module), {{"TD_CUSTID", value}}));
        ReceivableSearchFilter filter{false, value, QDate(2024, 3, 1), QDate(2024, 3, 31)};
        QCOMPARE(searcher->SearchReceivables(module, filter), 1);
        return;
    }
    StockSearchFilter filter = marchOfS001();
    if (module == "PH_PI") {
        InsertRow(data->dbStk, "STK_MLEDGER", With(LedgerRow(module), {{"S_REFNO", value}}));
        filter.refFrom = value;
        filter.refTo = value;
    } else {
        AddJob(data->dbStk, value, module == "SL_CS" ? "SLSTRN" : "DELIVE", "M");
        if (module == "SL_CS")
            InsertRow(data->dbStk, "POS_SALES", With(ReceiptRow(), {{"SALES_STORE", value}}));
        else
            InsertRow(data->dbStk, "STK_MLEDGER",
                      With(LedgerRow(module), {{"S_STORE_FROM", value}}));
        filter.store = value;
    }
    QCOMPARE(search(module, filter), 1);
}

void TestDocumentSearch::toDateBeforeFromDateFindsNothingAndSaysSo_data() {
    QTest::addColumn<QString>("module");
    QTest::newRow("sales") << "SL_IV";
    QTest::newRow("receivables") << "AR_IV";
}

void TestDocumentSearch::toDateBeforeFromDateFindsNothingAndSaysSo() {
    QFETCH(QString, module);
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV"));
    InsertRow(data->dbAR, "AR_TRANS", ReceivableRow("AR_IV"));
    int rows = -1;
    if (module == "SL_IV") {
        StockSearchFilter filter = marchOfS001();
        std::swap(filter.from, filter.to);
        rows = search(module, filter);
    } else {
        rows = searcher->SearchReceivables(
            module, ReceivableSearchFilter{false, "C001", QDate(2024, 3, 31), QDate(2024, 3, 1)});
    }
    QCOMPARE(rows, 0);
    QCOMPARE(WorkColumn(data->dbStk, module, "S_ID"), QStringList());
    QCOMPARE(context->messages->shown.size(), 1);
    QCOMPARE(context->messages->shown.first().kind, MessageKind::Information);
    QCOMPARE(
        context->messages->shown.first().text,
        QStringLiteral("No documents found: the to-date 01/03/2024 is earlier than the from-date "
                       "31/03/2024."));
}

void TestDocumentSearch::gstStartThatIsNotADateStopsBeforeAnythingIsDeleted() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("PH_PI"));
    QCOMPARE(search("PH_PI", searchAll()), 1);
    writeSettings("[GENERAL]\r\nGSTSTARTDATE=1/4/2015\r\n");
    for (const QString module : {"PH_PI", "AR_IV"}) {
        try {
            if (module == "PH_PI")
                search(module, searchAll());
            else
                searcher->SearchReceivables(module, ReceivableSearchFilter{});
            QFAIL("a GST start that is not a date must stop the search");
        } catch (const AppError& error) {
            QVERIFY2(error.message().contains("GSTSTARTDATE") &&
                         error.message().contains("\"1/4/2015\""),
                     qPrintable(error.message()));
        }
    }
    QCOMPARE(WorkColumn(data->dbStk, "PH_PI", "S_ID"), QStringList{"L1"});
}

void TestDocumentSearch::searchLeavesOtherKindsRowsAndTicks() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", "IV1"));
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_CN", "CN1"));
    InsertRow(data->dbAR, "AR_TRANS", ReceivableRow("AR_IV"));
    search("SL_IV", searchAll());
    searcher->SearchReceivables("AR_IV", ReceivableSearchFilter{});
    searcher->TickAll("SL_IV", true);
    searcher->TickAll("AR_IV", true);

    QCOMPARE(search("SL_CN", searchAll()), 1);
    QCOMPARE(searcher->SearchReceivables("AR_DN", ReceivableSearchFilter{}), 0);
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID || S_EXPORT_ACCT"), QStringList{"IV1T"});
    QCOMPARE(WorkColumn(data->dbStk, "AR_IV", "S_ID || S_EXPORT_ACCT"), QStringList{"INV/0001T"});
}

void TestDocumentSearch::countOnlyGivesTheViewsCountWithoutHoldingItsRows() {
    for (const char* id : {"C1", "C2"})
        InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", id));
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_CN", "N1"));
    Table* view = data->ExportView("SL_IV");
    view->close();
    DocumentSearch counting(*data, *settings, DocumentSearch::ViewReading::CountOnly);
    QSignalSpy reread(&counting, &DocumentSearch::viewReread);

    QCOMPARE(counting.SearchStockDocuments("SL_CN", searchAll()), 1);
    QCOMPARE(counting.SearchStockDocuments("SL_IV", searchAll()), 2); // only its own kind
    QCOMPARE(reread.last().at(0).toString(), QStringLiteral("SL_IV"));
    QCOMPARE(reread.last().at(1).toInt(), 2);
    QCOMPARE(counting.TickAll("SL_IV", true), 2);
    QVERIFY(!view->isActive());

    // The window's reading of the same rows agrees.
    QCOMPARE(searcher->TickAll("SL_IV", true), 2);
    QCOMPARE(view->recordCount(), 2);
}

void TestDocumentSearch::secondSearchGivesTheSameRowsUnticked() {
    for (const char* id : {"R1", "R2", "R3"})
        InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("PH_SC", id));
    QCOMPARE(search("PH_SC", searchAll()), 3);
    searcher->TickAll("PH_SC", true);
    QCOMPARE(search("PH_SC", searchAll()), 3);
    QCOMPARE(WorkColumn(data->dbStk, "PH_SC", "S_ID || S_EXPORT_ACCT"),
             (QStringList{"R1F", "R2F", "R3F"}));
}

void TestDocumentSearch::selectAllTicksAndUnticksEveryRowOfTheKind() {
    for (const char* id : {"V1", "V2", "V3"})
        InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", id));
    search("SL_IV", searchAll());
    // One row ticked in the view and left (saved), one ticked and still being edited.
    Table* view = data->ExportView("SL_IV");
    view->first();
    view->edit();
    view->setValue("S_EXPORT_ACCT", "T");
    view->next();
    view->edit();
    view->setValue("S_EXPORT_ACCT", "T");
    // A row that came after the last re-read is ticked and unticked too.
    InsertRow(data->dbStk, "TMP_EXPORT_ACCT",
              {{"S_ID", "V9"}, {"S_STORE_FROM", "S001"}, {"S_MODULE", "SL_IV"}});

    QCOMPARE(searcher->TickAll("SL_IV", true), 4);
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_EXPORT_ACCT"), QStringList(4, "T"));
    QCOMPARE(searcher->TickAll("SL_IV", false), 4);
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_EXPORT_ACCT"), QStringList(4, "F"));
    QCOMPARE(view->state(), Dataset::State::Browse);
}

void TestDocumentSearch::clearDeletesOnlyTheKind() {
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_IV", "IV1"));
    InsertRow(data->dbStk, "STK_MLEDGER", LedgerRow("SL_CN", "CN1"));
    search("SL_IV", searchAll());
    search("SL_CN", searchAll());
    QSignalSpy reread(searcher.get(), &DocumentSearch::viewReread);
    searcher->Clear("SL_IV");
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID"), QStringList());
    QCOMPARE(WorkColumn(data->dbStk, "SL_CN", "S_ID"), QStringList{"CN1"});
    QCOMPARE(reread.size(), 1);
    QCOMPARE(reread.first().at(1).toInt(), 0);
}

// The statements exactly as the back office runs them, with values holding quotes.
void TestDocumentSearch::statementText_data() {
    QTest::addColumn<QString>("built");
    QTest::addColumn<QString>("expected");

    StockSearchValues cashSales;
    cashSales.gstStart = "2015/04/1";
    cashSales.cashCode = "300-POS";
    StockSearchValues summaryRange;
    summaryRange.byItem = false;
    summaryRange.store = "S'1";
    summaryRange.from = "2024/03/01";
    summaryRange.to = "2024/03/31";
    summaryRange.cashCode = "3'0-POS";
    StockSearchValues invoiceRange;
    invoiceRange.store = "S001";
    invoiceRange.from = "2024/03/01";
    invoiceRange.to = "2024/03/31";
    invoiceRange.refFrom = "0'1";
    invoiceRange.refTo = "9";
    StockSearchValues returns;
    returns.gstStart = "2024/03/10";
    ReceivableSearchValues customerForm{"2024/03/10", "O'NEIL", "2024/03/01", "2024/03/31"};
    ReceivableDocument payment;
    payment.docNo = "OR/1";
    payment.store = "S001";
    payment.reference = "CHQ'7";
    payment.date = QDate(2024, 3, 20);
    payment.customer = "O'NEIL";
    payment.exportFlag = "F";
    payment.taxAmount = 0;
    payment.total = 1234.5;
    payment.netTotal = -10.25;
    payment.balance = 0.1;

    QTest::newRow("cash sales By Item, Search All")
        << StockSearchStatement("SL_CS", true, cashSales)
        << QString("INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, "
                   "S_TOTAL, S_NETTOTAL, S_EXPORT_ACCT, S_ROUNDING, S_CODE, S_MODULE)  SELECT "
                   "SALES_CTRNO, SALES_STORE, RIGHT('000000000'||SALES_RCPTNO, 9),  "
                   "substring(100+extract(month from SALES_DATETIME) from 2 for "
                   "2)||'/'||substring(100+extract(day from SALES_DATETIME) from 2 for "
                   "2)||'/'||extract(year from SALES_DATETIME),  SALES_TAX1, (SALES_NETSALES - "
                   "SALES_TAX1) AS GROSSAMT, SALES_NETSALES, SALES_EXPORT_ACCT, SALES_ROUND_ADJ, "
                   "'300-POS','SL_CS' FROM POS_SALES  WHERE SALES_EXPORT_ACCT = 'F' AND "
                   "SALES_STATUS = 'NS' AND SALES_DATETIME >= '2015/04/1' AND SALES_NETSALES> 0  "
                   "AND SALES_STORE IN  (SELECT P_STORE FROM ACC_STATION_JOB   WHERE P_FILE = "
                   "'SLSTRN'  AND POSITION('M',P_STATUS) > 0)");
    QTest::newRow("cash sales By Summary, range")
        << StockSearchStatement("SL_CS", false, summaryRange)
        << QString(
               "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, "
               "S_TOTAL, S_NETTOTAL, S_EXPORT_ACCT, S_ROUNDING, S_CODE, S_MODULE)  SELECT "
               "CI_CTRNO, CI_STORE,  substring(100+extract(day from CI_CLOSEDATE) from 2 for "
               "2)||substring(100+extract(month from CI_CLOSEDATE) from 2 for 2)||extract(year "
               "from CI_CLOSEDATE),  CI_CLOSEDATE, CI_TAX1, CI_GROSS, CI_NETSALES + "
               "CI_TOTROUNDING, CI_EXPORT_ACCT, CI_TOTROUNDING, '3''0-POS','SL_CS' FROM "
               "POS_CLOSEINFO  WHERE CI_EXPORT_ACCT = 'F' AND SALES_STATUS = 'NS' AND CI_STORE "
               ">= 'S''1' AND CI_STORE <= 'S''1' AND CI_CLOSEDATE >= '2024/03/01' AND "
               "CI_CLOSEDATE <= '2024/03/31' AND CI_GROSS > 0 AND CI_STORE IN  (SELECT P_STORE "
               "FROM ACC_STATION_JOB   WHERE P_FILE = 'SLSTRN'  AND POSITION('M',P_STATUS) > 0)");
    QTest::newRow("sales invoice, range")
        << StockSearchStatement("SL_IV", false, invoiceRange)
        << QString(
               "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, "
               "S_TOTAL, S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT "
               "S_ID,S_STORE_FROM, S_AR_INVOICE_NO, S_DATE, S_TAXAMT, S_TOTAL, S_NETTOTAL, "
               "S_EXPORT_ACCT, S_CUSTOMER, 'SL_IV' FROM STK_MLEDGER  WHERE S_Document = 'D' AND "
               "S_Status = 'P' AND S_EXPORT_ACCT = 'F' AND S_TOARSYS = 'F' AND S_AR_INVOICE_NO "
               "<> '' AND S_Qty >= 0  AND S_STORE_FROM >= 'S001' AND S_STORE_FROM <= 'S001' AND "
               "S_DATE >= '2024/03/01' AND S_DATE <= '2024/03/31' AND S_REFNO >= '0''1' AND "
               "S_REFNO <= '9' AND S_STORE_FROM IN  (SELECT P_STORE FROM ACC_STATION_JOB   "
               "WHERE P_FILE = 'DELIVE'  AND POSITION('M',P_STATUS) > 0)");
    QTest::newRow("purchase return, Search All")
        << StockSearchStatement("PH_SC", true, returns)
        << QString(
               "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, "
               "S_TOTAL, S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT "
               "S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_COSTTOTAL, S_COSTNETTTL, "
               "S_EXPORT_ACCT, S_SUPPLIER, 'PH_SC' FROM STK_MLEDGER  WHERE S_Document = 'E' AND "
               "S_Status = 'P' AND S_EXPORT_ACCT = 'F' AND S_DATE >= '2024/03/10' AND S_Qty > 0 "
               " AND S_STORE_FROM IN  (SELECT P_STORE FROM ACC_STATION_JOB   WHERE P_FILE = "
               "'RETURN'  AND POSITION('M',P_STATUS) > 0)");
    QTest::newRow("AR credit note, customer form")
        << ReceivableSearchStatement("AR_CN", false, customerForm)
        << QString(
               "SELECT TD_DOCNO, TD_STORE, TD_REFERENCE, TD_DATE,  TD_CUSTID, TD_TAX_AMT, "
               "TD_TOTAL, TD_NETTOTAL, TD_EXPORT_ACCT, TD_BALANCE  FROM AR_TRANS  WHERE TD_TYPE "
               "= 'CN/' AND TD_EXPORT_ACCT = 'F' AND TD_DATE >= '2024/03/10' AND TD_CUSTID = "
               "'O''NEIL' AND TD_DATE >= '2024/03/01' AND TD_DATE <= '2024/03/31'");
    QTest::newRow("AR payment insert")
        << ReceivableInsertStatement(payment, "AR_PM")
        << QString(
               "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, "
               "S_TOTAL, S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE, S_BALANCE)  VALUES "
               "('OR/1','S001','CHQ''7','2024/03/20',0,1234.5,-10.25,'F','O''NEIL','AR_PM',0.1)");

    QTest::newRow("delete kind") << DeleteKindStatement("SL_CS")
                                 << QString("DELETE FROM TMP_EXPORT_ACCT WHERE S_MODULE = 'SL_CS'");
    QTest::newRow("untick kind")
        << TickKindStatement("AR_DN", false)
        << QString("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'F' WHERE S_Module = 'AR_DN'");
}

void TestDocumentSearch::statementText() {
    QFETCH(QString, built);
    QFETCH(QString, expected);
    QCOMPARE(built, expected);
}

QTEST_GUILESS_MAIN(TestDocumentSearch)
#include "test_document_search.moc"
