#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The switches of the program's command line. Only arguments 1 to 4 are examined; the
// three-character prefix is compared without regard to case and a later switch overrides an
// earlier one:
//   -#U<code>   runs the program for that user without the login dialog;
//   -#S<number> and -#E<number> set the login-hour window (a later login recomputes it).
struct CommandLineSwitches {
    std::optional<QString> userCode; // the text after -#U, case kept
    std::optional<int> loginTimeFrom;
    std::optional<int> loginTimeTo;
    // One entry per -#S or -#E whose text is not a whole number, e.g. "-#S8AM".
    QStringList badNumbers;
};

// `arguments` as the program received them, the program itself first.
CommandLineSwitches ParseCommandLine(const QStringList& arguments);

// The message for switches that are not numbers: the user is asked to log in instead.
QString BadNumberSwitchMessage(const QStringList& badNumbers);
// The message for a -#U code that MAS_USER does not hold.
QString UnknownUserSwitchMessage(const QString& userCode);
