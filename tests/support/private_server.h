#pragma once

#include <QString>

// The tests' own Firebird server (tests/data/private_firebird_server.sh, started by CTest as the
// fixture firebird_server for the tests that ask for it): its folder, loopback port and SYSDBA
// password, and the logins and databases a test makes on it.
class PrivateServer {
public:
    // Reads the server's folder from ZANTRO_TEST_SERVER_DIR.
    PrivateServer();

    // False when the fixture did not start the server (the test should fail saying so).
    bool running() const { return !port_.isEmpty(); }
    const QString& port() const { return port_; }
    const QString& sysdbaPassword() const { return password_; }

    // The server's view of a database file under its database folder, as an alias names it:
    // localhost/PORT:FOLDER/db/relativePath.
    QString databasePath(const QString& relativePath) const;
    // The same file as this machine sees it (the server runs here).
    QString localPath(const QString& relativePath) const;

    // Creates the login, or gives it this password when it exists (as SYSDBA).
    void setLogin(const QString& user, const QString& password) const;

private:
    QString folder_;
    QString port_;
    QString password_;
};
