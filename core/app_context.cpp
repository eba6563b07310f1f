#include "core/app_context.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

AppContext::AppContext()
    : clock_(std::make_shared<SystemClock>()),
      messages_(std::make_shared<ConsoleMessageService>()) {}

AppContext& AppContext::instance() {
    static AppContext context;
    return context;
}

static QString withoutTrailingSeparator(QString folder) {
    folder = QDir::cleanPath(folder);
    while (folder.size() > 1 && folder.endsWith(QLatin1Char('/')))
        folder.chop(1);
    return folder;
}

QString AppContext::programFolder() const {
    if (!programFolder_.isEmpty())
        return programFolder_;
    const QString home = qEnvironmentVariable("ZANTRO_HOME");
    if (!home.isEmpty())
        return withoutTrailingSeparator(QFileInfo(home).absoluteFilePath());
    if (QCoreApplication::instance())
        return withoutTrailingSeparator(QCoreApplication::applicationDirPath());
    return withoutTrailingSeparator(QDir::currentPath());
}

void AppContext::setProgramFolder(const QString& folder) {
    programFolder_ = folder.isEmpty() ? QString() : withoutTrailingSeparator(folder);
}

void AppContext::setClock(std::shared_ptr<Clock> clock) {
    clock_ = clock ? std::move(clock) : std::make_shared<SystemClock>();
}

void AppContext::setMessages(std::shared_ptr<MessageService> messages) {
    messages_ = messages ? std::move(messages) : std::make_shared<ConsoleMessageService>();
}

QString ProgramFolder() {
    return AppContext::instance().programFolder();
}
QDateTime Now() {
    return AppContext::instance().clock().now();
}
MessageService& Messages() {
    return AppContext::instance().messages();
}
