#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;

// The receipts a By Summary cash sale covers, written as ranges of consecutive numbers: the
// consolidated e-invoice the package builds from the month's cash sales must list every receipt.

// A receipt number as the POS prints it, nine digits with leading zeros: 1234 gives "000001234".
QString ReceiptNumberText(qint64 number);

// Consecutive numbers as one range "000001234-000001301", a number on its own as "000001303", in
// ascending order; the order given and repeated numbers do not matter.
QStringList ReceiptRanges(QList<qint64> numbers);

// Where a counter-day's receipt list goes: the document's header text, and what does not fit
// there on text lines of the document.
struct ReceiptListTexts {
    QString header; // empty when there is no receipt
    QStringList lines;
};

// "Receipts 000001234-000001301, 000001303-000001350 (116)" when that fits in headerLength
// characters. A longer list keeps the ranges that fit in the header, followed by ", ... (116)",
// and the rest go on lines of at most lineLength characters, each "Receipts (continued) ..."; a
// range is never cut.
ReceiptListTexts ReceiptListTextsOf(const QList<qint64>& numbers, int headerLength, int lineLength);

// The receipt numbers (SALES_RCPTNO) of the sales of one store, counter and close day, as the
// By Summary cash sale of that day covers them: receipts of normal status ('NS') only, since a
// voided receipt is no sale.
QList<qint64> CounterDayReceipts(DbConnection& stk, const QString& store, const QString& counter,
                                 const QString& closeDay);
