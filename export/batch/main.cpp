// zantro-batch: the export work table's commands for scheduled runs and scripts.
#include "core/app_context.h"
#include "core/message_service.h"
#include "export/batch/batch_program.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_choice.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
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
