#pragma once

#include <QDate>

// The UBS accounting year the preferences window shows beside the closing date of the last
// accounting year and the closing period.
struct AccountingYear {
    QDate closingDate;     // the given closing date moved to the last day of its month
    QDate firstDay;        // the day after: the first day of the new accounting year
    QDate lastDayOfPeriod; // the last day of the closing period
};

// The closing period n counts months from the first day's month m of year y: the period ends the
// day before the first day of month m + n (of year y, y + 1 or y + 2 as m + n passes 12 or 24).
// Example: 15/12/2000 with period 12 gives 31/12/2000, 01/01/2001 and 31/12/2001.
AccountingYear ComputeAccountingYear(const QDate& closingDate, int closingPeriod);
