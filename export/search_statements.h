#pragma once

#include <QDate>
#include <QString>

// The statements of the document searches and of the other work-table commands, each built from
// its fixed text with the run-time values quoted into it.

// The values a sales or purchase search puts into its statement.
struct StockSearchValues {
    QString gstStart; // GSTSTARTDATE as the settings file holds it (Search All forms)
    QString from;     // yyyy/MM/dd (range forms)
    QString to;       // yyyy/MM/dd (range forms)
    QString store;    // range forms
    QString refFrom;  // range forms of SL_IV, SL_CN, PH_PI, PH_SC
    QString refTo;
    QString cashCode;   // SL_CS: the cash-sales debtor code
    bool byItem = true; // SL_CS: one row per receipt (else one per counter and close day)
    // The transmission option a store's job must hold for its documents to be found: "M"
    // (Manual, the window) or "S" (By Schedule).
    QString jobOption = QStringLiteral("M");
};

// The INSERT ... SELECT that copies the documents of a sales or purchase kind into the work
// table: the Search-All form or the range form.
QString StockSearchStatement(const QString& moduleCode, bool searchAll,
                             const StockSearchValues& values);

// The values a receivable search puts into its SELECT.
struct ReceivableSearchValues {
    QString gstStart; // both forms
    QString customer; // customer form
    QString from;     // yyyy/MM/dd, customer form
    QString to;
};

// The SELECT on AR_TRANS for a receivable kind: the Search-All form or the customer form (which
// keeps the GST condition beside the range).
QString ReceivableSearchStatement(const QString& moduleCode, bool searchAll,
                                  const ReceivableSearchValues& values);

// One receivable document as the search copies it: texts trimmed, the day, the amounts.
struct ReceivableDocument {
    QString docNo;
    QString store;
    QString reference;
    QDate date;
    QString customer;
    QString exportFlag;
    double taxAmount = 0;
    double total = 0;
    double netTotal = 0;
    double balance = 0;
};

// The INSERT of one receivable document into the work table.
QString ReceivableInsertStatement(const ReceivableDocument& document, const QString& moduleCode);

// Empties the work table of one kind (before a search, and Clear).
QString DeleteKindStatement(const QString& moduleCode);

// Ticks ('T') or unticks ('F') every row of one kind (Select All).
QString TickKindStatement(const QString& moduleCode, bool ticked);

// The number of ticked rows of one kind and the sum of their net amounts (what an export run of
// the kind would send).
QString TickedTotalsStatement(const QString& moduleCode);

// The cash-sales debtor code: the customer control account up to its first "-", then "-POS"
// ("300-000" gives "300-POS", a code without "-" gives "-POS").
QString CashSalesDebtorCode(const QString& customerAccount);
