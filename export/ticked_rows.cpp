#include "export/ticked_rows.h"

#include "core/app_error.h"
#include "data/connection.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/document_kinds.h"

#include <QDate>
#include <QDateTime>

namespace {

double amount(const QVariant& value) {
    if (value.isNull())
        return 0.0;
    bool isNumber = false;
    const double number = value.toString().toDouble(&isNumber);
    if (!isNumber)
        throw AppError(
            QStringLiteral("'%1' is not a valid floating point value").arg(value.toString()));
    return number;
}

QString dayText(const QVariant& value) {
    if (value.isNull())
        return QString();
    const QDate day =
        value.typeId() == QMetaType::QDate ? value.toDate() : value.toDateTime().date();
    return SqlDateText(day);
}

} // namespace

QVector<TickedRow> ReadTickedRows(DbConnection& stock, const QString& moduleCode) {
    const QString sql =
        QStringLiteral("SELECT S_ID, S_STORE_FROM, S_REFNO, S_DATE, S_CODE, S_TAXAMT, S_TOTAL, "
                       "S_NETTOTAL, S_BALANCE, S_ROUNDING FROM TMP_EXPORT_ACCT WHERE S_Module = ") +
        QuotedStr(moduleCode) + QStringLiteral(" AND S_EXPORT_ACCT =") +
        QuotedStr(QStringLiteral("T"));
    QVector<TickedRow> rows;
    RowReader reader(stock, sql);
    while (reader.next()) {
        TickedRow row;
        row.id = reader.value(0).toString().trimmed();
        row.store = reader.value(1).toString().trimmed();
        row.refNo = reader.value(2).toString().trimmed();
        row.date = dayText(reader.value(3));
        row.code = reader.value(4).toString().trimmed();
        amount(reader.value(5)); // tax and gross are not passed on, but must be numbers too
        amount(reader.value(6));
        row.netTotal = amount(reader.value(7));
        amount(reader.value(8));
        row.rounding = amount(reader.value(9));
        rows.append(row);
    }
    return rows;
}

// As the kind's row of the table of document kinds makes it.
QString DocumentReference(const QString& moduleCode, const TickedRow& row) {
    const DocumentKind* kind = FindDocumentKind(moduleCode);
    switch (kind ? kind->number : DocumentKind::Number::Reference) {
    case DocumentKind::Number::StoreCounterReceipt:
        return row.store + QLatin1Char('-') + row.id + QLatin1Char('-') + row.refNo;
    case DocumentKind::Number::StoreAndReference:
        return row.store + QLatin1Char('-') + row.refNo;
    case DocumentKind::Number::Reference:
        break;
    }
    return row.refNo;
}

QString PackagePartyCode(DbConnection& app, const QString& moduleCode, const QString& code) {
    const DocumentKind* kind = FindDocumentKind(moduleCode);
    const DocumentKind::Party party = kind ? kind->party : DocumentKind::Party::Customer;
    // A cash sale's party is the fixed cash-sales debtor code the search wrote; its master's
    // debtor code would be replaced by it, so it is not read.
    if (party == DocumentKind::Party::CashSalesCode)
        return code;
    const QString sql =
        party == DocumentKind::Party::Supplier
            ? QStringLiteral("SELECT M_CREDITOR FROM mas_SUPPLIER WHERE m_code = ") +
                  QuotedStr(code)
            : QStringLiteral("SELECT m_debtor FROM mas_customer WHERE m_code = ") + QuotedStr(code);
    const QVariant found = SelectValue(app, sql);
    return found.isNull() ? QString() : found.toString();
}
