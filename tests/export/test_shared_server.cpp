// Two workstations on one Firebird server, as the README sets them up: two installation folders
// whose aliases and package lead to the tests' own server, each with its own workstation name.
// zantro-batch runs as separate processes on either.
#include "config/settings_file.h"
#include "core/profile_file.h"
#include "data/alias_file.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "standin/package_dump.h"
#include "standin/package_setup.h"
#include "tests/export/export_fixture.h"
#include "tests/support/private_server.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using namespace ExportFixture;

namespace {

struct Run {
    int exitCode = -1;
    QString out;
    QString err;
};

// Where an alias of another installation's alias file leads.
AliasTarget ResolveAliasIn(const QString& folder, const QString& alias) {
    const QString saved = AppContext::instance().programFolder();
    AppContext::instance().setProgramFolder(folder);
    const AliasTarget target = ResolveAlias(alias);
    AppContext::instance().setProgramFolder(saved);
    return target;
}

void copyFile(const QString& from, const QString& to) {
    QFile::remove(to);
    QVERIFY2(QFile::copy(from, to), qPrintable(from));
}

} // namespace

class TestSharedServer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void bothWorkstationsCheckOut();
    void checkNamesWhatIsWrong_data();
    void checkNamesWhatIsWrong();
    void postingFromEitherLandsInOnePackageAndTheOtherIsWarned();

private:
    Run batch(const QString& installation, const QStringList& arguments);
    QString till1() const { return context->folder(); }
    QString till2() const { return other.path(); }

    PrivateServer server;
    QString serverFolder; // under the server's database folder
    std::unique_ptr<TestContext> context;
    QTemporaryDir other;
    QTemporaryDir broken; // a third copy whose alias file each case spoils
};

void TestSharedServer::initTestCase() {
    QVERIFY2(server.running(), "the private server fixture did not start");
    context = std::make_unique<TestContext>();
    serverFolder = QStringLiteral("shared-%1").arg(QCoreApplication::applicationPid());
    TestDatabases::CreateServerInstallation(till1(), server, serverFolder);

    // The package's database on the server too, reached by the server's SYSDBA.
    const QString dcf = context->path("Package/DEFAULT.DCF");
    QVERIFY(QDir().mkpath(context->path("Package")));
    ProfileFile(dcf).writeString("PACKAGE", "DATABASE_USER", "SYSDBA");
    ProfileFile(dcf).writeString("PACKAGE", "DATABASE_PASSWORD", server.sysdbaPassword());
    CreatePackageDatabase(dcf, server.databasePath(serverFolder), "ACC-0001.FDB", "ADMIN", "ADMIN");
    QVERIFY(QFile::exists(server.localPath(serverFolder + "/ACC-0001.FDB")));
    AddTestPackageCodes(dcf, till1() + "/Defaults.ini");

    for (const QString& folder : {till1(), till2()}) {
        QVERIFY(QDir().mkpath(folder + "/Package"));
        SettingsFile settings(folder + "/Ledvora.ini");
        settings.writeString("GENERAL", "ACCOUNT_TYPE", "SQLACC");
        settings.writeString("GENERAL", "GSTSTARTDATE", "2024/03/10");
        settings.writeString("SQLACC", "DCF", folder + "/Package/DEFAULT.DCF");
    }
    // What the second workstation copies from the first: the alias file and the package's
    // data collection file; its Ledvora.ini names its own folder.
    copyFile(till1() + "/Databases.ini", till2() + "/Databases.ini");
    copyFile(dcf, till2() + "/Package/DEFAULT.DCF");
    ProfileFile(till1() + "/Register.ini").writeString("STORE", "WORKSTATION", "TILL-1");
    ProfileFile(till2() + "/Register.ini").writeString("STORE", "WORKSTATION", "TILL-2");

    TdmPolling data(TdmPolling::OpenMode::ConnectionsOnly);
    AddBatchExportData(data);
}

void TestSharedServer::cleanupTestCase() {
    context.reset();
    // The server's folder goes with the fixture's own cleanup.
}

