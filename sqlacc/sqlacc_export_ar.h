#pragma once

#include "sqlacc/posting_sources.h"

#include <QString>

struct PostingReadBack;

// Posts one receivables document (AR_IV, AR_DN, AR_CN, AR_PM) into the accounting package.
// An invoice the receivables system took over from the POS goes through SQLAccExportDoc as a
// sales invoice. A document the package already holds under DocRef is updated (its unapplied
// amount only) rather than created again. Payments and credit notes carry their knock-off
// amounts; a settled document the package does not list is passed over. Returns false when the
// receivables tables hold no row for DocId; database and package errors pass through unchanged.
// Given readBack, the saved document is read back from the package and held against NetTotal
// (see SQLAccExportDoc). The business object is closed when the document is done.
bool SQLAccExportAR(const PostingSources& sources, const QString& ModuleCode, const QString& DocId,
                    const QString& DocRef, const QString& DocDate, const QString& PartyCode,
                    double NetTotal, double Rounding, PostingReadBack* readBack = nullptr);

// The package's document type of a knock-off link type: "INV/" is "IV", "CN/" is "CN", any other
// type is kept (trimmed).
QString KnockOffDocType(const QString& linkType);
