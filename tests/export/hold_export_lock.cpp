// hold-export-lock: takes the export lock of the installation named by ZANTRO_HOME, says
// "held <run id>" on standard output, and keeps it until it is killed. The tests use it as
// another process, or another workstation, in the middle of an export run.
#include "data/connection.h"
#include "export/export_run_lock.h"

#include <QCoreApplication>
#include <QTextStream>
#include <QThread>

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    DbConnection stock(QStringLiteral("ZaLedvoraStk"), QStringLiteral("ZantStk"));
    ExportRunLock lock(stock, {QStringLiteral("HOLDER"), QStringLiteral("hold-export-lock"),
                               QStringLiteral("test")});
    QTextStream(stdout) << "held " << lock.runId() << Qt::endl;
    for (;;)
        QThread::sleep(60);
}
