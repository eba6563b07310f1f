#pragma once

#include <QString>

class SettingsFile;
struct SettingKey;

// The size check of the program log and the station logs: a log larger than its limit in the
// settings file ([GENERAL] LEDVORALOG_FILESIZE or STATIONLOG_FILESIZE, kilobytes) is offered for
// deletion.

// The thousands separator of the system's regional settings.
QString ThousandsSeparator();

// The number in the pattern "###,###,##0": digits grouped by three with `separator`.
QString GroupedNumber(qint64 value, const QString& separator);

// The question asked when a log is larger than its limit; both sizes are in bytes.
QString OverSizeQuestion(qint64 size, qint64 limit,
                         const QString& separator = ThousandsSeparator());

// The limit in bytes: the key's text, upper-cased and read as a whole number, times 1024. Raises
// AppError naming the key when the text is not a whole number.
qint64 LogSizeLimit(const SettingsFile& settings, const SettingKey& key);

// Checks the log at `path` against the key's limit: nothing when there is no such file;
// otherwise, when the file is larger than the limit, asks the question and deletes the file on
// Yes. A file that cannot be deleted (still held by its writer) stays without a message.
// Returns true when the file was deleted. The limit is read, and may raise, before the size is
// compared.
bool CheckLogSize(const QString& path, const SettingsFile& settings, const SettingKey& key);
