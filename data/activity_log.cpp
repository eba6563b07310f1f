#include "data/activity_log.h"

#include "core/app_context.h"
#include "core/app_error.h"
#include "data/dm_mm_group_access.h"

#include <QDir>
#include <QFile>

namespace {

const QString FullLineCode1 = QStringLiteral("#1  ");
const QString FullLineCode2 = QStringLiteral("#2  ");
const QString EmptyLineCode = QStringLiteral("#0  ");

constexpr int UserWidth = 6;
constexpr int CaptionWidth = 45;
constexpr int SubLineCaptionWidth = 42;
constexpr int ActionWidth = 10;

// Cut to width, or padded on the right with fill up to width.
QString fitted(const QString& text, int width, QChar fill) {
    return text.left(width).leftJustified(width, fill);
}

QString joinedPath(const QString& folder, const QString& child) {
    return QDir::cleanPath(folder + QLatin1Char('/') + child);
}

// Makes the folder with every missing parent; the error names it as the user knows it.
void makeFolder(const QString& folder) {
    if (QDir(folder).exists() || QDir().mkpath(folder))
        return;
    QString shown = QDir::toNativeSeparators(folder);
    if (!shown.endsWith(QDir::separator()))
        shown += QDir::separator();
    throw AppError(QStringLiteral("Cannot create ") + shown);
}

// Opens the file for appending (creating it), writes the line and closes it again.
void appendLine(const QString& path, const QString& line) {
    QFile file(path);
    // Text mode writes the line break the platform's text files use.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
    const QByteArray bytes = (line + QLatin1Char('\n')).toLocal8Bit();
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    const QString error = file.errorString();
    file.close();
    if (!written)
        throw AppError(QStringLiteral("Cannot write file \"%1\". %2")
                           .arg(QDir::toNativeSeparators(path), error));
}

} // namespace

QString ShortDateText(const QDate& date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString LongTimeText(const QTime& time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString ActivityLogFolder(const ActivityLogSettings& settings, const QString& baseFolder,
                          const QDate& day) {
    const QString root = settings.LogFolder.isEmpty()
                             ? joinedPath(baseFolder, QStringLiteral("Log"))
                             : QDir::cleanPath(QDir::fromNativeSeparators(settings.LogFolder));
    return joinedPath(root, QStringLiteral("Stock/") + day.toString(QStringLiteral("yyyy/MM"))) +
           QLatin1Char('/');
}

QString ActivityLogFile(const ActivityLogSettings& settings, const QString& baseFolder,
                        const QDate& day) {
    return ActivityLogFolder(settings, baseFolder, day) + QStringLiteral("Stock-") +
           day.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('.') + settings.LogExt;
}

QString ActivityLogLine(const QString& code, const QString& user, const QString& caption,
                        const QString& action, const QString& detail, const QTime& time) {
    if (code == EmptyLineCode)
        return QString();
    // A longer user code is written whole.
    const QString userText = user.leftJustified(UserWidth, QLatin1Char('.'));
    const QString captionText = fitted(caption, CaptionWidth, QLatin1Char('.'));
    const QString actionText = fitted(action, ActionWidth, QLatin1Char(' '));
    const bool fullLine = code == FullLineCode1 || code == FullLineCode2;
    // The sub-line ends its caption with " ->", so both forms are equally wide up to the "{".
    const QString captionPart =
        fullLine ? captionText + QStringLiteral(" : {")
                 : captionText.left(SubLineCaptionWidth) + QStringLiteral(" -> : {");
    return LongTimeText(time) + QStringLiteral(" [") + userText + QStringLiteral("] ") +
           captionPart + actionText + QStringLiteral("} # ") + detail;
}

void LogActivity(const ActivityLogSettings& settings, const QString& code, const QString& user,
                 const QString& caption, const QString& action, const QString& baseFolder,
                 const QString& detail) {
    if (!settings.StockLogEnabled)
        return;
    const QDateTime now = Now();
    makeFolder(ActivityLogFolder(settings, baseFolder, now.date()));
    appendLine(ActivityLogFile(settings, baseFolder, now.date()),
               ActivityLogLine(code, user, caption, action, detail, now.time()));
}

void LogActivity(const QString& code, const QString& user, const QString& caption,
                 const QString& action, const QString& baseFolder, const QString& detail) {
    if (!dmMMGroupAccess)
        throw AppError(QStringLiteral("The activity log settings have not been read."));
    const ActivityLogSettings settings{dmMMGroupAccess->LogFolder, dmMMGroupAccess->LogExt,
                                       dmMMGroupAccess->StockLogEnabled};
    LogActivity(settings, code, user, caption, action, baseFolder, detail);
}

QString PollingLogFolder(const QString& baseFolder) {
    return joinedPath(baseFolder, QStringLiteral("Log/Polling")) + QLatin1Char('/');
}

QString PollingLogFile(const QString& baseFolder) {
    return PollingLogFolder(baseFolder) + QStringLiteral("Polling.Log");
}

QString PollingLogLine(const QString& code, const QString& user, const QString& message,
                       const QString& detail, const QDateTime& now) {
    const QString stamp = code == FullLineCode1 ? ShortDateText(now.date()) + QLatin1Char(' ') +
                                                      LongTimeText(now.time())
                                                : LongTimeText(now.time());
    return code + stamp + QStringLiteral(" [") + user + QStringLiteral("] - ") + message +
           QLatin1Char(' ') + detail;
}

void LogPolling(const QString& code, const QString& user, const QString& message,
                const QString& detail, const QString& baseFolder) {
    makeFolder(PollingLogFolder(baseFolder));
    appendLine(PollingLogFile(baseFolder), PollingLogLine(code, user, message, detail, Now()));
}
