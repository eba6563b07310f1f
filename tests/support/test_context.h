#pragma once

#include "core/app_context.h"
#include "tests/support/scripted_messages.h"

#include <QTemporaryDir>
#include <memory>

// Puts the program in a fresh temporary program folder with a fixed clock and scripted messages
// for the life of the object, and restores the defaults afterwards.
class TestContext {
public:
    explicit TestContext(const QDateTime& now = QDateTime(QDate(2024, 3, 5), QTime(10, 15, 2)))
        : clock(std::make_shared<FixedClock>(now)), messages(std::make_shared<ScriptedMessages>()) {
        AppContext::instance().setProgramFolder(dir.path());
        AppContext::instance().setClock(clock);
        AppContext::instance().setMessages(messages);
    }
    ~TestContext() {
        AppContext::instance().setProgramFolder(QString());
        AppContext::instance().setClock(nullptr);
        AppContext::instance().setMessages(nullptr);
    }
    QString folder() const { return dir.path(); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    std::shared_ptr<FixedClock> clock;
    std::shared_ptr<ScriptedMessages> messages;
};
