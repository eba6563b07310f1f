#include "export/einvoice_check.h"

#include "data/connection.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/posting_journal.h"
#include "export/run_messages.h"
#include "sqlacc/receipt_ranges.h"

#include <QJsonArray>
#include <QMap>
#include <QRegularExpression>

#include <cmath>
#include <tuple>

namespace {

double cents(double amount) {
    return std::round(amount * 100.0) / 100.0;
}

QString dayText(const QDate& day) {
    return day.toString(QStringLiteral("yyyy/MM/dd"));
}

// One receipt of the month as the check needs it.
struct MonthReceipt {
    QString store;
    QString counter;
    qint64 number = 0;
    bool numbered = false;
    QDate day; // counter-day
    bool normal = false;
    bool exported = false;
    double amount = 0;
};

QList<MonthReceipt> readMonth(DbConnection& stk, const QDate& month) {
    RowReader rows(stk,
                   QStringLiteral("SELECT SALES_STORE, SALES_CTRNO, SALES_RCPTNO, SALES_DATETIME, "
                                  "SALES_CLOSEDATE, SALES_STATUS, SALES_NETSALES, SALES_ROUND_ADJ, "
                                  "SALES_EXPORT_ACCT FROM POS_SALES WHERE SALES_DATETIME >= ") +
                       QuotedDate(month) + QStringLiteral(" AND SALES_DATETIME < ") +
                       QuotedDate(month.addMonths(1)) +
                       QStringLiteral(" ORDER BY SALES_STORE, SALES_CTRNO, SALES_RCPTNO"));
    QList<MonthReceipt> receipts;
    while (rows.next()) {
        MonthReceipt receipt;
        receipt.store = rows.value(0).toString().trimmed();
        receipt.counter = rows.value(1).toString().trimmed();
        receipt.numbered = !rows.value(2).isNull();
        receipt.number = rows.value(2).toLongLong();
        const QVariant closeDate = rows.value(4);
        receipt.day =
            closeDate.isNull() ? rows.value(3).toDateTime().date() : closeDate.toDateTime().date();
        receipt.normal = rows.value(5).toString().trimmed() == QLatin1String("NS");
        receipt.exported = rows.value(8).toString().trimmed() == QLatin1String("T");
        receipt.amount = cents(rows.value(6).toDouble() + rows.value(7).toDouble());
        receipts << receipt;
    }
    return receipts;
}

// How a flagged receipt above the limit went to the package, by the posting journal: as a cash
// sale of its own (numbered store-counter-receipt) or inside its counter-day's summary (numbered
// store-counter-DDMMYYYY).
void findPosting(DbConnection& stk, bool journal, const QString& store, EInvoiceLargeReceipt& big) {
    const QString own = store + QLatin1Char('-') + big.counter + QLatin1Char('-') + big.receipt;
    const QString summary = store + QLatin1Char('-') + big.counter + QLatin1Char('-') +
                            big.day.toString(QStringLiteral("ddMMyyyy"));
    big.posting = LargeReceiptPosting::Unrecorded;
    if (!journal)
        return;
    RowReader rows(
        stk, QStringLiteral("SELECT J_DOCNO FROM ACC_POST_JOURNAL WHERE J_MODULE = ") +
                 QuotedStr(QStringLiteral("SL_CS")) + QStringLiteral(" AND J_OUTCOME IN (") +
                 QuotedStr(JournalOutcomeCode(JournalOutcome::Posted)) + QStringLiteral(", ") +
                 QuotedStr(JournalOutcomeCode(JournalOutcome::AlreadyInPackage)) +
                 QStringLiteral(") AND J_DOCNO IN (") + QuotedStr(own) + QStringLiteral(", ") +
                 QuotedStr(summary) + QStringLiteral(")"));
    while (rows.next()) {
        const QString document = rows.value(0).toString().trimmed();
        if (document == own) {
            big.posting = LargeReceiptPosting::OnItsOwn;
            big.document = own;
            return;
        }
        big.posting = LargeReceiptPosting::InSummary;
        big.document = summary;
    }
}

QStringList missingRanges(const QList<qint64>& numbers, int& count) {
    QList<qint64> missing;
    for (qsizetype i = 1; i < numbers.size(); ++i)
        for (qint64 n = numbers[i - 1] + 1; n < numbers[i]; ++n)
            missing << n;
    count = int(missing.size());
    return ReceiptRanges(missing);
}

QString daysLeftText(const EInvoiceMonthCheck& check) {
    const QString due = dayText(check.deadline);
    if (check.daysLeft > 1)
        return QStringLiteral("is due %1, %2 days left").arg(due).arg(check.daysLeft);
    if (check.daysLeft == 1)
        return QStringLiteral("is due %1, 1 day left").arg(due);
    if (check.daysLeft == 0)
        return QStringLiteral("is due today, %1").arg(due);
    return QStringLiteral("was due %1, %2 day(s) ago").arg(due).arg(-check.daysLeft);
}

} // namespace

