#include "sqlacc/cash_sale_posting.h"

#include "data/connection.h"
#include "data/dataset.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "sqlacc/posting_error.h"

#include <cmath>

namespace {

QString taxCodeSql(const char* code, bool withCalculation) {
    return QStringLiteral("SELECT M_TAX_CODE") +
           (withCalculation ? QStringLiteral(", M_Calculation") : QString()) +
           QStringLiteral(" FROM MAS_TAX WHERE M_TAX_GROUP=") + QuotedStr(QStringLiteral("POS")) +
           QStringLiteral(" AND M_CODE=") + QuotedStr(QLatin1String(code));
}

QString receiptNumberAsNumber(const QString& number) {
    const QString digits = number.left(9);
    bool ok = false;
    const qlonglong value = digits.toLongLong(&ok);
    if (!ok)
        throw PostingError(QStringLiteral("'%1' is not a valid integer value").arg(digits));
    return QString::number(value);
}

} // namespace

CashSaleRef SplitCashSaleRef(const QString& docRef) {
    CashSaleRef ref;
    const int first = docRef.indexOf(QLatin1Char('-'));
    ref.store = docRef.left(qMax(first, 0)).trimmed();
    const QString rest = docRef.mid(first + 1);
    const int second = rest.left(20).indexOf(QLatin1Char('-'));
    ref.counter = rest.left(qMax(second, 0)).trimmed();
    ref.number = rest.mid(second + 1).trimmed();
    return ref;
}

double CashSalePayment(double netTotal, double rounding, bool byItem) {
    return byItem ? std::round((netTotal + rounding) * 100.0) / 100.0 : netTotal;
}

PosTaxCodes ReadPosTaxCodes(DbConnection& app) {
    PosTaxCodes taxes;
    {
        RowReader standard(app, taxCodeSql("TAX1", true));
        if (standard.next()) {
            taxes.standard = standard.value(0).toString().trimmed();
            taxes.standardInclusive = standard.value(1).toString().trimmed() == QLatin1String("3");
        }
    }
    taxes.zeroRated = SelectValue(app, taxCodeSql("TAX2", false)).toString().trimmed();
    taxes.exempt = SelectValue(app, taxCodeSql("TAX3", false)).toString().trimmed();
    return taxes;
}

const PosTaxCodes& PosTaxCodeCache::get(DbConnection& app) {
    if (!codes_ || age_.elapsed() >= maxAgeMs_) {
        codes_.reset(); // a failed read leaves nothing stale behind
        codes_ = ReadPosTaxCodes(app);
        age_.start();
    }
    return *codes_;
}

QString ReceiptLinesSql(const QString& counter, const CashSaleRef& ref, const QString& docDate) {
    const QString slash = QuotedStr(QStringLiteral("/"));
    return QStringLiteral("SELECT SDTL_PLUNO, SDTL_QTY, SDTL_SELLPRICE, SDTL_DISCAMT, "
                          "SDTL_TAXSYMBOL FROM POS_SALESDTL WHERE SDTL_CTRNO =") +
           QuotedStr(counter) + QStringLiteral(" AND SDTL_STORE =") + QuotedStr(ref.store) +
           QStringLiteral(" AND SDTL_TRANSNO = ") + QuotedStr(receiptNumberAsNumber(ref.number)) +
           QStringLiteral(" AND extract(year from SDTL_DATETIME)||") + slash +
           QStringLiteral("||substring(100+extract(month from SDTL_DATETIME) from 2 for 2)||") +
           slash +
           QStringLiteral("||substring(100+extract(day from SDTL_DATETIME) from 2 for 2) = ") +
           QuotedStr(docDate) + QStringLiteral(" AND SALES_EXPORT_ACCT = ") +
           QuotedStr(QStringLiteral("F"));
}

QString CloseInfoSql(const CashSaleRef& ref, const QString& docDate) {
    return QStringLiteral("SELECT CI_TAXABLEAMT1, CI_TAXABLEAMT2, CI_TAXABLEAMT3, CI_TAX1, "
                          "CI_TAX2, CI_TAX3, CI_TOTROUNDING, CI_TAX_INCLUSIVE FROM POS_CLOSEINFO "
                          "WHERE CI_STORE =") +
           QuotedStr(ref.store) + QStringLiteral(" AND CI_CTRNO = ") + QuotedStr(ref.counter) +
           QStringLiteral(" AND CI_CLOSEDATE = ") + QuotedStr(docDate) +
           QStringLiteral(" AND CI_EXPORT_ACCT = ") + QuotedStr(QStringLiteral("F"));
}

DocumentLine ReceiptLine(const Dataset& row, const PosTaxCodes& taxes) {
    DocumentLine line;
    line.itemCode = row.field(QStringLiteral("SDTL_PLUNO")).asString().trimmed();
    line.qty = row.field(QStringLiteral("SDTL_QTY")).asFloat();
    line.unitPrice = row.field(QStringLiteral("SDTL_SELLPRICE")).asFloat();
    line.disc = row.field(QStringLiteral("SDTL_DISCAMT")).asFloat();
    const QString symbol = row.field(QStringLiteral("SDTL_TAXSYMBOL")).asString().trimmed();
    if (symbol == QLatin1String("S"))
        line.tax = taxes.standard;
    else if (symbol == QLatin1String("Z"))
        line.tax = taxes.zeroRated;
    else if (symbol == QLatin1String("E"))
        line.tax = taxes.exempt;
    line.taxInclusive = taxes.standardInclusive;
    return line;
}

void WriteCloseInfoLines(DocumentLineWriter& writer, const Dataset& row, const PosTaxCodes& taxes,
                         const QString& itemCode, bool extraLines) {
    DocumentLine standard;
    standard.itemCode = itemCode;
    standard.description = QStringLiteral("STANDARD RATED ITEM");
    standard.qty = 1;
    standard.unitPrice = row.field(QStringLiteral("CI_TAXABLEAMT1")).asFloat();
    standard.tax = taxes.standard;
    standard.taxAmt = row.field(QStringLiteral("CI_TAX1")).asFloat();
    writer.addLine(standard);
    if (!extraLines)
        return;

    const double zeroRated = row.field(QStringLiteral("CI_TAXABLEAMT2")).asFloat();
    if (zeroRated > 0)
        writer.addTaxKindLine(itemCode, QStringLiteral("ZERO RATED ITEM"), zeroRated,
                              taxes.zeroRated, row.field(QStringLiteral("CI_TAX2")).asFloat());
    const double exempted = row.field(QStringLiteral("CI_TAXABLEAMT3")).asFloat();
    if (exempted > 0)
        writer.addTaxKindLine(itemCode, QStringLiteral("EXEMPTED ITEM"), exempted, taxes.exempt,
                              row.field(QStringLiteral("CI_TAX3")).asFloat());
    const double rounding = row.field(QStringLiteral("CI_TOTROUNDING")).asFloat();
    if (std::fabs(rounding) > 0)
        writer.addRoundingLine(rounding, !itemCode.isEmpty());
}
