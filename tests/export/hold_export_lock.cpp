// hold-export-lock: takes the export lock of the installation named by ZANTRO_HOME, says
// "held <run id>" on standard output, and keeps it until it is killed. The tests use it as
// another process, or another workstation, in the middle of an export run.
//
// With --wait-for-go it connects first, says "ready", and takes the lock when a line comes on
// standard input, so that many of them meet on the lock at one moment. One that is refused says
// "refused <text>" and ends with status 6; any other error says "error <text>" and ends with 1.
#include "core/app_error.h"
#include "data/connection.h"
#include "export/export_run_lock.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QThread>

#include <optional>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const bool waitForGo = arguments.contains(QStringLiteral("--wait-for-go"));
    QTextStream out(stdout);
    DbConnection stock(QStringLiteral("ZaLedvoraStk"), QStringLiteral("ZantStk"));
    std::optional<ExportRunLock> lock;
    try {
        stock.open();
        if (waitForGo) {
            out << "ready" << Qt::endl;
            QTextStream(stdin).readLine();
        }
        lock.emplace(stock,
                     ExportRunIdentity{QStringLiteral("HOLDER"), QStringLiteral("hold-export-lock"),
                                       QStringLiteral("test")});
    } catch (const ExportRunRefused& refused) {
        out << "refused " << refused.message() << Qt::endl;
        return 6;
    } catch (const AppError& error) {
        out << "error " << error.message() << Qt::endl;
        return 1;
    }
    out << "held " << lock->runId() << Qt::endl;
    for (;;)
        QThread::sleep(60);
}
