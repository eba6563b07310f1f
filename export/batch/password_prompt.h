#pragma once

#include <QString>

// The password of the batch login: the environment variable ZANTRO_PASSWORD when it is set (an
// empty value included), else asked for on the terminal without echo. Raises UsageError when
// the variable is not set and there is no terminal to ask on.
QString BatchPassword();

// Puts the terminal's echo back if the program is stopped while the password is being asked for.
void RestoreTerminal();
