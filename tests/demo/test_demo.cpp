// The demo installation: its documents agree with each other the way the searches, the marking
// and the posting expect, its users meet each login rule once, the program opens it, and a seed
// decides the data.
#include "core/profile_file.h"
#include "data/alias_file.h"
#include "data/connection.h"
#include "data/dm_mm_group_access.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "data/table.h"
#include "demo/demo_files.h"
#include "demo/demo_installation.h"
#include "demo/demo_options.h"
#include "export/module_codes.h"
#include "export/search_statements.h"
#include "login/login_check.h"
#include "login/time_code.h"
#include "tests/support/test_context.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTest>

namespace {

// Sums are compared to within half a cent: the columns are DOUBLE PRECISION.
const char kTolerance[] = "0.005";

qint64 count(const QString& alias, const QString& sql) {
    DbConnection connection(QStringLiteral("TestDemo"), alias);
    return SelectValue(connection, sql).toLongLong();
}

// A fingerprint of the rows the generator draws at random.
QByteArray digestOfDocuments() {
    const struct {
        const char* alias;
        const char* select;
    } tables[] = {
        {"ZantStk", "SELECT * FROM POS_SALES ORDER BY 1, 2, 3, 4"},
        {"ZantStk", "SELECT * FROM POS_SALESDTL ORDER BY 1, 2, 3, 4, 5"},
        {"ZantStk", "SELECT * FROM POS_CLOSEINFO ORDER BY 1, 2, 3"},
        {"ZantStk", "SELECT * FROM STK_MLEDGER ORDER BY 1"},
        {"ZantStk", "SELECT * FROM STK_SLEDGER ORDER BY 1, 2"},
        {"ARDB", "SELECT * FROM AR_TRANS ORDER BY 1, 2"},
        {"ARDB", "SELECT * FROM AR_LINK ORDER BY 1, 2, 3"},
    };
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (const auto& table : tables) {
        DbConnection connection(QStringLiteral("TestDemoDigest"), QLatin1String(table.alias));
        RowReader rows(connection, QLatin1String(table.select));
        while (rows.next()) {
            for (int column = 0; column < rows.columnCount(); ++column)
                hash.addData(rows.value(column).toString().toUtf8() + '\x1f');
            hash.addData("\n");
        }
    }
    return hash.result();
}

} // namespace

class TestDemo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();

    void closeInfoAndReceiptsAgree_data();
    void closeInfoAndReceiptsAgree();
    void ledgerHeadersAreTheSumOfTheirLines_data();
    void ledgerHeadersAreTheSumOfTheirLines();
    void receivableBalancesFollowTheLinks_data();
    void receivableBalancesFollowTheLinks();
    void takenOverInvoicesReferToTheirDeliveries();
    void demoHoldsTheCasesTheProgramMustHandle_data();
    void demoHoldsTheCasesTheProgramMustHandle();

    void documentSearchesFindDocuments_data();
    void documentSearchesFindDocuments();
    void receivableSearchesFindDocuments_data();
    void receivableSearchesFindDocuments();

    void demoUsersMeetEachLoginRule_data();
    void demoUsersMeetEachLoginRule();
    void programOpensTheInstallation();

    void sameSeedGivesTheSameData();
    void emptyDemoIsReplacedOnlyWithForce();

    void commandLine_data();
    void commandLine();

private:
    DemoOptions smallDemo(const QString& name) const;

    std::unique_ptr<TestContext> context_;
    DemoOptions options_;
    DemoSummary summary_;
};

DemoOptions TestDemo::smallDemo(const QString& name) const {
    DemoOptions options;
    options.folder = context_->path(name);
    options.receipts = 300;
    options.stockDocuments = 40;
    options.receivableDocuments = 50;
    options.seed = 7;
    return options;
}

void TestDemo::initTestCase() {
    context_ = std::make_unique<TestContext>();
    options_ = smallDemo(QStringLiteral("demo"));
    summary_ = CreateDemoInstallation(options_);
}

void TestDemo::init() {
    // The generator restores the program folder; the checks read the demo's databases.
    AppContext::instance().setProgramFolder(options_.folder);
}

