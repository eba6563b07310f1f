#include "login/login_check.h"

#include "core/app_context.h"
#include "data/activity_log.h"
#include "data/dm_mm_group_access.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "data/table.h"
#include "login/time_code.h"

namespace {

const char InvalidMessage[] = "Invalid User Code or Password !\r\nPlease try again.";
const char TimeMessage[] = "Access Denied !\r\nUser was not allow to entry this section (TIME).";
const char LevelMessage[] = "Access Denied !\r\nUser was not allow to entry this section (LEVEL).";

LoginAttempt refused(LoginOutcome outcome, const QString& message, MessageKind kind) {
    LoginAttempt attempt;
    attempt.outcome = outcome;
    attempt.message = message;
    attempt.messageKind = kind;
    return attempt;
}

// Names of the user fields the login cannot do without that the row leaves empty (null).
QString missingUserFields(const Table& users) {
    struct Needed {
        const char* field;
        const char* name;
    };
    static const Needed needed[] = {{"M_DESC", "user name"},
                                    {"M_USERGROUP", "user group"},
                                    {"M_DATEFROM", "login time from"},
                                    {"M_DATETO", "login time to"}};
    QStringList missing;
    for (const Needed& n : needed)
        if (users.field(QLatin1String(n.field)).isNull())
            missing << QLatin1String(n.name);
    return missing.join(QStringLiteral(", "));
}

} // namespace

LoginAttempt CheckLogin(Table& users, Query& qryCheck, const QString& code, const QString& password,
                        int currentTimeCode) {
    if (!users.locate(QStringLiteral("M_CODE"), code) ||
        users.field(QStringLiteral("M_PASSWORD")).asString() != password)
        return refused(LoginOutcome::Invalid, QLatin1String(InvalidMessage), MessageKind::Error);

    if (users.field(QStringLiteral("M_ACTIVE")).asString() != QLatin1String("T"))
        return refused(LoginOutcome::Inactive, QString(), MessageKind::Error);

    // A row without these cannot give an identity or login hours; say what to complete.
    const QString missing = missingUserFields(users);
    if (!missing.isEmpty())
        return refused(LoginOutcome::IncompleteUser,
                       QStringLiteral("Incomplete User Record !\r\nPlease define the %1 of user "
                                      "%2 before logging in.")
                           .arg(missing, code),
                       MessageKind::Error);

    LoginAttempt attempt;
    attempt.identity.UserCode = users.field(QStringLiteral("M_CODE")).asString();
    attempt.identity.UserName = users.field(QStringLiteral("M_DESC")).asString();
    attempt.identity.UserPassword = users.field(QStringLiteral("M_PASSWORD")).asString();
    attempt.identity.UserGroup = users.field(QStringLiteral("M_USERGROUP")).asString();
    attempt.hoursRead = true;
    attempt.loginTimeFrom = TimeCode(users.field(QStringLiteral("M_DATEFROM")).asDateTime().time());
    attempt.loginTimeTo = TimeCode(users.field(QStringLiteral("M_DATETO")).asDateTime().time());

    if (!WithinLoginHours(attempt.loginTimeFrom, attempt.loginTimeTo, currentTimeCode)) {
        attempt.outcome = LoginOutcome::OutsideHours;
        attempt.message = QLatin1String(TimeMessage);
        attempt.messageKind = MessageKind::Information;
        return attempt;
    }

    qryCheck.clearSql();
    qryCheck.addSql(QStringLiteral("Select * From MAS_UserGroupAccess Where M_Access = ") +
                    QuotedStr(QLatin1String(AccessSectionCode)) + QStringLiteral(" AND M_Code=") +
                    QuotedStr(attempt.identity.UserGroup));
    qryCheck.open();
    const bool allowed = !qryCheck.isEmpty();
    qryCheck.close();
    if (!allowed) {
        attempt.outcome = LoginOutcome::NoAccessRight;
        attempt.message = QLatin1String(LevelMessage);
        attempt.messageKind = MessageKind::Information;
        return attempt;
    }

    attempt.outcome = LoginOutcome::Accepted;
    return attempt;
}

void LoadUserQueries(TdmMMGroupAccess& groupAccess, const LoginIdentity& identity) {
    groupAccess.qryUser.setSql(QStringLiteral("Select * From MAS_User Where M_Code=") +
                               QuotedStr(identity.UserCode));
    groupAccess.qryUser.open();
    groupAccess.qryUserLink.setSql(QStringLiteral("Select * From MAS_User_Link Where M_User=") +
                                   QuotedStr(identity.UserCode));
    groupAccess.qryUserLink.open();
    groupAccess.qryUserGroup.setSql(QStringLiteral("Select * From MAS_UserGroup Where M_Code=") +
                                    QuotedStr(identity.UserGroup));
    groupAccess.qryUserGroup.open();
}

void LogLoginActivity(const QString& userCode) {
    LogActivity(QStringLiteral("#1  "), userCode, QLatin1String(LoginDialogCaption),
                QStringLiteral("Login"), ProgramFolder(), QString());
}
