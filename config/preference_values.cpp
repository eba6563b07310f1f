#include "config/preference_values.h"

#include "config/accounting_link_folder.h"
#include "config/settings_file.h"
#include "config/value_forms.h"
#include "core/app_context.h"
#include "core/app_error.h"

#include <QDir>
#include <QFileInfo>

namespace {

QString keyId(const SettingKey& key) {
    return QLatin1String(key.section) + QLatin1Char('/') + QLatin1String(key.name);
}

const QList<AccountTypeEntry>& sectionsInLoadOrder() {
    static const QList<AccountTypeEntry> order{
        AccountTypeEntry::Ubs,    AccountTypeEntry::AutoCount, AccountTypeEntry::AccTrak21,
        AccountTypeEntry::AccPac, AccountTypeEntry::SqlAcc,    AccountTypeEntry::Emas};
    return order;
}

// A conversion message, then on its own line the field and the key it belongs to, so the user
// knows which value to put right.
void reportConversion(const QString& message, const char* field, const SettingKey& key) {
    Messages().error(message + QStringLiteral("\r\n%1 ([%2] %3)")
                                   .arg(QLatin1String(field), QLatin1String(key.section),
                                        QLatin1String(key.name)));
}

// The date, or empty after reporting the conversion message.
std::optional<QDate> loadClosingDate(const SettingsFile& settings) {
    const QString text = settings.read(Keys::Ubs::ClosingDate);
    const std::optional<QDate> date = parseDayFirstDate(text);
    if (!date)
        reportConversion(InvalidDateMessage(text), "Closing Date on the UBS page",
                         Keys::Ubs::ClosingDate);
    return date;
}

std::optional<int> loadPeriod(const SettingsFile& settings, const SettingKey& key,
                              const char* field) {
    const QString text = settings.read(key);
    const std::optional<int> period = toIntStrict(text);
    if (!period)
        reportConversion(InvalidIntegerMessage(text), field, key);
    return period;
}

std::optional<QDate> loadGstStartDate(const SettingsFile& settings) {
    const std::optional<QDate> date =
        parseYearFirstDate(settings.read(Keys::General::GstStartDate));
    if (!date)
        reportConversion(InvalidVariantConversionMessage(), "GST Start Date on the General page",
                         Keys::General::GstStartDate);
    return date;
}

bool folderExists(const QString& folder) {
    return !folder.isEmpty() && QFileInfo(folder).isDir();
}

void createFolderWhenAsked(const QString& folder) {
    if (folderExists(folder))
        return;
    RefuseWindowsDriveFolder(folder, folder);
    if (!Messages().confirm(
            QStringLiteral("Directory Not Found !\r\nAre you sure to create new directory ?")))
        return;
    if (folder.isEmpty() || !QDir().mkpath(folder))
        throw AppError(QStringLiteral("Cannot create ") + folder);
}

void writeTypeSection(SettingsFile& settings, const PreferenceValues& values) {
    const AccountTypeEntry entry = values.accountType;
    if (entry == AccountTypeEntry::AccPac)
        return; // kept as stored: the window cannot edit that type
    settings.write(Keys::General::AccountType, EntryTypeCode(entry));
    for (const SettingKey& key : TypeSectionTextKeys(entry)) {
        QString text = values.text(key);
        // The package's login is kept in upper case.
        if (keyId(key) == keyId(Keys::SqlAcc::UserLogin) ||
            keyId(key) == keyId(Keys::SqlAcc::Password))
            text = text.toUpper();
        settings.write(key, text);
    }
    if (entry == AccountTypeEntry::Ubs) {
        if (values.ubsClosingDate)
            settings.write(Keys::Ubs::ClosingDate, formatDayFirstDate(*values.ubsClosingDate));
        if (values.ubsStartingPeriod)
            settings.write(Keys::Ubs::StartingPeriod, QString::number(*values.ubsStartingPeriod));
        if (values.ubsClosingPeriod)
            settings.write(Keys::Ubs::ClosingPeriod, QString::number(*values.ubsClosingPeriod));
        settings.writeBool(Keys::Ubs::IncludeRemark, values.ubsIncludeRemark);
    } else if (entry == AccountTypeEntry::AutoCount) {
        settings.writeBool(Keys::AutoCount::IncludeRemark, values.autoCountIncludeRemark);
    } else if (entry == AccountTypeEntry::SqlAcc) {
        settings.writeFlag(Keys::SqlAcc::EInvoice, values.sqlAccEInvoice);
    }
}

} // namespace

