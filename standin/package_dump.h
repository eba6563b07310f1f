#pragma once

#include "data/alias_file.h"

#include <QJsonObject>
#include <QString>

// Everything the stand-in package database holds, in a stable order: documents by business
// object and DOCNO with their header fields, lines (in DtlKey order) and knock-offs; masters by
// business object and CODE with their branches (a stock item: its units); the code lists by list
// and code. Fields never set are left out.
//   {"documents": [{"bizObject", "DOCNO", "key", "docTotal", "header": {...},
//                   "lines": [{...}], "knockOffs": [{"DocType", "DocNo", "KOAmt"}]}],
//    "masters": [{"bizObject", "CODE", "key", "fields": {...}, "branches"|"units": [{...}]}],
//    "codes": [{"list", "CODE", "DESCRIPTION", "RATE", "TARIFFREQUIRED"}]}
// Throws AppError when the database cannot be read.
QJsonObject DumpPackage(const AliasTarget& database);

// The package database to dump: databaseFile when given; otherwise the SALES_TRANSACTION of the
// installation's Ledvora.ini in the folder named by the DCF file (dcfPath, or the installation's
// DCF). Throws AppError when the DCF or the database file does not exist.
AliasTarget PackageDumpTarget(const QString& dcfPath, const QString& databaseFile);
