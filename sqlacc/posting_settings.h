#pragma once

#include <QString>

class SettingsFile;

// The header codes every posted document carries, from section SQLACC of Ledvora.ini.
struct DocumentDefaults {
    QString area;     // AREA_CODE
    QString agent;    // AGENT_CODE
    QString terms;    // PAYMENT_TERM
    QString currency; // CURRENCY_CODE
};

DocumentDefaults ReadDocumentDefaults(const SettingsFile& settings);

// The account of the lines (or of the payment) of a document kind: SALES_ACCOUNT for SL_CS,
// SL_IV, AR_IV and AR_DN; SALES_CN_ACCOUNT for SL_CN and AR_CN; PURCHASE_ACCOUNT for PH_PI;
// PURCHASE_RETURN_ACCOUNT for PH_SC; PAYMENT_ACCOUNT for AR_PM. Empty for other codes.
QString LineAccount(const SettingsFile& settings, const QString& moduleCode);
