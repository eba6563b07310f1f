#include "export/work_table_reading.h"

#include "core/app_error.h"
#include "data/connection.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/export_status.h"
#include "export/search_statements.h"

#include <QHash>

namespace {

constexpr int kKeySize = 8;

const char kStatusJoin[] =
    " LEFT JOIN ACC_EXPORT_STATUS s ON s.ST_MODULE = t.S_MODULE AND s.ST_ID = TRIM(t.S_ID) AND "
    "s.ST_STORE = COALESCE(TRIM(t.S_STORE_FROM), '') AND s.ST_REFNO = COALESCE(TRIM(t.S_REFNO), "
    "'')";

QString statusText(const StatusDefault& statusDefault) {
    const QString otherwise =
        statusDefault.notReached
            ? QStringLiteral("CASE WHEN t.S_EXPORT_ACCT = 'T' THEN %1 ELSE '' END")
                  .arg(QuotedStr(NotReachedStatusText()))
            : QStringLiteral("''");
    return QStringLiteral("COALESCE(s.ST_TEXT, %1)").arg(otherwise);
}

// An engine key as a literal of its bytes: x'8000000001000000'. The keys are the engine's own,
// read back from it; hexadecimal digits cannot break the statement.
QString keyLiteral(const QByteArray& key) {
    return QStringLiteral("x'") + QString::fromLatin1(key.toHex()) + QLatin1Char('\'');
}

// The key as UUID_TO_CHAR wrote it (hexadecimal digits and dashes, padded to sixteen bytes).
QByteArray keyFromText(const QString& text) {
    QString digits = text;
    digits.remove(QLatin1Char('-'));
    return QByteArray::fromHex(digits.left(2 * kKeySize).toLatin1());
}

bool kindHasAttention(DbConnection& stock, const QString& moduleCode) {
    return SelectValue(stock,
                       QStringLiteral("SELECT COUNT(*) FROM RDB$DATABASE WHERE EXISTS (SELECT 1 "
                                      "FROM ACC_EXPORT_STATUS WHERE ST_MODULE = ? AND "
                                      "ST_ATTENTION = 1)"),
                       {moduleCode})
               .toInt() > 0;
}

} // namespace

bool IsWorkTableColumn(const QString& column) {
    static const QStringList columns{
        QStringLiteral("S_ID"),      QStringLiteral("S_STORE_FROM"),  QStringLiteral("S_REFNO"),
        QStringLiteral("S_DATE"),    QStringLiteral("S_CODE"),        QStringLiteral("S_TAXAMT"),
        QStringLiteral("S_TOTAL"),   QStringLiteral("S_ROUNDING"),    QStringLiteral("S_NETTOTAL"),
        QStringLiteral("S_BALANCE"), QStringLiteral("S_EXPORT_ACCT"), QStringLiteral("S_MODULE")};
    return columns.contains(column.toUpper());
}

QByteArray ReadWorkTableOrder(DbConnection& stock, const QString& moduleCode,
                              const WorkTableOrder& order, const StatusDefault& statusDefault) {
    QString orderBy;
    bool join = false;
    if (order.column == QLatin1String(StatusColumn)) {
        join = true;
        orderBy = statusText(statusDefault);
    } else if (!order.column.isEmpty()) {
        if (!IsWorkTableColumn(order.column))
            throw AppError(
                QStringLiteral("The export work table has no column %1").arg(order.column));
        orderBy = QStringLiteral("t.") + order.column.toUpper();
    } else if (kindHasAttention(stock, moduleCode)) {
        join = true;
        orderBy = QStringLiteral("COALESCE(s.ST_ATTENTION, 0)");
    }
    QString select = QStringLiteral("SELECT t.RDB$DB_KEY AS K FROM TMP_EXPORT_ACCT t");
    if (join)
        select += QLatin1String(kStatusJoin);
    select += QStringLiteral(" WHERE t.S_MODULE = ?");
    if (!orderBy.isEmpty()) {
        const bool descending = order.column.isEmpty() || order.descending;
        // Rows that sort alike come in the order of their key, the same at every reading.
        select += QStringLiteral(" ORDER BY ") + orderBy +
                  (descending ? QStringLiteral(" DESC") : QString()) +
                  QStringLiteral(", t.S_ID, t.S_STORE_FROM, t.S_REFNO");
    }
    // The keys come back as one binary value, in the order of the rows they are taken from:
    // one value instead of a row each is what makes reading 360,000 of them quick.
    const QVariant keys = SelectValue(
        stock, QStringLiteral("SELECT CAST(LIST(K, '') AS BLOB SUB_TYPE 0) FROM (%1)").arg(select),
        {moduleCode});
    return keys.toByteArray();
}

TickedTotals ReadTickedTotals(DbConnection& stock, const QString& moduleCode) {
    RowReader reader(stock, TickedTotalsStatement(moduleCode));
    TickedTotals totals;
    if (reader.next()) {
        totals.count = reader.value(0).toInt();
        totals.netTotal = reader.value(1).toDouble();
    }
    return totals;
}

QList<WorkTableRow> ReadWorkTableRows(DbConnection& stock, const QString& moduleCode,
                                      const QList<QByteArray>& keys, const QStringList& columns,
                                      const StatusDefault& statusDefault) {
    if (keys.isEmpty())
        return {};
    QStringList selected{QStringLiteral("UUID_TO_CHAR(t.RDB$DB_KEY || x'0000000000000000')"),
                         QStringLiteral("t.S_ID"), QStringLiteral("t.S_STORE_FROM"),
                         QStringLiteral("t.S_REFNO")};
    for (const QString& column : columns) {
        if (!IsWorkTableColumn(column))
            throw AppError(QStringLiteral("The export work table has no column %1").arg(column));
        selected << QStringLiteral("t.") + column.toUpper();
    }
    selected << statusText(statusDefault) << QStringLiteral("COALESCE(s.ST_ATTENTION, 0)");
    QStringList literals;
    for (const QByteArray& key : keys)
        literals << keyLiteral(key);
    const QString sql = QStringLiteral("SELECT ") + selected.join(QStringLiteral(", ")) +
                        QStringLiteral(" FROM TMP_EXPORT_ACCT t") + QLatin1String(kStatusJoin) +
                        QStringLiteral(" WHERE t.RDB$DB_KEY IN (") +
                        literals.join(QLatin1Char(',')) + QStringLiteral(") AND t.S_MODULE = ?");
    QHash<QByteArray, WorkTableRow> found;
    RowReader reader(stock, sql, {moduleCode});
    const int statusAt = 4 + int(columns.size());
    while (reader.next()) {
        WorkTableRow row;
        row.key = keyFromText(reader.value(0).toString());
        row.id = reader.value(1).toString();
        row.store = reader.value(2);
        row.refNo = reader.value(3);
        for (int i = 0; i < columns.size(); ++i)
            row.values << reader.value(4 + i);
        row.status = reader.value(statusAt).toString();
        row.attention = reader.value(statusAt + 1).toInt() != 0;
        found.insert(row.key, row);
    }
    QList<WorkTableRow> rows;
    for (const QByteArray& key : keys) {
        const auto row = found.constFind(key);
        if (row != found.constEnd())
            rows << *row;
    }
    return rows;
}
