#pragma once

#include "config/settings_file.h"
#include "core/app_error.h"
#include "data/dm_polling.h"
#include "export/document_search.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <functional>
#include <memory>

// The batch command's exit statuses.
enum BatchExit { BatchDone = 0, BatchFailed = 1, BatchUsage = 2 };

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
    explicit BatchSession(QTextStream& out);
    TdmPolling& data() { return *data_; }
    SettingsFile& settings() { return settings_; }
    DocumentSearch& search() { return *search_; }
    QTextStream& out() { return out_; }

private:
    QTextStream& out_;
    std::unique_ptr<TdmPolling> data_;
    SettingsFile settings_;
    std::unique_ptr<DocumentSearch> search_;
};

// One command of the batch program. The arguments are checked before the login, so that wrong
// use costs no password; the checked command then runs in a session.
struct BatchCommand {
    using Run = std::function<int(BatchSession&)>;

    QString name;     // "search"
    QString synopsis; // the usage lines, without the program name and --user
    QString help;     // what --help prints below the synopsis
    // Checks the arguments after the command name; raises UsageError.
    std::function<Run(const QStringList& arguments)> parse;
};

// Every command, in the order of the help text. A new command (an export run, the masters)
// is one more entry of this table.
const QList<BatchCommand>& BatchCommands();
const BatchCommand* FindBatchCommand(const QString& name);

// The entries of the table, each defined beside its work.
BatchCommand SearchCommand();
BatchCommand TickCommand();
BatchCommand ClearCommand();
BatchCommand ListCommand();
BatchCommand ExportCommand();
BatchCommand MastersCommand();
