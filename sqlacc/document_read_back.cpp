#include "sqlacc/document_read_back.h"

#include "sqlacc/posting_values.h"

#include <QLocale>
#include <QStringList>

#include <cmath>

namespace {

bool isCashSale(const QString& moduleCode) {
    return moduleCode == QLatin1String("SL_CS");
}

qint64 cents(double amount) {
    return std::llround(amount * 100.0);
}

QString amountText(double amount) {
    QLocale locale = QLocale::c();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(double(cents(amount)) / 100.0, 'f', 2);
}

double number(const AutoValue& value) {
    return value.isFloat() || value.isInt() ? value.asFloat() : 0.0;
}

QString text(const AutoValue& value) {
    return value.isText() ? QString::fromStdString(value.asText()) : QString();
}

} // namespace

bool FoundByNumberAndParty(const QString& moduleCode) {
    return moduleCode == QLatin1String("PH_PI") || moduleCode == QLatin1String("PH_SC");
}

AutoValue FindDocumentKey(const AutoObjectPtr& document, const QString& moduleCode,
                          const QString& docNo, const QString& party) {
    if (FoundByNumberAndParty(moduleCode))
        return document->invoke(
            "FindKeyByRef",
            {"DocNo;Code", AutoValue::fromArray({TextValue(docNo), TextValue(party)})});
    return document->invoke("FindKeyByRef", {"DOCNO", TextValue(docNo)});
}

QDate PackageDate(const AutoValue& value) {
    if (value.isText()) {
        const QString day = QString::fromStdString(value.asText()).trimmed().left(10);
        for (const char* format : {"yyyy/MM/dd", "yyyy-MM-dd", "dd/MM/yyyy"}) {
            const QDate date = QDate::fromString(day, QLatin1String(format));
            if (date.isValid())
                return date;
        }
        return {};
    }
    if (value.isFloat() || value.isInt()) {
        const double days = value.asFloat();
        if (std::isfinite(days) && std::fabs(days) < 1e6)
            return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(days)));
    }
    return {};
}

PackageDocument ReadPackageDocument(const AutoObjectPtr& document, const QString& moduleCode,
                                    const AutoValue& key) {
    setParam(document, "DocKey", key.toText());
    document->invoke("Open");
    const AutoObjectPtr header = findDataSet(document, "MainDataSet");
    PackageDocument read;
    read.code = text(fieldValue(header, "CODE", "AsString")).trimmed();
    read.docDate = PackageDate(fieldValue(header, "DOCDATE"));
    read.docAmt = number(fieldValue(header, "DocAmt", "AsFloat"));
    if (isCashSale(moduleCode))
        read.payment = number(fieldValue(header, "P_AMOUNT", "AsFloat"));
    return read;
}

void ReadBackPostedDocument(const AutoObjectPtr& document, const QString& moduleCode,
                            const QString& docNo, const QString& party, double sourceTotal,
                            PostingReadBack& out) {
    out = PostingReadBack();
    out.moduleCode = moduleCode;
    out.documentNumber = docNo;
    out.sourceTotal = sourceTotal;
    try {
        const AutoValue key = FindDocumentKey(document, moduleCode, docNo, party);
        if (key.isNull() || key.isEmpty())
            return;
        out.package = ReadPackageDocument(document, moduleCode, key);
        out.found = true;
    } catch (const AutomationError& failure) {
        out.error = QString::fromUtf8(failure.what());
    }
}

bool PostingReadBack::agrees() const {
    return found && cents(package.docAmt) == cents(sourceTotal) &&
           (!package.payment || cents(*package.payment) == cents(sourceTotal));
}

QString PostingReadBack::differenceText() const {
    if (agrees())
        return QString();
    if (!error.isEmpty())
        return QStringLiteral("the accounting package could not read %1 back: %2")
            .arg(documentNumber, error);
    if (!found)
        return QStringLiteral("the accounting package does not find %1 by its number when it "
                              "is read back")
            .arg(documentNumber);
    QStringList parts;
    if (cents(package.docAmt) != cents(sourceTotal))
        parts << QStringLiteral("the package's total %1 differs from the source's %2 by %3")
                     .arg(amountText(package.docAmt), amountText(sourceTotal),
                          amountText(std::fabs(package.docAmt - sourceTotal)));
    if (package.payment && cents(*package.payment) != cents(sourceTotal))
        parts << QStringLiteral("the payment %1 differs from the source's %2 by %3")
                     .arg(amountText(*package.payment), amountText(sourceTotal),
                          amountText(std::fabs(*package.payment - sourceTotal)));
    return parts.join(QStringLiteral("; "));
}
