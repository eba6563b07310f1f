#include "core/workstation.h"

#include "core/app_context.h"
#include "core/profile_file.h"

#include <QDir>
#include <QSysInfo>

QString ConfiguredWorkstationName() {
    return ProfileFile(ProgramFolder() + QStringLiteral("/Register.ini"))
        .readString(QLatin1String(kWorkstationSection), QLatin1String(kWorkstationKey), QString())
        .trimmed();
}

QString WorkstationName() {
    const QString configured = ConfiguredWorkstationName();
    if (!configured.isEmpty())
        return configured;
    return QSysInfo::machineHostName() + QLatin1Char(':') +
           QDir::toNativeSeparators(ProgramFolder());
}
