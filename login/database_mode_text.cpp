#include "login/database_mode_text.h"

QString DatabaseModeText(const QString& databaseMode, const QString& databaseServer) {
    const QString server = databaseServer == QLatin1String("LOCAL")
                               ? QStringLiteral("[ Local Server ]")
                               : QStringLiteral("[ Remote Server ]");
    const QString mode = databaseMode == QLatin1String("C") ? QStringLiteral("C-Mode GDB")
                                                            : QStringLiteral("T-Mode GDB");
    return server + QStringLiteral("  ") + mode;
}
