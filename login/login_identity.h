#pragma once

#include <QString>

// Who is logged in: the main window's four identity texts. An empty UserCode means nobody.
struct LoginIdentity {
    QString UserCode, UserName, UserGroup, UserPassword;
};

// What the login works with besides the identity: the hour window of the last login check, the
// current time code kept by the main window's clock, and the database mode and server of
// Register.ini that the login dialog shows.
struct LoginState {
    LoginIdentity identity;
    int LoginTimeFrom = 0;
    int LoginTimeTo = 0;
    int CurrentTimeCode = 0;
    QString DatabaseMode;
    QString DatabaseServer;
};
