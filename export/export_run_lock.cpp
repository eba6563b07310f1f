#include "export/export_run_lock.h"

#include "core/app_context.h"
#include "core/profile_file.h"
#include "core/workstation.h"
#include "data/activity_log.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/dm_mm_group_access.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/export_run.h"
#include "export/module_codes.h"
#include "export/posting_journal.h"

#include <QCoreApplication>
#include <QDir>
#include <QRandomGenerator>
#include <QSysInfo>
#include <QThread>

#include <optional>

namespace {

const QString kLockName = QStringLiteral("EXPORT");

const QString kRunColumns = QStringLiteral("R_RUN_ID, R_USER, R_HOST, R_WORKSTATION, R_FOLDER, "
                                           "R_PROCESS, R_PROGRAM, R_COMMAND, R_STARTED");

ExportRunRecord runRecord(const RowReader& reader) {
    ExportRunRecord run;
    run.runId = reader.value(0).toString().trimmed();
    run.user = reader.value(1).toString().trimmed();
    run.host = reader.value(2).toString().trimmed();
    run.workstation = reader.value(3).toString().trimmed();
    run.folder = reader.value(4).toString().trimmed();
    run.process = reader.value(5).toLongLong();
    run.program = reader.value(6).toString().trimmed();
    run.command = reader.value(7).toString().trimmed();
    run.started = reader.value(8).toDateTime();
    return run;
}

// The register's entry of a run, if it has one.
std::optional<ExportRunRecord> registered(DbConnection& stock, const QString& runId) {
    RowReader reader(stock, QStringLiteral("SELECT ") + kRunColumns +
                                QStringLiteral(" FROM ACC_EXPORT_RUN WHERE R_RUN_ID = ") +
                                QuotedStr(runId));
    if (!reader.next())
        return std::nullopt;
    return runRecord(reader);
}

// The engine's refusal of a change to a row that another transaction changed and committed
// after this one began ("deadlock", "update conflicts with concurrent update").
bool isUpdateConflict(const DbError& error) {
    return error.message().contains(QLatin1String("update conflicts with concurrent update"),
                                    Qt::CaseInsensitive) ||
           error.message().startsWith(QLatin1String("deadlock"), Qt::CaseInsensitive);
}

// How often a run that met another on the lock's row tries again. Each conflict means another
// run has just taken or released the lock; the next try sees what it did.
constexpr int kTakingAttempts = 20;

// Whether the run exported documents of one of `moduleCodes` by the journal of `database`.
bool exportedIn(DbConnection& database, const QString& runId, const QStringList& moduleCodes) {
    QString sql = QStringLiteral("SELECT COUNT(*) FROM ACC_POST_JOURNAL WHERE J_RUN_ID = ? AND "
                                 "J_OUTCOME IN (?, ?) AND J_MODULE IN (");
    QVariantList binds{runId, JournalOutcomeCode(JournalOutcome::Posted),
                       JournalOutcomeCode(JournalOutcome::AlreadyInPackage)};
    for (const QString& code : moduleCodes) {
        sql += binds.size() > 3 ? QStringLiteral(", ?") : QStringLiteral("?");
        binds << code;
    }
    return SelectValue(database, sql + QLatin1Char(')'), binds).toInt() > 0;
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

QString ExportRunRecord::who() const {
    QString text = user.isEmpty() ? QStringLiteral("(no user)") : user;
    if (!workstation.isEmpty())
        return text + QStringLiteral(" on ") + workstation +
               (host.isEmpty() ? QString() : QStringLiteral(" (") + host + QLatin1Char(')'));
    if (!host.isEmpty())
        text += QStringLiteral(" on ") + host;
    if (!folder.isEmpty())
        text += QStringLiteral(" in ") + folder;
    return text;
}

QString ExportRunRecord::describe() const {
    QString text = who();
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
    record_.workstation = ConfiguredWorkstationName();
    record_.folder = QDir::toNativeSeparators(ProgramFolder());
    record_.process = QCoreApplication::applicationPid();
    record_.program = who.program;
    record_.command = who.command;
    record_.started = now;

    ensureLockRow(stock);
    // Inside a caller's transaction a conflict undoes that transaction, and a try in the same
    // snapshot would only meet the conflict again: then the engine's error stands.
    const bool ownTransaction = !stock.inTransaction();
    for (int attempt = 1;; ++attempt) {
        try {
            take(now);
            return;
        } catch (const DbError& error) {
            if (!ownTransaction || !isUpdateConflict(error) || attempt >= kTakingAttempts)
                throw;
        }
        takenOver_.reset();
        // A few milliseconds apart, so that the runs that met do not meet again at once.
        QThread::msleep(1 + QRandomGenerator::global()->bounded(20));
    }
}

void ExportRunLock::take(const QDateTime& now) {
    DbConnection& stock = stock_;
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
    stock.execute(QStringLiteral("INSERT INTO ACC_EXPORT_RUN (R_RUN_ID, R_USER, R_HOST, "
                                 "R_WORKSTATION, R_FOLDER, R_PROCESS, R_PROGRAM, R_COMMAND, "
                                 "R_STARTED) VALUES (") +
                  QuotedStr(record_.runId) + QLatin1Char(',') + QuotedStr(record_.user.left(10)) +
                  QLatin1Char(',') + QuotedStr(record_.host.left(64)) + QLatin1Char(',') +
                  QuotedStr(record_.workstation.left(60)) + QLatin1Char(',') +
                  QuotedStr(record_.folder.left(255)) + QLatin1Char(',') +
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

std::optional<ExportRunRecord> RunThatExportedSince(DbConnection& stock, DbConnection& receivables,
                                                    const QStringList& moduleCodes,
                                                    const QDateTime& since,
                                                    const QString& ownRunId) {
    QStringList stockKinds;
    QStringList receivableKinds;
    for (const QString& code : moduleCodes)
        (IsReceivableCode(code) ? receivableKinds : stockKinds) << code;
    if (!receivableKinds.isEmpty() && !HasJournal(receivables))
        receivableKinds.clear();
    if (stockKinds.isEmpty() && receivableKinds.isEmpty())
        return std::nullopt;
    QList<ExportRunRecord> ended;
    {
        RowReader reader(stock,
                         QStringLiteral("SELECT ") + kRunColumns +
                             QStringLiteral(" FROM ACC_EXPORT_RUN WHERE R_ENDED >= ? AND "
                                            "R_RUN_ID <> ? ORDER BY R_ENDED DESC"),
                         {since, ownRunId});
        while (reader.next())
            ended << runRecord(reader);
    }
    for (const ExportRunRecord& run : ended) {
        if (!stockKinds.isEmpty() && exportedIn(stock, run.runId, stockKinds))
            return run;
        if (!receivableKinds.isEmpty() && exportedIn(receivables, run.runId, receivableKinds))
            return run;
    }
    return std::nullopt;
}

QString NothingLeftText(const ExportRunRecord& run) {
    QString text = QStringLiteral("Nothing left to export: the run of ") + run.who();
    if (run.process > 0)
        text += QStringLiteral(", process %1,").arg(run.process);
    return text + QStringLiteral(" exported it.");
}