bool EInvoiceMonthCheck::complete() const {
    return problems() == 0;
}

int EInvoiceMonthCheck::problems() const {
    int count = 0;
    for (const EInvoiceStoreCheck& store : stores)
        count += int(store.openDays.size() + store.largeReceipts.size() + store.gaps.size());
    return count;
}

QDate EInvoiceMonthOf(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^(\\d{4})/(\\d{2})$"));
    const QRegularExpressionMatch match = form.match(text.trimmed());
    if (!match.hasMatch())
        return {};
    return QDate(match.captured(1).toInt(), match.captured(2).toInt(), 1);
}

EInvoiceMonthCheck CheckEInvoiceMonth(DbConnection& stk, const QDate& month, const QDate& today) {
    EInvoiceMonthCheck check;
    check.month = QDate(month.year(), month.month(), 1);
    check.deadline = check.month.addMonths(1).addDays(6);
    check.daysLeft = int(today.daysTo(check.deadline));

    const QList<MonthReceipt> receipts = readMonth(stk, check.month);
    const bool journal = HasJournal(stk);
    QMap<QString, EInvoiceStoreCheck> stores;
    QMap<std::tuple<QString, QDate>, EInvoiceOpenDay> openDays;
    QMap<std::tuple<QString, QString, QDate>, QList<qint64>> counterDays;
    for (const MonthReceipt& receipt : receipts) {
        EInvoiceStoreCheck& store = stores[receipt.store];
        store.store = receipt.store;
        if (receipt.numbered)
            counterDays[{receipt.store, receipt.counter, receipt.day}] << receipt.number;
        if (!receipt.normal)
            continue;
        if (!receipt.exported) {
            EInvoiceOpenDay& open = openDays[{receipt.store, receipt.day}];
            open.day = receipt.day;
            if (!open.counters.contains(receipt.counter))
                open.counters << receipt.counter;
            ++open.receipts;
            open.amount = cents(open.amount + receipt.amount);
        }
        if (receipt.amount > EInvoiceSingleSaleLimit) {
            EInvoiceLargeReceipt big;
            big.counter = receipt.counter;
            big.receipt = ReceiptNumberText(receipt.number);
            big.day = receipt.day;
            big.amount = receipt.amount;
            if (receipt.exported)
                findPosting(stk, journal, receipt.store, big);
            store.largeReceipts << big;
        }
    }
    for (auto open = openDays.cbegin(); open != openDays.cend(); ++open)
        stores[std::get<0>(open.key())].openDays << open.value();
    for (auto day = counterDays.cbegin(); day != counterDays.cend(); ++day) {
        QList<qint64> numbers = day.value();
        std::sort(numbers.begin(), numbers.end());
        EInvoiceGap gap;
        gap.missing = missingRanges(numbers, gap.count);
        if (gap.count == 0)
            continue;
        gap.counter = std::get<1>(day.key());
        gap.day = std::get<2>(day.key());
        stores[std::get<0>(day.key())].gaps << gap;
    }
    check.stores = stores.values();
    return check;
}

QString LargeReceiptPostingText(const EInvoiceLargeReceipt& receipt) {
    switch (receipt.posting) {
    case LargeReceiptPosting::NotPosted:
        return QStringLiteral("not posted yet");
    case LargeReceiptPosting::OnItsOwn:
        return QStringLiteral("posted on its own as %1").arg(receipt.document);
    case LargeReceiptPosting::InSummary:
        return QStringLiteral("posted inside the summary %1").arg(receipt.document);
    case LargeReceiptPosting::Unrecorded:
        break;
    }
    return QStringLiteral("flagged as exported, not found in the posting journal");
}

