#pragma once

#include <QString>

// Where an alias leads: the alias file Databases.ini in the program folder has one section per
// alias ([ZantStk]) with PATH (a database file, relative to the program folder or absolute, or
// host:path / host/port:path of a Firebird server), USER, PASSWORD and CHARSET, and for the
// handles that use the administrator account ADMIN_USER and ADMIN_PASSWORD.
struct AliasTarget {
    QString alias;
    QString database; // what the engine is given: an absolute file path or host[/port]:path
    QString user;
    QString password;
    QString adminUser;
    QString adminPassword;
    QString charset; // the character set a new database of this alias is created with
    bool remote = false;
};

// The alias file in the program folder, found whatever the case of its name.
QString AliasFilePath();

// Reads the alias from the alias file; a missing alias raises a DbError naming it.
AliasTarget ResolveAlias(const QString& alias);

// True when PATH names a server (host:path or host/port:path) rather than a local file.
bool IsServerPath(const QString& path);
