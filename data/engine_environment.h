#pragma once

#include <QString>

// Prepares the embedded Firebird engine before the first connection of the process.
//
// The engine's default mode locks a database file to one process, so the window, the batch
// command and a second workstation could not open the same file at once. Unless the FIREBIRD
// variable already names a root folder, this makes one of our own (firebird.conf with
// ServerMode = SuperClassic, links to the engine's plugins and messages, a copy of the character
// set library) and points FIREBIRD at it; FIREBIRD_LOCK gets one shared lock folder, which every
// process that opens the same file must use. Safe to call more than once.
void PrepareDatabaseEngine();

// The root folder and lock folder in use after PrepareDatabaseEngine().
QString DatabaseEngineRoot();
QString DatabaseEngineLockFolder();
