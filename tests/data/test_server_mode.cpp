// An alias pointing at a Firebird server (host/port:path) instead of a local file: the same
// layer connects through the network provider. The server is the tests' own (a CTest fixture).
#include "core/app_error.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/db_error.h"
#include "data/query.h"
#include "data/table.h"
#include "tests/support/private_server.h"
#include "tests/support/test_context.h"

#include <QFile>
#include <QtTest>

class TestServerMode : public QObject {
    Q_OBJECT
private slots:
    void aliasThroughServerCreatesOpensAndEdits();
    void refusedConnectionNamesAliasAccountAndDatabase_data();
    void refusedConnectionNamesAliasAccountAndDatabase();
};

static QString readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll()).trimmed();
}

void TestServerMode::aliasThroughServerCreatesOpensAndEdits() {
    const QString serverDir = qEnvironmentVariable("ZANTRO_TEST_SERVER_DIR");
    const QString port = readFile(serverDir + QStringLiteral("/port"));
    const QString password = readFile(serverDir + QStringLiteral("/password"));
    QVERIFY2(!port.isEmpty(), "the private server fixture did not start");

    TestContext context;
    const QString database = QStringLiteral("localhost/%1:%2/db/server.fdb").arg(port, serverDir);
    QFile alias(context.path(QStringLiteral("Databases.ini")));
    QVERIFY(alias.open(QIODevice::WriteOnly));
    alias.write(QStringLiteral("[ZantStk]\r\nPATH=%1\r\nUSER=SYSDBA\r\nPASSWORD=%2\r\n")
                    .arg(database, password)
                    .toUtf8());
    alias.close();

    CreateAliasDatabase(QStringLiteral("ZantStk"));
    DbConnection db(QStringLiteral("ZaLedvoraStk"), QStringLiteral("ZantStk"));
    db.execute(QStringLiteral(
        "CREATE TABLE ACC_STATION (P_STORE CHAR(4) NOT NULL PRIMARY KEY, P_ACTIVE CHAR(1))"));
    Table station(&db, QStringLiteral("ACC_STATION"));
    station.open();
    station.insert();
    station.setValue(QStringLiteral("P_STORE"), QStringLiteral("S001"));
    station.setValue(QStringLiteral("P_ACTIVE"), QStringLiteral("T"));
    station.post();
    QCOMPARE(
        SelectValue(db, QStringLiteral("SELECT P_ACTIVE FROM ACC_STATION WHERE P_STORE = 'S001'"))
            .toString(),
        QStringLiteral("T"));
    QVERIFY(QFile::exists(serverDir + QStringLiteral("/db/server.fdb")));

    // A wrong password is the server's refusal, reported with its own text.
    alias.open(QIODevice::WriteOnly);
    alias.write(QStringLiteral("[ZantStk]\r\nPATH=%1\r\nUSER=SYSDBA\r\nPASSWORD=wrong\r\n")
                    .arg(database)
                    .toUtf8());
    alias.close();
    DbConnection refused(QStringLiteral("ZaLedvoraStk"), QStringLiteral("ZantStk"));
    try {
        refused.open();
        QFAIL("a wrong password must be refused");
    } catch (const AppError& error) {
        QVERIFY2(error.message().contains(QStringLiteral("password"), Qt::CaseInsensitive),
                 qPrintable(error.message()));
    }
}

void TestServerMode::refusedConnectionNamesAliasAccountAndDatabase_data() {
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("path"); // {server} and {port} are the private server's
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("administrator");
    QTest::addColumn<QString>("engineSays");
    const QString notDefined = QStringLiteral("Your user name and password are not defined");
    QTest::newRow("no login for USER on the server") << "ZantStk"
                                                     << "localhost/{port}:{server}/db/server.fdb"
                                                     << "NOBODY"
                                                     << "Nobody#1" << false << notDefined;
    QTest::newRow("wrong ADMIN_PASSWORD") << "ZantHis"
                                          << "localhost/{port}:{server}/db/server.fdb"
                                          << "SYSDBA"
                                          << "masterkey" << true << notDefined;
    QTest::newRow("wrong port") << "ARDB"
                                << "localhost/1:{server}/db/server.fdb"
                                << "ZANTRO"
                                << "ZantroPw9" << false
                                << "Unable to complete network request to host";
    QTest::newRow("no such file on the server")
        << "ZantApp"
        << "localhost/{port}:{server}/db/none.fdb"
        << "SYSDBA"
        << "{sysdba}" << false << "No such file or directory";
    QTest::newRow("no such local file") << "ZantSys"
                                        << "missing.fdb"
                                        << "ZANTRO"
                                        << "ZantroPw9" << false << "No such file or directory";
}

void TestServerMode::refusedConnectionNamesAliasAccountAndDatabase() {
    QFETCH(QString, alias);
    QFETCH(QString, path);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, administrator);
    QFETCH(QString, engineSays);
    const PrivateServer server;
    QVERIFY2(server.running(), "the private server fixture did not start");
    const QString serverDir = qEnvironmentVariable("ZANTRO_TEST_SERVER_DIR");
    path.replace(QStringLiteral("{port}"), server.port())
        .replace(QStringLiteral("{server}"), serverDir);
    password.replace(QStringLiteral("{sysdba}"), server.sysdbaPassword());

    TestContext context;
    QFile aliasFile(context.path(QStringLiteral("Databases.ini")));
    QVERIFY(aliasFile.open(QIODevice::WriteOnly));
    const QString account = administrator ? QStringLiteral("ADMIN_") : QString();
    aliasFile.write(QStringLiteral("[%1]\r\nPATH=%2\r\n%3USER=%4\r\n%3PASSWORD=%5\r\n")
                        .arg(alias, path, account, user, password)
                        .toUtf8());
    aliasFile.close();
    const QString database =
        path.contains(QLatin1Char(':')) ? path : context.path(path); // as the engine was given it

    DbConnection connection(QStringLiteral("Refused"), alias, administrator);
    try {
        connection.open();
        QFAIL("the connection must be refused");
    } catch (const ConnectionError& error) {
        const QString message = error.message();
        QVERIFY2(error.engineText().contains(engineSays), qPrintable(message));
        // The engine's text is kept whole, after what was tried.
        QCOMPARE(message,
                 QStringLiteral("Cannot connect to database alias %1 as %2 (its %3) at %4:\n%5")
                     .arg(alias, user,
                          administrator ? QStringLiteral("ADMIN_USER") : QStringLiteral("USER"),
                          database, error.engineText()));
        QVERIFY2(!message.contains(password), qPrintable(message));
    }
}

QTEST_GUILESS_MAIN(TestServerMode)
#include "test_server_mode.moc"
