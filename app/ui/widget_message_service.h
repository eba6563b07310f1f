#pragma once

#include "core/message_service.h"

// Shows the program's messages as modal message boxes over the active window: errors with the
// error icon and OK, refusals with the information icon and OK, questions with the question
// icon and Yes and No (Yes the default button, unless the question says No).
class WidgetMessageService : public MessageService {
public:
    MessageAnswer show(MessageKind kind, const QString& text) override;
    MessageAnswer showQuestion(const QString& text, MessageAnswer defaultAnswer) override;

private:
    MessageAnswer showBox(MessageKind kind, const QString& text, MessageAnswer defaultAnswer);
};
