// The receipt list a By Summary cash sale carries for the consolidated e-invoice: ranges of
// consecutive numbers with their count, in the header text, and what does not fit on text lines.
#include "sqlacc/receipt_ranges.h"

#include <QTest>

namespace {

QList<qint64> span(qint64 from, qint64 to) {
    QList<qint64> numbers;
    for (qint64 n = from; n <= to; ++n)
        numbers << n;
    return numbers;
}

// Every number of a range text "000000001-000000004, 000000007", expanded.
QList<qint64> expand(const QString& ranges) {
    QList<qint64> numbers;
    for (const QString& range : ranges.split(QStringLiteral(", "), Qt::SkipEmptyParts)) {
        const QStringList ends = range.split(QLatin1Char('-'));
        numbers << span(ends.first().toLongLong(), ends.last().toLongLong());
    }
    return numbers;
}

} // namespace

class TestReceiptRanges : public QObject {
    Q_OBJECT

private slots:
    void ranges_data();
    void ranges();
    void listLongerThanTheHeader_data();
    void listLongerThanTheHeader();
};

void TestReceiptRanges::ranges_data() {
    QTest::addColumn<QList<qint64>>("numbers");
    QTest::addColumn<QString>("header");

    QTest::newRow("consecutive") << span(1234, 1301) << "Receipts 000001234-000001301 (68)";
    QTest::newRow("with a gap") << (span(1234, 1301) + span(1303, 1350))
                                << "Receipts 000001234-000001301, 000001303-000001350 (116)";
    QTest::newRow("single receipt") << QList<qint64>{7} << "Receipts 000000007 (1)";
    QTest::newRow("lone numbers between ranges")
        << QList<qint64>{5, 1, 2, 3, 9, 11, 12, 2} // unordered, 2 twice
        << "Receipts 000000001-000000003, 000000005, 000000009, 000000011-000000012 (7)";
    QTest::newRow("no receipt") << QList<qint64>{} << "";
}

void TestReceiptRanges::ranges() {
    QFETCH(QList<qint64>, numbers);
    QFETCH(QString, header);
    const ReceiptListTexts texts = ReceiptListTextsOf(numbers, 200, 200);
    QCOMPARE(texts.header, header);
    QVERIFY(texts.lines.isEmpty());
}

// A counter-day whose list does not fit: the header keeps what fits with the whole count, the
// rest goes on text lines, no line is longer than allowed, and every receipt is named exactly
// once, in order.
void TestReceiptRanges::listLongerThanTheHeader_data() {
    QTest::addColumn<QList<qint64>>("numbers");
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("lineCount");

    QList<qint64> everyOther;
    for (qint64 n = 1; n <= 199; n += 2)
        everyOther << n; // 100 lone receipts: 1,100 characters
    QTest::newRow("100 lone receipts, 200 characters") << everyOther << 200 << 6;
    QTest::newRow("just over") << (span(1, 10) + span(12, 20) + span(22, 30) + span(32, 40) +
                                   span(42, 50) + span(52, 60) + span(62, 70) + span(72, 80) +
                                   span(82, 90) + span(92, 95))
                               << 200 << 1;
    QTest::newRow("narrow field") << everyOther << 40 << 98;
}

void TestReceiptRanges::listLongerThanTheHeader() {
    QFETCH(QList<qint64>, numbers);
    QFETCH(int, length);
    QFETCH(int, lineCount);
    const ReceiptListTexts texts = ReceiptListTextsOf(numbers, length, length);

    QVERIFY2(texts.header.size() <= length, qPrintable(texts.header));
    QVERIFY2(texts.header.startsWith("Receipts ") &&
                 texts.header.endsWith(QStringLiteral(", ... (%1)").arg(numbers.size())),
             qPrintable(texts.header));
    QCOMPARE(texts.lines.size(), lineCount);
    QList<qint64> named = expand(texts.header.mid(9).section(QStringLiteral(", ..."), 0, 0));
    for (const QString& line : texts.lines) {
        QVERIFY2(line.size() <= length, qPrintable(line));
        QVERIFY2(line.startsWith("Receipts (continued) "), qPrintable(line));
        named << expand(line.mid(21));
    }
    QCOMPARE(named, numbers);
}

QTEST_APPLESS_MAIN(TestReceiptRanges)
#include "test_receipt_ranges.moc"
