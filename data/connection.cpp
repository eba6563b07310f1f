#include "data/connection.h"

#include "data/alias_file.h"
#include "data/db_error.h"
#include "data/engine_environment.h"

#include <QAtomicInt>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>

namespace {
QAtomicInt connectionSerial;
}

QString EngineErrorText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

QString ConnectionErrorText(const AliasTarget& target, bool administrator, bool throughAlias,
                            const QString& engineText) {
    // The engine's own text says what went wrong but not where: with five aliases, two accounts
    // and possibly a server, the reader needs to know which of them was tried. Never the password.
    const QString account = administrator ? target.adminUser : target.user;
    const QString where =
        throughAlias
            ? QStringLiteral("Cannot connect to database alias %1 as %2 (its %3) at %4:")
                  .arg(target.alias, account,
                       administrator ? QStringLiteral("ADMIN_USER") : QStringLiteral("USER"),
                       target.database)
            : QStringLiteral("Cannot connect to the database %1 as %2:")
                  .arg(target.database, account);
    return where + QLatin1Char('\n') + engineText;
}

DbConnection::DbConnection(QString handleName, QString alias, bool administrator)
    : handleName_(std::move(handleName)), alias_(std::move(alias)), administrator_(administrator) {
    // Qt needs a process-wide unique name; several modules may hold a handle of the same name.
    qtName_ =
        handleName_ + QLatin1Char('#') + QString::number(connectionSerial.fetchAndAddOrdered(1));
}

DbConnection::DbConnection(QString handleName, const AliasTarget& target)
    : DbConnection(std::move(handleName), target.alias, false) {
    target_ = target;
}

DbConnection::~DbConnection() {
    close();
    if (QSqlDatabase::contains(qtName_))
        QSqlDatabase::removeDatabase(qtName_);
}

bool DbConnection::isOpen() const {
    return QSqlDatabase::contains(qtName_) && QSqlDatabase::database(qtName_, false).isOpen();
}

void DbConnection::open() {
    if (isOpen())
        return;
    PrepareDatabaseEngine();
    const AliasTarget target = target_ ? *target_ : ResolveAlias(alias_);
    QSqlDatabase db = QSqlDatabase::contains(qtName_)
                          ? QSqlDatabase::database(qtName_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), qtName_);
    if (!db.isValid())
        throw DbError(QStringLiteral("The Firebird driver (QIBASE) of Qt is not installed."));
    db.setDatabaseName(target.database);
    db.setUserName(administrator_ ? target.adminUser : target.user);
    db.setPassword(administrator_ ? target.adminPassword : target.password);
    if (!db.open()) {
        const QString engineText = EngineErrorText(db.lastError());
        throw ConnectionError(ConnectionErrorText(target, administrator_, !target_, engineText),
                              engineText);
    }
}

void DbConnection::close() {
    transaction_ = TransactionState::None; // closing ends (rolls back) an open transaction
    if (QSqlDatabase::contains(qtName_)) {
        QSqlDatabase db = QSqlDatabase::database(qtName_, false);
        if (db.isOpen())
            db.close();
    }
}

QSqlDatabase DbConnection::handle() const {
    return QSqlDatabase::database(qtName_, false);
}

QSqlDatabase DbConnection::database() {
    open();
    // Every statement reaches the database through here: a transaction waiting for its first
    // statement begins now.
    if (transaction_ == TransactionState::Waiting)
        beginTransaction();
    return handle();
}

void DbConnection::beginTransaction() {
    open();
    QSqlDatabase db = handle();
    if (!db.transaction())
        throw DbError(EngineErrorText(db.lastError()));
    transaction_ = TransactionState::Open;
}

void DbConnection::endTransaction(bool commit) {
    const TransactionState state = transaction_;
    transaction_ = TransactionState::None;
    if (state != TransactionState::Open)
        return; // never began: nothing ran, nothing to end
    QSqlDatabase db = handle();
    if (commit) {
        if (!db.commit()) {
            const QString text = EngineErrorText(db.lastError());
            db.rollback();
            throw DbError(text);
        }
    } else {
        db.rollback();
    }
}

int DbConnection::execute(const QString& sql) {
    QSqlQuery query(database());
    if (!query.exec(sql))
        throw DbError(EngineErrorText(query.lastError()));
    // Only data statements have a row count; asking it of DDL makes the driver complain.
    static const QRegularExpression blank(QStringLiteral("\\s"));
    const QString verb = sql.trimmed().section(blank, 0, 0).toUpper();
    if (verb == QLatin1String("INSERT") || verb == QLatin1String("UPDATE") ||
        verb == QLatin1String("DELETE") || verb == QLatin1String("MERGE"))
        return query.numRowsAffected();
    return 0;
}

Transaction::Transaction(DbConnection& connection, Begin begin) : connection_(connection) {
    if (connection_.inTransaction()) {
        joined_ = true;
        return;
    }
    if (begin == Begin::Now)
        connection_.beginTransaction();
    else
        connection_.transaction_ = DbConnection::TransactionState::Waiting;
}

Transaction::~Transaction() {
    if (done_)
        return;
    // Left without commit (an error on the way): the whole transaction is undone, also the
    // outer one this scope joined. A failing rollback has nothing left to report.
    try {
        connection_.endTransaction(false);
    } catch (...) {
    }
}

void Transaction::commit() {
    if (done_)
        return;
    done_ = true;
    if (joined_)
        return; // the outer transaction commits
    // A scope that joined this one and failed has rolled everything back already.
    if (!connection_.inTransaction())
        throw DbError(QStringLiteral("The transaction was rolled back by an error inside it."));
    connection_.endTransaction(true);
}
