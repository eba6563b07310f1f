#pragma once

#include "demo/demo_amounts.h"

#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;

struct DemoItem {
    QString plu;
    QString description;
    Cents price = 0; // selling price, tax included
    Cents cost = 0;  // purchase cost, tax excluded
    TaxKind tax = TaxKind::Standard;
};

// The masters the documents draw on.
struct DemoMasters {
    QStringList customers; // M_CODE of MAS_CUSTOMER
    QStringList suppliers; // M_CODE of MAS_SUPPLIER
    QList<DemoItem> items; // MAS_STOCK
};

// Writes customers, suppliers, stock items, the tax codes of group POS and the payment methods
// (ZantApp), every export flag 'F'. Some customers and suppliers lack their account code (null
// or empty), one customer's name holds a quote, one customer code is longer than the six
// characters a generated debtor code takes, and some items have no short description.
DemoMasters WriteDemoMasters(DbConnection& applicationDb, const QStringList& stores);
