#pragma once

#include "sqlacc/posting_sources.h"

#include <QString>

// Sends the supplier (AP_SUPPLIER), customer (AR_CUSTOMER) or stock-item (ST_ITEM) master of
// the application database into the accounting package: every row for Selection "ALL", the rows
// not yet exported otherwise. Each code is created, or updated when the package holds it already.
// For customers the cash-sales customer (the control account's prefix followed by "-POS") is
// created first when missing and never updated. Returns true, also when no row was sent; reads
// the master table and writes nothing to it. Database and package errors pass through unchanged.
// One session with the package serves the whole export (PackageRunSession); the business object
// is closed after every record. A new stock item is given its unit row ("UNIT", rate 1, base).
bool SQLAccExportMaster(const PostingSources& sources, const QString& ModuleCode,
                        const QString& ControlAccount, const QString& Selection);

// The code of the cash-sales customer: the part of the control account before its first "-",
// followed by "-POS" ("300-000" gives "300-POS"; an account without "-" gives "-POS").
QString CashSalesCustomerCode(const QString& controlAccount);
