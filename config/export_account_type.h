#pragma once

#include <QString>

class SettingsFile;

// Only SQL Accounting takes exports: the type code must be exactly SQLACC (a lower-case code is
// no type), as the export window's category tree requires.
bool AccountTypeCanExport(const QString& accountType);

// Empty when the settings' account type can export. Otherwise why `action` (for example
// "search") is refused: the type found (or that none is set) and the type needed, with the key
// and the settings file that hold it.
QString ExportAccountTypeRefusal(const SettingsFile& settings, const QString& action);
