#pragma once

#include <QByteArray>
#include <QString>

// A small installation for the main window in `folder`: the five databases with the schema,
// Register.ini naming store S001, four stores and stations (S003 has no store), jobs for S001
// and S002, and the users ADMIN (password SECRET, group ADM with the program's right) and GUEST
// (group GST without it). Dates are relative to 5 March 2024 10:15:02, the test clock.
namespace AppInstallation {

inline const QByteArray DefaultRegisterIni =
    "[DATABASE]\r\nDEFAULT_SERVER=C\r\nDATABASE_SERVER=LOCAL\r\n[STORE]\r\nDEFAULT_STORE=S001\r\n";

void Create(const QString& folder, const QByteArray& registerIni = DefaultRegisterIni);
void WriteFile(const QString& path, const QByteArray& bytes);
QByteArray ReadFile(const QString& path);

} // namespace AppInstallation
