#pragma once

#include <QString>
#include <QVariant>

// Amounts are kept in cents while the demo is generated, so that a total is exactly the sum of
// its parts; they go to the database's DOUBLE PRECISION columns as currency units.
using Cents = qint64;

inline QVariant Money(Cents cents) {
    return QVariant(double(cents) / 100.0);
}

// amount * numerator / denominator, rounded to the cent, halves away from zero.
inline Cents ScaledCents(Cents amount, Cents numerator, Cents denominator) {
    const Cents twice = 2 * amount * numerator;
    const Cents rounded = (twice + (twice >= 0 ? denominator : -denominator)) / (2 * denominator);
    return rounded;
}

// The rate of the standard-rated tax (GST) from its start date on; there was no tax before.
inline constexpr int kStandardTaxRate = 6;

// The tax contained in a tax-inclusive amount (POS prices include the tax).
inline Cents TaxIncluded(Cents amount, int ratePercent) {
    return ScaledCents(amount, ratePercent, 100 + ratePercent);
}

// The tax on an amount without tax (stock and receivable documents).
inline Cents TaxOn(Cents amount, int ratePercent) {
    return ScaledCents(amount, ratePercent, 100);
}

// What a cashier adds to or takes from a receipt so that it can be paid in the smallest coin
// of 5 cents: 1 and 2 cents round down, 3 and 4 round up.
inline Cents RoundingToFiveCents(Cents amount) {
    const Cents remainder = ((amount % 5) + 5) % 5;
    return remainder <= 2 ? -remainder : 5 - remainder;
}

// The three tax kinds of the POS, with the symbol of a receipt line, the accounting package's
// tax code and the MAS_TAX code of group POS that carries it.
enum class TaxKind { Standard, Zero, Exempt };

inline QString PosTaxSymbol(TaxKind kind) {
    switch (kind) {
    case TaxKind::Zero:
        return QStringLiteral("Z");
    case TaxKind::Exempt:
        return QStringLiteral("E");
    case TaxKind::Standard:
        break;
    }
    return QStringLiteral("S");
}

inline QString PackageTaxCode(TaxKind kind) {
    switch (kind) {
    case TaxKind::Zero:
        return QStringLiteral("ZR");
    case TaxKind::Exempt:
        return QStringLiteral("ES");
    case TaxKind::Standard:
        break;
    }
    return QStringLiteral("SR");
}

inline int TaxRate(TaxKind kind) {
    return kind == TaxKind::Standard ? kStandardTaxRate : 0;
}
