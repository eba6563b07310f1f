#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

class Dataset;
class SettingsFile;

// One row of the station list as it is shown: the six columns of the report style.
struct StationListRow {
    QString Store;       // P_STORE, also the row's caption
    QString Description; // the store's MAS_STORE description; empty for an unknown store
    QString LastExport;  // P_EXPORT, day first; empty when never exported
    QString LastImport;  // P_IMPORT, the same way
    QString Active;      // "Yes" when P_ACTIVE is exactly "T", else "No"
    QString Export;      // "O.K." or "Warning"
};

// A date and time as the program writes them everywhere, day first (dd/MM/yyyy HH:mm:ss), so the
// list reads the same whatever the regional settings of the machine; the date alone at midnight.
// Empty for a null value.
QString StationDateTimeText(const QDateTime& value);

// "O.K." when the last export is at or after `now` minus `changedDays` days (full date-times),
// "Warning" otherwise and when the station was never exported.
QString ExportState(const QDateTime& lastExport, const QDateTime& now, int changedDays);

// The rows for every station of `stations` (tblStation, with its StationDesc lookup), in the
// table's order. Reads the rows without moving the cursor, then moves it to the first station.
QList<StationListRow> BuildStationRows(Dataset& stations, const QDateTime& now, int changedDays);

// [GENERAL] CHANGED_DAYS with blanks trimmed, as a whole number. A value that is not a whole
// number counts as 0, so the list can always be built.
int ReadChangedDays(const SettingsFile& settings);