QString EntryCaption(AccountTypeEntry entry) {
    switch (entry) {
    case AccountTypeEntry::Ubs:
        return QStringLiteral("UBS");
    case AccountTypeEntry::AutoCount:
        return QStringLiteral("AutoCount");
    case AccountTypeEntry::SqlAcc:
        return QStringLiteral("SQL Accounting");
    case AccountTypeEntry::AccTrak21:
        return QStringLiteral("AccTrack21");
    case AccountTypeEntry::Emas:
        return QStringLiteral("Emas");
    case AccountTypeEntry::AccPac:
        return QStringLiteral("ACCPAC");
    case AccountTypeEntry::None:
        break;
    }
    return QString();
}

QString EntryTypeCode(AccountTypeEntry entry) {
    namespace Types = Keys::AccountTypes;
    switch (entry) {
    case AccountTypeEntry::Ubs:
        return QLatin1String(Types::Ubs);
    case AccountTypeEntry::AutoCount:
        return QLatin1String(Types::AutoCount);
    case AccountTypeEntry::SqlAcc:
        return QLatin1String(Types::SqlAcc);
    case AccountTypeEntry::AccTrak21:
        return QLatin1String(Types::AccTrak21);
    case AccountTypeEntry::Emas:
        return QLatin1String(Types::Emas);
    case AccountTypeEntry::AccPac:
        return QLatin1String(Types::AccPac);
    case AccountTypeEntry::None:
        break;
    }
    return QString();
}

AccountTypeEntry EntryOfTypeCode(const QString& typeCode) {
    for (AccountTypeEntry entry : sectionsInLoadOrder())
        if (typeCode == EntryTypeCode(entry))
            return entry;
    return AccountTypeEntry::None;
}

QString PreferenceValues::text(const SettingKey& key) const {
    return texts.value(keyId(key));
}

void PreferenceValues::setText(const SettingKey& key, const QString& value) {
    texts.insert(keyId(key), value);
}

const QList<PreferenceFlag>& PreferenceFlags() {
    using V = PreferenceValues;
    namespace G = Keys::General;
    namespace C = Keys::Confirmation;
    static const QList<PreferenceFlag> flags{
        {G::ForeignCurrency, &V::foreignCurrency}, {C::ConfirmRemove, &V::confirmRemove},
        {C::ConfirmExport, &V::confirmExport},     {C::ConfirmImport, &V::confirmImport},
        {C::ConfirmCopy, &V::confirmCopy},         {C::ConfirmPaste, &V::confirmPaste},
        {G::ExportToDesp, &V::exportToDesp},       {G::ExportToProjNo, &V::exportToProjNo},
        {G::ExportToBillNo, &V::exportToBillNo}};
    return flags;
}

const QList<SettingKey>& TypeSectionTextKeys(AccountTypeEntry entry) {
    namespace U = Keys::Ubs;
    namespace A = Keys::AutoCount;
    namespace T = Keys::AccTrak21;
    namespace P = Keys::AccPac;
    namespace S = Keys::SqlAcc;
    namespace E = Keys::Emas;
    static const QList<SettingKey> ubs{U::SalesTransaction, U::SalesAccount, U::PurchaseAccount,
                                       U::SuspendAccount, U::SundryAccount};
    static const QList<SettingKey> autoCount{
        A::CashReceipt,     A::CashReceiptDetail, A::Invoice,        A::InvoiceDetail,
        A::Payment,         A::PaymentDetail,     A::Bill,           A::BillDetail,
        A::PayBill,         A::PayBillDetail,     A::Debtor,         A::Creditor,
        A::DebtorAccount,   A::CreditorAccount,   A::AreaCode,       A::AgentCode,
        A::PaymentTerm,     A::CurrencyCode,      A::SuspendAccount, A::SalesAccount,
        A::PurchaseAccount, A::SundryAccount};
    static const QList<SettingKey> accTrak21{
        T::Debtor,          T::Creditor,        T::DebtorAccount, T::CreditorAccount,
        T::PaymentTerm,     T::SuspendAccount,  T::SundryAccount, T::SalesAccount,
        T::PurchaseAccount, T::SalesTransaction};
    static const QList<SettingKey> accPac{P::ItemMaster, P::ItemPrice, P::SalesTransaction};
    static const QList<SettingKey> sqlAcc{S::SalesTransaction, S::UserLogin,
                                          S::Password,         S::Dcf,
                                          S::CustomerAccount,  S::SupplierAccount,
                                          S::AreaCode,         S::AgentCode,
                                          S::PaymentTerm,      S::CurrencyCode,
                                          S::SalesAccount,     S::PurchaseAccount,
                                          S::SalesCnAccount,   S::PurchaseReturnAccount,
                                          S::PaymentAccount,   S::TariffCode};
    static const QList<SettingKey> emas{E::IntermediateFile, E::SalesAccount,    E::SuspendAccount,
                                        E::SundryAccount,    E::CustomerAccount, E::SupplierAccount,
                                        E::TransferAccount};
    static const QList<SettingKey> none;
    switch (entry) {
    case AccountTypeEntry::Ubs:
        return ubs;
    case AccountTypeEntry::AutoCount:
        return autoCount;
    case AccountTypeEntry::SqlAcc:
        return sqlAcc;
    case AccountTypeEntry::AccTrak21:
        return accTrak21;
    case AccountTypeEntry::Emas:
        return emas;
    case AccountTypeEntry::AccPac:
        return accPac;
    case AccountTypeEntry::None:
        break;
    }
    return none;
}

