#pragma once

#include "core/app_error.h"

#include <QString>
#include <QStringList>

// The files of a demo installation in its folder (the program folder of the installation).

// The folder already holds an installation and --force was not given.
class InstallationExistsError : public AppError {
public:
    using AppError::AppError;
};

// The five aliases, in the order the databases are made.
QStringList DemoAliases();

// The database file of an alias, relative to the installation folder: Data/<alias>.fdb.
QString DemoDatabasePath(const QString& alias);

// The suite account of the demo's databases.
inline constexpr char kDemoDatabaseUser[] = "ZANTRO";
inline constexpr char kDemoDatabasePassword[] = "ZANTROPOS";

// True when the folder holds an alias file or one of the demo's database files.
bool HoldsInstallation(const QString& folder);

// Deletes what an earlier run wrote: the three settings files and the five database files
// under Data/. Other files of the folder (logs, the accounting link folder) stay.
void RemoveDemoInstallation(const QString& folder);

// Databases.ini: one section per alias with PATH, USER, PASSWORD, CHARSET, ADMIN_USER and
// ADMIN_PASSWORD.
void WriteDemoAliasFile(const QString& folder);

// Register.ini: [DATABASE], [STORE] with the default store, [REPORT] with the activity log on.
void WriteDemoRegisterIni(const QString& folder, const QString& defaultStore);

// Ledvora.ini: account type SQLACC, the accounting link folder and the package's section.
void WriteDemoSettingsFile(const QString& folder);

// Makes the stand-in accounting package under <folder>/Package: its data collection file and its
// database, with the codes the demo's postings name (the accounts, payment method, terms, area,
// agent, currency and project of Ledvora.ini, and the tax codes of the demo's items).
void CreateDemoPackage(const QString& folder);
