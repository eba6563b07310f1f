#include "export/package_document_identity.h"

#include "export/module_codes.h"
#include "export/run_messages.h"
#include "sqlacc/document_read_back.h"

#include <cmath>

namespace {

qint64 cents(double amount) {
    return std::llround(amount * 100.0);
}

QString side(const QString& moduleCode, const QString& party, const QDate& date, double total) {
    return QStringLiteral("%1 \"%2\" dated %3 totalling %4")
        .arg(IsPurchaseCode(moduleCode) ? QStringLiteral("supplier") : QStringLiteral("customer"),
             party,
             date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd"))
                            : QStringLiteral("(no date)"),
             AmountText(total));
}

} // namespace

QString PackageIdentityDifference(const QString& moduleCode, const QString& documentNumber,
                                  const PackageDocument& held, const QString& party,
                                  const QDate& date, double total) {
    const bool sameParty = held.code.trimmed().compare(party.trimmed(), Qt::CaseInsensitive) == 0;
    if (sameParty && held.docDate == date && cents(held.docAmt) == cents(total))
        return QString();
    return QStringLiteral("the accounting package holds %1 \"%2\" for %3; this document is for %4")
        .arg(moduleCode, documentNumber, side(moduleCode, held.code, held.docDate, held.docAmt),
             side(moduleCode, party, date, total));
}
