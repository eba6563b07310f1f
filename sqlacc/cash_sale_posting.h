#pragma once

#include "sqlacc/document_lines.h"

#include <QElapsedTimer>
#include <QString>

#include <optional>

class DbConnection;
class Dataset;

// The parts of a cash sale's document number: store "-" counter "-" receipt or day number.
struct CashSaleRef {
    QString store;
    QString counter;
    QString number;
};

// Splits at the first two "-", each part trimmed; the second "-" is looked for only within the
// 20 characters after the first. A missing "-" leaves the part before it empty.
CashSaleRef SplitCashSaleRef(const QString& docRef);

// The POS tax codes of group "POS" in MAS_TAX: TAX1 standard rated, TAX2 zero rated, TAX3
// exempt (each empty when missing); a standard code calculated as "3" includes the tax.
struct PosTaxCodes {
    QString standard;
    QString zeroRated;
    QString exempt;
    bool standardInclusive = false;
};
PosTaxCodes ReadPosTaxCodes(DbConnection& app);

// The POS tax codes of one read, used again for up to maxAgeMs: a run of many cash sales then
// reads the same three rows once in that time, not once per document. A change to MAS_TAX made
// during a run is seen at most maxAgeMs later.
class PosTaxCodeCache {
public:
    explicit PosTaxCodeCache(qint64 maxAgeMs) : maxAgeMs_(maxAgeMs) {}
    const PosTaxCodes& get(DbConnection& app);

private:
    qint64 maxAgeMs_;
    std::optional<PosTaxCodes> codes_;
    QElapsedTimer age_;
};

// What the customer paid for a cash sale, which its payment (P_AMOUNT) carries and its document
// totals. By Item: the receipt's net sales (S_NETTOTAL, SALES_NETSALES) and its rounding
// (S_ROUNDING, SALES_ROUND_ADJ), which the document carries as its rounding line. By Summary:
// S_NETTOTAL alone, the day's net sales with the day's rounding already in it
// (CI_NETSALES + CI_TOTROUNDING).
double CashSalePayment(double netTotal, double rounding, bool byItem);

// The receipt lines of one receipt (receipt-detail mode). The receipt number is taken as a
// number (its first nine characters), so leading zeros drop; a number that is not one throws
// PostingError.
QString ReceiptLinesSql(const QString& counter, const CashSaleRef& ref, const QString& docDate);

// The close information of one store, counter and close day (summary modes).
QString CloseInfoSql(const CashSaleRef& ref, const QString& docDate);

// The line of one POS_SALESDTL row. A tax symbol other than S, Z or E gives an empty TAX.
DocumentLine ReceiptLine(const Dataset& row, const PosTaxCodes& taxes);

// The lines of one POS_CLOSEINFO row: the standard-rated line and, when extraLines (export
// mode exactly "1"), the zero-rated, exempted and rounding lines the row calls for.
void WriteCloseInfoLines(DocumentLineWriter& writer, const Dataset& row, const PosTaxCodes& taxes,
                         const QString& itemCode, bool extraLines);
