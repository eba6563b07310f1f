#include "export/work_table_use.h"

#include "core/app_context.h"
#include "core/workstation.h"
#include "data/activity_log.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/module_codes.h"

namespace {

const QString kSearched = QStringLiteral("SEARCHED");
const QString kTicked = QStringLiteral("TICKED");
const QString kCleared = QStringLiteral("CLEARED");
const QString kLooked = QStringLiteral("LOOKED");

// As long as the columns of ACC_WORK_TABLE_USE.
constexpr int kWorkstationWidth = 200;
constexpr int kUserWidth = 10;

QString kindName(const QString& moduleCode) {
    static const QHash<QString, QString> names{
        {QLatin1String(ModuleCodes::CashSales), QStringLiteral("cash sales")},
        {QLatin1String(ModuleCodes::SalesInvoice), QStringLiteral("sales invoice")},
        {QLatin1String(ModuleCodes::SalesCreditNote), QStringLiteral("sales credit note")},
        {QLatin1String(ModuleCodes::PurchaseInvoice), QStringLiteral("purchase invoice")},
        {QLatin1String(ModuleCodes::PurchaseReturn), QStringLiteral("purchase return")},
        {QLatin1String(ModuleCodes::ReceivableInvoice), QStringLiteral("AR invoice")},
        {QLatin1String(ModuleCodes::ReceivableDebitNote), QStringLiteral("AR debit note")},
        {QLatin1String(ModuleCodes::ReceivableCreditNote), QStringLiteral("AR credit note")},
        {QLatin1String(ModuleCodes::ReceivablePayment), QStringLiteral("AR payment")}};
    return names.value(moduleCode, moduleCode);
}

} // namespace

WorkTableUse::WorkTableUse(DbConnection& stock, QString workstation)
    : stock_(stock),
      workstation_(
          (workstation.isEmpty() ? WorkstationName() : workstation).left(kWorkstationWidth)) {}

qint64 WorkTableUse::seen(const QString& moduleCode) {
    return SelectValue(stock_,
                       QStringLiteral("SELECT MAX(U_SEEN) FROM ACC_WORK_TABLE_USE "
                                      "WHERE U_MODULE = ? AND U_WORKSTATION = ?"),
                       {moduleCode, workstation_})
        .toLongLong();
}

qint64 WorkTableUse::latest(const QString& moduleCode) {
    return SelectValue(stock_,
                       QStringLiteral("SELECT MAX(U_ID) FROM ACC_WORK_TABLE_USE "
                                      "WHERE U_MODULE = ?"),
                       {moduleCode})
        .toLongLong();
}

void WorkTableUse::record(const QString& moduleCode, const QString& action, qint64 seen) {
    stock_.execute(QStringLiteral("INSERT INTO ACC_WORK_TABLE_USE (U_MODULE, U_WORKSTATION, "
                                  "U_USER, U_ACTION, U_SEEN, U_TIME) VALUES (%1, %2, %3, %4, %5, "
                                  "%6)")
                       .arg(QuotedStr(moduleCode), QuotedStr(workstation_),
                            QuotedStr(user_.left(kUserWidth)), QuotedStr(action),
                            QString::number(seen), QuotedTimestamp(Now())));
    // This workstation's older rows of the kind say nothing its newest ones do not: a change
    // carries what was seen, so it replaces every older row; a look replaces the older looks
    // only, since the other workstations still need to hear of the last change.
    const QString mine = QStringLiteral("U_MODULE = %1 AND U_WORKSTATION = %2")
                             .arg(QuotedStr(moduleCode), QuotedStr(workstation_));
    const QString looks =
        action == kLooked ? QStringLiteral(" AND U_ACTION = ") + QuotedStr(kLooked) : QString();
    try {
        stock_.execute(QStringLiteral("DELETE FROM ACC_WORK_TABLE_USE WHERE %1%2 AND U_ID < "
                                      "(SELECT MAX(U_ID) FROM ACC_WORK_TABLE_USE WHERE %1%2)")
                           .arg(mine, looks));
    } catch (const DbError&) {
        // Only another process of this workstation deleting the same rows at the same moment
        // can refuse this; the rows left behind are older than the newest and change no answer.
    }
}

void WorkTableUse::recordSearched(const QString& moduleCode) {
    record(moduleCode, kSearched, latest(moduleCode));
}

void WorkTableUse::recordCleared(const QString& moduleCode) {
    record(moduleCode, kCleared, latest(moduleCode));
}

void WorkTableUse::recordTicked(const QString& moduleCode) {
    // Ticking is no look at what others did: a search elsewhere stays news.
    record(moduleCode, kTicked, seen(moduleCode));
}

std::optional<WorkTableChange> WorkTableUse::look(const QString& moduleCode) {
    const qint64 known = seen(moduleCode);
    const qint64 upTo = latest(moduleCode);
    if (upTo <= known)
        return std::nullopt;
    std::optional<WorkTableChange> change;
    {
        RowReader reader(stock_,
                         QStringLiteral("SELECT U_WORKSTATION, U_USER, U_ACTION, U_TIME FROM "
                                        "ACC_WORK_TABLE_USE WHERE U_MODULE = ? AND "
                                        "U_WORKSTATION <> ? AND U_ACTION <> ? AND U_ID > ? AND "
                                        "U_ID <= ? ORDER BY U_ID DESC"),
                         {moduleCode, workstation_, kLooked, known, upTo});
        while (reader.next()) {
            const QString workstation = reader.value(0).toString().trimmed();
            if (!change) {
                change = WorkTableChange{workstation,
                                         reader.value(1).toString().trimmed(),
                                         reader.value(2).toString().trimmed(),
                                         reader.value(3).toDateTime(),
                                         {}};
            } else if (workstation != change->workstation &&
                       !change->otherWorkstations.contains(workstation)) {
                change->otherWorkstations << workstation;
            }
        }
    }
    record(moduleCode, kLooked, upTo);
    return change;
}

QString WorkTableChangeText(const QString& moduleCode, const WorkTableChange& change) {
    const QString done = change.action == kTicked    ? QStringLiteral("ticked")
                         : change.action == kCleared ? QStringLiteral("cleared")
                                                     : QStringLiteral("searched");
    QString text = QStringLiteral("The %1 rows (%2) were %3 on workstation %4")
                       .arg(kindName(moduleCode), moduleCode, done, change.workstation);
    if (!change.user.isEmpty())
        text += QStringLiteral(" by ") + change.user;
    if (change.at.isValid())
        text += QStringLiteral(" at ") + ShortDateText(change.at.date()) + QLatin1Char(' ') +
                LongTimeText(change.at.time());
    text += QStringLiteral(" since this workstation last looked at them.");
    if (change.action == kTicked)
        text += QStringLiteral(" An export from here sends the rows ticked there too.");
    else if (change.action == kCleared)
        text += QStringLiteral(" The rows and ticks set here before then are gone.");
    else
        text += QStringLiteral(" Ticks set here before then are gone.");
    if (!change.otherWorkstations.isEmpty())
        text += QStringLiteral(" Also changed on ") +
                change.otherWorkstations.join(QStringLiteral(", ")) + QLatin1Char('.');
    return text;
}

QString WorkTableUse::changedElsewhereText(const QString& moduleCode) {
    if (!IsTransactionCode(moduleCode))
        return QString();
    const std::optional<WorkTableChange> change = look(moduleCode);
    return change ? WorkTableChangeText(moduleCode, *change) : QString();
}
