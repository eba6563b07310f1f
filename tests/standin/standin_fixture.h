#pragma once

#include "data/alias_file.h"
#include "tests/support/test_context.h"

#include <QString>

// A program folder with an empty stand-in package: Package/DEFAULT.DCF (user ADMIN, password
// ADMIN) and Package/ACC-0001.FDB, and a Ledvora.ini that names them.
struct StandinInstallation {
    explicit StandinInstallation(TestContext& context);

    QString dcf;
    AliasTarget database;
};
