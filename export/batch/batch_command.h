#pragma once

#include "config/settings_file.h"
#include "core/app_error.h"
#include "data/dm_polling.h"
#include "export/code_generation.h"
#include "export/document_search.h"

#include <QDateTime>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>

class ExportRunLock;

// The batch command's exit statuses, for a scheduler to act on.
enum BatchExit {
    BatchDone = 0,            // everything posted, or nothing to do
    BatchFailed = 1,          // login refused, a command declined, or an error outside a run
    BatchUsage = 2,           // wrong use of the command line
    BatchSomeRefused = 3,     // the run went through but the package refused some documents
    BatchStoppedOnError = 4,  // an error stopped the run; the documents before it stay posted
    BatchStoppedBySignal = 5, // a stop signal ended it (after the document in hand)
    BatchLocked = 6,          // another export run holds the installation's lock: nothing done
    BatchNothingLeft = 7      // nothing was left: another run exported it after this one began
};

// The exit statuses as --help lists them.
QString BatchExitStatusHelp();

// Wrong use of the command line: unknown command or kind, missing or malformed argument. The
// program prints the text with the command's usage and ends with status 2.
class UsageError : public AppError {
public:
    using AppError::AppError;
};

// What a command works with once the user is logged in: the data module with its connections
// open (a command opens the datasets it needs), the settings file, the searches of the export
// dialog, and the standard output.
class BatchSession {
public:
    // `started`: when the command was started, before its login and connections.
    BatchSession(QTextStream& out, QString user, QDateTime started);
    const QString& user() const { return user_; }
    const QDateTime& started() const { return started_; }
    TdmPolling& data() { return *data_; }
    SettingsFile& settings() { return settings_; }
    DocumentSearch& search() { return *search_; }
    QTextStream& out() { return out_; }

private:
    QTextStream& out_;
    QString user_;
    QDateTime started_;
    std::unique_ptr<TdmPolling> data_;
    SettingsFile settings_;
    std::unique_ptr<DocumentSearch> search_;
};

// One command of the batch program. The arguments are checked before the login, so that wrong
// use costs no password; the checked command then runs in a session.
struct BatchCommand {
    using Run = std::function<int(BatchSession&)>;
    // A command that runs before any login (the check of the installation's databases, which
    // must work when no login does).
    using RunWithoutLogin = std::function<int(QTextStream& out)>;

    QString name;     // "search"
    QString synopsis; // the usage lines, without the program name and --user
    QString help;     // what --help prints below the synopsis
    // Checks the arguments after the command name; raises UsageError.
    std::function<Run(const QStringList& arguments)> parse;
    // Set instead of parse for a command that needs no login.
    std::function<RunWithoutLogin(const QStringList& arguments)> parseWithoutLogin = {};
};

// Runs `work` holding the installation's export lock, recorded as `command` of the logged-in user.
// When another run holds it, prints who and since when to standard error and gives BatchLocked;
// a lock taken over from a run that died is said on standard error too. `work` gives the exit
// status, which is recorded as the run's outcome; an error it raises is printed to standard error
// and gives BatchStoppedOnError. From the lock's taking to its release a stop signal waits: the
// work decides whether it stopped, and a signal that comes once the work is done changes nothing.
int RunHoldingExportLock(BatchSession& session, const QString& command,
                         const std::function<int(ExportRunLock& lock)>& work);

// Prints "Warning: ..." when another workstation searched, ticked or cleared the kind's rows
// since this one last looked at them (the work table is shared by every workstation).
void PrintChangedElsewhere(BatchSession& session, const QString& moduleCode);

// The text on one line: the package's and the engine's texts may hold line breaks.
QString OneLine(QString text);

// Prints "zantro-batch: " and the text, on one line, to standard error (after what is pending on
// standard output, so the two read in order on one terminal).
void PrintError(BatchSession& session, const QString& text);

// A run that found nothing to export: when another run exported documents of one of `kinds`
// after this command was started, says so ("Nothing left to export: the run of ...") and gives
// BatchNothingLeft, otherwise gives BatchDone. `message` receives the text, or stays empty.
int NothingToExportStatus(BatchSession& session, const QStringList& kinds, const QString& ownRunId,
                          QString* message);

// The generated codes that differ from the rule's, for a report: as JSON, or as lines.
QJsonArray AdjustedCodesJson(const QList<AdjustedCode>& codes);
void PrintAdjustedCodes(QTextStream& out, const QList<AdjustedCode>& codes,
                        const QString& indent = QString());

// The check's findings, for a report: documents that would be refused with their findings as
// JSON, or one line per finding ("S1-1-9: customer ... - export the Customer Profile first").
struct CheckReport;
QJsonArray CheckFindingsJson(const CheckReport& report);
void PrintCheckFindings(QTextStream& out, const CheckReport& report,
                        const QString& indent = QString());

// Every command, in the order of the help text. A new command (an export run, the masters)
// is one more entry of this table.
const QList<BatchCommand>& BatchCommands();
const BatchCommand* FindBatchCommand(const QString& name);

// Empty when `command` may run under the installation's account type. The commands that search
// or post (search, tick, export, masters, schedule) need the one type that can export, as the
// export window's categories do; otherwise the text says which type was found and which one is
// needed.
QString AccountTypeRefusal(const BatchCommand& command);

// The entries of the table, each defined beside its work.
BatchCommand SearchCommand();
BatchCommand TickCommand();
BatchCommand ClearCommand();
BatchCommand ListCommand();
BatchCommand ExportCommand();
BatchCommand CheckCommand();
BatchCommand MastersCommand();
BatchCommand ScheduleCommand();
BatchCommand JournalCommand();
BatchCommand ReconcileCommand();
BatchCommand EInvoiceCheckCommand();
BatchCommand CheckInstallationCommand();
