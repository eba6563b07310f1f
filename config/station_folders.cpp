#include "config/station_folders.h"

#include "config/accounting_link_folder.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "core/app_error.h"

#include <QDir>

namespace {

QString joined(const QStringList& parts) {
    const QString separator = QDir::separator();
    return parts.join(separator) + separator;
}

} // namespace

QStringList StationFolders(const QString& ledvoraPath, const QString& accountType,
                           const QString& storeCode) {
    QStringList folders;
    if (accountType == QLatin1String(Keys::AccountTypes::AccPac)) {
        folders << joined({ledvoraPath, accountType, QStringLiteral("Received")});
        folders << joined({ledvoraPath, accountType, QStringLiteral("Updated")});
    }
    const QStringList station{ledvoraPath, accountType, QStringLiteral("Out"), storeCode};
    folders << joined(station + QStringList{QStringLiteral("Process")});
    folders << joined(station + QStringList{QStringLiteral("Resume")});
    return folders;
}

void CreateStationFolders(const SettingsFile& settings, const QString& storeCode) {
    const QString linkFolder = AccountingLinkFolder(settings);
    const QStringList folders =
        StationFolders(linkFolder, settings.read(Keys::General::AccountType), storeCode);
    for (const QString& folder : folders) {
        RefuseWindowsDriveFolder(folder, linkFolder);
        if (!QDir().mkpath(folder))
            throw AppError(QStringLiteral("Cannot create ") + folder);
    }
}
