// zantro-batch: the export work table's commands for scheduled runs and scripts.
#include "core/app_context.h"
#include "core/message_service.h"
#include "export/batch/batch_program.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    // Messages of the searches are printed; no question is asked without a window.
    AppContext::instance().setMessages(std::make_shared<ConsoleMessageService>());
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunBatchProgram(application.arguments().mid(1), out, err);
}
