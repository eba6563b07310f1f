#pragma once

#include <QString>
#include <stdexcept>

// An error that ends the user's action in hand and carries the text to show, unchanged.
// Database, file, settings and accounting-package errors all derive from it; one handler at the
// edge of each action shows the text once.
class AppError : public std::runtime_error {
public:
    explicit AppError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};
