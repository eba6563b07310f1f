#include "export/reconciliation.h"

#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/module_codes.h"
#include "export/posting_journal.h"
#include "export/search_settings.h"

#include <QHash>
#include <map>
#include <tuple>

namespace {

// How one kind's documents are counted at their source: the table, its store and day columns,
// the net amount, and the conditions of the kind's search other than the export flag.
struct SourceCount {
    QString table;
    QString store;
    QString day;
    QString flag;
    QString net;
    QString conditions;
};

SourceCount sourceCount(const QString& code, bool byItem) {
    if (code == QLatin1String(ModuleCodes::CashSales)) {
        if (byItem)
            return {QStringLiteral("POS_SALES"),
                    QStringLiteral("SALES_STORE"),
                    QStringLiteral("SALES_DATETIME"),
                    QStringLiteral("SALES_EXPORT_ACCT"),
                    QStringLiteral("SALES_NETSALES"),
                    QStringLiteral("SALES_STATUS = 'NS' AND SALES_NETSALES > 0")};
        return {QStringLiteral("POS_CLOSEINFO"),
                QStringLiteral("CI_STORE"),
                QStringLiteral("CI_CLOSEDATE"),
                QStringLiteral("CI_EXPORT_ACCT"),
                QStringLiteral("CI_NETSALES + CI_TOTROUNDING"),
                QStringLiteral("SALES_STATUS = 'NS' AND CI_GROSS > 0")};
    }
    const SourceCount ledger{QStringLiteral("STK_MLEDGER"),
                             QStringLiteral("S_STORE_FROM"),
                             QStringLiteral("S_DATE"),
                             QStringLiteral("S_EXPORT_ACCT"),
                             QString(),
                             QString()};
    SourceCount kind = ledger;
    if (code == QLatin1String(ModuleCodes::SalesInvoice)) {
        kind.net = QStringLiteral("S_NETTOTAL");
        kind.conditions = QStringLiteral("S_Document = 'D' AND S_Status = 'P' AND S_TOARSYS = "
                                         "'F' AND S_AR_INVOICE_NO <> '' AND S_Qty >= 0");
    } else if (code == QLatin1String(ModuleCodes::SalesCreditNote)) {
        kind.net = QStringLiteral("abs(S_NETTOTAL)");
        kind.conditions = QStringLiteral("S_Document = 'D' AND S_Status = 'P' AND S_Qty < 0");
    } else if (code == QLatin1String(ModuleCodes::PurchaseInvoice)) {
        kind.net = QStringLiteral("S_COSTNETTTL");
        kind.conditions = QStringLiteral("S_Document = 'R' AND S_Status = 'P' AND S_Qty >= 0");
    } else {
        kind.net = QStringLiteral("S_COSTNETTTL");
        kind.conditions = QStringLiteral("S_Document = 'E' AND S_Status = 'P' AND S_Qty > 0");
    }
    return kind;
}

// SELECT store, day, flag, count, net total, grouped by the first three.
QString stockStatement(const QString& code, bool byItem, const ReconciliationFilter& filter) {
    const SourceCount source = sourceCount(code, byItem);
    QString sql =
        QStringLiteral("SELECT %1, CAST(%2 AS DATE), %3, COUNT(*), SUM(%4) FROM %5 "
                       "WHERE %6 AND %2 >= %7 AND %2 < %8")
            .arg(source.store, source.day, source.flag, source.net, source.table, source.conditions,
                 QuotedDate(filter.from), QuotedDate(filter.to.addDays(1)));
    if (!filter.store.isEmpty())
        sql += QStringLiteral(" AND %1 = %2").arg(source.store, QuotedStr(filter.store));
    return sql + QStringLiteral(" GROUP BY 1, 2, 3");
}

// A receivable document is stored as one row per line, its header (net total, flag) repeated
// on each: it is counted once.
QString receivableStatement(const QString& code, const ReconciliationFilter& filter) {
    QString inner =
        QStringLiteral("SELECT TD_DOCNO, MAX(TD_STORE) AS STORE, MAX(TD_DATE) AS DOCDAY, "
                       "MIN(TD_EXPORT_ACCT) AS FLAG, MAX(TD_NETTOTAL) AS NET FROM "
                       "AR_TRANS WHERE TD_TYPE = %1 AND TD_DATE >= %2 AND TD_DATE < %3")
            .arg(QuotedStr(ReceivablePrefix(code)), QuotedDate(filter.from),
                 QuotedDate(filter.to.addDays(1)));
    if (!filter.store.isEmpty())
        inner += QStringLiteral(" AND TD_STORE = ") + QuotedStr(filter.store);
    inner += QStringLiteral(" GROUP BY TD_DOCNO");
    return QStringLiteral("SELECT STORE, CAST(DOCDAY AS DATE), FLAG, COUNT(*), SUM(NET) FROM (") +
           inner + QStringLiteral(") GROUP BY 1, 2, 3");
}

QString journalStatement(const ReconciliationFilter& filter) {
    QString sql =
        QStringLiteral("SELECT J_STORE, CAST(J_DOCDATE AS DATE), J_MODULE, COUNT(DISTINCT "
                       "J_DOCNO), COUNT(DISTINCT CASE WHEN J_CHECK IN ('DIFFERS', 'MISSING') "
                       "THEN J_DOCNO END) FROM ACC_POST_JOURNAL WHERE J_OUTCOME IN ('POSTED', "
                       "'ALREADY') AND J_DOCDATE >= %1 AND J_DOCDATE < %2")
            .arg(QuotedDate(filter.from), QuotedDate(filter.to.addDays(1)));
    if (!filter.store.isEmpty())
        sql += QStringLiteral(" AND J_STORE = ") + QuotedStr(filter.store);
    return sql + QStringLiteral(" GROUP BY 1, 2, 3");
}

using Key = std::tuple<QString, QDate, int>; // store, day, place of the kind

} // namespace

