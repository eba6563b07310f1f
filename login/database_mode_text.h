#pragma once

#include <QString>

// What the login dialog's database box says for Register.ini's [DATABASE] DEFAULT_SERVER (mode)
// and DATABASE_SERVER (server), e.g. "[ Local Server ]  C-Mode GDB". Both compared exactly.
QString DatabaseModeText(const QString& databaseMode, const QString& databaseServer);
