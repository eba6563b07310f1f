#pragma once

#include <QString>
#include <QStringList>

// The module codes that name a kind of document (or master) in the export work table, the
// searches, the posting routines and the accounting package.
namespace ModuleCodes {
inline constexpr char CashSales[] = "SL_CS";
inline constexpr char SalesInvoice[] = "SL_IV";
inline constexpr char SalesCreditNote[] = "SL_CN";
inline constexpr char PurchaseInvoice[] = "PH_PI";
inline constexpr char PurchaseReturn[] = "PH_SC";
inline constexpr char ReceivableInvoice[] = "AR_IV";
inline constexpr char ReceivableDebitNote[] = "AR_DN";
inline constexpr char ReceivableCreditNote[] = "AR_CN";
inline constexpr char ReceivablePayment[] = "AR_PM";
inline constexpr char Supplier[] = "AP_SUPPLIER";
inline constexpr char Customer[] = "AR_CUSTOMER";
inline constexpr char StockItem[] = "ST_ITEM";
} // namespace ModuleCodes

// Sales and purchase documents: one INSERT ... SELECT from the stock database.
bool IsStockDocumentCode(const QString& moduleCode);
// Receivable documents: copied row by row from the receivables database.
bool IsReceivableCode(const QString& moduleCode);
// The nine kinds that pass through the work table (the two groups above).
bool IsTransactionCode(const QString& moduleCode);
bool IsPurchaseCode(const QString& moduleCode);

// The kind as a bookkeeper names it, plural and in lower case: "cash sales", "sales invoices",
// "debit notes" ...; the code itself for any other.
QString DocumentKindName(const QString& moduleCode);

// The nine transaction codes in the order of the dialog.
QStringList TransactionCodes();

// The station job (P_FILE of ACC_STATION_JOB) whose transmission options decide which stores'
// documents of a sales or purchase kind are searched: SLSTRN, DELIVE, RETURN (sales credit notes
// and purchase returns) or RECEIV. Empty for the receivable kinds, which no job governs.
QString StationJobCode(const QString& moduleCode);

// The document-number prefix of a receivable kind in AR_TRANS (TD_TYPE): "INV/", "DN/", "CN/",
// "OR/"; empty for any other code.
QString ReceivablePrefix(const QString& moduleCode);
