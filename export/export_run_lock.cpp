#include "export/export_run_lock.h"

#include "core/app_context.h"
#include "data/activity_log.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/export_run.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <optional>

namespace {

const QString kLockName = QStringLiteral("EXPORT");

// The register's entry of a run, if it has one.
std::optional<ExportRunRecord> registered(DbConnection& stock, const QString& runId) {
    RowReader reader(stock,
                     QStringLiteral("SELECT R_RUN_ID, R_USER, R_HOST, R_PROCESS, R_PROGRAM, "
                                    "R_COMMAND, R_STARTED FROM ACC_EXPORT_RUN WHERE R_RUN_ID = ") +
                         QuotedStr(runId));
    if (!reader.next())
        return std::nullopt;
    ExportRunRecord run;
    run.runId = reader.value(0).toString().trimmed();
    run.user = reader.value(1).toString().trimmed();
    run.host = reader.value(2).toString().trimmed();
    run.process = reader.value(3).toLongLong();
    run.program = reader.value(4).toString().trimmed();
    run.command = reader.value(5).toString().trimmed();
    run.started = reader.value(6).toDateTime();
    return run;
}

void ensureLockRow(DbConnection& stock) {
    const QString exists = QStringLiteral("SELECT COUNT(*) FROM ACC_EXPORT_LOCK WHERE L_NAME = ") +
                           QuotedStr(kLockName);
    if (SelectValue(stock, exists).toInt() > 0)
        return;
    try {
        stock.execute(QStringLiteral("INSERT INTO ACC_EXPORT_LOCK (L_NAME) VALUES (") +
                      QuotedStr(kLockName) + QLatin1Char(')'));
    } catch (const DbError&) {
        // Another run inserted it at the same moment; the lock itself tells who won.
        if (SelectValue(stock, exists).toInt() == 0)
            throw;
    }
}

} // namespace

QString ExportRunRecord::describe() const {
    QString text = user.isEmpty() ? QStringLiteral("(no user)") : user;
    if (!host.isEmpty())
        text += QStringLiteral(" on ") + host;
    QStringList what;
    if (!program.isEmpty())
        what << (command.isEmpty() ? program : program + QLatin1Char(' ') + command);
    if (process > 0)
        what << QStringLiteral("process %1").arg(process);
    if (!what.isEmpty())
        text += QStringLiteral(" (") + what.join(QStringLiteral(", ")) + QLatin1Char(')');
    if (started.isValid())
        text += QStringLiteral(" since ") + ShortDateText(started.date()) + QLatin1Char(' ') +
                LongTimeText(started.time());
    return text;
}