void TestDemo::closeInfoAndReceiptsAgree_data() {
    QTest::addColumn<QString>("mismatches");
    const QString sameDay =
        QStringLiteral("S.SALES_STORE = C.CI_STORE AND S.SALES_CTRNO = C.CI_CTRNO AND "
                       "S.SALES_CLOSEDATE = C.CI_CLOSEDATE AND S.SALES_STATUS = 'NS'");
    const auto againstReceipts = [&](const char* closeInfo, const char* receipt) {
        return QStringLiteral("SELECT COUNT(*) FROM POS_CLOSEINFO C WHERE ABS(%1 - "
                              "COALESCE((SELECT SUM(%2) FROM POS_SALES S WHERE %3), 0)) > %4")
            .arg(QLatin1String(closeInfo), QLatin1String(receipt), sameDay,
                 QLatin1String(kTolerance));
    };
    const auto againstLines = [&](const char* closeInfo, const char* symbols) {
        return QStringLiteral(
                   "SELECT COUNT(*) FROM POS_CLOSEINFO C WHERE ABS(%1 - COALESCE((SELECT "
                   "SUM(D.SDTL_QTY * D.SDTL_SELLPRICE - D.SDTL_DISCAMT) FROM POS_SALESDTL D "
                   "JOIN POS_SALES S ON S.SALES_STORE = D.SDTL_STORE AND S.SALES_CTRNO = "
                   "D.SDTL_CTRNO AND S.SALES_TRANSNO = D.SDTL_TRANSNO AND S.SALES_DATETIME = "
                   "D.SDTL_DATETIME WHERE %2 AND D.SDTL_TAXSYMBOL IN (%3)), 0)) > %4")
            .arg(QLatin1String(closeInfo), sameDay, QLatin1String(symbols),
                 QLatin1String(kTolerance));
    };
    QTest::newRow("net sales") << againstReceipts("C.CI_NETSALES", "S.SALES_NETSALES");
    QTest::newRow("standard tax") << againstReceipts("C.CI_TAX1", "S.SALES_TAX1");
    QTest::newRow("rounding") << againstReceipts("C.CI_TOTROUNDING", "S.SALES_ROUND_ADJ");
    // By Summary offers the gross that By Item offers receipt by receipt.
    QTest::newRow("gross") << againstReceipts("C.CI_GROSS", "S.SALES_NETSALES - S.SALES_TAX1");
    QTest::newRow("standard rated amount with its tax")
        << againstLines("C.CI_TAXABLEAMT1 + C.CI_TAX1", "'S'");
    QTest::newRow("zero rated amount") << againstLines("C.CI_TAXABLEAMT2 + C.CI_TAX2", "'Z'");
    QTest::newRow("exempt amount") << againstLines("C.CI_TAXABLEAMT3 + C.CI_TAX3", "'E'");
    QTest::newRow("receipt net sales are the sum of its lines")
        << QStringLiteral("SELECT COUNT(*) FROM POS_SALES S WHERE ABS(S.SALES_NETSALES - "
                          "COALESCE((SELECT SUM(D.SDTL_QTY * D.SDTL_SELLPRICE - D.SDTL_DISCAMT) "
                          "FROM POS_SALESDTL D WHERE D.SDTL_STORE = S.SALES_STORE AND "
                          "D.SDTL_CTRNO = S.SALES_CTRNO AND D.SDTL_TRANSNO = S.SALES_TRANSNO AND "
                          "D.SDTL_DATETIME = S.SALES_DATETIME), 0)) > %1")
               .arg(QLatin1String(kTolerance));
    // Exporting one receipt marks the close-information row of its sale day.
    QTest::newRow("every receipt has the close row of its sale day")
        << QStringLiteral("SELECT COUNT(*) FROM POS_SALES S WHERE NOT EXISTS (SELECT 1 FROM "
                          "POS_CLOSEINFO C WHERE C.CI_STORE = S.SALES_STORE AND C.CI_CTRNO = "
                          "S.SALES_CTRNO AND C.CI_CLOSEDATE = S.SALES_CLOSEDATE) OR "
                          "S.SALES_CLOSEDATE <> CAST(CAST(S.SALES_DATETIME AS DATE) AS TIMESTAMP)");
    QTest::newRow("lines carry the close day of their receipt")
        << QStringLiteral("SELECT COUNT(*) FROM POS_SALESDTL D JOIN POS_SALES S ON "
                          "S.SALES_STORE = D.SDTL_STORE AND S.SALES_CTRNO = D.SDTL_CTRNO AND "
                          "S.SALES_TRANSNO = D.SDTL_TRANSNO AND S.SALES_DATETIME = D.SDTL_DATETIME "
                          "WHERE D.SDTL_CLOSEDATE <> S.SALES_CLOSEDATE");
    // The marking finds a receipt by its number without the leading zeros of the search.
    QTest::newRow("receipt number is the transaction number")
        << QStringLiteral("SELECT COUNT(*) FROM POS_SALES WHERE SALES_RCPTNO <> SALES_TRANSNO");
}