QList<ReconciliationRow> Reconcile(TdmPolling& data, const SettingsFile& settings,
                                   const ReconciliationFilter& filter) {
    return Reconcile(data.dbStk, data.dbAR, settings, filter);
}

QList<ReconciliationRow> Reconcile(DbConnection& stock, DbConnection& receivables,
                                   const SettingsFile& settings,
                                   const ReconciliationFilter& filter) {
    const bool byItem = ReadCashSalesSettings(settings).byItem;
    const QStringList kinds = TransactionCodes();
    std::map<Key, ReconciliationRow> rows;
    const auto rowFor = [&](const QString& store, const QDate& day,
                            int kind) -> ReconciliationRow& {
        ReconciliationRow& row = rows[Key(store, day, kind)];
        row.store = store;
        row.day = day;
        row.moduleCode = kinds.at(kind);
        return row;
    };

    for (int kind = 0; kind < kinds.size(); ++kind) {
        const QString& code = kinds.at(kind);
        const bool receivable = IsReceivableCode(code);
        RowReader reader(receivable ? receivables : stock,
                         receivable ? receivableStatement(code, filter)
                                    : stockStatement(code, byItem, filter));
        while (reader.next()) {
            ReconciliationRow& row =
                rowFor(reader.value(0).toString().trimmed(), reader.value(1).toDate(), kind);
            const int count = reader.value(3).toInt();
            const double net = reader.value(4).toDouble();
            row.atSource += count;
            row.atSourceNet += net;
            if (reader.value(2).toString().trimmed() == QLatin1String("T")) {
                row.posted += count;
                row.postedNet += net;
            } else {
                row.outstanding += count;
                row.outstandingNet += net;
            }
        }
    }

    for (DbConnection* database : {&stock, &receivables}) {
        if (!HasJournal(*database))
            continue;
        RowReader journal(*database, journalStatement(filter));
        while (journal.next()) {
            const int kind = kinds.indexOf(journal.value(2).toString().trimmed());
            if (kind < 0)
                continue;
            ReconciliationRow& row =
                rowFor(journal.value(0).toString().trimmed(), journal.value(1).toDate(), kind);
            row.journalled += journal.value(3).toInt();
            row.differing += journal.value(4).toInt();
        }
    }

    QList<ReconciliationRow> result;
    for (const auto& [key, row] : rows)
        result << row;
    return result;
}
