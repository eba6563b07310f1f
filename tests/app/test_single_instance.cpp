// Two real copies of the program: the second is refused while the first runs, and a copy that
// was killed leaves no lock behind.
#include "app/instance_guard.h"
#include "tests/app/app_installation.h"
#include "tests/support/test_context.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

class TestSingleInstance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void secondCopyIsRefusedWhileTheFirstRuns();
    void killedCopyLeavesNoStuckLock();
    void stopSignalClosesTheProgram_data();
    void stopSignalClosesTheProgram();

private:
    // Starts the program; it waits at its login dialog (or, with arguments such as "-#UADMIN",
    // in its main window) for as long as it is left running.
    std::unique_ptr<QProcess> start(const QStringList& arguments = {});
    // True when the running copy holds the lock (it sits at its login dialog).
    bool holdsTheLock(const QProcess& process);

    std::unique_ptr<TestContext> context;
    QTemporaryDir tempFolder; // the copies' temporary folder, where the lock lives
    QString program;
};

void TestSingleInstance::initTestCase() {
    context = std::make_unique<TestContext>();
    AppInstallation::Create(context->folder());
    program = qEnvironmentVariable("ZANTRO_BIN_DIR") + QStringLiteral("/zantro-link");
    QVERIFY2(QFile::exists(program), qPrintable(program));
}

void TestSingleInstance::cleanupTestCase() {
    context.reset();
}

std::unique_ptr<QProcess> TestSingleInstance::start(const QStringList& arguments) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("ZANTRO_HOME"), context->folder());
    environment.insert(QStringLiteral("TMPDIR"), tempFolder.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("ZANTRO_CONSOLE_MESSAGES"), QStringLiteral("1"));
    process->setProcessEnvironment(environment);
    process->start(program, arguments);
    if (!process->waitForStarted(10000))
        qFatal("cannot start %s", qPrintable(program));
    return process;
}

bool TestSingleInstance::holdsTheLock(const QProcess& process) {
    QFile lock(tempFolder.filePath(QLatin1String(InstanceMutexText) + QStringLiteral(".lock")));
    if (!lock.open(QIODevice::ReadOnly))
        return false;
    return lock.readLine().trimmed().toLongLong() == process.processId();
}

void TestSingleInstance::secondCopyIsRefusedWhileTheFirstRuns() {
    const std::unique_ptr<QProcess> first = start();
    QTRY_VERIFY_WITH_TIMEOUT(holdsTheLock(*first), 20000);
    // Let the first copy get as far as its login dialog.
    QTest::qWait(1500);
    QCOMPARE(first->state(), QProcess::Running);

    const std::unique_ptr<QProcess> second = start();
    QVERIFY(second->waitForFinished(20000));
    QCOMPARE(second->exitCode(), 1);
    const QStringList errors =
        QString::fromLocal8Bit(second->readAllStandardError()).split(QLatin1Char('\n'));
    QVERIFY2(errors.contains(QStringLiteral("Program Already Running !!")),
             qPrintable(errors.join(QLatin1Char('|'))));

    QCOMPARE(first->state(), QProcess::Running);
    QVERIFY(holdsTheLock(*first));
    first->terminate();
    QVERIFY(first->waitForFinished(10000) || (first->kill(), first->waitForFinished(5000)));
}

void TestSingleInstance::killedCopyLeavesNoStuckLock() {
    const std::unique_ptr<QProcess> crashed = start();
    QTRY_VERIFY_WITH_TIMEOUT(holdsTheLock(*crashed), 20000);
    crashed->kill(); // no chance to remove its lock file
    QVERIFY(crashed->waitForFinished(5000));

    const std::unique_ptr<QProcess> next = start();
    QTRY_VERIFY_WITH_TIMEOUT(holdsTheLock(*next), 20000);
    QTest::qWait(1000);
    QCOMPARE(next->state(), QProcess::Running);
    QVERIFY(!next->readAllStandardError().contains("Program Already Running"));
    next->kill();
    QVERIFY(next->waitForFinished(5000));
}

void TestSingleInstance::stopSignalClosesTheProgram_data() {
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    // At the login dialog the signal cancels the login, and the program ends as it does then.
    QTest::newRow("SIGTERM at the login") << int(SIGTERM) << QStringList{} << 1;
    // In the main window it closes the window as File, Exit does.
    QTest::newRow("SIGTERM in the main window") << int(SIGTERM) << QStringList{"-#UADMIN"} << 0;
    QTest::newRow("SIGINT in the main window") << int(SIGINT) << QStringList{"-#UADMIN"} << 0;
    QTest::newRow("SIGHUP in the main window") << int(SIGHUP) << QStringList{"-#UADMIN"} << 0;
}

// The database engine's client used to take these signals and do nothing, so only SIGKILL ended
// the program.
void TestSingleInstance::stopSignalClosesTheProgram() {
    QFETCH(int, signalNumber);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    const std::unique_ptr<QProcess> running = start(arguments);
    QTRY_VERIFY_WITH_TIMEOUT(holdsTheLock(*running), 20000);
    QTest::qWait(1500); // its databases are open by now
    QCOMPARE(running->state(), QProcess::Running);
    ::kill(pid_t(running->processId()), signalNumber);
    const bool ended = running->waitForFinished(15000);
    if (!ended) {
        running->kill();
        running->waitForFinished(5000);
    }
    QVERIFY2(ended, "the program went on running after the signal");
    QCOMPARE(running->exitStatus(), QProcess::NormalExit);
    QCOMPARE(running->exitCode(), exitCode);
    QVERIFY(!holdsTheLock(*running));
}

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "test_single_instance.moc"
