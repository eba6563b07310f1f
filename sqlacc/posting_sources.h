#pragma once

#include "data/connection.h"

class PosTaxCodeCache;

// The three back-office databases the posting routines read: stock and POS (ZaLedvoraStk),
// application masters (ZaLedvoraApp) and receivables (ZaARSys). The export run passes the
// handles of its data module; the routines never write to them.
struct PostingSources {
    DbConnection& stk;
    DbConnection& app;
    DbConnection& ar;
    // Where the export run keeps the POS tax codes between its cash sales; without it every
    // cash sale reads them.
    PosTaxCodeCache* posTaxCodes = nullptr;
};