ExportRunLock::ExportRunLock(DbConnection& stock, const ExportRunIdentity& who) : stock_(stock) {
    const QDateTime now = Now();
    record_.runId = NewExportRunId();
    record_.user = who.user;
    record_.host = QSysInfo::machineHostName();
    record_.process = QCoreApplication::applicationPid();
    record_.program = who.program;
    record_.command = who.command;
    record_.started = now;

    ensureLockRow(stock);
    Transaction taking(stock);
    // Touching the row first makes a run taking the lock at the same moment wait here for a few
    // milliseconds, until this one has decided.
    stock.execute(QStringLiteral("UPDATE ACC_EXPORT_LOCK SET L_NAME = L_NAME WHERE L_NAME = ") +
                  QuotedStr(kLockName));
    RowReader holder(stock, QStringLiteral("SELECT L_RUN_ID, L_ATTACHMENT, L_ATTACHED, L_DBUSER, "
                                           "CURRENT_USER FROM ACC_EXPORT_LOCK WHERE L_NAME = ") +
                                QuotedStr(kLockName));
    holder.next();
    const QString heldBy = holder.value(0).toString().trimmed();
    if (!heldBy.isEmpty()) {
        // The monitoring tables show a database user its own connections only: a holder that
        // connects as another user cannot be seen, so it is taken to be running.
        const bool sameUser = holder.value(3).toString().trimmed().compare(
                                  holder.value(4).toString().trimmed(), Qt::CaseInsensitive) == 0;
        const bool connected =
            !sameUser || SelectValue(stock,
                                     QStringLiteral("SELECT COUNT(*) FROM MON$ATTACHMENTS WHERE "
                                                    "MON$ATTACHMENT_ID = ? AND MON$TIMESTAMP = ?"),
                                     {holder.value(1), holder.value(2)})
                                 .toInt() > 0;
        const std::optional<ExportRunRecord> run = registered(stock, heldBy);
        if (connected) {
            QString text = run ? QStringLiteral("Another export run is in progress: started by %1.")
                                     .arg(run->describe())
                               : QStringLiteral("Another export run is in progress.");
            if (!sameUser)
                text += QStringLiteral(" It connects to the database as %1, so whether it still "
                                       "runs cannot be checked from here.")
                            .arg(holder.value(3).toString().trimmed());
            throw ExportRunRefused(text + QStringLiteral(" Try again when it has ended."), run);
        }
        // Its connection is gone, so its process is: the lock is taken over, and said so.
        takenOver_ = run;
    }
    // Runs the register shows as going on have died without ending their entry: closed now.
    stock.execute(QStringLiteral("UPDATE ACC_EXPORT_RUN SET R_ENDED = ") + QuotedTimestamp(now) +
                  QStringLiteral(", R_OUTCOME = 'ABANDONED' WHERE R_ENDED IS NULL"));
    stock.execute(QStringLiteral("UPDATE ACC_EXPORT_LOCK SET L_RUN_ID = ") +
                  QuotedStr(record_.runId) +
                  QStringLiteral(", L_ATTACHMENT = CURRENT_CONNECTION, L_ATTACHED = (SELECT "
                                 "MON$TIMESTAMP FROM MON$ATTACHMENTS WHERE MON$ATTACHMENT_ID = "
                                 "CURRENT_CONNECTION), L_DBUSER = CURRENT_USER WHERE L_NAME = ") +
                  QuotedStr(kLockName));
    stock.execute(QStringLiteral("INSERT INTO ACC_EXPORT_RUN (R_RUN_ID, R_USER, R_HOST, R_PROCESS, "
                                 "R_PROGRAM, R_COMMAND, R_STARTED) VALUES (") +
                  QuotedStr(record_.runId) + QLatin1Char(',') + QuotedStr(record_.user.left(10)) +
                  QLatin1Char(',') + QuotedStr(record_.host.left(64)) + QLatin1Char(',') +
                  QString::number(record_.process) + QLatin1Char(',') +
                  QuotedStr(record_.program.left(30)) + QLatin1Char(',') +
                  QuotedStr(record_.command.left(60)) + QLatin1Char(',') + QuotedTimestamp(now) +
                  QLatin1Char(')'));
    taking.commit();
}

ExportRunLock::~ExportRunLock() {
    // The end is recorded with the release, so the next run never finds this one open.
    try {
        Transaction release(stock_);
        stock_.execute(QStringLiteral("UPDATE ACC_EXPORT_RUN SET R_ENDED = ") +
                       QuotedTimestamp(Now()) + QStringLiteral(", R_OUTCOME = ") +
                       QuotedStr(outcome_.left(20)) + QStringLiteral(" WHERE R_RUN_ID = ") +
                       QuotedStr(record_.runId));
        stock_.execute(QStringLiteral("UPDATE ACC_EXPORT_LOCK SET L_RUN_ID = NULL, L_ATTACHMENT = "
                                      "NULL, L_ATTACHED = NULL, L_DBUSER = NULL WHERE L_NAME = ") +
                       QuotedStr(kLockName) + QStringLiteral(" AND L_RUN_ID = ") +
                       QuotedStr(record_.runId));
        release.commit();
    } catch (...) {
        // The lock goes with this process's connection all the same, and the next run closes
        // the register's entry.
    }
}

QString ExportRunLock::takenOverText() const {
    if (!takenOver_)
        return QString();
    return QStringLiteral("Took over the export lock of the run started by %1, which ended "
                          "without releasing it.")
        .arg(takenOver_->describe());
}
