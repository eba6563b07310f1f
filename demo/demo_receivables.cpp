#include "demo/demo_receivables.h"

#include "demo/bulk_writer.h"
#include "demo/demo_calendar.h"
#include "demo/demo_masters.h"
#include "demo/demo_random.h"
#include "demo/demo_stock.h"
#include "demo/demo_stores.h"

#include <QDateTime>
#include <QHash>
#include <algorithm>
#include <vector>

namespace {

struct ArLine {
    QString note;
    QString taxCode;
    Cents total = 0; // without tax
    Cents tax = 0;
};

struct ArDocument {
    QString docNo;
    QString type; // INV/, DN/, CN/, OR/
    QString store;
    QString reference;
    QString customer;
    QDate date;
    QString description;
    QList<ArLine> lines;
    Cents balance = 0;
    bool imported = false;

    Cents netTotal() const {
        Cents net = 0;
        for (const ArLine& line : lines)
            net += line.total + line.tax;
        return net;
    }
};

struct ArLinkRow {
    QString masterDoc;
    QString type;
    QString docNo;
    QDate date;
    Cents amount = 0;
};

const QStringList kInvoiceNotes{
    QStringLiteral("Catering for company event"), QStringLiteral("Monthly supply of groceries"),
    QStringLiteral("Festive hamper packs"),       QStringLiteral("Office pantry supplies"),
    QStringLiteral("Rental of promotion space"),  QStringLiteral("Delivery charges")};
const QStringList kDebitNotes{QStringLiteral("Late payment charge"),
                              QStringLiteral("Price adjustment"),
                              QStringLiteral("Additional delivery charge")};
const QStringList kCreditNotes{QStringLiteral("Goods returned"), QStringLiteral("Discount allowed"),
                               QStringLiteral("Overcharge refunded")};
const QStringList kPaymentNotes{QStringLiteral("Payment by cheque"),
                                QStringLiteral("Payment by online transfer"),
                                QStringLiteral("Payment in cash")};

QString numbered(const QString& prefix, int number) {
    return prefix + QStringLiteral("%1").arg(number, 6, 10, QLatin1Char('0'));
}

ArLine drawLine(const QStringList& notes, Cents low, Cents high, bool beforeGst,
                DemoRandom& random) {
    ArLine line;
    line.note = random.pick(notes);
    line.total = random.between(int(low), int(high));
    if (!beforeGst) {
        const int draw = random.between(1, 10);
        const TaxKind kind = draw <= 8   ? TaxKind::Standard
                             : draw == 9 ? TaxKind::Zero
                                         : TaxKind::Exempt;
        line.taxCode = PackageTaxCode(kind);
        line.tax = TaxOn(line.total, TaxRate(kind));
    }
    return line;
}

class ReceivablesBuilder {
public:
    ReceivablesBuilder(const DemoMasters& masters, const DemoCalendar& calendar, DemoRandom& random)
        : masters_(masters), calendar_(calendar), random_(random) {}

    void addHandOver(const DemoHandOver& handOver) {
        ArDocument document;
        document.docNo = handOver.invoiceNo;
        document.type = QStringLiteral("INV/");
        document.store = handOver.store;
        document.reference = handOver.ledgerId;
        document.customer = handOver.customer;
        document.date = handOver.date;
        document.description = QStringLiteral("Delivery order %1").arg(handOver.ledgerId);
        document.lines << ArLine{document.description,
                                 calendar_.beforeGst(handOver.date) ? QString()
                                                                    : QStringLiteral("SR"),
                                 handOver.total, handOver.tax};
        document.balance = document.netTotal();
        document.imported = true;
        documents_ << document;
    }

    // An invoice (INV/) or debit note (DN/), open for its whole amount.
    void addCharge(bool invoice, int number, bool showcase) {
        ArDocument document;
        document.type = invoice ? QStringLiteral("INV/") : QStringLiteral("DN/");
        document.docNo = numbered(document.type, number);
        document.reference =
            numbered(invoice ? QStringLiteral("IV") : QStringLiteral("DN"), number);
        document.store = random_.pick(stores_);
        document.customer = random_.pick(masters_.customers);
        document.date = showcase ? calendar_.recentDay(random_) : calendar_.documentDay(random_);
        // About one document in four, and the first invoice, has several lines.
        const int lineCount = showcase && invoice   ? 2
                              : random_.percent(25) ? random_.between(2, 3)
                                                    : 1;
        for (int i = 0; i < lineCount; ++i)
            document.lines << (invoice ? drawLine(kInvoiceNotes, 5000, 500000,
                                                  calendar_.beforeGst(document.date), random_)
                                       : drawLine(kDebitNotes, 1000, 30000,
                                                  calendar_.beforeGst(document.date), random_));
        document.description =
            (invoice ? QStringLiteral("Invoice: ") : QStringLiteral("Debit note: ")) +
            document.lines.first().note;
        document.balance = document.netTotal();
        const int index = int(documents_.size());
        documents_ << document;
        open_.push_back(index);
        openByCustomer_[document.customer].push_back(index);
    }

