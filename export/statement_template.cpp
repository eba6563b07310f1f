#include "export/statement_template.h"

#include "data/sql_quote.h"

#include <stdexcept>

QString FillStatement(const QString& statementTemplate, const QHash<QString, QString>& values) {
    QString filled;
    filled.reserve(statementTemplate.size() + 64);
    qsizetype at = 0;
    while (at < statementTemplate.size()) {
        const qsizetype open = statementTemplate.indexOf(QLatin1Char('{'), at);
        const qsizetype close =
            open < 0 ? -1 : statementTemplate.indexOf(QLatin1Char('}'), open + 1);
        if (open < 0 || close < 0) {
            filled += QStringView(statementTemplate).mid(at);
            break;
        }
        const QString name = statementTemplate.mid(open + 1, close - open - 1);
        const auto value = values.constFind(name);
        if (value == values.constEnd())
            throw std::logic_error("statement placeholder without a value: " + name.toStdString());
        const bool quoted = open > at && statementTemplate.at(open - 1) == QLatin1Char('\'') &&
                            close + 1 < statementTemplate.size() &&
                            statementTemplate.at(close + 1) == QLatin1Char('\'');
        if (quoted) {
            filled += QStringView(statementTemplate).mid(at, open - 1 - at);
            filled += QuotedStr(*value);
            at = close + 2;
        } else {
            filled += QStringView(statementTemplate).mid(at, open - at);
            filled += *value;
            at = close + 1;
        }
    }
    return filled;
}