QString EInvoiceCheckText(const EInvoiceMonthCheck& check) {
    QStringList lines;
    lines << QStringLiteral("e-Invoice check of %1: the consolidated e-invoice %2.")
                 .arg(check.month.toString(QStringLiteral("yyyy/MM")), daysLeftText(check));
    if (check.stores.isEmpty())
        lines << QStringLiteral("No POS sales in the month.");
    for (const EInvoiceStoreCheck& store : check.stores) {
        if (store.complete()) {
            lines << QStringLiteral("Store %1: complete.").arg(store.store);
            continue;
        }
        lines << QStringLiteral("Store %1:").arg(store.store);
        for (const EInvoiceOpenDay& open : store.openDays)
            lines << QStringLiteral("  Not all posted: %1, counter %2, %3 receipt(s), %4")
                         .arg(dayText(open.day), open.counters.join(QStringLiteral(", ")))
                         .arg(open.receipts)
                         .arg(AmountText(open.amount));
        for (const EInvoiceLargeReceipt& big : store.largeReceipts)
            lines << QStringLiteral("  Above RM10,000, needs its own e-invoice: counter %1, "
                                    "receipt %2 of %3, %4, %5")
                         .arg(big.counter, big.receipt, dayText(big.day), AmountText(big.amount),
                              LargeReceiptPostingText(big));
        for (const EInvoiceGap& gap : store.gaps)
            lines << QStringLiteral("  Receipt numbers missing: counter %1, %2: %3 (%4)")
                         .arg(gap.counter, dayText(gap.day), gap.missing.join(QStringLiteral(", ")))
                         .arg(gap.count);
    }
    lines << (check.complete()
                  ? QStringLiteral("The month is complete.")
                  : QStringLiteral("The month is not complete: %1 point(s) to put right.")
                        .arg(check.problems()));
    return lines.join(QLatin1Char('\n'));
}

QJsonObject EInvoiceCheckJson(const EInvoiceMonthCheck& check) {
    QJsonArray stores;
    for (const EInvoiceStoreCheck& store : check.stores) {
        QJsonArray openDays;
        for (const EInvoiceOpenDay& open : store.openDays)
            openDays.append(
                QJsonObject{{QStringLiteral("day"), dayText(open.day)},
                            {QStringLiteral("counters"), QJsonArray::fromStringList(open.counters)},
                            {QStringLiteral("receipts"), open.receipts},
                            {QStringLiteral("amount"), open.amount}});
        QJsonArray large;
        for (const EInvoiceLargeReceipt& big : store.largeReceipts) {
            static const char* const postings[] = {"notPosted", "onItsOwn", "inSummary",
                                                   "unrecorded"};
            QJsonObject object{
                {QStringLiteral("counter"), big.counter},
                {QStringLiteral("receipt"), big.receipt},
                {QStringLiteral("day"), dayText(big.day)},
                {QStringLiteral("amount"), big.amount},
                {QStringLiteral("posted"), QLatin1String(postings[int(big.posting)])}};
            if (!big.document.isEmpty())
                object.insert(QStringLiteral("document"), big.document);
            large.append(object);
        }
        QJsonArray gaps;
        for (const EInvoiceGap& gap : store.gaps)
            gaps.append(
                QJsonObject{{QStringLiteral("counter"), gap.counter},
                            {QStringLiteral("day"), dayText(gap.day)},
                            {QStringLiteral("missing"), QJsonArray::fromStringList(gap.missing)},
                            {QStringLiteral("count"), gap.count}});
        stores.append(QJsonObject{{QStringLiteral("store"), store.store},
                                  {QStringLiteral("complete"), store.complete()},
                                  {QStringLiteral("openDays"), openDays},
                                  {QStringLiteral("largeReceipts"), large},
                                  {QStringLiteral("gaps"), gaps}});
    }
    return QJsonObject{{QStringLiteral("month"), check.month.toString(QStringLiteral("yyyy/MM"))},
                       {QStringLiteral("deadline"), dayText(check.deadline)},
                       {QStringLiteral("daysLeft"), check.daysLeft},
                       {QStringLiteral("complete"), check.complete()},
                       {QStringLiteral("stores"), stores}};
}
