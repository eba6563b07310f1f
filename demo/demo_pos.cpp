#include "demo/demo_pos.h"

#include "demo/bulk_writer.h"
#include "demo/demo_calendar.h"
#include "demo/demo_masters.h"
#include "demo/demo_random.h"

#include <QDateTime>
#include <algorithm>

namespace {

struct Counter {
    const char* store;
    const char* number;
};

// The warehouse S004 has no counter.
const Counter kCounters[] = {{"S001", "01"}, {"S001", "02"}, {"S002", "01"},
                             {"S002", "02"}, {"S003", "01"}, {"S003", "02"}};
constexpr int kCounterCount = int(std::size(kCounters));

// Cashiers of the POS group and a clerk who has since left.
const QStringList kCashiers{QStringLiteral("GUEST"), QStringLiteral("CLERK")};

// Sums of the normal receipts of one counter-day.
struct DayTotals {
    Cents netSales = 0;
    Cents tax = 0;
    Cents rounding = 0;
    Cents taxable[3] = {0, 0, 0}; // standard (without its tax), zero rated, exempt
};

// Receipts per counter-day: a small demo spreads its receipts over some weeks, a large one has
// busy days but stays within about two thousand days per counter.
int receiptsPerCounterDay(int receipts) {
    const int busy = std::clamp(receipts / 120, 4, 250);
    const int needed =
        int((qint64(receipts) + 2000LL * kCounterCount - 1) / (2000LL * kCounterCount));
    return std::max(busy, needed);
}

// How many receipts each counter-day gets: an even share, then some moved between days at
// random so that days differ.
QList<int> receiptsPerSlot(int receipts, int slotCount, DemoRandom& random) {
    QList<int> counts(slotCount, receipts / slotCount);
    for (int i = 0; i < receipts % slotCount; ++i)
        ++counts[random.between(0, slotCount - 1)];
    for (int move = 0; move < slotCount; ++move) {
        const int from = random.between(0, slotCount - 1);
        const int to = random.between(0, slotCount - 1);
        const int amount = random.between(0, counts[from] / 3);
        counts[from] -= amount;
        counts[to] += amount;
    }
    return counts;
}

class PosWriter {
public:
    PosWriter(DbConnection& stockDb, const DemoMasters& masters, const DemoCalendar& calendar,
              DemoRandom& random)
        : writer_(stockDb), masters_(masters), calendar_(calendar), random_(random),
          receipts_(writer_.insertInto(QStringLiteral("POS_SALES"),
                                       {"SALES_STORE", "SALES_CTRNO", "SALES_TRANSNO",
                                        "SALES_DATETIME", "SALES_RCPTNO", "SALES_CLOSEDATE",
                                        "SALES_CASHIER", "SALES_STATUS", "SALES_TAX1",
                                        "SALES_NETSALES", "SALES_ROUND_ADJ", "SALES_EXPORT_ACCT"})),
          lines_(writer_.insertInto(QStringLiteral("POS_SALESDTL"),
                                    {"SDTL_STORE", "SDTL_CTRNO", "SDTL_TRANSNO", "SDTL_DATETIME",
                                     "SDTL_LINENO", "SDTL_CLOSEDATE", "SDTL_PLUNO", "SDTL_QTY",
                                     "SDTL_SELLPRICE", "SDTL_DISCAMT", "SDTL_TAXSYMBOL",
                                     "SALES_EXPORT_ACCT"})),
          closeInfo_(writer_.insertInto(
              QStringLiteral("POS_CLOSEINFO"),
              {"CI_STORE", "CI_CTRNO", "CI_CLOSEDATE", "SALES_STATUS", "CI_GROSS", "CI_NETSALES",
               "CI_TAXABLEAMT1", "CI_TAXABLEAMT2", "CI_TAXABLEAMT3", "CI_TAX1", "CI_TAX2",
               "CI_TAX3", "CI_TOTROUNDING", "CI_TAX_INCLUSIVE", "CI_EXPORT_ACCT"})) {}

