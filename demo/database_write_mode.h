#pragma once

#include <QString>

// Switches the engine's forced writes of an alias's database on or off. With forced writes the
// engine waits for the disk at every page it writes; the demo loads its documents without them
// (many times faster) and switches them back on before it hands the installation over, so the
// program works on databases as safe as a real back office's. Raises DbError with the engine's
// text when the database cannot be attached.
void SetForcedWrites(const QString& alias, bool on);
