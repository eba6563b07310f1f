#pragma once

#include "core/app_error.h"

// A posting that cannot go on because of what the source holds (a transaction number that is
// not a number, a quantity beyond what the package can take).
class PostingError : public AppError {
public:
    using AppError::AppError;
};
