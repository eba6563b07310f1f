#pragma once

#include "core/message_service.h"
#include "login/login_identity.h"

#include <QString>

class Query;
class Table;
class TdmMMGroupAccess;

// The caption of the login dialog; it is also the caption written in the "Login" activity line.
inline constexpr char LoginDialogCaption[] = "Please type in your ID and password";
// The section code of this program in MAS_USERGROUPACCESS.
inline constexpr char AccessSectionCode[] = "ACCTLI";

enum class LoginOutcome {
    Accepted,
    Invalid,        // no such user code, or another password
    Inactive,       // refused without a message
    IncompleteUser, // name, group or login hours missing from the user's row
    OutsideHours,   // the current time is outside the user's login hours
    NoAccessRight   // the user's group may not use this program
};

struct LoginAttempt {
    LoginOutcome outcome = LoginOutcome::Invalid;
    // The user's identity from MAS_USER; filled once the checks reach the hour rule.
    LoginIdentity identity;
    // The user's login hours as time codes; valid when hoursRead.
    bool hoursRead = false;
    int loginTimeFrom = 0;
    int loginTimeTo = 0;
    // The message to show (empty: none) and its kind.
    QString message;
    MessageKind messageKind = MessageKind::Error;

    bool accepted() const { return outcome == LoginOutcome::Accepted; }
};

// The checks of a login, in their order; the first that fails decides the outcome:
// 1. the code is located in `users` (MAS_USER, exact) and its M_PASSWORD (null reads as empty)
//    equals the password;
// 2. M_ACTIVE is "T";
// 3. M_DESC, M_USERGROUP, M_DATEFROM and M_DATETO are present;
// 4. the current time code lies within the time codes of M_DATEFROM and M_DATETO;
// 5. the group holds the "ACCTLI" right in MAS_USERGROUPACCESS (through qryCheck).
// Database errors are raised. Leaves `users` on the located row.
LoginAttempt CheckLogin(Table& users, Query& qryCheck, const QString& code, const QString& password,
                        int currentTimeCode);

// Reloads qryUser, qryUserLink and qryUserGroup for the logged-in user and opens them.
void LoadUserQueries(TdmMMGroupAccess& groupAccess, const LoginIdentity& identity);

// Writes the "Login" line of the activity log for the user (through dmMMGroupAccess's settings,
// under the program folder). Raises the log's error.
void LogLoginActivity(const QString& userCode);
