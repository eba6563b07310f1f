#include "demo/demo_stock.h"

#include "demo/bulk_writer.h"
#include "demo/demo_calendar.h"
#include "demo/demo_masters.h"
#include "demo/demo_random.h"
#include "demo/demo_stores.h"

#include <QDateTime>
#include <QHash>

namespace {

enum class Kind { InvoicedDelivery, Delivery, SalesReturn, Receiving, ReturnOutwards };
constexpr int kKindCount = 5;

// Share of each kind among the documents after the first five, in per cent.
constexpr int kShares[kKindCount] = {30, 15, 15, 25, 15};

// Codes that no master holds: the posting then finds no debtor or creditor code.
const char kUnknownCustomer[] = "C0099";
const char kUnknownSupplier[] = "V0099";

const QStringList kReturnReasons{QStringLiteral("Damaged in transit"),
                                 QStringLiteral("Expired stock"),
                                 QStringLiteral("Wrong item delivered")};
const QStringList kLineNotes{QStringLiteral("Promotion pack"), QStringLiteral("Replacement unit")};

bool isSale(Kind kind) {
    return kind == Kind::InvoicedDelivery || kind == Kind::Delivery || kind == Kind::SalesReturn;
}

QString documentLetter(Kind kind) {
    switch (kind) {
    case Kind::Receiving:
        return QStringLiteral("R");
    case Kind::ReturnOutwards:
        return QStringLiteral("E");
    default:
        return QStringLiteral("D");
    }
}

QString idPrefix(Kind kind) {
    switch (kind) {
    case Kind::SalesReturn:
        return QStringLiteral("SR");
    case Kind::Receiving:
        return QStringLiteral("GR");
    case Kind::ReturnOutwards:
        return QStringLiteral("RO");
    default:
        return QStringLiteral("DO");
    }
}

QString remarkOf(Kind kind) {
    switch (kind) {
    case Kind::InvoicedDelivery:
        return QStringLiteral("Delivered and invoiced");
    case Kind::Delivery:
        return QStringLiteral("Delivery order, invoice to follow");
    case Kind::SalesReturn:
        return QStringLiteral("Goods returned by customer");
    case Kind::Receiving:
        return QStringLiteral("Received in good order");
    case Kind::ReturnOutwards:
        return QStringLiteral("Returned to supplier");
    }
    return QString();
}

QString numbered(const QString& prefix, int number) {
    return prefix + QStringLiteral("%1").arg(number, 6, 10, QLatin1Char('0'));
}

Kind drawKind(DemoRandom& random) {
    int draw = random.between(0, 99);
    for (int k = 0; k < kKindCount; ++k) {
        if (draw < kShares[k])
            return Kind(k);
        draw -= kShares[k];
    }
    return Kind::InvoicedDelivery;
}

struct Line {
    QString plu;
    QString reason;
    int quantity = 0;
    Cents price = 0;
    Cents discount = 0;
    Cents total = 0;
    Cents cost = 0;
    Cents costDiscount = 0;
    Cents costTotal = 0;
    QString taxCode;
    Cents tax = 0;
};

class StockWriter {
public:
    StockWriter(DbConnection& stockDb)
        : writer_(stockDb),
          headers_(writer_.insertInto(QStringLiteral("STK_MLEDGER"),
                                      {"S_ID", "S_DOCUMENT", "S_STATUS", "S_STORE_FROM", "S_REFNO",
                                       "S_AR_INVOICE_NO", "S_DATE", "S_CUSTOMER", "S_SUPPLIER",
                                       "S_QTY", "S_TAXAMT", "S_TOTAL", "S_NETTOTAL", "S_COSTTOTAL",
                                       "S_COSTNETTTL", "S_REMARK", "S_TOARSYS", "S_EXPORT_ACCT"})),
          lines_(writer_.insertInto(QStringLiteral("STK_SLEDGER"),
                                    {"S_ID", "S_SEQ", "S_PLUCODE", "S_REASON", "S_QTY", "S_PRICE",
                                     "S_DISCOUNT", "S_TOTAL", "S_COST", "S_COSTDISC", "S_COSTTOTAL",
                                     "S_TAX_CODE", "S_TAX_AMT", "S_TAX_INCLUSIVE",
                                     "S_EXPORT_ACCT"})) {}

    // Writes one document and gives its selling total and tax.
    void write(const QString& id, Kind kind, const QString& store, const QString& refNo,
               const QVariant& invoiceNo, const QDate& day, const QString& party,
               const QList<Line>& lines, bool handedOver, Cents& total, Cents& tax) {
        qint64 quantity = 0;
        Cents costTotal = 0;
        total = 0;
        tax = 0;
        int seq = 0;
        for (const Line& line : lines) {
            lines_.add({id, ++seq, line.plu, line.reason, double(line.quantity), Money(line.price),
                        Money(line.discount), Money(line.total), Money(line.cost),
                        Money(line.costDiscount), Money(line.costTotal), line.taxCode,
                        Money(line.tax), QStringLiteral("F"), QStringLiteral("F")});
            quantity += line.quantity;
            total += line.total;
            costTotal += line.costTotal;
            tax += line.tax;
        }
        // The tax is on the selling amounts of a sale and on the cost of a purchase.
        const Cents netTotal = isSale(kind) ? total + tax : total;
        const Cents costNetTotal = isSale(kind) ? costTotal : costTotal + tax;
        headers_.add({id, documentLetter(kind), QStringLiteral("P"), store, refNo, invoiceNo,
                      QDateTime(day, QTime(0, 0)), isSale(kind) ? QVariant(party) : QVariant(),
                      isSale(kind) ? QVariant() : QVariant(party), double(quantity), Money(tax),
                      Money(total), Money(netTotal), Money(costTotal), Money(costNetTotal),
                      handedOver ? QStringLiteral("Invoiced through receivables") : remarkOf(kind),
                      handedOver ? QStringLiteral("T") : QStringLiteral("F"), QStringLiteral("F")});
    }

