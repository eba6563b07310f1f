#pragma once

#include <QDate>
#include <QString>

struct PackageDocument;

// A document the package holds under a number counts as the same document only when it names the
// same party, the same date and the same total to the cent. Empty when it does; otherwise the
// text naming both sides: "the accounting package holds SL_CS "S1-1-9" for customer "300-C0001"
// dated 2024/03/05 totalling 45.00; this document is for customer "300-C0002" dated 2024/03/05
// totalling 12.00".
QString PackageIdentityDifference(const QString& moduleCode, const QString& documentNumber,
                                  const PackageDocument& held, const QString& party,
                                  const QDate& date, double total);
