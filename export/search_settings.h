#pragma once

#include "config/settings_file.h"

#include <QDate>
#include <QString>

// The settings the searches and the dialog's date check read, each with its reader's default.

// GSTSTARTDATE as the searches write it into their statements: the text exactly as stored
// (default "2015/04/1"). Raises an AppError naming the key and its value when the text is not a
// year-first date, so that no search runs on a value the database would misread.
QString GstStartTextForSearch(const SettingsFile& settings);

// GSTSTARTDATE as a date, for the from-date check of the dialog (default "2015/4/1"). Raises
// like GstStartTextForSearch on a value that is not a date.
QDate GstStartDateForCheck(const SettingsFile& settings);

struct CashSalesSettings {
    QString debtorCode; // the cash-sales debtor code written into every cash-sales row
    bool byItem = true; // EXPORT_MODE "0": one row per receipt; else one per counter-day
};

// ACCOUNT_TYPE (default "SQLACC"), CUSTOMER_ACCOUNT of that type's section (default "300-000")
// and EXPORT_MODE (default "0").
CashSalesSettings ReadCashSalesSettings(const SettingsFile& settings);
