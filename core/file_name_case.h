#pragma once

#include <QString>

// Windows finds a file whatever the case of its name: LEDVORA.INI, ledvora.ini and Ledvora.ini are
// one file there. A copy taken from a Windows installation keeps the case it had, so the program
// looks its files up the same way on every system.
//
// The path of the existing file or folder whose name matches the last part of `path` ignoring
// case: `path` itself when it exists; otherwise the first match in the order of the names' code
// points; `path` unchanged when nothing matches (so a file made there gets the name as written).
QString FindFileIgnoringCase(const QString& path);
