#include "config/import_run.h"

#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/value_forms.h"
#include "core/app_context.h"
#include "data/activity_log.h"
#include "data/table.h"

namespace {

const QString PollingCode = QStringLiteral("#1  ");

} // namespace

QString ImportCaption(const QString& caption, const QString& lastImport) {
    return caption + QStringLiteral("...[ Last Process Date : ") + lastImport +
           QStringLiteral(" ]");
}

QString ReadLastImport(const SettingsFile& settings) {
    return settings.read(Keys::History::LastImport);
}

void WriteLastImport(SettingsFile& settings) {
    settings.write(Keys::History::LastImport, formatDayFirstDate(Now().date()));
}

void FilterActiveStations(Table& stations) {
    stations.setFiltered(false);
    stations.setFilter(QLatin1String(ActiveStationsFilter));
    stations.setFiltered(true);
}

void ClearStationFilter(Table& stations) {
    // Filtering off first, so the table is read again once and not twice.
    stations.setFiltered(false);
    stations.setFilter(QString());
}

void WriteImportPollingLines(const QString& baseFolder) {
    // The run logs no user and no remark.
    LogPolling(PollingCode, QString(), QLatin1String(ImportStartMessage), QString(), baseFolder);
    LogPolling(PollingCode, QString(), QLatin1String(ImportEndMessage), QString(), baseFolder);
}
