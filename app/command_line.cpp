#include "app/command_line.h"

#include "config/value_forms.h"

namespace {

constexpr int ExaminedArguments = 4;

} // namespace

CommandLineSwitches ParseCommandLine(const QStringList& arguments) {
    CommandLineSwitches switches;
    for (int i = 1; i <= ExaminedArguments && i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const QString prefix = argument.left(3).toUpper();
        const QString text = argument.mid(3);
        if (prefix == QLatin1String("-#U")) {
            switches.userCode = text;
        } else if (prefix == QLatin1String("-#S") || prefix == QLatin1String("-#E")) {
            const std::optional<int> number = toIntStrict(text);
            if (!number)
                switches.badNumbers << argument;
            else if (prefix == QLatin1String("-#S"))
                switches.loginTimeFrom = number;
            else
                switches.loginTimeTo = number;
        }
    }
    return switches;
}

QString BadNumberSwitchMessage(const QStringList& badNumbers) {
    return QStringLiteral("Invalid Command Line !\r\n%1 must be followed by a number.\r\n"
                          "Please log in.")
        .arg(badNumbers.join(QStringLiteral(", ")));
}

QString UnknownUserSwitchMessage(const QString& userCode) {
    return QStringLiteral("User Code Not Found !\r\nThe user code \"%1\" of the command line is "
                          "not defined.\r\nPlease log in.")
        .arg(userCode);
}
