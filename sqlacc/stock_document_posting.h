#pragma once

#include "sqlacc/document_lines.h"

#include <QString>

class DbConnection;
class Dataset;

// Sales invoices and credit notes (SL_IV, SL_CN) and purchase invoices and returns (PH_PI,
// PH_SC) come from the stock ledger lines of one document. Amounts are sums of absolute values,
// so credit notes and returns carry positive figures.

bool IsPurchaseDocument(const QString& moduleCode);

// By item: one row per item, tax code, reason, price and inclusive flag. By summary: one row per
// tax code.
QString StockDocumentSql(const QString& moduleCode, const QString& docId, bool byItem);

// The line of a by-item row. A blank reason takes the item's description from MAS_STOCK, or the
// item code when the item has no MAS_STOCK row.
DocumentLine StockItemLine(const Dataset& row, bool purchase, DbConnection& app);

// The line of a by-summary row, with the configured item code and description.
DocumentLine StockTotalLine(const Dataset& row, const QString& itemCode,
                            const QString& description);
