#include "export/module_codes.h"

#include "export/document_kinds.h"

bool IsStockDocumentCode(const QString& moduleCode) {
    const DocumentKind* kind = FindDocumentKind(moduleCode);
    return kind && kind->source == DocumentKind::Source::Stock;
}

bool IsReceivableCode(const QString& moduleCode) {
    const DocumentKind* kind = FindDocumentKind(moduleCode);
    return kind && kind->source == DocumentKind::Source::Receivables;
}

bool IsTransactionCode(const QString& moduleCode) {
    return FindDocumentKind(moduleCode) != nullptr;
}

bool IsPurchaseCode(const QString& moduleCode) {
    const DocumentKind* kind = FindDocumentKind(moduleCode);
    return kind && kind->party == DocumentKind::Party::Supplier;
}

QStringList TransactionCodes() {
    QStringList codes;
    for (const DocumentKind* kind = DocumentKindsBegin(); kind != DocumentKindsEnd(); ++kind)
        codes << QLatin1String(kind->code);
    return codes;
}

QString ReceivablePrefix(const QString& moduleCode) {
    const DocumentKind* kind = FindDocumentKind(moduleCode);
    return kind ? QLatin1String(kind->prefix) : QString();
}

QString StationJobCode(const QString& moduleCode) {
    const DocumentKind* kind = FindDocumentKind(moduleCode);
    return kind ? QLatin1String(kind->stationJob) : QString();
}

QString DocumentKindName(const QString& moduleCode) {
    const DocumentKind* kind = FindDocumentKind(moduleCode);
    return kind ? QLatin1String(kind->name) : moduleCode;
}
