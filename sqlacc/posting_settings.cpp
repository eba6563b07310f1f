#include "sqlacc/posting_settings.h"

#include "config/settings_file.h"

DocumentDefaults ReadDocumentDefaults(const SettingsFile& settings) {
    DocumentDefaults defaults;
    defaults.area = settings.read(Keys::SqlAcc::AreaCode);
    defaults.agent = settings.read(Keys::SqlAcc::AgentCode);
    defaults.terms = settings.read(Keys::SqlAcc::PaymentTerm);
    defaults.currency = settings.read(Keys::SqlAcc::CurrencyCode);
    return defaults;
}

QString LineAccount(const SettingsFile& settings, const QString& moduleCode) {
    if (moduleCode == QLatin1String("SL_CS") || moduleCode == QLatin1String("SL_IV") ||
        moduleCode == QLatin1String("AR_IV") || moduleCode == QLatin1String("AR_DN"))
        return settings.read(Keys::SqlAcc::SalesAccount);
    if (moduleCode == QLatin1String("SL_CN") || moduleCode == QLatin1String("AR_CN"))
        return settings.read(Keys::SqlAcc::SalesCnAccount);
    if (moduleCode == QLatin1String("PH_PI"))
        return settings.read(Keys::SqlAcc::PurchaseAccount);
    if (moduleCode == QLatin1String("PH_SC"))
        return settings.read(Keys::SqlAcc::PurchaseReturnAccount);
    if (moduleCode == QLatin1String("AR_PM"))
        return settings.read(Keys::SqlAcc::PaymentAccount);
    return QString();
}