    // A payment: settles one or two open documents of a customer in full, part of one, or more
    // than one (the rest stays unapplied); with nothing open it is an advance.
    void addPayment(int number, bool showcase) {
        ArDocument payment;
        payment.type = QStringLiteral("OR/");
        payment.docNo = numbered(payment.type, number);
        payment.reference = payment.docNo;
        QList<int> settled;
        Cents amount = 0;
        const int first = pickOpen(showcase);
        if (first >= 0) {
            const ArDocument& document = documents_.at(first);
            payment.customer = document.customer;
            payment.store = document.store;
            const int draw = random_.between(1, 100);
            if (draw <= 55) {
                settled << first;
                const int second = pickOpenOf(document.customer, first);
                if (second >= 0 && random_.percent(30))
                    settled << second;
            } else if (draw <= 75) {
                settled << first;
                amount = ScaledCents(document.balance, random_.between(30, 80), 100);
            } else {
                settled << first;
                amount = document.balance + random_.between(5000, 30000);
            }
        } else {
            payment.customer = random_.pick(masters_.customers);
            payment.store = random_.pick(stores_);
            amount = random_.between(10000, 200000);
        }
        payment.date = dateAfter(settled, showcase);
        if (amount == 0)
            for (int index : settled)
                amount += documents_.at(index).balance;
        Cents left = amount;
        for (int index : settled) {
            ArDocument& document = documents_[index];
            const Cents applied = std::min(left, document.balance);
            link(payment, document, applied);
            left -= applied;
        }
        payment.lines << ArLine{random_.pick(kPaymentNotes), QString(), amount, 0};
        payment.description = QStringLiteral("Official receipt");
        payment.balance = left;
        documents_ << payment;
    }

    // A credit note: most take part of an open invoice's amount back, some stand alone.
    void addCreditNote(int number, bool showcase) {
        ArDocument note;
        note.type = QStringLiteral("CN/");
        note.docNo = numbered(note.type, number);
        note.reference = note.docNo;
        const int target = random_.percent(70) || showcase ? pickOpen(showcase, true) : -1;
        QList<int> settled;
        if (target >= 0) {
            settled << target;
            note.customer = documents_.at(target).customer;
            note.store = documents_.at(target).store;
        } else {
            note.customer = random_.pick(masters_.customers);
            note.store = random_.pick(stores_);
        }
        note.date = dateAfter(settled, showcase);
        ArLine line = drawLine(kCreditNotes, 2000, 50000, calendar_.beforeGst(note.date), random_);
        if (target >= 0) {
            // A tenth to two fifths of what the invoice still owes, at the invoice's tax code.
            const ArDocument& invoice = documents_.at(target);
            const Cents share = ScaledCents(invoice.balance, random_.between(10, 40), 100);
            line.taxCode = invoice.lines.first().taxCode;
            line.total = std::max<Cents>(100, ScaledCents(share, 100, 100 + kStandardTaxRate));
            line.tax =
                line.taxCode == QLatin1String("SR") ? TaxOn(line.total, kStandardTaxRate) : 0;
        }
        note.lines << line;
        note.description = QStringLiteral("Credit note: ") + line.note;
        Cents left = note.netTotal();
        if (target >= 0) {
            const Cents applied = std::min(left, documents_.at(target).balance);
            link(note, documents_[target], applied);
            left -= applied;
        }
        note.balance = left;
        documents_ << note;
    }

    const QList<ArDocument>& documents() const { return documents_; }
    const QList<ArLinkRow>& links() const { return links_; }

private:
    bool isOpenCharge(const ArDocument& document, bool invoicesOnly) const {
        // Invoices taken over from the POS are settled in the accounting package as sales
        // invoices; the demo links no payment to them.
        if (document.imported || document.balance <= 0)
            return false;
        if (document.type == QLatin1String("INV/"))
            return true;
        return !invoicesOnly && document.type == QLatin1String("DN/");
    }

    // An open invoice or debit note at random; for a showcase document one dated within the
    // last weeks, so that the showcase stays after the GST start date. A showcase looks at every
    // document once; the others draw from the pool of charges that were open when last seen, so
    // a large demo does not scan all documents for each payment.
    int pickOpen(bool showcase, bool invoicesOnly = false) {
        if (showcase) {
            QList<int> open;
            for (int index : open_)
                if (isOpenCharge(documents_.at(index), invoicesOnly) &&
                    documents_.at(index).date >= calendar_.lastDay().addDays(-59))
                    open << index;
            return open.isEmpty() ? -1 : random_.pick(open);
        }
        return drawOpen(open_, -1, invoicesOnly);
    }

    int pickOpenOf(const QString& customer, int besides) {
        return drawOpen(openByCustomer_[customer], besides, false);
    }

    // Draws from a pool, dropping the documents found settled meanwhile; gives up after a few
    // draws that do not fit (another kind, or the document already chosen).
    int drawOpen(std::vector<int>& pool, int besides, bool invoicesOnly) {
        for (int misses = 0; !pool.empty() && misses < 8;) {
            const int slot = random_.between(0, int(pool.size()) - 1);
            const int index = pool[size_t(slot)];
            if (!isOpenCharge(documents_.at(index), false)) {
                pool[size_t(slot)] = pool.back();
                pool.pop_back();
            } else if (index == besides || !isOpenCharge(documents_.at(index), invoicesOnly)) {
                ++misses;
            } else {
                return index;
            }
        }
        return -1;
    }

