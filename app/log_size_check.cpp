#include "app/log_size_check.h"

#include "config/settings_file.h"
#include "config/value_forms.h"
#include "core/app_context.h"
#include "core/app_error.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace {

constexpr qint64 BytesPerKilobyte = 1024;

} // namespace

QString ThousandsSeparator() {
    return QLocale::system().groupSeparator();
}

QString GroupedNumber(qint64 value, const QString& separator) {
    const QString digits = QString::number(value < 0 ? -(value + 1) + 1ULL : quint64(value));
    QString grouped;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            grouped += separator;
        grouped += digits.at(i);
    }
    return value < 0 ? QLatin1Char('-') + grouped : grouped;
}

QString OverSizeQuestion(qint64 size, qint64 limit, const QString& separator) {
    return QStringLiteral("File Over Size !\r\nPlease reduce the file size.\r\n\r\n"
                          "Log File Size : ") +
           GroupedNumber(size, separator) + QStringLiteral(" bytes\r\nMaximum File Size : ") +
           GroupedNumber(limit, separator) + QStringLiteral(" bytes");
}

qint64 LogSizeLimit(const SettingsFile& settings, const SettingKey& key) {
    const QString text = settings.read(key);
    const std::optional<int> kilobytes = toIntStrict(text.toUpper());
    if (!kilobytes)
        throw AppError(QStringLiteral("'%1' is not a valid integer value for [%2] %3.")
                           .arg(text, QLatin1String(key.section), QLatin1String(key.name)));
    return qint64(*kilobytes) * BytesPerKilobyte;
}

bool CheckLogSize(const QString& path, const SettingsFile& settings, const SettingKey& key) {
    const QFileInfo file(path);
    if (!file.isFile())
        return false;
    const qint64 limit = LogSizeLimit(settings, key);
    const qint64 size = file.size();
    if (size <= limit || !Messages().confirm(OverSizeQuestion(size, limit)))
        return false;
    return QFile::remove(path);
}