void TestDemo::closeInfoAndReceiptsAgree() {
    QFETCH(QString, mismatches);
    QVERIFY(count(QStringLiteral("ZantStk"), QStringLiteral("SELECT COUNT(*) FROM POS_CLOSEINFO")) >
            0);
    QCOMPARE(count(QStringLiteral("ZantStk"), mismatches), 0);
}

void TestDemo::ledgerHeadersAreTheSumOfTheirLines_data() {
    QTest::addColumn<QString>("mismatches");
    const auto sumOfLines = [](const char* header, const char* line) {
        return QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER M WHERE ABS(M.%1 - COALESCE("
                              "(SELECT SUM(L.%2) FROM STK_SLEDGER L WHERE L.S_ID = M.S_ID), 0)) "
                              "> %3")
            .arg(QLatin1String(header), QLatin1String(line), QLatin1String(kTolerance));
    };
    QTest::newRow("quantity") << sumOfLines("S_QTY", "S_QTY");
    QTest::newRow("tax") << sumOfLines("S_TAXAMT", "S_TAX_AMT");
    QTest::newRow("selling total") << sumOfLines("S_TOTAL", "S_TOTAL");
    QTest::newRow("cost total") << sumOfLines("S_COSTTOTAL", "S_COSTTOTAL");
    QTest::newRow("net selling total of a delivery")
        << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_DOCUMENT = 'D' AND "
                          "ABS(S_NETTOTAL - S_TOTAL - S_TAXAMT) > %1")
               .arg(QLatin1String(kTolerance));
    QTest::newRow("net cost total of a purchase")
        << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_DOCUMENT IN ('R', 'E') AND "
                          "ABS(S_COSTNETTTL - S_COSTTOTAL - S_TAXAMT) > %1")
               .arg(QLatin1String(kTolerance));
    QTest::newRow("every header has lines")
        << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER M WHERE NOT EXISTS "
                          "(SELECT 1 FROM STK_SLEDGER L WHERE L.S_ID = M.S_ID)");
    // The searches tell receivings from return outwards and deliveries from returns by sign.
    QTest::newRow("return outwards are positive")
        << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_DOCUMENT = 'E' AND S_QTY <= 0");
    QTest::newRow("receivings are positive")
        << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_DOCUMENT = 'R' AND S_QTY < 0");
    // A sales return is posted under its credit note number.
    QTest::newRow("negative documents are sales returns with a number")
        << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_QTY < 0 AND (S_DOCUMENT <> "
                          "'D' OR COALESCE(S_AR_INVOICE_NO, '') = '')");
}

void TestDemo::ledgerHeadersAreTheSumOfTheirLines() {
    QFETCH(QString, mismatches);
    QCOMPARE(count(QStringLiteral("ZantStk"), mismatches), 0);
}

