#pragma once

#include "core/app_error.h"

// An error raised by the database engine (missing alias, refused connection, bad SQL, a broken
// constraint), carrying the engine's own text.
class DbError : public AppError {
public:
    using AppError::AppError;
};

// A connection the engine refused. The message names the alias, the account and the database
// tried before the engine's text; engineText() is the engine's text alone.
class ConnectionError : public DbError {
public:
    ConnectionError(const QString& message, QString engineText)
        : DbError(message), engineText_(std::move(engineText)) {}
    const QString& engineText() const { return engineText_; }

private:
    QString engineText_;
};
