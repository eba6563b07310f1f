#include "export/batch/batch_arguments.h"

#include "export/batch/batch_command.h"
#include "export/module_codes.h"

#include <QRegularExpression>

BatchArguments::BatchArguments(const QStringList& arguments, const QStringList& optionNames,
                               const QStringList& flagNames) {
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& word = arguments.at(i);
        if (!word.startsWith(QLatin1String("--")) || word.size() == 2) {
            positional_ << word;
            continue;
        }
        const QString name = word.mid(2);
        if (flagNames.contains(name)) {
            if (flags_.contains(name))
                throw UsageError(QStringLiteral("%1 is given twice").arg(word));
            flags_ << name;
            continue;
        }
        if (!optionNames.contains(name))
            throw UsageError(QStringLiteral("unknown option %1").arg(word));
        if (options_.contains(name))
            throw UsageError(QStringLiteral("%1 is given twice").arg(word));
        if (i + 1 >= arguments.size())
            throw UsageError(QStringLiteral("%1 needs a value").arg(word));
        options_.insert(name, arguments.at(++i));
    }
}

bool BatchArguments::hasAny(const QStringList& options) const {
    for (const QString& option : options) {
        if (has(option))
            return true;
    }
    return false;
}

void BatchArguments::require(const QStringList& options) const {
    for (const QString& option : options) {
        if (!has(option))
            throw UsageError(QStringLiteral("--%1 is missing").arg(option));
    }
}

QString TransactionKindArgument(const QString& text) {
    if (!IsTransactionCode(text))
        throw UsageError(QStringLiteral("unknown kind \"%1\" (kinds: %2)")
                             .arg(text, TransactionCodes().join(QLatin1Char(' '))));
    return text;
}

QDate DayArgument(const QString& option, const QString& text) {
    static const QRegularExpression form(
        QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{4}/[0-9]{2}/[0-9]{2}")));
    const QDate day = QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
    if (!form.match(text).hasMatch() || !day.isValid())
        throw UsageError(
            QStringLiteral("--%1 \"%2\" is not a date of the form yyyy/MM/dd").arg(option, text));
    return day;
}