void TestDemo::receivableBalancesFollowTheLinks_data() {
    QTest::addColumn<QString>("mismatches");
    const QString tolerance = QLatin1String(kTolerance);
    QTest::newRow("net total is the sum of the lines")
        << QStringLiteral("SELECT COUNT(*) FROM AR_TRANS T WHERE ABS(T.TD_NETTOTAL - (SELECT "
                          "SUM(L.TD_TOTAL + L.TD_TAX_AMT) FROM AR_TRANS L WHERE L.TD_DOCNO = "
                          "T.TD_DOCNO)) > %1")
               .arg(tolerance);
    QTest::newRow("header columns repeat on every line") << QStringLiteral(
        "SELECT COUNT(*) FROM (SELECT TD_DOCNO FROM AR_TRANS GROUP BY TD_DOCNO HAVING "
        "MIN(TD_TYPE) <> MAX(TD_TYPE) OR MIN(TD_STORE) <> MAX(TD_STORE) OR "
        "MIN(TD_REFERENCE) <> MAX(TD_REFERENCE) OR MIN(TD_CUSTID) <> MAX(TD_CUSTID) OR "
        "MIN(TD_DATE) <> MAX(TD_DATE) OR MIN(TD_NETTOTAL) <> MAX(TD_NETTOTAL) OR "
        "MIN(TD_BALANCE) <> MAX(TD_BALANCE) OR MIN(TD_IMPORT) <> MAX(TD_IMPORT))");
    QTest::newRow("settled document: net total less what the links apply to it")
        << QStringLiteral("SELECT COUNT(*) FROM AR_TRANS T WHERE T.TD_TYPE IN ('INV/', 'DN/') "
                          "AND ABS(T.TD_BALANCE - T.TD_NETTOTAL + COALESCE((SELECT "
                          "SUM(K.LK_TOTAL) FROM AR_LINK K WHERE K.LK_TYPE = T.TD_TYPE AND "
                          "K.LK_DOCNO = T.TD_REFERENCE), 0)) > %1")
               .arg(tolerance);
    QTest::newRow("payment or credit note: amount less what it applies")
        << QStringLiteral("SELECT COUNT(*) FROM AR_TRANS T WHERE T.TD_TYPE IN ('CN/', 'OR/') "
                          "AND ABS(T.TD_BALANCE - T.TD_NETTOTAL + COALESCE((SELECT "
                          "SUM(K.LK_TOTAL) FROM AR_LINK K WHERE K.LK_MASDOC = T.TD_DOCNO), 0)) "
                          "> %1")
               .arg(tolerance);
    QTest::newRow("no balance below zero")
        << QStringLiteral("SELECT COUNT(*) FROM AR_TRANS WHERE TD_BALANCE < -%1").arg(tolerance);
    // The export marks links by document number, the posting reads them by reference.
    QTest::newRow("payments and credit notes are referenced by their number")
        << QStringLiteral("SELECT COUNT(*) FROM AR_TRANS WHERE TD_TYPE IN ('CN/', 'OR/') AND "
                          "TD_REFERENCE <> TD_DOCNO");
    QTest::newRow("a link settles a document of the same customer dated before it")
        << QStringLiteral(
               "SELECT COUNT(*) FROM AR_LINK K WHERE NOT EXISTS (SELECT 1 FROM AR_TRANS P JOIN "
               "AR_TRANS S ON S.TD_CUSTID = P.TD_CUSTID WHERE P.TD_DOCNO = K.LK_MASDOC AND "
               "P.TD_TYPE IN ('CN/', 'OR/') AND S.TD_REFERENCE = K.LK_DOCNO AND S.TD_TYPE = "
               "K.LK_TYPE AND S.TD_DATE <= K.LK_DATE AND P.TD_DATE = K.LK_DATE)");
}

void TestDemo::receivableBalancesFollowTheLinks() {
    QFETCH(QString, mismatches);
    QCOMPARE(count(QStringLiteral("ARDB"), mismatches), 0);
}

