#pragma once

#include <QString>
#include <QVector>

class DbConnection;

// One ticked row of the export work table, read as a run reads it: texts trimmed, the date as
// day text (yyyy/MM/dd), every amount as a number.
struct TickedRow {
    QString id;
    QString store;
    QString refNo;
    QString date;
    QString code;
    double netTotal = 0;
    double rounding = 0;
};

// The ticked rows of one kind (S_MODULE) of TMP_EXPORT_ACCT, in the order the engine gives them.
// An amount that is not a number raises AppError.
QVector<TickedRow> ReadTickedRows(DbConnection& stock, const QString& moduleCode);

// The document's number in the package: store, counter and receipt for cash sales, store and
// reference for purchases, the reference otherwise.
QString DocumentReference(const QString& moduleCode, const TickedRow& row);

// The customer's or supplier's code in the package for the row's master code: the cash-sales
// debtor code the search wrote for a cash sale, the master's debtor (creditor) code otherwise;
// empty when the master has none or is not there.
QString PackagePartyCode(DbConnection& app, const QString& moduleCode, const QString& code);
