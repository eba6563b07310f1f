#pragma once

#include "sqlacc/posting_sources.h"

#include <QString>

struct PostingReadBack;

// Posts one sales or purchase document (SL_CS, SL_IV, SL_CN, PH_PI, PH_SC) into the accounting
// package as a new document of the business object named by moduleCode, with one line per row of
// its source (receipt lines, close-day totals or stock-ledger lines, by the export mode of
// Ledvora.ini). Returns false, without logging in or calling the package, when the source holds
// no row; true once the document is saved. Database and package errors pass through unchanged;
// nothing is written to the sources.
//
// The routine logs in through SQLAccLogin (once per run within a PackageRunSession) and closes
// its business object when the document is done. A cash sale's payment (P_AMOUNT) is what the
// customer paid: the document's total (CashSalePayment). Given readBack, the saved document is
// read back from the package after Save and held there against its source total.
bool SQLAccExportDoc(const PostingSources& sources, const QString& ModuleCode, const QString& DocId,
                     const QString& DocRef, const QString& DocDate, const QString& PartyCode,
                     double NetTotal, double Rounding, PostingReadBack* readBack = nullptr);
