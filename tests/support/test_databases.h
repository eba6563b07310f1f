#pragma once

#include <QString>
#include <QStringList>

class PrivateServer;

// Real embedded databases for tests, in the test's program folder.
namespace TestDatabases {

// The suite account the test installations use.
inline const char* kUser = "ZANTRO";
inline const char* kPassword = "ZANTROPOS";

// The five aliases of an installation and their file names.
QStringList Aliases();

// Writes Databases.ini in `folder` with the five aliases pointing at files in that folder.
void WriteAliasFile(const QString& folder);

// Writes the alias file and puts the five databases with the back-office schema and the link's
// own tables (all empty) into `folder`. The schema is built once per test process and copied.
void CreateInstallation(const QString& folder);

// Writes the alias file and one empty database for `alias` (no tables).
void CreateEmptyDatabase(const QString& folder, const QString& alias);

// The same five databases on the tests' own Firebird server, under serverFolder of its database
// folder, and the alias file in `folder` leading to them: USER and PASSWORD the suite account
// (made a login of the server), ADMIN_USER SYSDBA with the server's password.
void CreateServerInstallation(const QString& folder, const PrivateServer& server,
                              const QString& serverFolder);

} // namespace TestDatabases
