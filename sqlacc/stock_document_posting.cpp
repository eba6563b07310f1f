#include "sqlacc/stock_document_posting.h"

#include "data/dataset.h"
#include "data/query.h"
#include "data/sql_quote.h"

bool IsPurchaseDocument(const QString& moduleCode) {
    return moduleCode == QLatin1String("PH_PI") || moduleCode == QLatin1String("PH_SC");
}

QString StockDocumentSql(const QString& moduleCode, const QString& docId, bool byItem) {
    const bool purchase = IsPurchaseDocument(moduleCode);
    const QString total = purchase ? QStringLiteral("s_costtotal") : QStringLiteral("s_total");
    if (byItem) {
        const QString discount =
            purchase ? QStringLiteral("s_costdisc") : QStringLiteral("s_discount");
        const QString price = purchase ? QStringLiteral("s_cost") : QStringLiteral("s_price");
        return QStringLiteral("SELECT s_plucode, s_tax_code, s_reason, sum(abs(s_qty)) as ttlQty, "
                              "sum(abs(%1)) as ttlAmt, sum(abs(s_tax_amt)) as taxamt, "
                              "sum(abs(%2)) as disc, %3, s_tax_inclusive FROM stk_sledger  "
                              "WHERE s_id = ")
                   .arg(total, discount, price) +
               QuotedStr(docId) +
               QStringLiteral(" GROUP BY s_plucode, s_tax_code, s_reason, %1, s_tax_inclusive ")
                   .arg(price);
    }
    return QStringLiteral("SELECT s_tax_code, sum(abs(%1)) as ttlAmt, sum(abs(s_tax_amt)) as "
                          "taxAmt FROM stk_sledger WHERE s_id = ")
               .arg(total) +
           QuotedStr(docId) + QStringLiteral(" GROUP BY s_tax_code ");
}

DocumentLine StockItemLine(const Dataset& row, bool purchase, DbConnection& app) {
    DocumentLine line;
    line.itemCode = row.field(QStringLiteral("S_PLUCODE")).asString().trimmed();
    line.description = row.field(QStringLiteral("S_REASON")).asString().trimmed();
    if (line.description.isEmpty()) {
        const QVariant description =
            SelectValue(app, QStringLiteral("SELECT M_DESC FROM MAS_STOCK WHERE M_PLUCODE=") +
                                 QuotedStr(line.itemCode));
        line.description = description.isValid() ? description.toString().trimmed() : line.itemCode;
    }
    line.qty = row.field(QStringLiteral("TTLQTY")).asFloat();
    line.unitPrice =
        row.field(purchase ? QStringLiteral("S_COST") : QStringLiteral("S_PRICE")).asFloat();
    line.disc = row.field(QStringLiteral("DISC")).asFloat();
    line.tax = row.field(QStringLiteral("S_TAX_CODE")).asString().trimmed();
    line.taxAmt = row.field(QStringLiteral("TAXAMT")).asFloat();
    line.taxInclusive =
        row.field(QStringLiteral("S_TAX_INCLUSIVE")).asString().trimmed() == QLatin1String("T");
    return line;
}

DocumentLine StockTotalLine(const Dataset& row, const QString& itemCode,
                            const QString& description) {
    DocumentLine line;
    line.itemCode = itemCode;
    line.description = description;
    line.qty = 1;
    line.unitPrice = row.field(QStringLiteral("TTLAMT")).asFloat();
    line.tax = row.field(QStringLiteral("S_TAX_CODE")).asString().trimmed();
    line.taxAmt = row.field(QStringLiteral("TAXAMT")).asFloat();
    return line;
}
