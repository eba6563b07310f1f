#include "export/search_statements.h"

#include "data/sql_quote.h"
#include "export/module_codes.h"
#include "export/statement_template.h"

#include <stdexcept>

namespace {

// The statements exactly as the back office has always run them (spacing included); only the
// placeholders change. {option} is the transmission option a store's job of the kind must hold:
// M (Manual) for the window's searches, S (By Schedule) for the scheduled run.

const char kCashSalesByItemAll[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_ROUNDING, S_CODE, S_MODULE)  SELECT SALES_CTRNO, "
    "SALES_STORE, RIGHT('000000000'||SALES_RCPTNO, 9),  substring(100+extract(month from "
    "SALES_DATETIME) from 2 for 2)||'/'||substring(100+extract(day from SALES_DATETIME) from "
    "2 for 2)||'/'||extract(year from SALES_DATETIME),  SALES_TAX1, (SALES_NETSALES - "
    "SALES_TAX1) AS GROSSAMT, SALES_NETSALES, SALES_EXPORT_ACCT, SALES_ROUND_ADJ, "
    "'{cash_code}','SL_CS' FROM POS_SALES  WHERE SALES_EXPORT_ACCT = 'F' AND SALES_STATUS = "
    "'NS' AND SALES_DATETIME >= '{gst}' AND SALES_NETSALES> 0  AND SALES_STORE IN  (SELECT "
    "P_STORE FROM ACC_STATION_JOB   WHERE P_FILE = 'SLSTRN'  AND POSITION('{option}',P_STATUS) > "
    "0)";

const char kCashSalesByItemRange[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_ROUNDING, S_CODE, S_MODULE)  SELECT SALES_CTRNO, "
    "SALES_STORE, RIGHT('000000000'||SALES_RCPTNO, 9),  substring(100+extract(month from "
    "SALES_DATETIME) from 2 for 2)||'/'||substring(100+extract(day from SALES_DATETIME) from "
    "2 for 2)||'/'||extract(year from SALES_DATETIME),  SALES_TAX1, (SALES_NETSALES - "
    "SALES_TAX1) AS GROSSAMT, SALES_NETSALES, SALES_EXPORT_ACCT, SALES_ROUND_ADJ, "
    "'{cash_code}','SL_CS' FROM POS_SALES  WHERE SALES_EXPORT_ACCT = 'F' AND SALES_STATUS = "
    "'NS' AND SALES_STORE >= '{store}' AND SALES_STORE <= '{store}' AND extract(year from "
    "SALES_DATETIME)||'/'||substring(100+extract(month from SALES_DATETIME) from 2 for "
    "2)||'/'||substring(100+extract(day from SALES_DATETIME) from 2 for 2) >= '{from}' AND "
    "extract(year from SALES_DATETIME)||'/'||substring(100+extract(month from "
    "SALES_DATETIME) from 2 for 2)||'/'||substring(100+extract(day from SALES_DATETIME) from "
    "2 for 2) <= '{to}' AND SALES_NETSALES > 0 AND SALES_STORE IN  (SELECT P_STORE FROM "
    "ACC_STATION_JOB   WHERE P_FILE = 'SLSTRN'  AND POSITION('{option}',P_STATUS) > 0)";

const char kCashSalesBySummaryAll[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_ROUNDING, S_CODE, S_MODULE)  SELECT CI_CTRNO, CI_STORE,  "
    "substring(100+extract(day from CI_CLOSEDATE) from 2 for 2)||substring(100+extract(month "
    "from CI_CLOSEDATE) from 2 for 2)||extract(year from CI_CLOSEDATE),  CI_CLOSEDATE, "
    "CI_TAX1, CI_GROSS, CI_NETSALES + CI_TOTROUNDING, CI_EXPORT_ACCT, CI_TOTROUNDING, "
    "'{cash_code}','SL_CS' FROM POS_CLOSEINFO  WHERE CI_EXPORT_ACCT = 'F' AND SALES_STATUS = "
    "'NS' AND CI_CLOSEDATE >= '{gst}' AND CI_GROSS > 0  AND CI_STORE IN  (SELECT P_STORE "
    "FROM ACC_STATION_JOB   WHERE P_FILE = 'SLSTRN'  AND POSITION('{option}',P_STATUS) > 0)";

const char kCashSalesBySummaryRange[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_ROUNDING, S_CODE, S_MODULE)  SELECT CI_CTRNO, CI_STORE,  "
    "substring(100+extract(day from CI_CLOSEDATE) from 2 for 2)||substring(100+extract(month "
    "from CI_CLOSEDATE) from 2 for 2)||extract(year from CI_CLOSEDATE),  CI_CLOSEDATE, "
    "CI_TAX1, CI_GROSS, CI_NETSALES + CI_TOTROUNDING, CI_EXPORT_ACCT, CI_TOTROUNDING, "
    "'{cash_code}','SL_CS' FROM POS_CLOSEINFO  WHERE CI_EXPORT_ACCT = 'F' AND SALES_STATUS = "
    "'NS' AND CI_STORE >= '{store}' AND CI_STORE <= '{store}' AND CI_CLOSEDATE >= '{from}' "
    "AND CI_CLOSEDATE <= '{to}' AND CI_GROSS > 0 AND CI_STORE IN  (SELECT P_STORE FROM "
    "ACC_STATION_JOB   WHERE P_FILE = 'SLSTRN'  AND POSITION('{option}',P_STATUS) > 0)";

const char kSalesInvoiceAll[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT S_ID,S_STORE_FROM, "
    "S_AR_INVOICE_NO, S_DATE, S_TAXAMT, S_TOTAL, S_NETTOTAL, S_EXPORT_ACCT, S_CUSTOMER, "
    "'SL_IV' FROM STK_MLEDGER  WHERE S_Document = 'D' AND S_Status = 'P' AND S_EXPORT_ACCT = "
    "'F' AND S_TOARSYS = 'F' AND S_AR_INVOICE_NO <> '' AND S_DATE >= '{gst}' AND S_Qty >= 0  "
    "AND S_STORE_FROM IN  (SELECT P_STORE FROM ACC_STATION_JOB   WHERE P_FILE = 'DELIVE'  "
    "AND POSITION('{option}',P_STATUS) > 0)";

const char kSalesInvoiceRange[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT S_ID,S_STORE_FROM, "
    "S_AR_INVOICE_NO, S_DATE, S_TAXAMT, S_TOTAL, S_NETTOTAL, S_EXPORT_ACCT, S_CUSTOMER, "
    "'SL_IV' FROM STK_MLEDGER  WHERE S_Document = 'D' AND S_Status = 'P' AND S_EXPORT_ACCT = "
    "'F' AND S_TOARSYS = 'F' AND S_AR_INVOICE_NO <> '' AND S_Qty >= 0  AND S_STORE_FROM >= "
    "'{store}' AND S_STORE_FROM <= '{store}' AND S_DATE >= '{from}' AND S_DATE <= '{to}' AND "
    "S_REFNO >= '{ref_from}' AND S_REFNO <= '{ref_to}' AND S_STORE_FROM IN  (SELECT P_STORE "
    "FROM ACC_STATION_JOB   WHERE P_FILE = 'DELIVE'  AND POSITION('{option}',P_STATUS) > 0)";

const char kSalesCreditNoteAll[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT S_ID,S_STORE_FROM, "
    "S_AR_INVOICE_NO, S_DATE, abs(S_TAXAMT), abs(S_TOTAL), abs(S_NETTOTAL), S_EXPORT_ACCT, "
    "S_CUSTOMER, 'SL_CN' FROM STK_MLEDGER  WHERE S_Document = 'D' AND S_Status = 'P' AND "
    "S_EXPORT_ACCT = 'F' AND S_DATE >= '{gst}' AND S_Qty < 0  AND S_STORE_FROM IN  (SELECT "
    "P_STORE FROM ACC_STATION_JOB   WHERE P_FILE = 'RETURN'  AND POSITION('{option}',P_STATUS) > "
    "0)";

const char kSalesCreditNoteRange[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT S_ID,S_STORE_FROM, "
    "S_AR_INVOICE_NO, S_DATE, abs(S_TAXAMT), abs(S_TOTAL), abs(S_NETTOTAL), S_EXPORT_ACCT, "
    "S_CUSTOMER, 'SL_CN' FROM STK_MLEDGER  WHERE S_Document = 'D' AND S_Status = 'P' AND "
    "S_EXPORT_ACCT = 'F' AND S_Qty < 0  AND S_STORE_FROM >= '{store}' AND S_STORE_FROM <= "
    "'{store}' AND S_DATE >= '{from}' AND S_DATE <= '{to}' AND S_REFNO >= '{ref_from}' AND "
    "S_REFNO <= '{ref_to}' AND S_STORE_FROM IN  (SELECT P_STORE FROM ACC_STATION_JOB   WHERE "
    "P_FILE = 'RETURN'  AND POSITION('{option}',P_STATUS) > 0)";

const char kPurchaseInvoiceAll[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT S_ID,S_STORE_FROM, S_REFNO, "
    "S_DATE, S_TAXAMT, S_COSTTOTAL, S_COSTNETTTL, S_EXPORT_ACCT, S_SUPPLIER, 'PH_PI' FROM "
    "STK_MLEDGER  WHERE S_Document = 'R' AND S_Status = 'P' AND S_EXPORT_ACCT = 'F' AND "
    "S_DATE >= '{gst}' AND S_Qty >= 0  AND S_STORE_FROM IN  (SELECT P_STORE FROM "
    "ACC_STATION_JOB   WHERE P_FILE = 'RECEIV'  AND POSITION('{option}',P_STATUS) > 0)";

const char kPurchaseInvoiceRange[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT S_ID,S_STORE_FROM, S_REFNO, "
    "S_DATE, S_TAXAMT, S_COSTTOTAL, S_COSTNETTTL, S_EXPORT_ACCT, S_SUPPLIER, 'PH_PI' FROM "
    "STK_MLEDGER  WHERE S_Document = 'R' AND S_Status = 'P' AND S_EXPORT_ACCT = 'F' AND "
    "S_Qty >= 0  AND S_STORE_FROM >= '{store}' AND S_STORE_FROM <= '{store}' AND S_DATE >= "
    "'{from}' AND S_DATE <= '{to}' AND S_REFNO >= '{ref_from}' AND S_REFNO <= '{ref_to}' AND "
    "S_STORE_FROM IN  (SELECT P_STORE FROM ACC_STATION_JOB   WHERE P_FILE = 'RECEIV'  AND "
    "POSITION('{option}',P_STATUS) > 0)";

const char kPurchaseReturnAll[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT S_ID,S_STORE_FROM, S_REFNO, "
    "S_DATE, S_TAXAMT, S_COSTTOTAL, S_COSTNETTTL, S_EXPORT_ACCT, S_SUPPLIER, 'PH_SC' FROM "
    "STK_MLEDGER  WHERE S_Document = 'E' AND S_Status = 'P' AND S_EXPORT_ACCT = 'F' AND "
    "S_DATE >= '{gst}' AND S_Qty > 0  AND S_STORE_FROM IN  (SELECT P_STORE FROM "
    "ACC_STATION_JOB   WHERE P_FILE = 'RETURN'  AND POSITION('{option}',P_STATUS) > 0)";

const char kPurchaseReturnRange[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE)  SELECT S_ID,S_STORE_FROM, S_REFNO, "
    "S_DATE, S_TAXAMT, S_COSTTOTAL, S_COSTNETTTL, S_EXPORT_ACCT, S_SUPPLIER, 'PH_SC' FROM "
    "STK_MLEDGER  WHERE S_Document = 'E' AND S_Status = 'P' AND S_EXPORT_ACCT = 'F' AND "
    "S_Qty > 0  AND S_STORE_FROM >= '{store}' AND S_STORE_FROM <= '{store}' AND S_DATE >= "
    "'{from}' AND S_DATE <= '{to}' AND S_REFNO >= '{ref_from}' AND S_REFNO <= '{ref_to}' AND "
    "S_STORE_FROM IN  (SELECT P_STORE FROM ACC_STATION_JOB   WHERE P_FILE = 'RETURN'  AND "
    "POSITION('{option}',P_STATUS) > 0)";

const char kReceivableAll[] =
    "SELECT TD_DOCNO, TD_STORE, TD_REFERENCE, TD_DATE,  TD_CUSTID, TD_TAX_AMT, TD_TOTAL, "
    "TD_NETTOTAL, TD_EXPORT_ACCT, TD_BALANCE  FROM AR_TRANS  WHERE TD_TYPE = '{prefix}' AND "
    "TD_EXPORT_ACCT = 'F' AND TD_DATE >= '{gst}'";

const char kReceivableCustomer[] =
    "SELECT TD_DOCNO, TD_STORE, TD_REFERENCE, TD_DATE,  TD_CUSTID, TD_TAX_AMT, TD_TOTAL, "
    "TD_NETTOTAL, TD_EXPORT_ACCT, TD_BALANCE  FROM AR_TRANS  WHERE TD_TYPE = '{prefix}' AND "
    "TD_EXPORT_ACCT = 'F' AND TD_DATE >= '{gst}' AND TD_CUSTID = '{customer}' AND TD_DATE >= "
    "'{from}' AND TD_DATE <= '{to}'";

const char kReceivableInsert[] =
    "INSERT INTO TMP_EXPORT_ACCT (S_ID,S_STORE_FROM, S_REFNO, S_DATE, S_TAXAMT, S_TOTAL, "
    "S_NETTOTAL, S_EXPORT_ACCT, S_CODE, S_MODULE, S_BALANCE)  VALUES "
    "('{TD_DOCNO}','{TD_STORE}','{TD_REFERENCE}','{TD_DATE}',{TD_TAX_AMT},{TD_TOTAL},{TD_NETTOTAL},"
    "'{TD_EXPORT_ACCT}','{TD_CUSTID}','{module}',{TD_BALANCE})";

struct StockStatements {
    const char* moduleCode;
    const char* searchAll;
    const char* range;
};

const StockStatements kStockStatements[] = {
    {ModuleCodes::SalesInvoice, kSalesInvoiceAll, kSalesInvoiceRange},
    {ModuleCodes::SalesCreditNote, kSalesCreditNoteAll, kSalesCreditNoteRange},
    {ModuleCodes::PurchaseInvoice, kPurchaseInvoiceAll, kPurchaseInvoiceRange},
    {ModuleCodes::PurchaseReturn, kPurchaseReturnAll, kPurchaseReturnRange},
};

const char* stockTemplate(const QString& moduleCode, bool searchAll, bool byItem) {
    if (moduleCode == QLatin1String(ModuleCodes::CashSales)) {
        if (byItem)
            return searchAll ? kCashSalesByItemAll : kCashSalesByItemRange;
        return searchAll ? kCashSalesBySummaryAll : kCashSalesBySummaryRange;
    }
    for (const StockStatements& statements : kStockStatements) {
        if (moduleCode == QLatin1String(statements.moduleCode))
            return searchAll ? statements.searchAll : statements.range;
    }
    throw std::invalid_argument("not a sales or purchase module code: " + moduleCode.toStdString());
}

} // namespace

QString StockSearchStatement(const QString& moduleCode, bool searchAll,
                             const StockSearchValues& values) {
    const QHash<QString, QString> placeholders{{QStringLiteral("gst"), values.gstStart},
                                               {QStringLiteral("from"), values.from},
                                               {QStringLiteral("to"), values.to},
                                               {QStringLiteral("store"), values.store},
                                               {QStringLiteral("ref_from"), values.refFrom},
                                               {QStringLiteral("ref_to"), values.refTo},
                                               {QStringLiteral("cash_code"), values.cashCode},
                                               {QStringLiteral("option"), values.jobOption}};
    return FillStatement(QLatin1String(stockTemplate(moduleCode, searchAll, values.byItem)),
                         placeholders);
}

QString ReceivableSearchStatement(const QString& moduleCode, bool searchAll,
                                  const ReceivableSearchValues& values) {
    const QString prefix = ReceivablePrefix(moduleCode);
    if (prefix.isEmpty())
        throw std::invalid_argument("not a receivable module code: " + moduleCode.toStdString());
    const QHash<QString, QString> placeholders{{QStringLiteral("prefix"), prefix},
                                               {QStringLiteral("gst"), values.gstStart},
                                               {QStringLiteral("customer"), values.customer},
                                               {QStringLiteral("from"), values.from},
                                               {QStringLiteral("to"), values.to}};
    return FillStatement(QLatin1String(searchAll ? kReceivableAll : kReceivableCustomer),
                         placeholders);
}

QString ReceivableInsertStatement(const ReceivableDocument& document, const QString& moduleCode) {
    const QHash<QString, QString> placeholders{
        {QStringLiteral("TD_DOCNO"), document.docNo},
        {QStringLiteral("TD_STORE"), document.store},
        {QStringLiteral("TD_REFERENCE"), document.reference},
        {QStringLiteral("TD_DATE"), SqlDateText(document.date)},
        {QStringLiteral("TD_TAX_AMT"), SqlNumber(document.taxAmount)},
        {QStringLiteral("TD_TOTAL"), SqlNumber(document.total)},
        {QStringLiteral("TD_NETTOTAL"), SqlNumber(document.netTotal)},
        {QStringLiteral("TD_EXPORT_ACCT"), document.exportFlag},
        {QStringLiteral("TD_CUSTID"), document.customer},
        {QStringLiteral("module"), moduleCode},
        {QStringLiteral("TD_BALANCE"), SqlNumber(document.balance)}};
    return FillStatement(QLatin1String(kReceivableInsert), placeholders);
}

QString DeleteKindStatement(const QString& moduleCode) {
    return QStringLiteral("DELETE FROM TMP_EXPORT_ACCT WHERE S_MODULE = ") + QuotedStr(moduleCode);
}

QString TickKindStatement(const QString& moduleCode, bool ticked) {
    return QStringLiteral("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = ") +
           QuotedStr(ticked ? QStringLiteral("T") : QStringLiteral("F")) +
           QStringLiteral(" WHERE S_Module = ") + QuotedStr(moduleCode);
}

QString TickedTotalsStatement(const QString& moduleCode) {
    return QStringLiteral(
               "SELECT COUNT(*), SUM(S_NETTOTAL) FROM TMP_EXPORT_ACCT WHERE S_Module = ") +
           QuotedStr(moduleCode) + QStringLiteral(" AND S_EXPORT_ACCT = ") +
           QuotedStr(QStringLiteral("T"));
}

QString CashSalesDebtorCode(const QString& customerAccount) {
    const qsizetype dash = customerAccount.indexOf(QLatin1Char('-'));
    const QString prefix = dash < 0 ? QString() : customerAccount.left(dash);
    return prefix + QStringLiteral("-POS");
}
