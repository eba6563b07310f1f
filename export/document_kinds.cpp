#include "export/document_kinds.h"

#include <iterator>

namespace {

using Kind = DocumentKind;

const DocumentKind kKinds[] = {
    {"SL_CS", "cash sales", "SLSTRN", "", Kind::Source::Stock, Kind::Number::StoreCounterReceipt,
     Kind::Party::CashSalesCode, Kind::Marking::CashSale, false},
    {"SL_IV", "sales invoices", "DELIVE", "", Kind::Source::Stock, Kind::Number::Reference,
     Kind::Party::Customer, Kind::Marking::StockDocument, false},
    {"SL_CN", "sales credit notes", "RETURN", "", Kind::Source::Stock, Kind::Number::Reference,
     Kind::Party::Customer, Kind::Marking::StockDocument, false},
    {"PH_PI", "purchase invoices", "RECEIV", "", Kind::Source::Stock,
     Kind::Number::StoreAndReference, Kind::Party::Supplier, Kind::Marking::StockDocument, true},
    {"PH_SC", "purchase returns", "RETURN", "", Kind::Source::Stock,
     Kind::Number::StoreAndReference, Kind::Party::Supplier, Kind::Marking::StockDocument, true},
    {"AR_IV", "receivable invoices", "", "INV/", Kind::Source::Receivables, Kind::Number::Reference,
     Kind::Party::Customer, Kind::Marking::ReceivableDocument, false},
    {"AR_DN", "debit notes", "", "DN/", Kind::Source::Receivables, Kind::Number::Reference,
     Kind::Party::Customer, Kind::Marking::ReceivableDocument, false},
    {"AR_CN", "credit notes", "", "CN/", Kind::Source::Receivables, Kind::Number::Reference,
     Kind::Party::Customer, Kind::Marking::KnockOffDocument, false},
    {"AR_PM", "payments", "", "OR/", Kind::Source::Receivables, Kind::Number::Reference,
     Kind::Party::Customer, Kind::Marking::KnockOffDocument, false},
};

} // namespace

const DocumentKind* FindDocumentKind(const QString& moduleCode) {
    for (const DocumentKind& kind : kKinds)
        if (moduleCode == QLatin1String(kind.code))
            return &kind;
    return nullptr;
}

const DocumentKind* DocumentKindsBegin() {
    return std::begin(kKinds);
}

const DocumentKind* DocumentKindsEnd() {
    return std::end(kKinds);
}
