#pragma once

#include "data/alias_file.h"

#include <QSqlDatabase>
#include <QString>
#include <optional>

// A named database handle bound to an alias (ZaLedvoraStk on ZantStk, ...). It connects without a
// login prompt with the credentials of the alias file, either when its data module opens it or
// when a dataset on it first needs it. Every statement commits on its own unless a Transaction
// is open on the handle.
class DbConnection {
public:
    DbConnection(QString handleName, QString alias, bool administrator = false);
    // A handle on a database named directly rather than through the alias file (the accounting
    // package's own database, for instance).
    DbConnection(QString handleName, const AliasTarget& target);
    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    const QString& handleName() const { return handleName_; }
    const QString& alias() const { return alias_; }

    // Connects if not yet connected; raises DbError with the engine's text on failure.
    void open();
    bool isOpen() const;
    void close();

    // The connected database (connecting first when needed).
    QSqlDatabase database();

    // Runs one statement that returns no rows and gives the number of rows it changed.
    int execute(const QString& sql);

private:
    QString handleName_;
    QString alias_;
    QString qtName_;
    bool administrator_;
    std::optional<AliasTarget> target_;
};

// Groups statements on one handle into one commit: everything or nothing. Rolls back when left
// without commit().
class Transaction {
public:
    explicit Transaction(DbConnection& connection);
    ~Transaction();
    void commit();

private:
    DbConnection& connection_;
    bool open_ = false;
};

// The text the engine gave for an error of the Qt SQL layer.
QString EngineErrorText(const class QSqlError& error);
