#pragma once

#include <QString>
#include <QVariantMap>
#include <QVector>

#include <functional>
#include <optional>

// How the stand-in package works out the amounts of a document, as the package does:
//
// - A line's amount before tax is AMOUNT when the posting gave it; otherwise Qty x UnitPrice less
//   the discount (DISC), and for a tax-inclusive line less its tax, which the price contains.
// - A line's tax is TAXAMT when the posting gave it (and the package kept it: see the dataset's
//   recalculation in package_objects); otherwise the tax code's rate on the amount before tax,
//   or for a tax-inclusive line the share rate / (100 + rate) of the price.
// - The document's total (DocAmt) is the sum of its lines' amounts and taxes, each rounded to the
//   cent; a payment, which has no lines, totals the DOCAMT given.
// A missing Qty, UnitPrice or rate counts as 0.

// Rounded to the cent, halves away from zero.
double RoundToCent(double amount);

// The discount DISC takes from `gross`: terms joined by "+", each an amount ("3") or a percentage
// of what is left ("5%"): "5%+3" on 100 takes 8. Empty text takes nothing. nullopt when the text
// does not read so.
std::optional<double> DiscountOf(const QString& disc, double gross);

// A line's amount before tax and its tax. `rateOf` gives a tax code's rate in percent.
struct LineAmounts {
    double amount = 0;
    double tax = 0;
};
LineAmounts LineAmountsOf(const QVariantMap& line,
                          const std::function<double(const QString&)>& rateOf);

// The document total, as DocAmt reads once saved.
double DocumentTotal(const QVariantMap& header, const QVector<QVariantMap>& lines,
                     const std::function<double(const QString&)>& rateOf);
