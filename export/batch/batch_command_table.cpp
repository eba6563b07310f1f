#include "export/batch/batch_command.h"

#include "core/app_context.h"

BatchSession::BatchSession(QTextStream& out)
    : out_(out), data_(std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly)),
      search_(std::make_unique<DocumentSearch>(*data_, settings_,
                                               DocumentSearch::ViewReading::CountOnly)) {}

const QList<BatchCommand>& BatchCommands() {
    static const QList<BatchCommand> commands{SearchCommand(), TickCommand(),   ClearCommand(),
                                              ListCommand(),   ExportCommand(), MastersCommand()};
    return commands;
}

const BatchCommand* FindBatchCommand(const QString& name) {
    for (const BatchCommand& command : BatchCommands()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}
