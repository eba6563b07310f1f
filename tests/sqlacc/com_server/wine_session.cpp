#include "tests/sqlacc/com_server/wine_session.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace {

QString findProgram(const QString& name) {
    const QString packaged = QStringLiteral("/usr/lib/wine/") + name;
    if (QFileInfo(packaged).isExecutable())
        return packaged;
    return QStandardPaths::findExecutable(name);
}

} // namespace

WineSession::WineSession(QString prefix) : prefix_(std::move(prefix)) {
    wine_ = findProgram(QStringLiteral("wine64"));
    wineserver_ = findProgram(QStringLiteral("wineserver"));
    if (wine_.isEmpty() || wineserver_.isEmpty())
        error_ = QStringLiteral("Wine was not found (/usr/lib/wine/wine64 and wineserver): "
                                "install the package wine64 to run the Windows adapter's test");
}

QStringList WineSession::environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("WINEPREFIX"), prefix_);
    environment.insert(QStringLiteral("WINEDEBUG"), QStringLiteral("-all"));
    environment.insert(QStringLiteral("WINEDLLOVERRIDES"), QStringLiteral("mscoree,mshtml="));
    environment.remove(QStringLiteral("DISPLAY"));
    return environment.toStringList();
}

double WineSession::prepare() {
    QElapsedTimer timer;
    timer.start();
    stop();
    if (!QFileInfo::exists(prefix_ + QStringLiteral("/system.reg"))) {
        QDir().mkpath(prefix_);
        const Result made = run({QStringLiteral("wineboot"), QStringLiteral("--init")}, 600000);
        if (made.exitCode != 0)
            error_ = QStringLiteral("The Wine prefix %1 could not be made: %2")
                         .arg(prefix_, made.output);
        QProcess wait;
        wait.setEnvironment(environment());
        wait.start(wineserver_, {QStringLiteral("-w")});
        wait.waitForFinished(120000);
    }
    return timer.elapsed() / 1000.0;
}

WineSession::Result WineSession::run(const QStringList& arguments, int timeoutMs) const {
    Result result;
    QElapsedTimer timer;
    timer.start();
    QProcess process;
    process.setEnvironment(environment());
    process.start(wine_, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(5000);
        stop();
        result.output = QStringLiteral("(no end within %1 s) ").arg(timeoutMs / 1000);
    } else if (process.exitStatus() == QProcess::NormalExit) {
        result.exitCode = process.exitCode();
    }
    result.output += QString::fromUtf8(process.readAllStandardOutput()) +
                     QString::fromUtf8(process.readAllStandardError());
    result.seconds = timer.elapsed() / 1000.0;
    return result;
}

void WineSession::stop() const {
    QProcess kill;
    kill.setEnvironment(environment());
    kill.start(wineserver_, {QStringLiteral("-k")});
    kill.waitForFinished(30000);
}

QString WineSession::windowsPath(const QString& path) {
    return QStringLiteral("Z:") +
           QDir::cleanPath(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}
