#include "config/accounting_year.h"

AccountingYear ComputeAccountingYear(const QDate& closingDate, int closingPeriod) {
    AccountingYear year;
    year.closingDate = QDate(closingDate.year(), closingDate.month(), 1).addMonths(1).addDays(-1);
    year.firstDay = year.closingDate.addDays(1);
    // Month m + n of year y, rolling into the following years past December.
    const QDate monthAfterPeriod =
        QDate(year.firstDay.year(), year.firstDay.month(), 1).addMonths(closingPeriod);
    year.lastDayOfPeriod = monthAfterPeriod.addDays(-1);
    return year;
}
