#include "app/station_list_rows.h"

#include "config/settings_file.h"
#include "config/value_forms.h"
#include "data/activity_log.h"
#include "data/dataset.h"

namespace {

QDateTime dateTimeOf(const QVariant& value) {
    if (value.isNull())
        return QDateTime();
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().startOfDay();
    return value.toDateTime();
}

} // namespace

QString StationDateTimeText(const QDateTime& value) {
    if (!value.isValid())
        return QString();
    const QString date = ShortDateText(value.date());
    if (value.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + LongTimeText(value.time());
}

QString ExportState(const QDateTime& lastExport, const QDateTime& now, int changedDays) {
    const bool recent = lastExport.isValid() && lastExport >= now.addDays(-changedDays);
    return recent ? QStringLiteral("O.K.") : QStringLiteral("Warning");
}

QList<StationListRow> BuildStationRows(Dataset& stations, const QDateTime& now, int changedDays) {
    QList<StationListRow> rows;
    // Reading by row number keeps the job table (a detail of the stations) from re-reading its
    // rows for every station passed.
    for (int i = 0; i < stations.recordCount(); ++i) {
        const QDateTime lastExport = dateTimeOf(stations.valueAt(i, QStringLiteral("P_EXPORT")));
        StationListRow row;
        row.Store = stations.valueAt(i, QStringLiteral("P_STORE")).toString();
        row.Description = stations.valueAt(i, QStringLiteral("StationDesc")).toString();
        row.LastExport = StationDateTimeText(lastExport);
        row.LastImport =
            StationDateTimeText(dateTimeOf(stations.valueAt(i, QStringLiteral("P_IMPORT"))));
        row.Active =
            stations.valueAt(i, QStringLiteral("P_ACTIVE")).toString() == QLatin1String("T")
                ? QStringLiteral("Yes")
                : QStringLiteral("No");
        row.Export = ExportState(lastExport, now, changedDays);
        rows.append(row);
    }
    stations.first();
    return rows;
}

int ReadChangedDays(const SettingsFile& settings) {
    return toIntStrict(settings.read(Keys::General::ChangedDays).trimmed()).value_or(0);
}