void TestDemo::takenOverInvoicesReferToTheirDeliveries() {
    DbConnection receivables(QStringLiteral("TestDemoAR"), QStringLiteral("ARDB"));
    RowReader invoices(receivables,
                       QStringLiteral("SELECT DISTINCT TD_DOCNO, TD_REFERENCE, TD_CUSTID FROM "
                                      "AR_TRANS WHERE TD_IMPORT = 'T' AND TD_TYPE = 'INV/'"));
    int found = 0;
    while (invoices.next()) {
        ++found;
        // The posting reads the delivery's lines by the invoice's reference.
        const QString delivery =
            QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER M WHERE M.S_ID = %1 AND "
                           "M.S_DOCUMENT = 'D' AND M.S_TOARSYS = 'T' AND "
                           "M.S_AR_INVOICE_NO = %2 AND M.S_CUSTOMER = %3 AND EXISTS "
                           "(SELECT 1 FROM STK_SLEDGER L WHERE L.S_ID = M.S_ID)")
                .arg(QuotedStr(invoices.value(1).toString()),
                     QuotedStr(invoices.value(0).toString()),
                     QuotedStr(invoices.value(2).toString()));
        QCOMPARE(count(QStringLiteral("ZantStk"), delivery), 1);
    }
    QVERIFY(found > 0);
    QCOMPARE(count(QStringLiteral("ZantStk"),
                   QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_TOARSYS = 'T'")),
             qint64(found));
}

void TestDemo::demoHoldsTheCasesTheProgramMustHandle_data() {
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("sql");
    const QString stock = QStringLiteral("ZantStk"), app = QStringLiteral("ZantApp"),
                  ar = QStringLiteral("ARDB");
    QTest::newRow("voided receipts")
        << stock << QStringLiteral("SELECT COUNT(*) FROM POS_SALES WHERE SALES_STATUS <> 'NS'");
    QTest::newRow("receipts before the GST start")
        << stock
        << QStringLiteral("SELECT COUNT(*) FROM POS_SALES WHERE SALES_DATETIME < '2015/04/01'");
    QTest::newRow("receipts on the GST start day")
        << stock
        << QStringLiteral("SELECT COUNT(*) FROM POS_SALES WHERE SALES_CLOSEDATE = '2015/04/01'");
    QTest::newRow("receipts with a rounding")
        << stock << QStringLiteral("SELECT COUNT(*) FROM POS_SALES WHERE SALES_ROUND_ADJ <> 0");
    QTest::newRow("receipts without a rounding")
        << stock << QStringLiteral("SELECT COUNT(*) FROM POS_SALES WHERE SALES_ROUND_ADJ = 0");
    QTest::newRow("zero rated lines")
        << stock << QStringLiteral("SELECT COUNT(*) FROM POS_SALESDTL WHERE SDTL_TAXSYMBOL = 'Z'");
    QTest::newRow("exempt lines")
        << stock << QStringLiteral("SELECT COUNT(*) FROM POS_SALESDTL WHERE SDTL_TAXSYMBOL = 'E'");
    QTest::newRow("discounted lines")
        << stock << QStringLiteral("SELECT COUNT(*) FROM POS_SALESDTL WHERE SDTL_DISCAMT > 0");
    QTest::newRow("deliveries without invoice number (null)")
        << stock
        << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_DOCUMENT = 'D' AND S_QTY > 0 "
                          "AND S_AR_INVOICE_NO IS NULL");
    QTest::newRow("deliveries without invoice number (empty)")
        << stock
        << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_DOCUMENT = 'D' AND S_QTY > 0 "
                          "AND S_AR_INVOICE_NO = ''");
    QTest::newRow("stock documents before the GST start")
        << stock << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_DATE < '2015/04/01'");
    QTest::newRow("stock documents of a store without station")
        << stock << QStringLiteral("SELECT COUNT(*) FROM STK_MLEDGER WHERE S_STORE_FROM = 'S004'");
    QTest::newRow("customers without debtor code (null)")
        << app << QStringLiteral("SELECT COUNT(*) FROM MAS_CUSTOMER WHERE M_DEBTOR IS NULL");
    QTest::newRow("customers without debtor code (empty)")
        << app << QStringLiteral("SELECT COUNT(*) FROM MAS_CUSTOMER WHERE M_DEBTOR = ''");
    QTest::newRow("customer name with a quote")
        << app << QStringLiteral("SELECT COUNT(*) FROM MAS_CUSTOMER WHERE M_DESC CONTAINING ''''");
    QTest::newRow("customer code longer than seven characters")
        << app << QStringLiteral("SELECT COUNT(*) FROM MAS_CUSTOMER WHERE CHAR_LENGTH(M_CODE) > 7");
    QTest::newRow("suppliers without creditor code")
        << app
        << QStringLiteral("SELECT COUNT(*) FROM MAS_SUPPLIER WHERE COALESCE(M_CREDITOR, '') = ''");
    QTest::newRow("items without short description")
        << app
        << QStringLiteral("SELECT COUNT(*) FROM MAS_STOCK WHERE COALESCE(M_SHORTDESC, '') = ''");
    QTest::newRow("receivable documents with several lines")
        << ar
        << QStringLiteral("SELECT COUNT(*) FROM (SELECT TD_DOCNO FROM AR_TRANS GROUP BY "
                          "TD_DOCNO HAVING COUNT(*) > 1)");
    QTest::newRow("payments with an unapplied amount")
        << ar
        << QStringLiteral("SELECT COUNT(*) FROM AR_TRANS WHERE TD_TYPE = 'OR/' AND TD_BALANCE > 0");
    QTest::newRow("credit notes knocked off against an invoice")
        << ar << QStringLiteral("SELECT COUNT(*) FROM AR_LINK WHERE LK_MASDOC STARTING WITH 'CN/'");
    QTest::newRow("debit notes settled by a payment")
        << ar << QStringLiteral("SELECT COUNT(*) FROM AR_LINK WHERE LK_TYPE = 'DN/'");
    QTest::newRow("invoices whose reference is not their number")
        << ar
        << QStringLiteral("SELECT COUNT(*) FROM AR_TRANS WHERE TD_TYPE = 'INV/' AND "
                          "TD_REFERENCE <> TD_DOCNO");
}

