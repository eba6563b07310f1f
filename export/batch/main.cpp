// zantro-batch: the export work table's commands for scheduled runs and scripts.
#include "core/app_context.h"
#include "core/message_service.h"
#include "core/stop_signals.h"
#include "export/batch/batch_command.h"
#include "export/batch/batch_program.h"
#include "export/batch/password_prompt.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_choice.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    // First, before any thread starts: the stop signals are the program's own. Outside a run
    // nothing is in hand, so a signal ends the program at once; inside one it stops the run
    // after the document in hand.
    StopSignals::Install([](int signalNumber) {
        RestoreTerminal();
        std::fprintf(stderr, "zantro-batch: stopped by %s\n",
                     StopSignals::SignalName(signalNumber));
        std::fflush(stdout);
        std::_Exit(BatchStoppedBySignal);
    });
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments().mid(1);
    // Messages of the searches are printed; no question is asked without a window. With --json
    // standard output holds the report alone, so the messages go to standard error.
    const bool json = arguments.contains(QStringLiteral("--json"));
    AppContext::instance().setMessages(std::make_shared<ConsoleMessageService>(false, json));
    ChooseAccountingPackage();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunBatchProgram(arguments, out, err);
    // The package's objects hold database handles: let them go while the application exists.
    ReleaseBizApp();
    return status;
}
