#pragma once

#include <QString>

class SettingsFile;
class Table;

// The import run of the Import window. It moves no data: it records the date of the run, and
// writes a start line and an end line to the polling log.

// The window's caption: `caption` followed by "...[ Last Process Date : ", the date text and
// " ]" (two blanks before the bracket when no import was recorded).
QString ImportCaption(const QString& caption, const QString& lastImport);

// [HISTORY] LAST_IMPORT, empty when no import was recorded.
QString ReadLastImport(const SettingsFile& settings);

// Writes today's date (dd/MM/yyyy) to [HISTORY] LAST_IMPORT. Raises the settings file's error
// when the file cannot be written.
void WriteLastImport(SettingsFile& settings);

// Limits the station table to the active stations, and lifts the limit again.
inline constexpr char ActiveStationsFilter[] = "P_Active = 'T'";
void FilterActiveStations(Table& stations);
void ClearStationFilter(Table& stations);

// The polling-log messages of a run.
inline constexpr char ImportStartMessage[] = "Import   (Start)";
inline constexpr char ImportEndMessage[] = "Import   (End)";

// Appends the start line and then the end line to the polling log under `baseFolder`. Raises
// the log's error ("Cannot create <folder>", or the file's error) at the first line that cannot
// be written.
void WriteImportPollingLines(const QString& baseFolder);