void TestDemo::demoHoldsTheCasesTheProgramMustHandle() {
    QFETCH(QString, alias);
    QFETCH(QString, sql);
    QVERIFY2(count(alias, sql) > 0, qPrintable(sql));
}

void TestDemo::documentSearchesFindDocuments_data() {
    QTest::addColumn<QString>("moduleCode");
    QTest::addColumn<bool>("byItem");
    QTest::newRow("cash sales by item") << QString(ModuleCodes::CashSales) << true;
    QTest::newRow("cash sales by summary") << QString(ModuleCodes::CashSales) << false;
    QTest::newRow("sales invoices") << QString(ModuleCodes::SalesInvoice) << true;
    QTest::newRow("sales credit notes") << QString(ModuleCodes::SalesCreditNote) << true;
    QTest::newRow("purchase invoices") << QString(ModuleCodes::PurchaseInvoice) << true;
    QTest::newRow("purchase returns") << QString(ModuleCodes::PurchaseReturn) << true;
}

void TestDemo::documentSearchesFindDocuments() {
    QFETCH(QString, moduleCode);
    QFETCH(bool, byItem);
    StockSearchValues values;
    values.gstStart =
        ProfileFile(options_.folder + QStringLiteral("/Ledvora.ini"))
            .readString(QStringLiteral("GENERAL"), QStringLiteral("GSTSTARTDATE"), QString());
    values.cashCode = CashSalesDebtorCode(QStringLiteral("300-000"));
    values.byItem = byItem;
    // The whole INSERT ... SELECT of Search All, so the work table's unique index takes part.
    DbConnection stock(QStringLiteral("TestDemoSearch"), QStringLiteral("ZantStk"));
    stock.execute(DeleteKindStatement(moduleCode));
    const int found = stock.execute(StockSearchStatement(moduleCode, true, values));
    QVERIFY(found > 0);
    // S001 and S002 offer their documents; S003's jobs are "N" and S004 has no station.
    QCOMPARE(SelectValue(stock, QStringLiteral("SELECT COUNT(*) FROM TMP_EXPORT_ACCT WHERE "
                                               "S_MODULE = %1 AND S_STORE_FROM NOT IN "
                                               "('S001', 'S002')")
                                    .arg(QuotedStr(moduleCode)))
                 .toInt(),
             0);
    stock.execute(DeleteKindStatement(moduleCode));
}

