#pragma once

#include <QString>

class DbConnection;

// The demo login: a user whose group holds the accounting link's right and who may log in at
// any hour.
inline constexpr char kDemoLoginCode[] = "ADMIN";
inline constexpr char kDemoLoginPassword[] = "ADMIN1";

// Writes the user groups with their rights (ZantSys) and the users (ZantApp): ADMIN, who may log
// in; CLERK, inactive; NIGHT, whose hours are 02:00 to 03:00; GUEST, whose group lacks the right.
void WriteDemoUsers(DbConnection& systemDb, DbConnection& applicationDb);
