#pragma once

#include "sqlacc/automation.h"

#include <QDate>
#include <QString>

#include <optional>

// A document as the accounting package holds it: what it says of the document once saved.
struct PackageDocument {
    QString code;  // CODE: the customer or supplier
    QDate docDate; // DOCDATE (invalid when the package gave no date)
    // DocAmt: the package's own total of the document, from its lines (a payment's as given).
    double docAmt = 0;
    std::optional<double> payment; // P_AMOUNT, cash sales only
};

// True for the kinds the package finds by number and supplier together (purchase invoices and
// returns: one number may be held for two suppliers).
bool FoundByNumberAndParty(const QString& moduleCode);

// The key of a document of the business object: FindKeyByRef with "DocNo;Code" and the two
// values [number, party] for purchase invoices and returns, with "DOCNO" and the number for the
// others. Null (or Empty) when the package holds no such document.
AutoValue FindDocumentKey(const AutoObjectPtr& document, const QString& moduleCode,
                          const QString& docNo, const QString& party);

// Opens the document with that key on its business object (Params "DocKey", Open) and reads its
// header: CODE, DOCDATE, DocAmt and, for a cash sale, P_AMOUNT. The business object stays open;
// closing it is its owner's work.
PackageDocument ReadPackageDocument(const AutoObjectPtr& document, const QString& moduleCode,
                                    const AutoValue& key);

// A date as the package hands it back: text (yyyy/MM/dd, yyyy-MM-dd or dd/MM/yyyy) or an OLE
// date (days since 30 December 1899, as a number). Invalid for anything else.
QDate PackageDate(const AutoValue& value);

// What a posted document showed when read back, held against its source.
struct PostingReadBack {
    QString moduleCode;     // the business object it went to (SL_IV for a receivable invoice
                            // taken over from the POS)
    QString documentNumber; // its number in the package
    double sourceTotal = 0; // what the document totals at its source (what the customer paid,
                            // for a cash sale)
    bool found = false;     // the package found it by its number after saving it
    QString error;          // the package's error when it could not be read back
    PackageDocument package;

    // Found, and its total (and a cash sale's payment) equal to the source's to the cent.
    bool agrees() const;
    // Empty when it agrees; otherwise what differs, for the journal and the reports:
    // "the package's total 45.47 differs from the source's 45.45 by 0.02".
    QString differenceText() const;
};

// Reads a document just saved back through its business object (still open) and fills `out`. The
// document is in the package whatever the reading meets: an error of the package while reading
// it is kept in `out` (not found), not raised.
void ReadBackPostedDocument(const AutoObjectPtr& document, const QString& moduleCode,
                            const QString& docNo, const QString& party, double sourceTotal,
                            PostingReadBack& out);
