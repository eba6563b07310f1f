#pragma once

#include "data/alias_file.h"
#include "tests/support/test_context.h"

#include <QString>
#include <QStringList>

// A program folder with an empty stand-in package: Package/DEFAULT.DCF (user ADMIN, password
// ADMIN, the newest build) and Package/ACC-0001.FDB, and a Ledvora.ini that names them. The
// package holds the codes the posting fixture's documents name: the accounts, payment method,
// terms and "none" codes of Ledvora.ini's defaults, and the tax codes SR (6%), ZR and TX (6%).
struct StandinInstallation {
    explicit StandinInstallation(TestContext& context);

    // The package reports this build from its next login on.
    void setBuild(const QString& build) const;
    // Stock items the package holds with their unit (UNIT), as if their master were exported.
    void addItems(const QStringList& codes) const;

    QString dcf;
    AliasTarget database;
};
