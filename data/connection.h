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

    // True while a Transaction is open on the handle or waits for its first statement.
    bool inTransaction() const { return transaction_ != TransactionState::None; }

private:
    friend class Transaction;
    enum class TransactionState { None, Waiting, Open };

    // The Qt handle without connecting or beginning anything.
    QSqlDatabase handle() const;
    void beginTransaction();
    void endTransaction(bool commit);

    TransactionState transaction_ = TransactionState::None;
    QString handleName_;
    QString alias_;
    QString qtName_;
    bool administrator_;
    std::optional<AliasTarget> target_;
};

// Groups statements on one handle into one commit: everything or nothing. Rolls back when left
// without commit().
//
// A transaction that begins AtFirstStatement waits for the first statement on its handle, so a
// scope that may run none (a document with nothing to post) costs the engine no commit.
//
// A Transaction opened while another is open (or waiting) on the same handle joins it: its
// statements commit with the outer one, its commit() leaves the commit to the outer one, and
// leaving it without commit() rolls the whole transaction back at once.
class Transaction {
public:
    enum class Begin { Now, AtFirstStatement };
    explicit Transaction(DbConnection& connection, Begin begin = Begin::Now);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

private:
    DbConnection& connection_;
    bool joined_ = false;
    bool done_ = false;
};

// The text the engine gave for an error of the Qt SQL layer.
QString EngineErrorText(const class QSqlError& error);

// What a failed connection reports: the alias (when the handle goes through the alias file), the
// account and the database it tried (never the password), then the engine's own text on a line
// of its own.
QString ConnectionErrorText(const AliasTarget& target, bool administrator, bool throughAlias,
                            const QString& engineText);