    void finish() { writer_.finish(); }
    qint64 rowsWritten() const { return writer_.rowsWritten(); }

private:
    BulkWriter writer_;
    BulkWriter::Statement& headers_;
    BulkWriter::Statement& lines_;
};

QList<Line> drawLines(Kind kind, bool beforeGst, const DemoMasters& masters, DemoRandom& random) {
    QList<Line> lines;
    const int count = random.between(1, 6);
    for (int i = 0; i < count; ++i) {
        const DemoItem& item = random.pick(masters.items);
        Line line;
        line.plu = item.plu;
        switch (kind) {
        case Kind::Receiving:
            line.quantity = random.between(6, 120);
            break;
        case Kind::ReturnOutwards:
            line.quantity = random.between(1, 12);
            break;
        case Kind::SalesReturn:
            line.quantity = random.between(1, 6);
            break;
        default:
            line.quantity = random.between(1, 24);
            break;
        }
        const int rate = beforeGst ? 0 : TaxRate(item.tax);
        // Trade customers pay ninety per cent of the shelf price before tax.
        line.price = ScaledCents(item.price - TaxIncluded(item.price, TaxRate(item.tax)), 90, 100);
        line.cost = item.cost;
        if (isSale(kind) && random.percent(15))
            line.discount = ScaledCents(line.price * line.quantity, 5, 100);
        if (!isSale(kind) && random.percent(10))
            line.costDiscount = ScaledCents(line.cost * line.quantity, 2, 100);
        line.total = line.price * line.quantity - line.discount;
        line.costTotal = line.cost * line.quantity - line.costDiscount;
        line.taxCode = beforeGst ? QString() : PackageTaxCode(item.tax);
        line.tax = TaxOn(isSale(kind) ? line.total : line.costTotal, rate);
        if (kind == Kind::SalesReturn)
            line.reason = random.pick(kReturnReasons);
        else if (random.percent(8))
            line.reason = random.pick(kLineNotes);
        if (kind == Kind::SalesReturn) {
            // A sales return is a delivery with negative quantities and amounts.
            line.quantity = -line.quantity;
            line.discount = -line.discount;
            line.total = -line.total;
            line.costDiscount = -line.costDiscount;
            line.costTotal = -line.costTotal;
            line.tax = -line.tax;
        }
        lines << line;
    }
    return lines;
}

} // namespace

QString HandOverInvoiceNo(int n) {
    return numbered(QStringLiteral("INV/"), n);
}

DemoStockResult WriteDemoStockDocuments(DbConnection& stockDb, const DemoMasters& masters,
                                        const DemoCalendar& calendar, int documents, int handOvers,
                                        DemoRandom& random) {
    DemoStockResult result;
    if (documents <= 0 || masters.items.isEmpty())
        return result;
    const QStringList stores = DemoStores();
    QHash<QString, int> numbers; // running numbers per store and series
    auto next = [&numbers](const QString& series) { return ++numbers[series]; };
    int invoicedDeliveries = 0;
    int uninvoicedDeliveries = 0;

    StockWriter writer(stockDb);
    for (int i = 0; i < documents; ++i) {
        // The first five: one of each kind, recent, in a store that offers them for export.
        const bool showcase = i < kKindCount;
        const Kind kind = showcase ? Kind(i) : drawKind(random);
        const QString store = showcase ? stores.first() : random.pick(stores);
        const QDate day = showcase ? calendar.recentDay(random) : calendar.documentDay(random);

        const QString id = store + numbered(idPrefix(kind), next(store + idPrefix(kind)));
        const QString refNo = QStringLiteral("%1").arg(100000 + i, 10, 10, QLatin1Char('0'));
        bool handedOver = false;
        QVariant invoiceNo;
        QString party;
        if (isSale(kind))
            party = !showcase && random.between(1, 12) == 1 ? QLatin1String(kUnknownCustomer)
                                                            : random.pick(masters.customers);
        else
            party = !showcase && random.between(1, 12) == 1 ? QLatin1String(kUnknownSupplier)
                                                            : random.pick(masters.suppliers);
        switch (kind) {
        case Kind::InvoicedDelivery:
            // Every third invoiced delivery after the first goes to the receivables system,
            // which numbers its invoice; the others carry the store's own invoice number.
            handedOver = !showcase && ++invoicedDeliveries % 3 == 0 &&
                         result.handOvers.size() < handOvers && party != kUnknownCustomer;
            invoiceNo = handedOver ? HandOverInvoiceNo(int(result.handOvers.size()) + 1)
                                   : store + numbered(QStringLiteral("-IV-"),
                                                      next(store + QStringLiteral("IV")));
            break;
        case Kind::Delivery:
            // No invoice yet: some back offices leave the column null, others empty (a null
            // QString would be written as NULL, so the empty text is a literal).
            invoiceNo = ++uninvoicedDeliveries % 2 ? QVariant() : QVariant(QStringLiteral(""));
            break;
        case Kind::SalesReturn:
            invoiceNo =
                store + numbered(QStringLiteral("-CN-"), next(store + QStringLiteral("CN")));
            break;
        default:
            break;
        }
        const QList<Line> lines = drawLines(kind, calendar.beforeGst(day), masters, random);
        Cents total = 0;
        Cents tax = 0;
        writer.write(id, kind, store, refNo, invoiceNo, day, party, lines, handedOver, total, tax);
        if (handedOver)
            result.handOvers.append({id, invoiceNo.toString(), store, party, day, total, tax});
    }
    writer.finish();
    result.rowsWritten = writer.rowsWritten();
    return result;
}