void TestDemo::receivableSearchesFindDocuments_data() {
    QTest::addColumn<QString>("moduleCode");
    for (const char* code : {ModuleCodes::ReceivableInvoice, ModuleCodes::ReceivableDebitNote,
                             ModuleCodes::ReceivableCreditNote, ModuleCodes::ReceivablePayment})
        QTest::newRow(code) << QString(code);
}

void TestDemo::receivableSearchesFindDocuments() {
    QFETCH(QString, moduleCode);
    ReceivableSearchValues values;
    values.gstStart = QStringLiteral("2015/04/01");
    const QString select = ReceivableSearchStatement(moduleCode, true, values);
    QVERIFY(count(QStringLiteral("ARDB"), QStringLiteral("SELECT COUNT(*) FROM (%1)").arg(select)) >
            0);
}

void TestDemo::demoUsersMeetEachLoginRule_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("outcome");
    QTest::newRow("the demo login")
        << summary_.loginCode << summary_.loginPassword << int(LoginOutcome::Accepted);
    QTest::newRow("inactive") << "CLERK"
                              << "CLERK1" << int(LoginOutcome::Inactive);
    QTest::newRow("outside hours") << "NIGHT"
                                   << "NIGHT1" << int(LoginOutcome::OutsideHours);
    QTest::newRow("group without the right") << "GUEST"
                                             << "GUEST1" << int(LoginOutcome::NoAccessRight);
}

void TestDemo::demoUsersMeetEachLoginRule() {
    QFETCH(QString, code);
    QFETCH(QString, password);
    QFETCH(int, outcome);
    DbConnection applicationDb(QStringLiteral("TestDemoUsers"), QStringLiteral("ZantApp"));
    DbConnection systemDb(QStringLiteral("TestDemoGroups"), QStringLiteral("ZantSys"));
    Table users(&applicationDb, QStringLiteral("MAS_USER"));
    users.open();
    Query check(&systemDb);
    // Mid-morning, as the test clock says; NIGHT may log in only between 02:00 and 03:00.
    const LoginAttempt attempt = CheckLogin(users, check, code, password, TimeCode(Now().time()));
    QCOMPARE(int(attempt.outcome), outcome);
}

void TestDemo::programOpensTheInstallation() {
    // What the main window opens at start: every table of both data modules must exist.
    TdmMMGroupAccess groupAccess;
    QVERIFY(groupAccess.StockLogEnabled);
    TdmPolling polling;
    QCOMPARE(polling.tblStation.recordCount(), 3);
    QVERIFY(polling.tblCustomer.recordCount() > 0);
    const QString defaultStore =
        ProfileFile(options_.folder + QStringLiteral("/Register.ini"))
            .readString(QStringLiteral("STORE"), QStringLiteral("DEFAULT_STORE"), QString());
    QCOMPARE(count(QStringLiteral("ZantSys"),
                   QStringLiteral("SELECT COUNT(*) FROM MAS_STORE WHERE M_CODE = %1")
                       .arg(QuotedStr(defaultStore))),
             1);
    // The alias file leads to the installation's own files.
    for (const QString& alias : DemoAliases())
        QVERIFY(ResolveAlias(alias).database.startsWith(options_.folder + QStringLiteral("/")));
}

void TestDemo::sameSeedGivesTheSameData() {
    const QByteArray first = digestOfDocuments();
    DemoOptions again = smallDemo(QStringLiteral("again"));
    CreateDemoInstallation(again);
    DemoOptions otherSeed = smallDemo(QStringLiteral("other-seed"));
    otherSeed.seed = options_.seed + 1;
    CreateDemoInstallation(otherSeed);

    AppContext::instance().setProgramFolder(again.folder);
    QCOMPARE(digestOfDocuments(), first);
    AppContext::instance().setProgramFolder(otherSeed.folder);
    QVERIFY(digestOfDocuments() != first);
}

