#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>

// The activity log (one file a day, in the folder tree the back-office programs share for their
// stock activity log) and the polling log (one file for all days under the program folder).
// Each call opens the file, appends one line and closes it again, so several programs can write
// to the same file one after another.

// Where and whether the activity log is written: [REPORT] LOG, LOG_EXT and STOCKW_LOG of
// Register.ini, as the group-access module reads them at its creation.
struct ActivityLogSettings {
    QString LogFolder;
    QString LogExt = QStringLiteral("000");
    bool StockLogEnabled = false;
};

// The program's own date and time texts: the short date dd/MM/yyyy and the long time HH:mm:ss.
QString ShortDateText(const QDate& date);
QString LongTimeText(const QTime& time);

// Root/Stock/yyyy/MM/ for the day, ending with a separator. The root is LogFolder when it is set,
// else baseFolder followed by /Log.
QString ActivityLogFolder(const ActivityLogSettings& settings, const QString& baseFolder,
                          const QDate& day);
// Stock-yyyyMMdd.<LogExt> in that folder.
QString ActivityLogFile(const ActivityLogSettings& settings, const QString& baseFolder,
                        const QDate& day);

// The text written for a code at the given time (without the line break): empty for "#0  ",
// the full line for "#1  " and "#2  ", the sub-line for any other code.
QString ActivityLogLine(const QString& code, const QString& user, const QString& caption,
                        const QString& action, const QString& detail, const QTime& time);

// Appends the line for the code to today's file when the activity log is switched on. Raises
// AppError "Cannot create <folder>" when the folder cannot be made, or the file's error when it
// cannot be opened or written.
void LogActivity(const ActivityLogSettings& settings, const QString& code, const QString& user,
                 const QString& caption, const QString& action, const QString& baseFolder,
                 const QString& detail);
// The same with the settings of dmMMGroupAccess, which must exist.
void LogActivity(const QString& code, const QString& user, const QString& caption,
                 const QString& action, const QString& baseFolder, const QString& detail);

// baseFolder/Log/Polling/ and the file Polling.Log in it.
QString PollingLogFolder(const QString& baseFolder);
QString PollingLogFile(const QString& baseFolder);

// code + time stamp + " [" + user + "] - " + message + " " + detail. The stamp is the date and
// time for "#1  " and the time alone for any other code.
QString PollingLogLine(const QString& code, const QString& user, const QString& message,
                       const QString& detail, const QDateTime& now);

// Appends one line to the polling log; errors as LogActivity.
void LogPolling(const QString& code, const QString& user, const QString& message,
                const QString& detail, const QString& baseFolder);
