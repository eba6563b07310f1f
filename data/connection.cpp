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
    if (!db.open())
        throw DbError(EngineErrorText(db.lastError()));
}

void DbConnection::close() {
    if (QSqlDatabase::contains(qtName_)) {
        QSqlDatabase db = QSqlDatabase::database(qtName_, false);
        if (db.isOpen())
            db.close();
    }
}

QSqlDatabase DbConnection::database() {
    open();
    return QSqlDatabase::database(qtName_, false);
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

Transaction::Transaction(DbConnection& connection) : connection_(connection) {
    QSqlDatabase db = connection_.database();
    if (!db.transaction())
        throw DbError(EngineErrorText(db.lastError()));
    open_ = true;
}

Transaction::~Transaction() {
    if (open_)
        connection_.database().rollback();
}

void Transaction::commit() {
    QSqlDatabase db = connection_.database();
    if (!db.commit())
        throw DbError(EngineErrorText(db.lastError()));
    open_ = false;
}
