#include "config/station_pages.h"

#include "config/settings_keys.h"

QStringList StationPageNodes(const QString& accountType) {
    namespace Types = Keys::AccountTypes;
    const QString general = QStringLiteral("General");
    const QString sales = QStringLiteral("Sales Transaction");
    if (accountType == QLatin1String(Types::Ubs) ||
        accountType == QLatin1String(Types::AutoCount) ||
        accountType == QLatin1String(Types::SqlAcc) || accountType == QLatin1String(Types::Emas))
        return {general, QStringLiteral("Stock AR Entry"), QStringLiteral("Stock AP Entry"), sales};
    if (accountType == QLatin1String(Types::AccPac))
        return {general, sales};
    return {general};
}
