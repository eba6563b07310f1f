#include "sqlacc/receipt_ranges.h"

#include "data/connection.h"
#include "data/query.h"
#include "data/sql_quote.h"

#include <algorithm>

QString ReceiptNumberText(qint64 number) {
    return QStringLiteral("%1").arg(number, 9, 10, QLatin1Char('0'));
}

QStringList ReceiptRanges(QList<qint64> numbers) {
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    QStringList ranges;
    for (qsizetype i = 0; i < numbers.size();) {
        qsizetype last = i;
        while (last + 1 < numbers.size() && numbers[last + 1] == numbers[last] + 1)
            ++last;
        ranges << (last == i ? ReceiptNumberText(numbers[i])
                             : ReceiptNumberText(numbers[i]) + QLatin1Char('-') +
                                   ReceiptNumberText(numbers[last]));
        i = last + 1;
    }
    return ranges;
}

namespace {

// Takes from `ranges` (from `next` on) as many as fit after `prefix` with room for `suffix`.
QString fill(const QStringList& ranges, qsizetype& next, const QString& prefix,
             const QString& suffix, int length) {
    QString text = prefix;
    bool first = true;
    while (next < ranges.size()) {
        const QString piece = (first ? QString() : QStringLiteral(", ")) + ranges[next];
        if (text.size() + piece.size() + suffix.size() > length)
            break;
        text += piece;
        first = false;
        ++next;
    }
    return first ? QString() : text + suffix;
}

} // namespace

ReceiptListTexts ReceiptListTextsOf(const QList<qint64>& numbers, int headerLength,
                                    int lineLength) {
    ReceiptListTexts texts;
    const QStringList ranges = ReceiptRanges(numbers);
    if (ranges.isEmpty())
        return texts;
    qsizetype count = 0;
    {
        QList<qint64> distinct = numbers;
        std::sort(distinct.begin(), distinct.end());
        count = std::unique(distinct.begin(), distinct.end()) - distinct.begin();
    }
    const QString countText = QStringLiteral(" (%1)").arg(count);
    const QString whole =
        QStringLiteral("Receipts ") + ranges.join(QStringLiteral(", ")) + countText;
    if (whole.size() <= headerLength) {
        texts.header = whole;
        return texts;
    }
    qsizetype next = 0;
    texts.header = fill(ranges, next, QStringLiteral("Receipts "),
                        QStringLiteral(", ...") + countText, headerLength);
    if (texts.header.isEmpty()) // not even one range fits: the count alone, the list on lines
        texts.header = (QStringLiteral("Receipts") + countText).left(headerLength);
    while (next < ranges.size()) {
        const qsizetype before = next;
        const QString line =
            fill(ranges, next, QStringLiteral("Receipts (continued) "), QString(), lineLength);
        if (next == before) // a line too short for one range: the range alone, cut to the line
            texts.lines << ranges[next++].left(lineLength);
        else
            texts.lines << line;
    }
    return texts;
}

QList<qint64> CounterDayReceipts(DbConnection& stk, const QString& store, const QString& counter,
                                 const QString& closeDay) {
    RowReader rows(stk, QStringLiteral("SELECT SALES_RCPTNO FROM POS_SALES WHERE SALES_STORE = ") +
                            QuotedStr(store) + QStringLiteral(" AND SALES_CTRNO = ") +
                            QuotedStr(counter) + QStringLiteral(" AND SALES_CLOSEDATE = ") +
                            QuotedStr(closeDay) + QStringLiteral(" AND SALES_STATUS = ") +
                            QuotedStr(QStringLiteral("NS")) +
                            QStringLiteral(" AND SALES_RCPTNO IS NOT NULL ORDER BY SALES_RCPTNO"));
    QList<qint64> numbers;
    while (rows.next())
        numbers << rows.value(0).toLongLong();
    return numbers;
}
