#include "export/batch/batch_command.h"

#include "core/action_guard.h"
#include "core/app_context.h"
#include "export/export_run_lock.h"

BatchSession::BatchSession(QTextStream& out, QString user)
    : out_(out), user_(std::move(user)),
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
    static const QList<BatchCommand> commands{SearchCommand(),    TickCommand(),
                                              ClearCommand(),     ListCommand(),
                                              ExportCommand(),    MastersCommand(),
                                              ScheduleCommand(),  JournalCommand(),
                                              ReconcileCommand(), CheckInstallationCommand()};
    return commands;
}

const BatchCommand* FindBatchCommand(const QString& name) {
    for (const BatchCommand& command : BatchCommands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

QString BatchExitStatusHelp() {
    return QStringLiteral(
        "Exit status:\n"
        "  0  done: everything posted, or nothing to do\n"
        "  1  login refused, the command declined (missing codes), or an error outside a run\n"
        "  2  wrong use of the command line\n"
        "  3  the run went through, but the accounting package refused some documents; they\n"
        "     stay unflagged and are offered again (the journal holds the package's text)\n"
        "  4  an error stopped the run; the documents before it stay posted and flagged\n"
        "  5  stopped by SIGTERM, SIGINT or SIGHUP, after the document in hand was posted,\n"
        "     flagged and journalled\n"
        "  6  another export run holds the installation's lock; nothing was done\n");
}

int RunHoldingExportLock(BatchSession& session, const QString& command,
                         const std::function<int(ExportRunLock& lock)>& work) {
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
    default:
        lock->setOutcome(QStringLiteral("ERROR"));
        break;
    }
    return status;
}

QString OneLine(QString text) {
    return text.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}
