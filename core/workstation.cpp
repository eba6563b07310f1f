#include "core/workstation.h"

#include "core/app_context.h"
#include "core/profile_file.h"

#include <QDir>
#include <QSysInfo>

QString WorkstationName() {
    const QString folder = ProgramFolder();
    const QString configured = ProfileFile(folder + QStringLiteral("/Register.ini"))
                                   .readString(QLatin1String(kWorkstationSection),
                                               QLatin1String(kWorkstationKey), QString())
                                   .trimmed();
    if (!configured.isEmpty())
        return configured;
    return QSysInfo::machineHostName() + QLatin1Char(':') + QDir::toNativeSeparators(folder);
}
