#include "app/ui/widget_message_service.h"

#include <QApplication>
#include <QMessageBox>

MessageAnswer WidgetMessageService::show(MessageKind kind, const QString& text) {
    return showBox(kind, text, MessageAnswer::Yes);
}

MessageAnswer WidgetMessageService::showQuestion(const QString& text, MessageAnswer defaultAnswer) {
    return showBox(MessageKind::Confirmation, text, defaultAnswer);
}

MessageAnswer WidgetMessageService::showBox(MessageKind kind, const QString& text,
                                            MessageAnswer defaultAnswer) {
    QMessageBox box(QApplication::activeWindow());
    // The texts carry Windows line breaks; a box shows one break per line.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    box.setText(shown);
    switch (kind) {
    case MessageKind::Error:
        box.setWindowTitle(QStringLiteral("Error"));
        box.setIcon(QMessageBox::Critical);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageKind::Information:
        box.setWindowTitle(QStringLiteral("Information"));
        box.setIcon(QMessageBox::Information);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MessageKind::Confirmation:
        box.setWindowTitle(QStringLiteral("Confirm"));
        box.setIcon(QMessageBox::Question);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(defaultAnswer == MessageAnswer::No ? QMessageBox::No
                                                                : QMessageBox::Yes);
        break;
    }
    const int answer = box.exec();
    if (kind != MessageKind::Confirmation)
        return MessageAnswer::Ok;
    return answer == QMessageBox::Yes ? MessageAnswer::Yes : MessageAnswer::No;
}
