#include "export/batch/batch_program.h"

#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/stop_signals.h"
#include "data/dm_mm_group_access.h"
#include "export/batch/batch_command.h"
#include "export/batch/batch_login.h"
#include "export/batch/password_prompt.h"
#include "export/module_codes.h"

#include <QScopeGuard>

#include <optional>

namespace {

const char kProgram[] = "zantro-batch";

QString indented(const QString& lines, const QString& prefix) {
    QStringList result;
    for (const QString& line : lines.split(QLatin1Char('\n')))
        result << prefix + line;
    return result.join(QLatin1Char('\n'));
}

QString commandUsage(const BatchCommand& command) {
    const QString user =
        command.parseWithoutLogin ? QStringLiteral(" ") : QStringLiteral(" --user CODE ");
    QStringList lines;
    for (const QString& line : command.synopsis.split(QLatin1Char('\n')))
        lines << (lines.isEmpty() ? QStringLiteral("Usage: ") : QStringLiteral("       ")) +
                     QLatin1String(kProgram) + user + line;
    return lines.join(QLatin1Char('\n'));
}

QString commandHelp(const BatchCommand& command) {
    return commandUsage(command) + QStringLiteral("\n\n") + command.help + QStringLiteral("\n\n") +
           QStringLiteral("Kinds: ") + TransactionCodes().join(QLatin1Char(' ')) +
           QLatin1Char('\n');
}

int usage(QTextStream& err, const QString& problem, const BatchCommand* command) {
    err << kProgram << ": " << problem << '\n';
    if (command)
        err << commandUsage(*command) << '\n';
    else
        err << "Usage: " << kProgram << " --user CODE COMMAND [ARGUMENTS]\n";
    err << "Try '" << kProgram << (command ? " " + command->name : QString())
        << " --help' for more information.\n";
    err.flush();
    return BatchUsage;
}

bool asksForHelp(const QString& word) {
    return word == QLatin1String("--help") || word == QLatin1String("-h");
}

} // namespace

QString BatchHelpText() {
    QString text =
        QStringLiteral(
            "Usage: %1 --user CODE COMMAND [ARGUMENTS]\n"
            "       %1 check-installation [--json]\n"
            "       %1 [COMMAND] --help\n"
            "\n"
            "Runs one command on the export work table of the accounting link, for scheduled runs\n"
            "and scripts. Logs in as the user CODE with the checks of the login window (password,\n"
            "active user, login hours, access right); the password is taken from the environment\n"
            "variable ZANTRO_PASSWORD, or asked for when the command runs on a terminal. The code "
            "and\n"
            "password are taken in upper case, as the login window takes them.\n"
            "\n"
            "Commands:\n")
            .arg(QLatin1String(kProgram));
    for (const BatchCommand& command : BatchCommands())
        text += indented(command.synopsis, QStringLiteral("  ")) + QLatin1Char('\n');
    text +=
        QStringLiteral("\nKinds: ") + TransactionCodes().join(QLatin1Char(' ')) +
        QStringLiteral(
            "\n\n"
            "The installation is the program's folder, or the folder named by ZANTRO_HOME.\n"
            "search, tick, export, masters and schedule run only when the account type\n"
            "(GENERAL/ACCOUNT_TYPE in Ledvora.ini) is SQLACC, as the window's export does;\n"
            "under any other type they are refused (status 1).\n"
            "Only one export run (export, masters, schedule, or the window's Export) runs at a\n"
            "time on an installation, from any workstation; another is refused at once (status\n"
            "6) with the name of the run that holds it: its user, host and installation folder,\n"
            "or the name given as WORKSTATION in section [STORE] of the installation's\n"
            "Register.ini.\n"
            "\n") +
        BatchExitStatusHelp();
    return text;
}

int RunBatchProgram(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    // Another run that exports the documents after this moment exported them "meanwhile".
    const QDateTime started = Now();
    QString user;
    qsizetype at = 0;
    for (; at < arguments.size(); ++at) {
        const QString& word = arguments.at(at);
        if (asksForHelp(word)) {
            out << BatchHelpText();
            out.flush();
            return BatchDone;
        }
        if (word == QLatin1String("--user")) {
            if (at + 1 >= arguments.size())
                return usage(err, QStringLiteral("--user needs a user code"), nullptr);
            user = arguments.at(++at);
            continue;
        }
        if (word.startsWith(QLatin1String("--")))
            return usage(err, QStringLiteral("unknown option %1").arg(word), nullptr);
        break;
    }
    if (at >= arguments.size())
        return usage(err, QStringLiteral("no command given"), nullptr);
    const BatchCommand* command = FindBatchCommand(arguments.at(at));
    if (!command)
        return usage(err, QStringLiteral("unknown command \"%1\"").arg(arguments.at(at)), nullptr);
    const QStringList commandArguments = arguments.mid(at + 1);
    for (const QString& word : commandArguments) {
        if (asksForHelp(word)) {
            out << commandHelp(*command);
            out.flush();
            return BatchDone;
        }
    }

    if (command->parseWithoutLogin) {
        BatchCommand::RunWithoutLogin run;
        try {
            run = command->parseWithoutLogin(commandArguments);
        } catch (const UsageError& error) {
            return usage(err, error.message(), command);
        }
        try {
            return run(out);
        } catch (...) {
            out.flush();
            err << CurrentExceptionText() << '\n';
            err.flush();
            return BatchFailed;
        }
    }

    BatchCommand::Run run;
    QString password;
    try {
        run = command->parse(commandArguments);
        if (user.isEmpty())
            throw UsageError(QStringLiteral("--user CODE is missing"));
        // Refused before the password is asked for: no login could make the command run.
        if (const QString refusal = AccountTypeRefusal(*command); !refusal.isEmpty()) {
            err << kProgram << ": " << refusal << '\n';
            err.flush();
            return BatchFailed;
        }
        password = BatchPassword();
    } catch (const UsageError& error) {
        return usage(err, error.message(), command);
    }

    try {
        // Once the command's work is done, a stop signal no longer changes its status while the
        // connections close. Declared first, so that it outlasts them.
        std::optional<StopAtSafePoint> finishing;
        TdmMMGroupAccess groupAccess;
        dmMMGroupAccess = &groupAccess;
        const auto forget = qScopeGuard([] { dmMMGroupAccess = nullptr; });
        const std::optional<LoginIdentity> identity = BatchLogin(groupAccess, user, password, err);
        if (!identity)
            return BatchFailed;
        BatchSession session(out, identity->UserCode, started);
        const int status = run(session);
        finishing.emplace();
        return status;
    } catch (...) {
        out.flush();
        err << CurrentExceptionText() << '\n';
        err.flush();
        return BatchFailed;
    }
}
