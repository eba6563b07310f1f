#pragma once

#include <functional>

// The edge of a user action: runs it and shows any error that ends it (database, file, settings
// or accounting-package error) once, with its own text, in the standard error box. What the
// action did before the error stays done. Returns true when the action ended without an error.
bool RunGuarded(const std::function<void()>& action);

// The text of the exception in flight (an AppError's message or what() of any other exception).
class QString CurrentExceptionText();