    // A day on or after every settled document, within a month of the latest.
    QDate dateAfter(const QList<int>& settled, bool showcase) {
        if (settled.isEmpty())
            return showcase ? calendar_.recentDay(random_) : calendar_.documentDay(random_);
        QDate latest;
        for (int index : settled)
            latest = std::max(latest, documents_.at(index).date);
        return std::min(latest.addDays(random_.between(0, 30)), calendar_.lastDay());
    }

    // The paying document's date is set before it settles anything.
    void link(const ArDocument& paying, ArDocument& settled, Cents amount) {
        if (amount <= 0)
            return;
        settled.balance -= amount;
        links_ << ArLinkRow{paying.docNo, settled.type, settled.reference, paying.date, amount};
    }

    const DemoMasters& masters_;
    const DemoCalendar& calendar_;
    DemoRandom& random_;
    const QStringList stores_ = DemoStores();
    QList<ArDocument> documents_;
    // Invoices and debit notes that may still be open, all and by customer.
    std::vector<int> open_;
    QHash<QString, std::vector<int>> openByCustomer_;
    QList<ArLinkRow> links_;
};

} // namespace

qint64 WriteDemoReceivables(DbConnection& receivablesDb, const DemoMasters& masters,
                            const DemoCalendar& calendar, int documents,
                            const QList<DemoHandOver>& handOvers, DemoRandom& random) {
    if (documents <= 0 || masters.customers.isEmpty())
        return 0;
    ReceivablesBuilder builder(masters, calendar, random);
    const int taken = std::min(documents, int(handOvers.size()));
    for (int i = 0; i < taken; ++i)
        builder.addHandOver(handOvers.at(i));

    // The rest by kind: about 45 % invoices, 10 % debit notes, 15 % credit notes and 30 %
    // payments, each kind present once there are four documents to share.
    const int rest = documents - taken;
    int creditNotes = rest * 15 / 100;
    int payments = rest * 30 / 100;
    int debitNotes = rest * 10 / 100;
    if (rest >= 4) {
        creditNotes = std::max(creditNotes, 1);
        payments = std::max(payments, 1);
        debitNotes = std::max(debitNotes, 1);
    } else {
        payments = rest >= 2 ? 1 : 0;
        creditNotes = rest >= 3 ? 1 : 0;
        debitNotes = 0;
    }
    const int invoices = rest - creditNotes - payments - debitNotes;

    for (int i = 0; i < invoices; ++i)
        builder.addCharge(true, taken + i + 1, i == 0);
    for (int i = 0; i < debitNotes; ++i)
        builder.addCharge(false, i + 1, i == 0);
    // Payments and credit notes alternate, so both find documents still open.
    for (int p = 0, c = 0; p < payments || c < creditNotes;) {
        if (p < payments) {
            builder.addPayment(p + 1, p == 0);
            ++p;
        }
        if (c < creditNotes) {
            builder.addCreditNote(c + 1, c == 0);
            ++c;
        }
    }

    BulkWriter writer(receivablesDb);
    auto& rows = writer.insertInto(
        QStringLiteral("AR_TRANS"),
        {"TD_DOCNO", "TD_SEQ", "TD_TYPE", "TD_STORE", "TD_REFERENCE", "TD_DATE", "TD_CUSTID",
         "TD_DESCRIPTION", "TD_NOTE", "TD_TAX_CODE", "TD_TAX_INCLUSIVE", "TD_TAX_AMT", "TD_TOTAL",
         "TD_NETTOTAL", "TD_BALANCE", "TD_DUEDATE", "TD_IMPORT", "TD_EXPORT_ACCT"});
    for (const ArDocument& document : builder.documents()) {
        const QDateTime day(document.date, QTime(0, 0));
        const bool charge =
            document.type == QLatin1String("INV/") || document.type == QLatin1String("DN/");
        const QVariant due = charge ? QVariant(day.addDays(30)) : QVariant();
        int seq = 0;
        for (const ArLine& line : document.lines)
            rows.add({document.docNo, ++seq, document.type, document.store, document.reference, day,
                      document.customer, document.description, line.note, line.taxCode,
                      QStringLiteral("F"), Money(line.tax), Money(line.total),
                      Money(document.netTotal()), Money(document.balance), due,
                      document.imported ? QStringLiteral("T") : QStringLiteral("F"),
                      QStringLiteral("F")});
    }
    auto& links =
        writer.insertInto(QStringLiteral("AR_LINK"), {"LK_MASDOC", "LK_TYPE", "LK_DOCNO", "LK_DATE",
                                                      "LK_TOTAL", "LK_EXPORT_ACCT"});
    for (const ArLinkRow& link : builder.links())
        links.add({link.masterDoc, link.type, link.docNo, QDateTime(link.date, QTime(0, 0)),
                   Money(link.amount), QStringLiteral("F")});
    writer.finish();
    return writer.rowsWritten();
}
