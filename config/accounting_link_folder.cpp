#include "config/accounting_link_folder.h"

#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "core/app_context.h"
#include "core/app_error.h"

#include <QDir>
#include <QRegularExpression>

namespace {

constexpr bool SystemHasDriveLetters =
#ifdef Q_OS_WIN
    true;
#else
    false;
#endif

} // namespace

QString LedvoraFolderBelowProgram() {
    return QDir::toNativeSeparators(ProgramFolder() +
                                    QLatin1String(Keys::General::LedvoraFolderBelowProgram));
}

QString AccountingLinkFolder(const SettingsFile& settings) {
    if (SystemHasDriveLetters)
        return settings.read(Keys::General::LedvoraPath);
    return settings.read(Keys::General::LedvoraPath, LedvoraFolderBelowProgram());
}

bool NamesWindowsDrive(const QString& folder) {
    if (SystemHasDriveLetters)
        return false;
    static const QRegularExpression windowsStart(QStringLiteral("^([A-Za-z]:|\\\\\\\\)"));
    return windowsStart.match(folder).hasMatch();
}

void RefuseWindowsDriveFolder(const QString& folder, const QString& linkFolder) {
    if (!NamesWindowsDrive(folder))
        return;
    throw AppError(QStringLiteral("Cannot create %1\r\nThe accounting link folder \"%2\" (%3/%4 in "
                                  "Ledvora.ini) names a Windows drive, which this system does not "
                                  "have: set the Accounting Link Path in Preferences.")
                       .arg(folder, linkFolder, QLatin1String(Keys::General::Section),
                            QLatin1String(Keys::General::LedvoraPath.name)));
}
