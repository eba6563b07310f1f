#pragma once

#include <QDateTime>
#include <QStringList>

class DbConnection;

// The demo's stores S001 to S004, and the default store of its Register.ini.
QStringList DemoStores();
inline constexpr char kDemoDefaultStore[] = "S001";

// Writes the regions, store types and stores (ZantSys).
void WriteDemoStores(DbConnection& systemDb);

// Writes the stations and their jobs (ZantStk): S001 and S002 offer every kind of document for
// manual export (S001 "M" with supplier and customer jobs, S002 "MS"), S003's jobs are all
// "N" (its documents are never offered) and S004 has no station. `now` dates the last exports.
void WriteDemoStations(DbConnection& stockDb, const QDateTime& now);
