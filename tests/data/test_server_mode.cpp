// An alias pointing at a Firebird server (host/port:path) instead of a local file: the same
// layer connects through the network provider. The server is the tests' own (a CTest fixture).
#include "core/app_error.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/query.h"
#include "data/table.h"
#include "tests/support/test_context.h"

#include <QFile>
#include <QtTest>

class TestServerMode : public QObject {
    Q_OBJECT
private slots:
    void aliasThroughServerCreatesOpensAndEdits();
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

QTEST_GUILESS_MAIN(TestServerMode)
#include "test_server_mode.moc"
