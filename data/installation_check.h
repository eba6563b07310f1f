#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What an administrator needs to know of one database account the link connects with, before
// any user logs in: where the alias file leads, whether the engine lets the account in, which
// database file it then has open, and whether the tables the link reads and its own tables are
// there, readable and, where the link writes, writable to that account.
struct AliasCheck {
    QString alias;
    bool administrator = false; // the alias's ADMIN_USER rather than its USER
    QString user;               // the account tried (never its password)
    QString database;           // what the engine was given: a file, or host/port:path
    bool remote = false;        // database names a server

    bool connected = false;
    QString error; // why it did not connect (the engine's text), why it was not tried, or what
                   // failed after connecting
    QString databaseFile; // the file the engine has open, as the engine names it
    QString connectedAs;  // the database user the engine took the account for
    QString engineVersion;

    QStringList missingLinkTables; // the link's own tables the database lacks
    QStringList missingTables;     // back-office tables the link reads that the database lacks
    QStringList unreadableTables;  // back-office tables present, but the account may not read them
    QStringList unreadableLinkTables; // the same of the link's own tables
    // What the link writes that the account may not: "POS_SALES (SALES_EXPORT_ACCT)" for the
    // back-office columns it sets, the table's name for its own tables.
    QStringList unwritable;
    int linkTableCount = 0;       // how many of the link's own tables belong in this database
    int backOfficeTableCount = 0; // how many back-office tables the link reads in it

    bool ok() const {
        return connected && error.isEmpty() && missingLinkTables.isEmpty() &&
               missingTables.isEmpty() && unreadableTables.isEmpty() &&
               unreadableLinkTables.isEmpty();
    }
};

// Checks every account the link connects with, in the order ZantSys, ZantStk, ZantApp, ZantHis
// (its administrator account, the only one the link uses there) and ARDB, through the alias file
// of the program folder. Creates nothing and changes nothing; an alias that is missing or does
// not connect is reported in its entry, not raised.
QList<AliasCheck> CheckInstallationAliases();

// The same for one alias and account.
AliasCheck CheckAlias(const QString& alias, bool administrator);
