#pragma once

#include <QString>

// Everything the link knows of one kind of document that passes through the export work table:
// how the bookkeeper names it, where its documents come from and are flagged, how its number
// in the accounting package is made, whose code it carries, how the package finds it and how
// its source is marked. The searches, the export run, the marking and the journal read it here,
// so that a reader finds all of PH_PI in one row.
struct DocumentKind {
    // Where the document's rows, its export flags and its journal record live.
    enum class Source { Stock, Receivables };
    // Its number in the package (DOCNO), from its work-table row.
    enum class Number {
        StoreCounterReceipt, // cash sales: S_STORE_FROM-S_ID-S_REFNO
        StoreAndReference,   // purchases: S_STORE_FROM-S_REFNO (the supplier's own reference)
        Reference            // S_REFNO
    };
    // Whose code the document carries in the package.
    enum class Party {
        CashSalesCode, // the fixed cash-sales debtor code the search wrote into S_CODE
        Customer,      // M_DEBTOR of the customer S_CODE
        Supplier       // M_CREDITOR of the supplier S_CODE
    };
    // How the document is flagged at its source once the package holds it.
    enum class Marking {
        CashSale,           // close-information row, receipt(s) and lines
        StockDocument,      // ledger header and lines
        ReceivableDocument, // its rows of AR_TRANS
        KnockOffDocument    // the knock-off links the package applied, then its AR_TRANS rows
    };

    const char* code;       // the module code: SL_CS ... AR_PM
    const char* name;       // plural, lower case: "purchase invoices"
    const char* stationJob; // the job whose options choose the stores searched; "" for none
    const char* prefix;     // TD_TYPE of a receivable kind in AR_TRANS; "" for the others
    Source source;
    Number number;
    Party party;
    Marking marking;
    // The package finds it by number and party together ("DocNo;Code"): one number may be held
    // for two suppliers.
    bool foundByNumberAndParty;
};

// The kind of that module code; null for a master code or anything else.
const DocumentKind* FindDocumentKind(const QString& moduleCode);

// The nine kinds, in the order of the export dialog.
const DocumentKind* DocumentKindsBegin();
const DocumentKind* DocumentKindsEnd();
