#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QStringList>

// The arguments of one batch command: positional words and options of the form --name VALUE.
class BatchArguments {
public:
    // Accepts only the named options (without "--"), each at most once and with a value, and
    // the named flags (options without a value). Raises UsageError otherwise.
    BatchArguments(const QStringList& arguments, const QStringList& optionNames,
                   const QStringList& flagNames = {});

    const QStringList& positional() const { return positional_; }
    bool has(const QString& option) const { return options_.contains(option); }
    bool flag(const QString& name) const { return flags_.contains(name); }
    QString value(const QString& option) const { return options_.value(option); }
    // True when any of the options was given.
    bool hasAny(const QStringList& options) const;
    // Raises UsageError naming the first of the options that is missing.
    void require(const QStringList& options) const;

private:
    QStringList positional_;
    QHash<QString, QString> options_;
    QStringList flags_;
};

// A module code of the export work table (SL_CS ... AR_PM), else UsageError.
QString TransactionKindArgument(const QString& text);

// A day written yyyy/MM/dd, else UsageError naming the option.
QDate DayArgument(const QString& option, const QString& text);
