#include "sqlacc/document_identity.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace {

qint64 cents(double amount) {
    return std::llround(amount * 100.0);
}

// 1,534.35: as the bookkeeper reads amounts.
QString amountText(double amount) {
    const QLocale english(QLocale::English, QLocale::UnitedStates);
    return english.toString(double(cents(amount)) / 100.0, 'f', 2);
}

QString dayText(const QDate& day) {
    return day.isValid() ? day.toString(QStringLiteral("dd/MM/yyyy"))
                         : QStringLiteral("without a date");
}

QString partyText(const QString& party) {
    return party.isEmpty() ? QStringLiteral("no customer or supplier") : party;
}

} // namespace

QString DocumentClashText(const QString& docNo, const PackageDocument& held,
                          const SourceDocument& source) {
    const bool sameParty = held.code.compare(source.party.trimmed(), Qt::CaseInsensitive) == 0;
    const bool sameDate = !source.date.isValid() || held.docDate == source.date;
    const bool sameTotal = !source.total || cents(held.docAmt) == cents(*source.total);
    if (sameParty && sameDate && sameTotal)
        return QString();
    QString ours = partyText(source.party.trimmed());
    if (!sameDate)
        ours += QStringLiteral(" dated ") + dayText(source.date);
    if (source.total)
        ours += QStringLiteral(", ") + amountText(*source.total);
    return QStringLiteral("The accounting package already holds %1 for %2 dated %3, %4; this "
                          "document is for %5. Give one of them another number in the back "
                          "office, then export it again.")
        .arg(docNo, partyText(held.code), dayText(held.docDate), amountText(held.docAmt), ours);
}

bool PackageHoldsDocument(const AutoObjectPtr& document, const QString& moduleCode,
                          const QString& docNo, const SourceDocument& source) {
    const AutoValue key = FindDocumentKey(document, moduleCode, docNo, source.party);
    if (key.isNull() || key.isEmpty())
        return false;
    const PackageDocument held = ReadPackageDocument(document, moduleCode, key);
    const QString clash = DocumentClashText(docNo, held, source);
    if (!clash.isEmpty())
        throw DocumentClash(clash.toStdString());
    return true;
}
