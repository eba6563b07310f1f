#pragma once

#include <QDate>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;

// The month-end check for Malaysia's e-invoice: the accounting package consolidates a month's
// cash sales into one e-invoice for the general public, due by the seventh day of the next month,
// and a single sale above RM10,000 needs an e-invoice of its own. The check tells the bookkeeper,
// store by store, what stands between the month's POS sales and a complete consolidated e-invoice.

// A day of a store whose cash sales are not all posted: receipts of normal status not yet flagged
// as exported.
struct EInvoiceOpenDay {
    QDate day; // the counter-day (close day; the sale day while the day is not closed)
    QStringList counters;
    int receipts = 0;
    double amount = 0; // what the customers paid: net sales and rounding
};

// How a receipt above the limit went to the package.
enum class LargeReceiptPosting {
    NotPosted,  // not flagged as exported yet
    OnItsOwn,   // posted as a cash sale of its own (By Item)
    InSummary,  // posted inside its counter-day's summary (By Summary)
    Unrecorded, // flagged as exported, but the posting journal does not say how
};

struct EInvoiceLargeReceipt {
    QString counter;
    QString receipt; // nine digits, as the POS prints it
    QDate day;
    double amount = 0;
    LargeReceiptPosting posting = LargeReceiptPosting::NotPosted;
    QString document; // the package's document that holds it, when posted
};

// Receipt numbers missing from the POS tables within one counter-day.
struct EInvoiceGap {
    QString counter;
    QDate day;
    QStringList missing; // ranges of missing numbers, "000000045-000000046"
    int count = 0;
};

struct EInvoiceStoreCheck {
    QString store;
    QList<EInvoiceOpenDay> openDays;
    QList<EInvoiceLargeReceipt> largeReceipts;
    QList<EInvoiceGap> gaps;
    bool complete() const {
        return openDays.isEmpty() && largeReceipts.isEmpty() && gaps.isEmpty();
    }
};

struct EInvoiceMonthCheck {
    QDate month;                      // its first day
    QDate deadline;                   // the seventh day of the next month
    int daysLeft = 0;                 // from today to the deadline; negative once it has passed
    QList<EInvoiceStoreCheck> stores; // every store with POS sales in the month, by code
    // Nothing open, nothing above the limit, no gap.
    bool complete() const;
    int problems() const;
};

// A single sale above this needs an e-invoice of its own.
inline constexpr double EInvoiceSingleSaleLimit = 10000.0;

// The month given as yyyy/MM ("2026/11"); an invalid date for anything else.
QDate EInvoiceMonthOf(const QString& text);

// Checks the month's POS sales (POS_SALES, by sale date) on the stock database, whose posting
// journal says how the large receipts were posted. `today` counts the days left.
EInvoiceMonthCheck CheckEInvoiceMonth(DbConnection& stk, const QDate& month, const QDate& today);

// The check as the bookkeeper reads it, the same in the window and the batch command's report.
QString EInvoiceCheckText(const EInvoiceMonthCheck& check);
QJsonObject EInvoiceCheckJson(const EInvoiceMonthCheck& check);
// "not posted yet", "posted on its own as S001-01-000001234", ...
QString LargeReceiptPostingText(const EInvoiceLargeReceipt& receipt);
