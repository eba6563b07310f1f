// The activity log and the polling log (places, lines, appending) and the store check.
#include "core/app_error.h"
#include "data/activity_log.h"
#include "data/connection.h"
#include "data/query.h"
#include "data/store_check.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QDir>
#include <QFile>
#include <QtTest>

namespace {

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QString LoginCaption = QStringLiteral("Please type in your ID and password");

} // namespace

class TestLogsAndStoreCheck : public QObject {
    Q_OBJECT
private slots:
    void activityLogPlace_data();
    void activityLogPlace();
    void activityLogLine_data();
    void activityLogLine();
    void linesAreAppendedPerDay();
    void switchedOffWritesNothing();
    void folderThatCannotBeMadeIsNamedInTheError();
    void pollingLog();
    void storeCheck();
};

void TestLogsAndStoreCheck::activityLogPlace_data() {
    QTest::addColumn<QString>("logFolder");
    QTest::addColumn<QString>("logExt");
    QTest::addColumn<QString>("file"); // relative to the test's program folder
    QTest::newRow("LOG empty, LOG_EXT absent") << ""
                                               << "000"
                                               << "Log/Stock/2024/03/Stock-20240305.000";
    QTest::newRow("LOG set") << "<tmp>/Logs"
                             << "000"
                             << "Logs/Stock/2024/03/Stock-20240305.000";
    QTest::newRow("LOG with a final separator, own extension")
        << "<tmp>/Logs/"
        << "LOG"
        << "Logs/Stock/2024/03/Stock-20240305.LOG";
}

void TestLogsAndStoreCheck::activityLogPlace() {
    QFETCH(QString, logFolder);
    QFETCH(QString, logExt);
    QFETCH(QString, file);
    TestContext context;
    logFolder.replace(QStringLiteral("<tmp>"), context.folder());
    const ActivityLogSettings settings{logFolder, logExt, true};
    LogActivity(settings, QStringLiteral("#1  "), QStringLiteral("U01"), LoginCaption,
                QStringLiteral("Login"), ProgramFolder(), QString());
    QCOMPARE(readFile(context.path(file)),
             QByteArray("10:15:02 [U01...] Please type in your ID and password.......... : "
                        "{Login     } # \n"));
}

void TestLogsAndStoreCheck::activityLogLine_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("line");
    const QString fifty = QStringLiteral("0123456789").repeated(5);
    QTest::newRow("login") << "#1  "
                           << "U01" << LoginCaption << "Login"
                           << ""
                           << "10:15:02 [U01...] Please type in your ID and password.......... "
                              ": {Login     } # ";
    QTest::newRow("eight-character user, fifty-character caption, long action")
        << "#2  "
        << "USER0008" << fifty << "Nineteen characters"
        << "detail text"
        << "10:15:02 [USER0008] 012345678901234567890123456789012345678901234 : {Nineteen c} "
           "# detail text";
    QTest::newRow("sub-line") << "#3  "
                              << "U01" << LoginCaption << "Export"
                              << "SL_CS 12"
                              << "10:15:02 [U01...] Please type in your ID and password....... "
                                 "-> : {Export    } # SL_CS 12";
    QTest::newRow("#0 is an empty line whatever else") << "#0  "
                                                       << "U01" << LoginCaption << "Login"
                                                       << "ignored"
                                                       << "";
}

void TestLogsAndStoreCheck::activityLogLine() {
    QFETCH(QString, code);
    QFETCH(QString, user);
    QFETCH(QString, caption);
    QFETCH(QString, action);
    QFETCH(QString, detail);
    QFETCH(QString, line);
    QCOMPARE(ActivityLogLine(code, user, caption, action, detail, QTime(10, 15, 2)), line);
}

void TestLogsAndStoreCheck::linesAreAppendedPerDay() {
    TestContext context;
    const ActivityLogSettings settings{QString(), QStringLiteral("000"), true};
    const auto log = [&](const QString& code, const QString& user) {
        LogActivity(settings, code, user, LoginCaption, QStringLiteral("Login"), ProgramFolder(),
                    QString());
    };
    log(QStringLiteral("#1  "), QStringLiteral("U01"));
    log(QStringLiteral("#0  "), QStringLiteral("U01"));
    context.clock->advanceSeconds(60);
    log(QStringLiteral("#1  "), QStringLiteral("U02"));
    QCOMPARE(readFile(context.path(QStringLiteral("Log/Stock/2024/03/Stock-20240305.000"))),
             QByteArray("10:15:02 [U01...] Please type in your ID and password.......... : "
                        "{Login     } # \n\n"
                        "10:16:02 [U02...] Please type in your ID and password.......... : "
                        "{Login     } # \n"));
    context.clock->set(QDateTime(QDate(2024, 3, 6), QTime(8, 0, 0)));
    log(QStringLiteral("#1  "), QStringLiteral("U01"));
    QCOMPARE(readFile(context.path(QStringLiteral("Log/Stock/2024/03/Stock-20240306.000"))),
             QByteArray("08:00:00 [U01...] Please type in your ID and password.......... : "
                        "{Login     } # \n"));
}

