#include "export/module_codes.h"

#include <QHash>

bool IsStockDocumentCode(const QString& moduleCode) {
    return moduleCode == QLatin1String(ModuleCodes::CashSales) ||
           moduleCode == QLatin1String(ModuleCodes::SalesInvoice) ||
           moduleCode == QLatin1String(ModuleCodes::SalesCreditNote) ||
           moduleCode == QLatin1String(ModuleCodes::PurchaseInvoice) ||
           moduleCode == QLatin1String(ModuleCodes::PurchaseReturn);
}

bool IsReceivableCode(const QString& moduleCode) {
    return !ReceivablePrefix(moduleCode).isEmpty();
}

bool IsTransactionCode(const QString& moduleCode) {
    return IsStockDocumentCode(moduleCode) || IsReceivableCode(moduleCode);
}

bool IsPurchaseCode(const QString& moduleCode) {
    return moduleCode == QLatin1String(ModuleCodes::PurchaseInvoice) ||
           moduleCode == QLatin1String(ModuleCodes::PurchaseReturn);
}

QStringList TransactionCodes() {
    return {QLatin1String(ModuleCodes::CashSales),
            QLatin1String(ModuleCodes::SalesInvoice),
            QLatin1String(ModuleCodes::SalesCreditNote),
            QLatin1String(ModuleCodes::PurchaseInvoice),
            QLatin1String(ModuleCodes::PurchaseReturn),
            QLatin1String(ModuleCodes::ReceivableInvoice),
            QLatin1String(ModuleCodes::ReceivableDebitNote),
            QLatin1String(ModuleCodes::ReceivableCreditNote),
            QLatin1String(ModuleCodes::ReceivablePayment)};
}

QString ReceivablePrefix(const QString& moduleCode) {
    if (moduleCode == QLatin1String(ModuleCodes::ReceivableInvoice))
        return QStringLiteral("INV/");
    if (moduleCode == QLatin1String(ModuleCodes::ReceivableDebitNote))
        return QStringLiteral("DN/");
    if (moduleCode == QLatin1String(ModuleCodes::ReceivableCreditNote))
        return QStringLiteral("CN/");
    if (moduleCode == QLatin1String(ModuleCodes::ReceivablePayment))
        return QStringLiteral("OR/");
    return QString();
}

QString StationJobCode(const QString& moduleCode) {
    if (moduleCode == QLatin1String(ModuleCodes::CashSales))
        return QStringLiteral("SLSTRN");
    if (moduleCode == QLatin1String(ModuleCodes::SalesInvoice))
        return QStringLiteral("DELIVE");
    if (moduleCode == QLatin1String(ModuleCodes::SalesCreditNote) ||
        moduleCode == QLatin1String(ModuleCodes::PurchaseReturn))
        return QStringLiteral("RETURN");
    if (moduleCode == QLatin1String(ModuleCodes::PurchaseInvoice))
        return QStringLiteral("RECEIV");
    return QString();
}

QString DocumentKindName(const QString& moduleCode) {
    static const QHash<QString, QString> names{
        {QLatin1String(ModuleCodes::CashSales), QStringLiteral("cash sales")},
        {QLatin1String(ModuleCodes::SalesInvoice), QStringLiteral("sales invoices")},
        {QLatin1String(ModuleCodes::SalesCreditNote), QStringLiteral("sales credit notes")},
        {QLatin1String(ModuleCodes::PurchaseInvoice), QStringLiteral("purchase invoices")},
        {QLatin1String(ModuleCodes::PurchaseReturn), QStringLiteral("purchase returns")},
        {QLatin1String(ModuleCodes::ReceivableInvoice), QStringLiteral("receivable invoices")},
        {QLatin1String(ModuleCodes::ReceivableDebitNote), QStringLiteral("debit notes")},
        {QLatin1String(ModuleCodes::ReceivableCreditNote), QStringLiteral("credit notes")},
        {QLatin1String(ModuleCodes::ReceivablePayment), QStringLiteral("payments")}};
    return names.value(moduleCode, moduleCode);
}
