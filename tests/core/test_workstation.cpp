// The name a workstation goes by in what other workstations are told.
#include "core/workstation.h"
#include "tests/support/test_context.h"

#include <QDir>
#include <QFile>
#include <QSysInfo>
#include <QTest>

class TestWorkstation : public QObject {
    Q_OBJECT
private slots:
    void name_data();
    void name();
    void twoInstallationsOnOneHostHaveTwoNames();
};

void TestWorkstation::name_data() {
    QTest::addColumn<QByteArray>("registerIni"); // empty: no Register.ini at all
    QTest::addColumn<QString>("expected");       // empty: host name and installation folder
    QTest::newRow("no Register.ini") << QByteArray() << QString();
    QTest::newRow("no WORKSTATION key")
        << QByteArray("[STORE]\r\nDEFAULT_STORE=S001\r\n") << QString();
    QTest::newRow("WORKSTATION empty") << QByteArray("[STORE]\r\nWORKSTATION=  \r\n") << QString();
    QTest::newRow("WORKSTATION set")
        << QByteArray("[STORE]\r\nDEFAULT_STORE=S001\r\nWORKSTATION=Till 2\r\n")
        << QStringLiteral("Till 2");
    QTest::newRow("blanks and quotes, any case")
        << QByteArray("[store]\r\n  workstation =  \"Back office\"  \r\n")
        << QStringLiteral("Back office");
    QTest::newRow("in another section")
        << QByteArray("[DATABASE]\r\nWORKSTATION=Till 2\r\n") << QString();
}

void TestWorkstation::name() {
    QFETCH(QByteArray, registerIni);
    QFETCH(QString, expected);
    TestContext context;
    if (!registerIni.isEmpty()) {
        QFile file(context.path(QStringLiteral("Register.ini")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(registerIni);
    }
    if (expected.isEmpty())
        expected = QSysInfo::machineHostName() + QLatin1Char(':') +
                   QDir::toNativeSeparators(context.folder());
    QCOMPARE(WorkstationName(), expected);
}

void TestWorkstation::twoInstallationsOnOneHostHaveTwoNames() {
    QString first;
    {
        TestContext context;
        first = WorkstationName();
    }
    TestContext other;
    QVERIFY(WorkstationName() != first);
    QVERIFY(WorkstationName().startsWith(QSysInfo::machineHostName() + QLatin1Char(':')));
}

QTEST_GUILESS_MAIN(TestWorkstation)
#include "test_workstation.moc"
