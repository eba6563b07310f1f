#pragma once

#include <QtGlobal>

class DbConnection;
class DemoCalendar;
class DemoRandom;
struct DemoMasters;

// Writes `receipts` POS receipts with their lines (POS_SALES, POS_SALESDTL) over the close days
// of six counters in stores S001 to S003, and one close-information row per store, counter and
// close day (POS_CLOSEINFO) holding exactly the sums of that day's normal receipts. Prices
// include the tax; a few receipts are voided; receipts before the GST start date carry no tax.
// Returns the number of rows written.
qint64 WriteDemoPosSales(DbConnection& stockDb, const DemoMasters& masters,
                         const DemoCalendar& calendar, int receipts, DemoRandom& random);
