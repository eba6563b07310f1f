#include "app/station_list_rows.h"

#include "config/settings_file.h"
#include "config/value_forms.h"
#include "data/dataset.h"

#include <QLocale>

namespace {

// The locale's long time format without its time-zone part ("HH:mm:ss t" -> "HH:mm:ss").
QString longTimeFormatWithoutZone(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        result += c;
    }
    return result.simplified();
}

QDateTime dateTimeOf(const QVariant& value) {
    if (value.isNull())
        return QDateTime();
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().startOfDay();
    return value.toDateTime();
}

} // namespace

QString RegionalDateTimeText(const QDateTime& value) {
    if (!value.isValid())
        return QString();
    const QLocale locale;
    const QString date = locale.toString(value.date(), QLocale::ShortFormat);
    if (value.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') +
           locale.toString(value.time(), longTimeFormatWithoutZone(locale));
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
        row.LastExport = RegionalDateTimeText(lastExport);
        row.LastImport =
            RegionalDateTimeText(dateTimeOf(stations.valueAt(i, QStringLiteral("P_IMPORT"))));
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
