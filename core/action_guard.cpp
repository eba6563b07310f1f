#include "core/action_guard.h"

#include "core/app_context.h"
#include "core/app_error.h"

#include <QString>
#include <exception>

QString CurrentExceptionText() {
    try {
        throw;
    } catch (const AppError& error) {
        return error.message();
    } catch (const std::exception& error) {
        return QString::fromUtf8(error.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

bool RunGuarded(const std::function<void()>& action) {
    try {
        action();
        return true;
    } catch (...) {
        Messages().error(CurrentExceptionText());
        return false;
    }
}
