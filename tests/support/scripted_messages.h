#pragma once

#include "core/message_service.h"

#include <QList>
#include <QString>

// Records every message box the code under test shows and answers questions from a script.
// Questions beyond the script are answered No, so an unexpected question cannot say Yes.
class ScriptedMessages : public MessageService {
public:
    struct Shown {
        MessageKind kind;
        QString text;
        // The button Enter presses in a question.
        MessageAnswer defaultAnswer = MessageAnswer::Yes;
    };

    MessageAnswer showQuestion(const QString& text, MessageAnswer defaultAnswer) override {
        const MessageAnswer answer = show(MessageKind::Confirmation, text);
        shown.last().defaultAnswer = defaultAnswer;
        return answer;
    }

    MessageAnswer show(MessageKind kind, const QString& text) override {
        shown.append({kind, text});
        if (kind != MessageKind::Confirmation)
            return MessageAnswer::Ok;
        if (answers.isEmpty())
            return MessageAnswer::No;
        return answers.takeFirst();
    }

    QStringList texts() const {
        QStringList all;
        for (const Shown& s : shown)
            all << s.text;
        return all;
    }

    QList<Shown> shown;
    QList<MessageAnswer> answers;
};
