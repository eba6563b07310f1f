// The program body's rules that need no window: command line, layout keys, the station list's
// time and export columns.
#include "app/command_line.h"
#include "app/layout_keys.h"
#include "app/station_list_rows.h"

#include <QLocale>
#include <QTest>

class TestAppLogic : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void commandLine_data();
    void commandLine();
    void layoutValuesAreExact_data();
    void layoutValuesAreExact();
    void exportState_data();
    void exportState();
    void stationDateTime_data();
    void stationDateTime();
};

void TestAppLogic::initTestCase() {
    // A month-first region: the station list's times stay day first all the same.
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
}

void TestAppLogic::commandLine_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("user"); // "<none>" when no -#U counts
    QTest::addColumn<int>("from");     // -1 when not given
    QTest::addColumn<int>("to");       // -1 when not given
    QTest::addColumn<QStringList>("bad");
    const QString none = QStringLiteral("<none>");
    QTest::newRow("nothing") << QStringList{"zantro-link"} << none << -1 << -1 << QStringList();
    QTest::newRow("all three") << QStringList{"zantro-link", "-#UAdmin", "-#S1810", "-#E2710"}
                               << "Admin" << 1810 << 2710 << QStringList();
    QTest::newRow("prefix in lower case") << QStringList{"zantro-link", "-#uADMIN", "-#e2710"}
                                          << "ADMIN" << -1 << 2710 << QStringList();
    QTest::newRow("a later switch overrides")
        << QStringList{"zantro-link", "-#UONE", "-#UTWO"} << "TWO" << -1 << -1 << QStringList();
    QTest::newRow("fifth argument is ignored")
        << QStringList{"zantro-link", "x", "y", "-#S1010", "-#UFIRST", "-#ULATE"} << "FIRST" << 1010
        << -1 << QStringList();
    QTest::newRow("empty user code")
        << QStringList{"zantro-link", "-#U"} << "" << -1 << -1 << QStringList();
    QTest::newRow("text after -#S and -#E")
        << QStringList{"zantro-link", "-#S8AM", "-#E", "-#UADMIN"} << "ADMIN" << -1 << -1
        << QStringList{"-#S8AM", "-#E"};
    QTest::newRow("signed numbers are numbers")
        << QStringList{"zantro-link", "-#S+1810", "-#E-5"} << none << 1810 << -5 << QStringList();
    QTest::newRow("other arguments")
        << QStringList{"zantro-link", "-#X", "U", "#U1"} << none << -1 << -1 << QStringList();
}

void TestAppLogic::commandLine() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, user);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QStringList, bad);
    const CommandLineSwitches switches = ParseCommandLine(arguments);
    QCOMPARE(switches.userCode.value_or(QStringLiteral("<none>")), user);
    QCOMPARE(switches.loginTimeFrom.value_or(-1), from);
    QCOMPARE(switches.loginTimeTo.value_or(-1), to);
    QCOMPARE(switches.badNumbers, bad);
}

void TestAppLogic::layoutValuesAreExact_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("isPosition");
    QTest::addColumn<bool>("isStyle");
    QTest::newRow("TOP") << "TOP" << true << false;
    QTest::newRow("BOTTOM") << "BOTTOM" << true << false;
    QTest::newRow("LIST") << "LIST" << false << true;
    QTest::newRow("DETAILS") << "DETAILS" << false << true;
    QTest::newRow("left in lower case") << "left" << false << false;
    QTest::newRow("large in lower case") << "large" << false << false;
    QTest::newRow("Right in mixed case") << "Right" << false << false;
    QTest::newRow("empty") << "" << false << false;
}

void TestAppLogic::layoutValuesAreExact() {
    QFETCH(QString, text);
    QFETCH(bool, isPosition);
    QFETCH(bool, isStyle);
    const auto position = ParseToolBarPosition(text);
    const auto style = ParseStationViewStyle(text);
    QCOMPARE(position.has_value(), isPosition);
    QCOMPARE(style.has_value(), isStyle);
    if (position)
        QCOMPARE(ToolBarPositionText(*position), text);
    if (style)
        QCOMPARE(StationViewStyleText(*style), text);
}

void TestAppLogic::exportState_data() {
    QTest::addColumn<QDateTime>("lastExport");
    QTest::addColumn<int>("changedDays");
    QTest::addColumn<QString>("state");
    const QDateTime now(QDate(2024, 3, 5), QTime(10, 15, 2));
    QTest::newRow("never exported") << QDateTime() << 7 << "Warning";
    QTest::newRow("six days ago, limit 7") << now.addDays(-6) << 7 << "O.K.";
    QTest::newRow("eight days ago, limit 7") << now.addDays(-8) << 7 << "Warning";
    QTest::newRow("exactly at the limit") << now.addDays(-7) << 7 << "O.K.";
    QTest::newRow("one second past the limit") << now.addDays(-7).addSecs(-1) << 7 << "Warning";
    QTest::newRow("limit 0, exported this moment") << now << 0 << "O.K.";
    QTest::newRow("limit 0, exported a second ago") << now.addSecs(-1) << 0 << "Warning";
    QTest::newRow("limit 0, earlier today")
        << QDateTime(QDate(2024, 3, 5), QTime(0, 0)) << 0 << "Warning";
}

void TestAppLogic::exportState() {
    QFETCH(QDateTime, lastExport);
    QFETCH(int, changedDays);
    QFETCH(QString, state);
    QCOMPARE(ExportState(lastExport, QDateTime(QDate(2024, 3, 5), QTime(10, 15, 2)), changedDays),
             state);
}

void TestAppLogic::stationDateTime_data() {
    QTest::addColumn<QDateTime>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("date and time")
        << QDateTime(QDate(2024, 3, 5), QTime(9, 5, 7)) << "05/03/2024 09:05:07";
    QTest::newRow("afternoon in 24 hours")
        << QDateTime(QDate(2024, 12, 31), QTime(17, 0, 59)) << "31/12/2024 17:00:59";
    QTest::newRow("midnight shows the date alone")
        << QDateTime(QDate(2024, 3, 1), QTime(0, 0)) << "01/03/2024";
    QTest::newRow("null") << QDateTime() << "";
}

void TestAppLogic::stationDateTime() {
    QFETCH(QDateTime, value);
    QFETCH(QString, text);
    QCOMPARE(StationDateTimeText(value), text);
}

QTEST_APPLESS_MAIN(TestAppLogic)
#include "test_app_logic.moc"
