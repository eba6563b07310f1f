#pragma once

#include "data/alias_file.h"

#include <QString>

// The data collection file (DCF) of the stand-in package: a small INI text file naming the
// folder of the package's databases and the package users (see standin/README.md):
//   [PACKAGE]
//   DATABASE_FOLDER=<folder; relative paths start at the DCF's own folder; host/port:/folder
//                    names a folder on a Firebird server>
//   DATABASE_USER=SYSDBA          (engine account, optional)
//   DATABASE_PASSWORD=masterkey   (optional)
//   [USERS]
//   ADMIN=ADMIN                   (user=password)
struct PackageDcf {
    QString path;
    QString databaseFolder; // absolute, or host[/port]:folder on a server
    QString databaseUser;
    QString databasePassword;
};

// Reads the DCF; throws AutomationError when the file does not exist.
PackageDcf ReadPackageDcf(const QString& dcfPath);

// True when the DCF lists the user (any letter case) with exactly this password.
bool PackageUserAccepted(const PackageDcf& dcf, const QString& user, const QString& password);

// The engine's view of a package database file in the DCF's folder; a file named on a server
// (host/port:path) is taken as it is.
AliasTarget PackageDatabaseTarget(const PackageDcf& dcf, const QString& databaseFile);

// Writes the DCF (folder and one user) and creates the empty package database databaseFile in
// folder, making the folders that are missing. Throws AppError (DbError for the engine) when a
// file cannot be written or the database exists already.
void CreatePackageDatabase(const QString& dcfPath, const QString& folder,
                           const QString& databaseFile, const QString& user,
                           const QString& password);
