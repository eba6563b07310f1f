#include "tests/support/private_server.h"

#include "data/alias_file.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/sql_quote.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {

QString readLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
}

} // namespace

PrivateServer::PrivateServer()
    : folder_(qEnvironmentVariable("ZANTRO_TEST_SERVER_DIR")),
      port_(folder_.isEmpty() ? QString() : readLine(folder_ + QStringLiteral("/port"))),
      password_(folder_.isEmpty() ? QString() : readLine(folder_ + QStringLiteral("/password"))) {}

QString PrivateServer::databasePath(const QString& relativePath) const {
    return QStringLiteral("localhost/%1:%2").arg(port_, localPath(relativePath));
}

QString PrivateServer::localPath(const QString& relativePath) const {
    return QDir::cleanPath(folder_ + QStringLiteral("/db/") + relativePath);
}

void PrivateServer::setLogin(const QString& user, const QString& password) const {
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z][A-Za-z0-9_]*$"));
    if (!identifier.match(user).hasMatch())
        qFatal("not a login name: %s", qPrintable(user));
    // Logins live in the server's security database; any database of the server serves to
    // reach it.
    const QString logins = QStringLiteral("logins.fdb");
    if (!QFile::exists(localPath(logins)))
        CreateDatabaseFile(databasePath(logins), QStringLiteral("SYSDBA"), password_);
    AliasTarget target;
    target.alias = QStringLiteral("PrivateServer");
    target.database = databasePath(logins);
    target.user = QStringLiteral("SYSDBA");
    target.password = password_;
    target.remote = true;
    DbConnection connection(QStringLiteral("PrivateServerLogins"), target);
    connection.execute(QStringLiteral("CREATE OR ALTER USER %1 PASSWORD %2 USING PLUGIN Srp")
                           .arg(user, QuotedStr(password)));
}