Run TestSharedServer::batch(const QString& installation, const QStringList& arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ZANTRO_HOME", installation);
    environment.insert("ZANTRO_PASSWORD", "SECRET");
    process.setProcessEnvironment(environment);
    process.start(qEnvironmentVariable("ZANTRO_BIN_DIR") + "/zantro-batch", arguments);
    if (!process.waitForFinished(60000))
        qFatal("zantro-batch did not finish");
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

void TestSharedServer::bothWorkstationsCheckOut() {
    for (const auto& [folder, name] : {std::pair{till1(), QStringLiteral("TILL-1")},
                                       std::pair{till2(), QStringLiteral("TILL-2")}}) {
        const Run text = batch(folder, {"check-installation"});
        QCOMPARE(text.exitCode, 0);
        QVERIFY2(text.out.contains(QStringLiteral("Installation: %1 (workstation %2)")
                                       .arg(QDir::toNativeSeparators(folder), name)),
                 qPrintable(text.out));
        QVERIFY2(text.out.contains(QStringLiteral("ZantStk: connects as ZANTRO (USER) to %1\n"
                                                  "  database file: %2 (Firebird ")
                                       .arg(server.databasePath(serverFolder + "/zantstk.fdb"),
                                            server.localPath(serverFolder + "/zantstk.fdb"))),
                 qPrintable(text.out));
        QVERIFY2(text.out.contains("ZantHis: connects as SYSDBA (ADMIN_USER)"),
                 qPrintable(text.out));
        QVERIFY2(text.out.contains("Everything is in place."), qPrintable(text.out));
        QVERIFY2(!text.out.contains(server.sysdbaPassword()), qPrintable(text.out));

        const Run json = batch(folder, {"check-installation", "--json"});
        QCOMPARE(json.exitCode, 0);
        const QJsonObject report = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(report["workstation"].toString(), name);
        QCOMPARE(report["problems"].toInt(), 0);
        const QJsonArray aliases = report["aliases"].toArray();
        QCOMPARE(aliases.size(), 5);
        for (const QJsonValue alias : aliases) {
            QVERIFY2(alias["ok"].toBool(), qPrintable(alias["alias"].toString()));
            QVERIFY(alias["server"].toBool());
            QVERIFY2(alias["databaseFile"].toString().startsWith(server.localPath(serverFolder)),
                     qPrintable(alias["databaseFile"].toString()));
        }
    }
}

void TestSharedServer::checkNamesWhatIsWrong_data() {
    // One alias file entry spoilt; {port}, {folder} and {reader} are filled in.
    QTest::addColumn<QString>("alias");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("said");
    QTest::newRow("no login for USER")
        << "ARDB"
        << "USER"
        << "NOBODY"
        << QStringList{"ARDB: does not connect as NOBODY (USER) to localhost/{port}:",
                       "\n  Your user name and password are not defined."};
    QTest::newRow("wrong ADMIN_PASSWORD")
        << "ZantHis"
        << "ADMIN_PASSWORD"
        << "masterkey"
        << QStringList{"ZantHis: does not connect as SYSDBA (ADMIN_USER) to localhost/{port}:",
                       "Your user name and password are not defined."};
    QTest::newRow("wrong port") << "ZantSys"
                                << "PATH"
                                << "localhost/1:{folder}/zantsys.fdb"
                                << QStringList{
                                       "ZantSys: does not connect as ZANTRO (USER) to localhost/1:",
                                       "Unable to complete network request to host"};
    QTest::newRow("a login without rights")
        << "ZantApp"
        << "USER"
        << "{reader}"
        << QStringList{"ZantApp: connects as READER (USER)",
                       "back-office tables: not readable as this user MAS_USER, "};
    QTest::newRow("a login that may read but not write")
        << "ZantApp"
        << "USER"
        << "{reading}"
        << QStringList{"ZantApp: connects as READING (USER)",
                       "back-office tables: all 8 present and readable\n"
                       "  not writable as this user: MAS_CUSTOMER (M_EXPORT_ACCT, M_DEBTOR), "
                       "MAS_SUPPLIER (M_EXPORT_ACCT, M_CREDITOR), MAS_STOCK (M_EXPORT_ACCT)\n"};
    QTest::newRow("the wrong database")
        << "ZantStk"
        << "PATH"
        << "localhost/{port}:{folder}/zantapp.fdb"
        << QStringList{"back-office tables: missing POS_SALES, ",
                       "tables of the link: missing ACC_STATION, ACC_STATION_JOB, "
                       "TMP_EXPORT_ACCT, "};
    QTest::newRow("no PATH") << "ZantStk"
                             << "PATH"
                             << ""
                             << QStringList{"ZantStk: not checked: Unknown database alias: "
                                            "ZantStk (no PATH in "};
}

void TestSharedServer::checkNamesWhatIsWrong() {
    QFETCH(QString, alias);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QStringList, said);
    const QString folder = server.localPath(serverFolder);
    copyFile(till1() + "/Databases.ini", broken.path() + "/Databases.ini");
    ProfileFile aliases(broken.path() + "/Databases.ini");
    if (value == QLatin1String("{reader}")) {
        // A login of the server that owns nothing and was granted nothing.
        server.setLogin("READER", "Reader#1");
        value = QStringLiteral("READER");
        aliases.writeString(alias, "PASSWORD", "Reader#1");
    } else if (value == QLatin1String("{reading}")) {
        // A login granted the right to read every table of the application database, no more.
        server.setLogin("READING", "Reader#1");
        AliasTarget owner = ResolveAliasIn(till1(), alias);
        owner.user = QStringLiteral("SYSDBA");
        owner.password = server.sysdbaPassword();
        DbConnection database(QStringLiteral("Grants"), owner);
        for (const QString& table : SchemaTables("zantapp.sql"))
            database.execute(QStringLiteral("GRANT SELECT ON %1 TO READING").arg(table));
        value = QStringLiteral("READING");
        aliases.writeString(alias, "PASSWORD", "Reader#1");
    }
    value.replace("{port}", server.port()).replace("{folder}", folder);
    aliases.writeString(alias, key, value);

    const Run run = batch(broken.path(), {"check-installation"});
    QCOMPARE(run.exitCode, 1);
    for (QString text : std::as_const(said)) {
        text.replace("{port}", server.port());
        QVERIFY2(run.out.contains(text), qPrintable(run.out));
    }
    QVERIFY2(run.out.contains("Problems found: "), qPrintable(run.out));
    QVERIFY2(!run.out.contains(server.sysdbaPassword()) && !run.out.contains("ZANTROPOS") &&
                 !run.out.contains("Reader#1"),
             qPrintable(run.out));
    // The other aliases are checked all the same.
    QCOMPARE(run.out.count(QStringLiteral(": connects as ")) +
                 run.out.count(QStringLiteral(": does not connect as ")) +
                 run.out.count(QStringLiteral(": not checked: ")),
             5);
    // A check changes nothing: the wrong database did not get the link's tables.
    TdmPolling data(TdmPolling::OpenMode::ConnectionsOnly);
    QCOMPARE(SelectValue(data.dbApp, "SELECT COUNT(*) FROM RDB$RELATIONS WHERE "
                                     "RDB$RELATION_NAME = 'ACC_STATION'")
                 .toInt(),
             0);
}

