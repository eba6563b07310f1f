#pragma once

#include "data/alias_file.h"

class DbConnection;

#include <QString>

// The data collection file (DCF) of the stand-in package: a small INI text file naming the
// folder of the package's databases and the package users (see standin/README.md):
//   [PACKAGE]
//   DATABASE_FOLDER=<folder; relative paths start at the DCF's own folder; host/port:/folder
//                    names a folder on a Firebird server>
//   DATABASE_USER=SYSDBA          (engine account, optional)
//   DATABASE_PASSWORD=masterkey   (optional)
//   BUILD=5.2024.1007.860         (the build the package reports as BuildNo; optional)
//   COMPANY_NAME=...              (the company its profile names; optional)
//   [USERS]
//   ADMIN=ADMIN                   (user=password)
struct PackageDcf {
    QString path;
    QString databaseFolder; // absolute, or host[/port]:folder on a server
    QString databaseUser;
    QString databasePassword;
    QString build;       // the newest build the stand-in knows when not given
    QString companyName; // empty when not given
};

// The build a package reports when its DCF names none: the first that takes Boolean fields.
inline constexpr char DefaultPackageBuild[] = "5.2024.1007.860";
// The last build before it, for trying the older forms ("T"/"F", 1/0).
inline constexpr char PackageBuildBeforeBooleans[] = "5.2024.1001.859";

// Reads the DCF; throws AutomationError when the file does not exist.
PackageDcf ReadPackageDcf(const QString& dcfPath);

// True when the DCF lists the user (any letter case) with exactly this password.
bool PackageUserAccepted(const PackageDcf& dcf, const QString& user, const QString& password);

// The engine's view of a package database file in the DCF's folder; a file named on a server
// (host/port:path) is taken as it is.
AliasTarget PackageDatabaseTarget(const PackageDcf& dcf, const QString& databaseFile);

// Writes the DCF (folder, one user, the build and the company name) and creates the empty
// package database databaseFile in folder, making the folders that are missing. Throws AppError
// (DbError for the engine) when a file cannot be written or the database exists already.
void CreatePackageDatabase(const QString& dcfPath, const QString& folder,
                           const QString& databaseFile, const QString& user,
                           const QString& password,
                           const QString& companyName = QStringLiteral("ZANTRO DEMO SDN BHD"),
                           const QString& build = QLatin1String(DefaultPackageBuild));

// Sets a value of section [PACKAGE] of the DCF (BUILD, COMPANY_NAME, ...).
void SetPackageDcfValue(const QString& dcfPath, const QString& key, const QString& value);

// Brings a package database made by an earlier stand-in up to the present one: the tables, columns
// and keys it lacks, and the "none" codes ("----") of areas, agents, currencies and projects.
void EnsurePackageSchema(DbConnection& database);
