#include "export/search_settings.h"

#include "config/value_forms.h"
#include "core/app_error.h"
#include "export/search_statements.h"

#include <QDir>

namespace {

QDate gstStartDate(const SettingsFile& settings, const SettingKey& key, const QString& text) {
    const std::optional<QDate> date = parseYearFirstDate(text);
    if (!date)
        throw AppError(QStringLiteral("The GST start date %1 in section [%2] of %3 is \"%4\", "
                                      "which is not a date of the form yyyy/mm/dd.")
                           .arg(QLatin1String(key.name), QLatin1String(key.section),
                                QDir::toNativeSeparators(settings.path()), text));
    return *date;
}

} // namespace

QString GstStartTextForSearch(const SettingsFile& settings) {
    const SettingKey& key = Keys::General::GstStartDateInSearch;
    const QString text = settings.read(key);
    gstStartDate(settings, key, text);
    return text;
}

QDate GstStartDateForCheck(const SettingsFile& settings) {
    const SettingKey& key = Keys::General::GstStartDate;
    return gstStartDate(settings, key, settings.read(key));
}

CashSalesSettings ReadCashSalesSettings(const SettingsFile& settings) {
    CashSalesSettings cashSales;
    cashSales.debtorCode = CashSalesDebtorCode(settings.readFromTypeSection(
        Keys::General::AccountTypeForExport, Keys::SqlAcc::CustomerAccount));
    cashSales.byItem =
        settings.read(Keys::General::ExportMode) == QLatin1String(Keys::General::ExportModeByItem);
    return cashSales;
}