void TestDemo::emptyDemoIsReplacedOnlyWithForce() {
    DemoOptions options = smallDemo(QStringLiteral("empty"));
    options.empty = true;
    const DemoSummary empty = CreateDemoInstallation(options);
    for (const DemoTableCount& table : empty.tables) {
        const bool kept = table.table == QLatin1String("MAS_USER") ||
                          table.table.startsWith(QLatin1String("MAS_USERGROUP")) ||
                          table.table == QLatin1String("MAS_STORE") ||
                          table.table == QLatin1String("MAS_REGION") ||
                          table.table == QLatin1String("MAS_STORETYPE");
        QVERIFY2(kept ? table.rows > 0 : table.rows == 0, qPrintable(table.table));
    }
    QFile keep(options.folder + QStringLiteral("/keep.txt"));
    QVERIFY(keep.open(QIODevice::WriteOnly));
    keep.close();
    // Names as a copy from Windows may spell them: still the installation's files.
    QDir folder(options.folder);
    QVERIFY(folder.rename(QStringLiteral("Databases.ini"), QStringLiteral("DATABASES.INI")));
    QVERIFY(folder.rename(QStringLiteral("Ledvora.ini"), QStringLiteral("LEDVORA.INI")));
    QVERIFY(folder.rename(QStringLiteral("Register.ini"), QStringLiteral("register.ini")));

    options.empty = false;
    QVERIFY_THROWS_EXCEPTION(InstallationExistsError, CreateDemoInstallation(options));
    AppContext::instance().setProgramFolder(options.folder);
    QCOMPARE(count(QStringLiteral("ZantStk"), QStringLiteral("SELECT COUNT(*) FROM POS_SALES")), 0);

    options.force = true;
    CreateDemoInstallation(options);
    AppContext::instance().setProgramFolder(options.folder);
    QCOMPARE(count(QStringLiteral("ZantStk"), QStringLiteral("SELECT COUNT(*) FROM POS_SALES")),
             qint64(options.receipts));
    QVERIFY(keep.exists());
    // Replaced, not doubled.
    QCOMPARE(folder.entryList({QStringLiteral("*.ini")}, QDir::Files, QDir::Name),
             (QStringList{"Databases.ini", "Ledvora.ini", "Register.ini"}));
}

void TestDemo::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("receipts");
    QTest::addColumn<quint32>("seed");
    QTest::newRow("defaults") << QStringList{"--into", "x"} << true << 400 << quint32(1);
    QTest::newRow("sizes and seed")
        << QStringList{"--receipts", "1000000",    "--stock-docs", "5", "--ar-docs", "0",
                       "--seed",     "4294967295", "--into",       "x", "--force",   "--empty"}
        << true << 1000000 << quint32(4294967295u);
    QTest::newRow("no folder") << QStringList{"--receipts", "5"} << false << 0 << quint32(0);
    QTest::newRow("empty folder") << QStringList{"--into", ""} << false << 0 << quint32(0);
    QTest::newRow("value missing")
        << QStringList{"--into", "x", "--seed"} << false << 0 << quint32(0);
    QTest::newRow("negative size")
        << QStringList{"--into", "x", "--receipts", "-1"} << false << 0 << quint32(0);
    QTest::newRow("size with text")
        << QStringList{"--into", "x", "--ar-docs", "12abc"} << false << 0 << quint32(0);
    QTest::newRow("seed too large")
        << QStringList{"--into", "x", "--seed", "4294967296"} << false << 0 << quint32(0);
    QTest::newRow("unknown option")
        << QStringList{"--into", "x", "--big"} << false << 0 << quint32(0);
}

void TestDemo::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, accepted);
    QFETCH(int, receipts);
    QFETCH(quint32, seed);
    DemoOptions options;
    if (!accepted) {
        QVERIFY_THROWS_EXCEPTION(DemoUsageError, ParseDemoOptions(arguments, options));
        return;
    }
    QVERIFY(ParseDemoOptions(arguments, options));
    QCOMPARE(options.folder, QStringLiteral("x"));
    QCOMPARE(options.receipts, receipts);
    QCOMPARE(options.seed, seed);
    QCOMPARE(options.force, arguments.contains(QStringLiteral("--force")));
    QCOMPARE(options.empty, arguments.contains(QStringLiteral("--empty")));
}

QTEST_GUILESS_MAIN(TestDemo)
#include "test_demo.moc"
