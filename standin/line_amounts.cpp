#include "standin/line_amounts.h"

#include <QStringList>

#include <cmath>

double RoundToCent(double amount) {
    return std::round(amount * 100.0) / 100.0;
}

std::optional<double> DiscountOf(const QString& disc, double gross) {
    const QString text = disc.trimmed();
    if (text.isEmpty())
        return 0.0;
    double left = gross;
    for (const QString& part : text.split(QLatin1Char('+'))) {
        QString term = part.trimmed();
        const bool percent = term.endsWith(QLatin1Char('%'));
        if (percent)
            term.chop(1);
        bool ok = false;
        const double value = term.trimmed().toDouble(&ok);
        if (!ok || term.trimmed().isEmpty())
            return std::nullopt;
        left -= percent ? RoundToCent(left * value / 100.0) : value;
    }
    return gross - left;
}

LineAmounts LineAmountsOf(const QVariantMap& line,
                          const std::function<double(const QString&)>& rateOf) {
    const double rate = rateOf(line.value(QStringLiteral("TAX")).toString());
    const bool inclusive =
        line.value(QStringLiteral("TAXINCLUSIVE")).toString() == QLatin1String("T");
    const bool taxGiven = line.contains(QStringLiteral("TAXAMT"));
    const double givenTax = line.value(QStringLiteral("TAXAMT")).toDouble();
    LineAmounts amounts;
    if (line.contains(QStringLiteral("AMOUNT"))) {
        amounts.amount = RoundToCent(line.value(QStringLiteral("AMOUNT")).toDouble());
        amounts.tax = taxGiven ? givenTax : RoundToCent(amounts.amount * rate / 100.0);
        amounts.tax = RoundToCent(amounts.tax);
        return amounts;
    }
    const double priced = RoundToCent(line.value(QStringLiteral("QTY")).toDouble() *
                                      line.value(QStringLiteral("UNITPRICE")).toDouble());
    const double gross = RoundToCent(
        priced - DiscountOf(line.value(QStringLiteral("DISC")).toString(), priced).value_or(0.0));
    if (inclusive) {
        amounts.tax = RoundToCent(taxGiven ? givenTax : gross * rate / (100.0 + rate));
        amounts.amount = RoundToCent(gross - amounts.tax);
    } else {
        amounts.amount = gross;
        amounts.tax = RoundToCent(taxGiven ? givenTax : gross * rate / 100.0);
    }
    return amounts;
}

double DocumentTotal(const QVariantMap& header, const QVector<QVariantMap>& lines,
                     const std::function<double(const QString&)>& rateOf) {
    if (lines.isEmpty())
        return RoundToCent(header.value(QStringLiteral("DOCAMT")).toDouble());
    double total = 0;
    for (const QVariantMap& line : lines) {
        const LineAmounts amounts = LineAmountsOf(line, rateOf);
        total += amounts.amount + amounts.tax;
    }
    return RoundToCent(total);
}
