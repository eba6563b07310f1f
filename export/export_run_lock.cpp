#include "export/export_run_lock.h"

#include "core/app_context.h"
#include "data/activity_log.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/held_row_lock.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/export_run.h"

#include <QCoreApplication>
#include <QSysInfo>

#include <optional>

namespace {

const QString kLockName = QStringLiteral("EXPORT");

const char kRunColumns[] =
    "SELECT R_RUN_ID, R_USER, R_HOST, R_PROCESS, R_PROGRAM, R_COMMAND, R_STARTED "
    "FROM ACC_EXPORT_RUN WHERE R_ENDED IS NULL ORDER BY R_STARTED DESC";

// The runs the register shows as going on, newest first.
QList<ExportRunRecord> openRuns(DbConnection& stock) {
    QList<ExportRunRecord> runs;
    RowReader reader(stock, QLatin1String(kRunColumns));
    while (reader.next()) {
        ExportRunRecord run;
        run.runId = reader.value(0).toString().trimmed();
        run.user = reader.value(1).toString().trimmed();
        run.host = reader.value(2).toString().trimmed();
        run.process = reader.value(3).toLongLong();
        run.program = reader.value(4).toString().trimmed();
        run.command = reader.value(5).toString().trimmed();
        run.started = reader.value(6).toDateTime();
        runs << run;
    }
    return runs;
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
    lock_ = HeldRowLock::TryHold(stock.alias(),
                                 QStringLiteral("UPDATE ACC_EXPORT_LOCK SET L_RUN_ID = ") +
                                     QuotedStr(record_.runId) + QStringLiteral(" WHERE L_NAME = ") +
                                     QuotedStr(kLockName));
    if (!lock_) {
        const QList<ExportRunRecord> running = openRuns(stock);
        if (running.isEmpty())
            throw ExportRunRefused(
                QStringLiteral("Another export run is starting on this installation. Try again "
                               "when it has ended."),
                std::nullopt);
        throw ExportRunRefused(QStringLiteral("Another export run is in progress: started by %1. "
                                              "Try again when it has ended.")
                                   .arg(running.first().describe()),
                               running.first());
    }

    // Holding the lock, any run the register still shows as going on has died without
    // releasing it: close its entry, and say so.
    try {
        const QList<ExportRunRecord> abandoned = openRuns(stock);
        if (!abandoned.isEmpty()) {
            takenOver_ = abandoned.first();
            for (const ExportRunRecord& run : abandoned)
                stock.execute(QStringLiteral("UPDATE ACC_EXPORT_RUN SET R_ENDED = ") +
                              QuotedTimestamp(now) +
                              QStringLiteral(", R_OUTCOME = 'ABANDONED' WHERE R_RUN_ID = ") +
                              QuotedStr(run.runId));
        }
        stock.execute(
            QStringLiteral("INSERT INTO ACC_EXPORT_RUN (R_RUN_ID, R_USER, R_HOST, R_PROCESS, "
                           "R_PROGRAM, R_COMMAND, R_STARTED) VALUES (") +
            QuotedStr(record_.runId) + QLatin1Char(',') + QuotedStr(record_.user.left(10)) +
            QLatin1Char(',') + QuotedStr(record_.host.left(64)) + QLatin1Char(',') +
            QString::number(record_.process) + QLatin1Char(',') +
            QuotedStr(record_.program.left(30)) + QLatin1Char(',') +
            QuotedStr(record_.command.left(60)) + QLatin1Char(',') + QuotedTimestamp(now) +
            QLatin1Char(')'));
    } catch (...) {
        lock_->release();
        throw;
    }
}

ExportRunLock::~ExportRunLock() {
    // The end is recorded before the lock goes, so the next run never finds this one open.
    try {
        stock_.execute(QStringLiteral("UPDATE ACC_EXPORT_RUN SET R_ENDED = ") +
                       QuotedTimestamp(Now()) + QStringLiteral(", R_OUTCOME = ") +
                       QuotedStr(outcome_.left(20)) + QStringLiteral(" WHERE R_RUN_ID = ") +
                       QuotedStr(record_.runId));
    } catch (...) {
        // The next run closes the entry; the lock is released all the same.
    }
    lock_->release();
}

QString ExportRunLock::takenOverText() const {
    if (!takenOver_)
        return QString();
    return QStringLiteral("Took over the export lock of the run started by %1, which ended "
                          "without releasing it.")
        .arg(takenOver_->describe());
}
