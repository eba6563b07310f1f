#pragma once

#include <QString>

// The modal boxes of the program: errors and refusals with OK, questions with Yes and No.
// Every text shown to the user goes through one MessageService, so tests can script the answers
// and the batch command can print instead of showing a window.
enum class MessageKind { Error, Information, Confirmation };
enum class MessageAnswer { Ok, Yes, No };

class MessageService {
public:
    virtual ~MessageService() = default;
    virtual MessageAnswer show(MessageKind kind, const QString& text) = 0;

    void error(const QString& text) { show(MessageKind::Error, text); }
    void information(const QString& text) { show(MessageKind::Information, text); }
    // True only on Yes.
    bool confirm(const QString& text) {
        return show(MessageKind::Confirmation, text) == MessageAnswer::Yes;
    }
    // The same for a question whose Yes throws something away: No is the button Enter presses.
    bool confirmDefaultNo(const QString& text) {
        return showQuestion(text, MessageAnswer::No) == MessageAnswer::Yes;
    }

    // A question whose default button (the one Enter presses) is given; services that have no
    // buttons ask it as any other question.
    virtual MessageAnswer showQuestion(const QString& text, MessageAnswer defaultAnswer) {
        (void)defaultAnswer;
        return show(MessageKind::Confirmation, text);
    }
};

// Prints every message (errors to standard error, the rest to standard output) and answers
// questions with a fixed answer. Used where no window may open: the batch command.
class ConsoleMessageService : public MessageService {
public:
    // Errors go to standard error and the rest to standard output, or everything to standard
    // error when standard output carries a report of its own (a batch command's --json).
    explicit ConsoleMessageService(bool answerYes = false, bool allToStderr = false)
        : answerYes_(answerYes), allToStderr_(allToStderr) {}
    MessageAnswer show(MessageKind kind, const QString& text) override;

private:
    bool answerYes_;
    bool allToStderr_;
};
