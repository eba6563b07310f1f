#pragma once

#include "core/app_error.h"

// An error raised by the database engine (missing alias, refused connection, bad SQL, a broken
// constraint), carrying the engine's own text.
class DbError : public AppError {
public:
    using AppError::AppError;
};
