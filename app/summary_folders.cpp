#include "app/summary_folders.h"

#include "config/accounting_link_folder.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "data/dataset.h"

#include <QDir>

namespace {

// Joined with the platform's separator and ending with one, as the station folders are made.
QString folderPath(const QStringList& parts) {
    const QString separator = QDir::separator();
    return parts.join(separator) + separator;
}

bool folderExists(const QString& folder) {
    return QDir(folder).exists();
}

} // namespace

QString ReportsFolder(const QString& programFolder) {
    return QDir::toNativeSeparators(programFolder + QStringLiteral("/Reports/"));
}

SummaryFolders ChooseSummaryFolders(const QString& accountType, const QString& ledvoraPath,
                                    const QString& programFolder,
                                    const std::optional<QString>& station) {
    SummaryFolders folders;
    const QString reports = ReportsFolder(programFolder);
    folders.received = folders.resume = folders.updated = folders.sent = reports;

    const bool accPac = accountType == QLatin1String(Keys::AccountTypes::AccPac);
    folders.importOffered = accPac;
    folders.receivedHeader = accPac ? QStringLiteral("RECEIVED") : QStringLiteral("NONE");
    folders.updatedHeader = accPac ? QStringLiteral("UPDATED") : QStringLiteral("NONE");
    if (!station)
        return folders;

    const auto useIfExists = [](QString& list, const QString& folder) {
        if (folderExists(folder))
            list = folder;
    };
    if (accPac) {
        useIfExists(folders.received,
                    folderPath({ledvoraPath, accountType, QStringLiteral("Received")}));
        useIfExists(folders.updated,
                    folderPath({ledvoraPath, accountType, QStringLiteral("Updated")}));
    }
    const QStringList out{ledvoraPath, accountType, QStringLiteral("Out"), *station};
    useIfExists(folders.resume, folderPath(out + QStringList{QStringLiteral("Resume")}));
    useIfExists(folders.sent, folderPath(out + QStringList{QStringLiteral("Sent")}));
    return folders;
}

SummaryFolders ChooseSummaryFolders(const SettingsFile& settings, const QString& programFolder,
                                    const std::optional<QString>& station) {
    return ChooseSummaryFolders(settings.read(Keys::General::AccountType),
                                AccountingLinkFolder(settings), programFolder, station);
}

QStringList CsvFileNames(const QString& folder) {
    QDir dir(folder);
    if (!dir.exists())
        return {};
    // The pattern matches regardless of case, as it does on the file systems the link was made
    // for.
    return dir.entryList({QStringLiteral("*.csv")}, QDir::Files | QDir::Hidden | QDir::System,
                         QDir::Name | QDir::IgnoreCase);
}

QString AccountingLinkPathText(const SettingsFile& settings) {
    return QStringLiteral("Accounting Link Path : ") + AccountingLinkFolder(settings);
}

QList<SummaryStation> ReadSummaryStations(Dataset& stations) {
    // Read in place rather than by moving the cursor row by row, which would re-read the
    // station's jobs at every step; the cursor ends on the first row all the same.
    QList<SummaryStation> rows;
    for (int row = 0; row < stations.recordCount(); ++row)
        rows.append({stations.valueAt(row, QStringLiteral("P_STORE")).toString(),
                     stations.valueAt(row, QStringLiteral("StationDesc")).toString()});
    stations.first();
    return rows;
}
