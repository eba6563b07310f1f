#include "config/export_account_type.h"

#include "config/settings_file.h"
#include "config/settings_keys.h"

#include <QDir>

bool AccountTypeCanExport(const QString& accountType) {
    return accountType == QLatin1String(Keys::AccountTypes::SqlAcc);
}

QString ExportAccountTypeRefusal(const SettingsFile& settings, const QString& action) {
    const SettingKey& key = Keys::General::AccountType;
    const QString accountType = settings.read(key);
    if (AccountTypeCanExport(accountType))
        return QString();
    // A key that is missing and one that is present but empty both mean no type.
    const bool missing = settings.read(key, QStringLiteral("\n")) == QLatin1String("\n");
    const QString found = missing ? QStringLiteral("no account type is set")
                          : accountType.isEmpty()
                              ? QStringLiteral("the account type is empty")
                              : QStringLiteral("the account type is \"%1\"").arg(accountType);
    return QStringLiteral("%1 refused: %2 (%3/%4 in %5); only \"%6\" can search and export")
        .arg(action, found, QLatin1String(key.section), QLatin1String(key.name),
             QDir::toNativeSeparators(settings.foundPath()),
             QLatin1String(Keys::AccountTypes::SqlAcc));
}
