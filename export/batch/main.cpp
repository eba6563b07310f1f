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
    // Messages of the searches are printed; no question is asked without a window.
    AppContext::instance().setMessages(std::make_shared<ConsoleMessageService>());
    ChooseAccountingPackage();
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = RunBatchProgram(application.arguments().mid(1), out, err);
    // The package's objects hold database handles: let them go while the application exists.
    ReleaseBizApp();
    return status;
}
