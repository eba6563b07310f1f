#pragma once

#include "core/clock.h"
#include "core/message_service.h"

#include <QString>
#include <memory>

// The places and services every part of the program shares: the program folder, the clock and
// the message service. One instance per process; tests replace its parts.
class AppContext {
public:
    static AppContext& instance();

    // The folder of the executable without a trailing separator, unless ZANTRO_HOME names another.
    QString programFolder() const;
    void setProgramFolder(const QString& folder);

    Clock& clock() const { return *clock_; }
    void setClock(std::shared_ptr<Clock> clock);

    MessageService& messages() const { return *messages_; }
    void setMessages(std::shared_ptr<MessageService> messages);

private:
    AppContext();
    QString programFolder_;
    std::shared_ptr<Clock> clock_;
    std::shared_ptr<MessageService> messages_;
};

// Short forms used throughout the program.
QString ProgramFolder();
QDateTime Now();
MessageService& Messages();
