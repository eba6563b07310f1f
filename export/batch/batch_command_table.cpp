#include "export/batch/batch_command.h"

#include "config/export_account_type.h"

#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/stop_signals.h"
#include "export/export_run_lock.h"

#include <optional>

BatchSession::BatchSession(QTextStream& out, QString user, QDateTime started)
    : out_(out), user_(std::move(user)), started_(std::move(started)),
      data_(std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly)),
      search_(std::make_unique<DocumentSearch>(*data_, settings_,
                                               DocumentSearch::ViewReading::CountOnly)) {
    search_->setUser(user_);
}

void PrintChangedElsewhere(BatchSession& session, const QString& moduleCode) {
    const QString warning = session.search().ChangedElsewhereText(moduleCode);
    if (warning.isEmpty())
        return;
    session.out() << "Warning: " << warning << '\n';
    session.out().flush();
}

const QList<BatchCommand>& BatchCommands() {
    static const QList<BatchCommand> commands{
        SearchCommand(),  TickCommand(),      ClearCommand(),         ListCommand(),
        CheckCommand(),   ExportCommand(),    MastersCommand(),       ScheduleCommand(),
        JournalCommand(), ReconcileCommand(), EInvoiceCheckCommand(), CheckInstallationCommand()};
    return commands;
}

const BatchCommand* FindBatchCommand(const QString& name) {
    for (const BatchCommand& command : BatchCommands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString AccountTypeRefusal(const BatchCommand& command) {
    static const QStringList searchOrPost{QStringLiteral("search"),  QStringLiteral("tick"),
                                          QStringLiteral("check"),   QStringLiteral("export"),
                                          QStringLiteral("masters"), QStringLiteral("schedule")};
    if (!searchOrPost.contains(command.name))
        return QString();
    return ExportAccountTypeRefusal(SettingsFile(), command.name);
}

QString BatchExitStatusHelp() {
    return QStringLiteral(
        "Exit status:\n"
        "  0  done: everything posted, or nothing to do\n"
        "  1  login refused, the command declined (missing codes), or an error outside a run\n"
        "  2  wrong use of the command line\n"
        "  3  the run went through, but the accounting package refused some documents; they\n"
        "     stay unflagged and are offered again (the journal holds the package's text);\n"
        "     or some posted documents read back from the package with another total (or\n"
        "     payment) than their source's: they are in the books and flagged, and the report\n"
        "     and the journal say what differs; einvoice-check: the month is not complete\n"
        "  4  an error stopped the run (a refused package login, the books of another company\n"
        "     than COMPANY_NAME); the documents before it stay posted and flagged\n"
        "  5  stopped by SIGTERM, SIGINT or SIGHUP, after the document in hand was posted,\n"
        "     flagged and journalled\n"
        "  6  another export run holds the installation's lock; nothing was done\n"
        "  7  nothing was left to export: another run (named on standard output) exported it\n"
        "     after this one was started, for example while this one logged in or waited for\n"
        "     the lock; 0 means there was nothing to do\n");
}

int RunHoldingExportLock(BatchSession& session, const QString& command,
                         const std::function<int(ExportRunLock& lock)>& work) {
    // Declared first, so that it outlasts the lock's release.
    std::optional<StopAtSafePoint> stopWhenDone;
    std::unique_ptr<ExportRunLock> lock;
    try {
        lock = std::make_unique<ExportRunLock>(
            session.data().dbStk,
            ExportRunIdentity{session.user(), QStringLiteral("zantro-batch"), command});
    } catch (const ExportRunRefused& refused) {
        session.out().flush();
        QTextStream err(stderr);
        err << "zantro-batch: " << refused.message() << '\n';
        return BatchLocked;
    }
    stopWhenDone.emplace();
    if (!lock->takenOverText().isEmpty()) {
        QTextStream err(stderr);
        err << "zantro-batch: " << lock->takenOverText() << '\n';
    }
    int status = BatchStoppedOnError;
    try {
        status = work(*lock);
    } catch (...) {
        session.out().flush();
        QTextStream err(stderr);
        err << CurrentExceptionText() << '\n';
    }
    const bool finished =
        status == BatchDone || status == BatchSomeRefused || status == BatchNothingLeft;
    if (finished && StopSignals::Requested())
        PrintError(session,
                   QStringLiteral("%1 came after the run had handled every document; it "
                                  "ended as a finished run.")
                       .arg(QLatin1String(StopSignals::SignalName(StopSignals::SignalNumber()))));
    switch (status) {
    case BatchDone:
        lock->setOutcome(QStringLiteral("DONE"));
        break;
    case BatchSomeRefused:
        lock->setOutcome(QStringLiteral("REFUSED"));
        break;
    case BatchStoppedBySignal:
        lock->setOutcome(QStringLiteral("STOPPED"));
        break;
    case BatchNothingLeft:
        lock->setOutcome(QStringLiteral("NOTHING LEFT"));
        break;
    default:
        lock->setOutcome(QStringLiteral("ERROR"));
        break;
    }
    return status;
}

void PrintError(BatchSession& session, const QString& text) {
    session.out().flush();
    QTextStream err(stderr);
    err << "zantro-batch: " << OneLine(text) << '\n';
}

int NothingToExportStatus(BatchSession& session, const QStringList& kinds, const QString& ownRunId,
                          QString* message) {
    const std::optional<ExportRunRecord> other = RunThatExportedSince(
        session.data().dbStk, session.data().dbAR, kinds, session.started(), ownRunId);
    if (!other)
        return BatchDone;
    if (message)
        *message = NothingLeftText(*other);
    return BatchNothingLeft;
}

QString OneLine(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}