void TestSharedServer::postingFromEitherLandsInOnePackageAndTheOtherIsWarned() {
    Run masters = batch(till1(), {"--user", "BATCH", "masters", "AR_CUSTOMER", "--selection", "ALL",
                                  "--generate-codes"});
    QCOMPARE(masters.exitCode, 0);

    QCOMPARE(batch(till1(), {"--user", "BATCH", "search", "SL_IV", "--count"}).out,
             QStringLiteral("Total Record: 3\n"));
    QCOMPARE(batch(till1(), {"--user", "BATCH", "tick", "SL_IV", "all"}).exitCode, 0);
    // The second workstation searches the same kind: the first one's ticks are gone.
    QCOMPARE(batch(till2(), {"--user", "BATCH", "search", "SL_IV", "--count"}).out,
             QStringLiteral("Total Record: 3\n"));

    const Run first = batch(till1(), {"--user", "BATCH", "export", "SL_IV"});
    QCOMPARE(first.exitCode, 0);
    QVERIFY2(first.out.startsWith("Warning: The sales invoice rows (SL_IV) were searched on "
                                  "workstation TILL-2 by BATCH at "),
             qPrintable(first.out));
    QVERIFY2(first.out.contains("Ticks set here before then are gone.\nNo Data to Export\n"),
             qPrintable(first.out));

    QCOMPARE(batch(till2(), {"--user", "BATCH", "tick", "SL_IV", "all"}).out,
             QStringLiteral("Ticked: 3 rows of SL_IV\n"));
    const Run second = batch(till2(), {"--user", "BATCH", "export", "SL_IV", "--json"});
    QCOMPARE(second.exitCode, 0);
    const QJsonObject report = QJsonDocument::fromJson(second.out.toUtf8()).object();
    QCOMPARE(report["posted"].toInt(), 3);
    QVERIFY2(!report.contains("warning"), qPrintable(second.out)); // the first one only looked

    // The first workstation's package is the same: the documents the second posted are there.
    QCOMPARE(PackageDocumentNumbers(context->folder()), (QStringList{"IV-1", "IV-2", "IV-3"}));

    // The second workstation's search after its run is news to the first.
    const Run list = batch(till1(), {"--user", "BATCH", "list", "SL_IV"});
    QVERIFY2(list.out.startsWith("Warning: The sales invoice rows (SL_IV) were searched on "
                                 "workstation TILL-2"),
             qPrintable(list.out));
}

QTEST_GUILESS_MAIN(TestSharedServer)
#include "test_shared_server.moc"
