#include "export/batch/batch_login.h"

#include "core/action_guard.h"
#include "core/app_context.h"
#include "data/dm_mm_group_access.h"
#include "data/dm_mm_user.h"
#include "login/login_check.h"
#include "login/time_code.h"

#include <QScopeGuard>

namespace {

QString oneLine(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    return text;
}

} // namespace

std::optional<LoginIdentity> BatchLogin(TdmMMGroupAccess& groupAccess, const QString& code,
                                        const QString& password, QTextStream& err) {
    LoginIdentity identity;
    {
        // The user table is open only while the login runs, as with the login dialog.
        TdmMMUser users;
        dmMMUser = &users;
        const auto forget = qScopeGuard([] { dmMMUser = nullptr; });
        const LoginAttempt attempt =
            CheckLogin(users.tblMMUser, groupAccess.qryCheck, code.toUpper(), password.toUpper(),
                       TimeCode(Now().time()));
        if (!attempt.accepted()) {
            // The dialog refuses an inactive user without a box: its "Non Active" label says so.
            const QString text =
                attempt.message.isEmpty() && attempt.outcome == LoginOutcome::Inactive
                    ? QStringLiteral("Non Active")
                    : attempt.message;
            err << oneLine(text) << '\n';
            err.flush();
            return std::nullopt;
        }
        identity = attempt.identity;
    }
    LoadUserQueries(groupAccess, identity);
    try {
        LogLoginActivity(identity.UserCode);
    } catch (...) {
        err << oneLine(CurrentExceptionText()) << '\n';
        err.flush();
    }
    return identity;
}
