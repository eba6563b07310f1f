#pragma once

#include "sqlacc/posting_sources.h"

#include <QList>
#include <QString>

struct PostingReadBack;

// One knock-off link of a payment or credit note (a row of AR_LINK), as the receivables system
// holds it.
struct KnockOffLink {
    QString linkType; // LK_TYPE as stored ("INV/", "DN/", "CN/")
    QString number;   // LK_DOCNO as stored
    double amount = 0;
};

// What became of a document's knock-off links in the package.
struct KnockOffOutcome {
    int links = 0;               // every link of the document
    int appliedBefore = 0;       // flagged already: applied by an earlier export, left untouched
    QList<KnockOffLink> applied; // applied now
    QList<KnockOffLink> missing; // their document is not in the package's knock-off list
    // "2 of 3 knock-offs applied; DN000002 (54.57) is not in the accounting package yet" while a
    // link is not applied; "all 3 knock-offs applied (1 now)" when an export completes what an
    // earlier one left open; empty otherwise.
    QString text() const;
};

// What SQLAccExportAR did besides posting.
struct ReceivablePosting {
    bool existing = false; // the package held this document already: opened, not created
    KnockOffOutcome knockOff;
};

// Posts one receivables document (AR_IV, AR_DN, AR_CN, AR_PM) into the accounting package.
// An invoice the receivables system took over from the POS goes through SQLAccExportDoc as a
// sales invoice. A document the package already holds under DocRef is updated (its unapplied
// amount and knock-offs) rather than created again, when it is this document: the same customer
// and, but for payments, the same amount; another document under that number raises
// DocumentClash. Payments and credit notes carry their knock-off amounts; a settled document the
// package does not list is left unapplied and reported in `posting`. Returns false when the
// receivables tables hold no row for DocId; database and package errors pass through unchanged.
// Given readBack, the saved document is read back from the package and held against NetTotal
// (see SQLAccExportDoc). The business object is closed when the document is done.
bool SQLAccExportAR(const PostingSources& sources, const QString& ModuleCode, const QString& DocId,
                    const QString& DocRef, const QString& DocDate, const QString& PartyCode,
                    double NetTotal, double Rounding, PostingReadBack* readBack = nullptr,
                    ReceivablePosting* posting = nullptr);

// The package's document type of a knock-off link type: "INV/" is "IV", "DN/" is "DN", "CN/" is
// "CN", any other type is kept (trimmed).
QString KnockOffDocType(const QString& linkType);
