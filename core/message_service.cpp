#include "core/message_service.h"

#include <cstdio>

MessageAnswer ConsoleMessageService::show(MessageKind kind, const QString& text) {
    QString oneLine = text;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    const QByteArray bytes = oneLine.toLocal8Bit();
    std::FILE* out = kind == MessageKind::Error || allToStderr_ ? stderr : stdout;
    std::fprintf(out, "%s\n", bytes.constData());
    std::fflush(out);
    if (kind != MessageKind::Confirmation)
        return MessageAnswer::Ok;
    return answerYes_ ? MessageAnswer::Yes : MessageAnswer::No;
}
