#include "sqlacc/package_build.h"

#include <QRegularExpression>

#include <cmath>

PackageBuild PackageBuild::fromText(const QString& text) {
    PackageBuild build;
    const QString trimmed = text.trimmed();
    static const QRegularExpression dotted(QStringLiteral("^\\d+(\\.\\d+)*$"));
    if (!dotted.match(trimmed).hasMatch())
        return build;
    bool ok = false;
    const int last = trimmed.section(QLatin1Char('.'), -1).toInt(&ok);
    if (!ok || last <= 0)
        return build;
    build.text_ = trimmed;
    build.number_ = last;
    return build;
}

PackageBuild PackageBuild::fromValue(const AutoValue& value) {
    if (value.isText())
        return fromText(QString::fromStdString(value.asText()));
    if (value.isInt())
        return fromText(QString::number(value.asInt()));
    if (value.isFloat()) {
        const double number = value.asFloat();
        if (std::isfinite(number) && number > 0 && number < 1e9 && number == std::floor(number))
            return fromText(QString::number(static_cast<qint64>(number)));
    }
    return {};
}

QString PackageBuild::text() const {
    return isKnown() ? text_ : QStringLiteral("unknown");
}