PreferenceValues LoadPreferences(SettingsFile& settings) {
    namespace G = Keys::General;
    PreferenceValues values;
    values.changedDays = settings.read(G::ChangedDays);

    if (settings.read(G::LedvoraPathUnset).isEmpty())
        settings.write(G::LedvoraPath, LedvoraFolderBelowProgram());
    values.ledvoraPath = AccountingLinkFolder(settings);

    values.gstStartDate = loadGstStartDate(settings);
    values.exportByItem = settings.read(G::ExportMode) == QLatin1String(G::ExportModeByItem);
    for (const PreferenceFlag& flag : PreferenceFlags())
        values.*flag.value = settings.readFlag(flag.key);

    for (AccountTypeEntry entry : sectionsInLoadOrder()) {
        for (const SettingKey& key : TypeSectionTextKeys(entry))
            values.setText(key, settings.read(key));
        if (entry == AccountTypeEntry::Ubs) {
            values.ubsClosingDate = loadClosingDate(settings);
            values.ubsStartingPeriod =
                loadPeriod(settings, Keys::Ubs::StartingPeriod, "Starting Period on the UBS page");
            values.ubsClosingPeriod =
                loadPeriod(settings, Keys::Ubs::ClosingPeriod, "Closing Period on the UBS page");
            values.ubsIncludeRemark = settings.readBool(Keys::Ubs::IncludeRemark);
        } else if (entry == AccountTypeEntry::AutoCount) {
            values.autoCountIncludeRemark = settings.readBool(Keys::AutoCount::IncludeRemark);
        } else if (entry == AccountTypeEntry::SqlAcc) {
            values.sqlAccEInvoice = settings.readFlag(Keys::SqlAcc::EInvoice);
        }
    }

    values.accountType = EntryOfTypeCode(settings.read(G::AccountType));
    values.ledvoraLogFileSize = settings.read(G::LedvoraLogFileSize);
    values.stationLogFileSize = settings.read(G::StationLogFileSize);
    return values;
}

void ApplyPreferences(SettingsFile& settings, const PreferenceValues& values,
                      const StatusPanelSink& statusPanel) {
    namespace G = Keys::General;
    createFolderWhenAsked(values.ledvoraPath);

    settings.write(G::ChangedDays, values.changedDays);
    settings.write(G::LedvoraPath, values.ledvoraPath);
    statusPanel(3, QStringLiteral("Accounting Link Path : ") + values.ledvoraPath.toUpper());

    if (values.gstStartDate)
        settings.write(G::GstStartDate, formatYearFirstDate(*values.gstStartDate));
    for (const PreferenceFlag& flag : PreferenceFlags())
        settings.writeFlag(flag.key, values.*flag.value);
    settings.write(G::ExportMode, QLatin1String(values.exportByItem ? G::ExportModeByItem
                                                                    : G::ExportModeBySummary));

    writeTypeSection(settings, values);
    statusPanel(2, QStringLiteral("Type : ") + EntryCaption(values.accountType));

    settings.write(G::LedvoraLogFileSize, values.ledvoraLogFileSize);
    settings.write(G::StationLogFileSize, values.stationLogFileSize);
}

QString InvalidDateMessage(const QString& text) {
    return QStringLiteral("'%1' is not a valid date").arg(text);
}

QString InvalidIntegerMessage(const QString& text) {
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString InvalidVariantConversionMessage() {
    return QStringLiteral("Invalid variant type conversion");
}
