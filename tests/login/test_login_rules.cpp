// The time codes of the login-hour rule and the database box text of the login dialog.
#include "login/database_mode_text.h"
#include "login/time_code.h"

#include <QTest>

class TestLoginRules : public QObject {
    Q_OBJECT
private slots:
    void timeCodes_data();
    void timeCodes();
    void loginHours_data();
    void loginHours();
    void databaseModeText_data();
    void databaseModeText();
};

void TestLoginRules::timeCodes_data() {
    QTest::addColumn<QTime>("time");
    QTest::addColumn<int>("code");
    QTest::newRow("09:05") << QTime(9, 5) << 1915;
    QTest::newRow("23:59") << QTime(23, 59) << 3369;
    QTest::newRow("midnight") << QTime(0, 0) << 1010;
    QTest::newRow("08:30") << QTime(8, 30) << 1840;
    QTest::newRow("seconds do not count") << QTime(17, 45, 59) << 2755;
}

void TestLoginRules::timeCodes() {
    QFETCH(QTime, time);
    QFETCH(int, code);
    QCOMPARE(TimeCode(time), code);
}

void TestLoginRules::loginHours_data() {
    QTest::addColumn<QTime>("from");
    QTest::addColumn<QTime>("to");
    QTest::addColumn<QTime>("now");
    QTest::addColumn<bool>("admitted");
    const QTime eight(8, 0), five(17, 0);
    QTest::newRow("17:00 at the end") << eight << five << QTime(17, 0, 59) << true;
    QTest::newRow("17:01 after the end") << eight << five << QTime(17, 1) << false;
    QTest::newRow("08:00 at the start") << eight << five << QTime(8, 0) << true;
    QTest::newRow("07:59 before the start") << eight << five << QTime(7, 59, 59) << false;
    QTest::newRow("midday") << eight << five << QTime(12, 30) << true;
    QTest::newRow("across midnight, late evening")
        << QTime(22, 0) << QTime(6, 0) << QTime(23, 0) << false;
    QTest::newRow("across midnight, early morning")
        << QTime(22, 0) << QTime(6, 0) << QTime(1, 0) << false;
    QTest::newRow("across midnight, at its start")
        << QTime(22, 0) << QTime(6, 0) << QTime(22, 0) << false;
    QTest::newRow("one minute window") << QTime(9, 5) << QTime(9, 5) << QTime(9, 5, 30) << true;
}

void TestLoginRules::loginHours() {
    QFETCH(QTime, from);
    QFETCH(QTime, to);
    QFETCH(QTime, now);
    QFETCH(bool, admitted);
    QCOMPARE(WithinLoginHours(TimeCode(from), TimeCode(to), TimeCode(now)), admitted);
}

void TestLoginRules::databaseModeText_data() {
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("text");
    QTest::newRow("C, LOCAL") << "C"
                              << "LOCAL"
                              << "[ Local Server ]  C-Mode GDB";
    QTest::newRow("C, remote") << "C"
                               << "SERVER1"
                               << "[ Remote Server ]  C-Mode GDB";
    QTest::newRow("T, LOCAL") << "T"
                              << "LOCAL"
                              << "[ Local Server ]  T-Mode GDB";
    QTest::newRow("lower case is another mode and server") << "c"
                                                           << "local"
                                                           << "[ Remote Server ]  T-Mode GDB";
    QTest::newRow("both missing") << ""
                                  << ""
                                  << "[ Remote Server ]  T-Mode GDB";
}

void TestLoginRules::databaseModeText() {
    QFETCH(QString, mode);
    QFETCH(QString, server);
    QFETCH(QString, text);
    QCOMPARE(DatabaseModeText(mode, server), text);
}

QTEST_APPLESS_MAIN(TestLoginRules)
#include "test_login_rules.moc"