    // One counter's receipts of one close day, numbered on from `transNo`.
    void writeDay(const Counter& counter, const QDate& day, int count, int& transNo) {
        const QString store = QString::fromLatin1(counter.store);
        const QString number = QString::fromLatin1(counter.number);
        const QDateTime closeDate(day, QTime(0, 0));
        const int rate = calendar_.beforeGst(day) ? 0 : kStandardTaxRate;
        // Opening hours 09:00 to 21:00; receipts in order through the day.
        const int step = 12 * 3600 / (count + 1);
        DayTotals totals;
        for (int i = 0; i < count; ++i) {
            const QDateTime at = closeDate.addSecs(9 * 3600 + step * (i + 1) +
                                                   random_.between(0, std::max(0, step / 2)));
            writeReceipt(store, number, transNo++, at, closeDate, rate, totals);
        }
        const Cents gross = totals.netSales - totals.tax;
        closeInfo_.add({store, number, closeDate, QStringLiteral("NS"), Money(gross),
                        Money(totals.netSales), Money(totals.taxable[0]), Money(totals.taxable[1]),
                        Money(totals.taxable[2]), Money(totals.tax), Money(0), Money(0),
                        Money(totals.rounding), QStringLiteral("T"), QStringLiteral("F")});
    }

    void finish() { writer_.finish(); }
    qint64 rowsWritten() const { return writer_.rowsWritten(); }

private:
    void writeReceipt(const QString& store, const QString& counter, int transNo,
                      const QDateTime& at, const QDateTime& closeDate, int rate,
                      DayTotals& totals) {
        // One to seven lines, four on average.
        const int lineCount = random_.between(1, 7);
        Cents net = 0;
        Cents byKind[3] = {0, 0, 0};
        for (int line = 1; line <= lineCount; ++line) {
            const DemoItem& item = random_.pick(masters_.items);
            const int draw = random_.between(1, 100);
            const int quantity = draw <= 70 ? 1 : draw <= 90 ? 2 : random_.between(3, 6);
            const Cents full = item.price * quantity;
            const Cents discount =
                random_.percent(12) ? ScaledCents(full, 5 * random_.between(1, 4), 100) : 0;
            const Cents amount = full - discount;
            net += amount;
            byKind[int(item.tax)] += amount;
            lines_.add({store, counter, transNo, at, line, closeDate, item.plu, double(quantity),
                        Money(item.price), Money(discount), PosTaxSymbol(item.tax),
                        QStringLiteral("F")});
        }
        const Cents tax = TaxIncluded(byKind[int(TaxKind::Standard)], rate);
        const Cents rounding = RoundingToFiveCents(net);
        // One receipt in twenty to eighty is voided; voided receipts stay out of the close
        // totals.
        const bool voided = --untilVoided_ == 0;
        if (voided)
            untilVoided_ = random_.between(20, 80);
        receipts_.add({store, counter, transNo, at, transNo, closeDate, random_.pick(kCashiers),
                       voided ? QStringLiteral("VD") : QStringLiteral("NS"), Money(tax), Money(net),
                       Money(rounding), QStringLiteral("F")});
        if (voided)
            return;
        totals.netSales += net;
        totals.tax += tax;
        totals.rounding += rounding;
        totals.taxable[0] += byKind[int(TaxKind::Standard)] - tax;
        totals.taxable[1] += byKind[int(TaxKind::Zero)];
        totals.taxable[2] += byKind[int(TaxKind::Exempt)];
    }

    BulkWriter writer_;
    const DemoMasters& masters_;
    const DemoCalendar& calendar_;
    DemoRandom& random_;
    BulkWriter::Statement& receipts_;
    BulkWriter::Statement& lines_;
    BulkWriter::Statement& closeInfo_;
    int untilVoided_ = random_.between(20, 80);
};

} // namespace

qint64 WriteDemoPosSales(DbConnection& stockDb, const DemoMasters& masters,
                         const DemoCalendar& calendar, int receipts, DemoRandom& random) {
    if (receipts <= 0 || masters.items.isEmpty())
        return 0;
    const int perDay = receiptsPerCounterDay(receipts);
    const int wantedDays = (receipts + perDay * kCounterCount - 1) / (perDay * kCounterCount);
    const QList<QDate> days = calendar.salesDays(wantedDays);
    const QList<int> counts = receiptsPerSlot(receipts, int(days.size()) * kCounterCount, random);

    PosWriter writer(stockDb, masters, calendar, random);
    for (int c = 0; c < kCounterCount; ++c) {
        // Each counter numbers its receipts on from where the counter started.
        int transNo = random.between(1, 5000);
        for (int d = 0; d < days.size(); ++d) {
            const int count = counts[c * int(days.size()) + d];
            if (count > 0)
                writer.writeDay(kCounters[c], days[d], count, transNo);
        }
    }
    writer.finish();
    return writer.rowsWritten();
}