void TestLogsAndStoreCheck::switchedOffWritesNothing() {
    TestContext context;
    LogActivity(ActivityLogSettings{}, QStringLiteral("#1  "), QStringLiteral("U01"), LoginCaption,
                QStringLiteral("Login"), ProgramFolder(), QString());
    QVERIFY(!QFile::exists(context.path(QStringLiteral("Log"))));
}

void TestLogsAndStoreCheck::folderThatCannotBeMadeIsNamedInTheError() {
    TestContext context;
    QFile blocker(context.path(QStringLiteral("Log")));
    QVERIFY(blocker.open(QIODevice::WriteOnly)); // a file where the folder should be
    blocker.close();
    const ActivityLogSettings settings{QString(), QStringLiteral("000"), true};
    try {
        LogActivity(settings, QStringLiteral("#1  "), QStringLiteral("U01"), LoginCaption,
                    QStringLiteral("Login"), ProgramFolder(), QString());
        QFAIL("the log must not be written without its folder");
    } catch (const AppError& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("Cannot create ") +
                     QDir::toNativeSeparators(context.path(QStringLiteral("Log/Stock/2024/03/"))));
    }
    try {
        LogPolling(QStringLiteral("#1  "), QString(), QStringLiteral("Import   (Start)"), QString(),
                   ProgramFolder());
        QFAIL("the polling log must not be written without its folder");
    } catch (const AppError& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("Cannot create ") +
                     QDir::toNativeSeparators(context.path(QStringLiteral("Log/Polling/"))));
    }
}

void TestLogsAndStoreCheck::pollingLog() {
    TestContext context(QDateTime(QDate(2023, 12, 25), QTime(10, 15, 2)));
    LogPolling(QStringLiteral("#1  "), QString(), QStringLiteral("Import   (Start)"), QString(),
               ProgramFolder());
    context.clock->advanceSeconds(5);
    LogPolling(QStringLiteral("#2  "), QStringLiteral("U01"), QStringLiteral("Import   (End)"),
               QStringLiteral("3 files"), ProgramFolder());
    QCOMPARE(readFile(context.path(QStringLiteral("Log/Polling/Polling.Log"))),
             QByteArray("#1  25/12/2023 10:15:02 [] - Import   (Start) \n"
                        "#2  10:15:07 [U01] - Import   (End) 3 files\n"));
}

void TestLogsAndStoreCheck::storeCheck() {
    TestContext context;
    TestDatabases::CreateInstallation(context.folder());
    DbConnection sys(QStringLiteral("ZaMainMenuDB"), QStringLiteral("ZantSys"));
    sys.execute(QStringLiteral("INSERT INTO MAS_STORE (M_CODE, M_DESC) VALUES ('S001', 'Main')"));
    Query qryCheck(&sys);

    QVERIFY(CheckStoreCode(qryCheck, QStringLiteral("S001")));
    QVERIFY(context.messages->shown.isEmpty());
    QCOMPARE(qryCheck.sql(), QStringLiteral("Select M_Code From Mas_Store\nWhere M_Code = 'S001'"));

    const QString notFound =
        QStringLiteral("Default Store Code Not Found !\r\nPlease define the default store code.");
    for (const QString& code :
         {QStringLiteral("S002"), QStringLiteral("s001"), QString(), QStringLiteral("S'01")}) {
        context.messages->shown.clear();
        QVERIFY2(!CheckStoreCode(qryCheck, code), qPrintable(code));
        QCOMPARE(context.messages->texts(), QStringList{notFound});
        QCOMPARE(int(context.messages->shown.first().kind), int(MessageKind::Error));
    }
}

QTEST_GUILESS_MAIN(TestLogsAndStoreCheck)
#include "test_logs_and_store_check.moc"
