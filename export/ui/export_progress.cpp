#include "export/ui/export_progress.h"

#include <QCoreApplication>

ExportProgress::ExportProgress(QWidget* parent) : dialog_(parent) {
    dialog_.setObjectName(QStringLiteral("dlgExportProgress"));
    dialog_.setWindowTitle(QStringLiteral("Export to Accounting"));
    dialog_.setWindowModality(Qt::WindowModal);
    dialog_.setCancelButtonText(QStringLiteral("&Cancel"));
    dialog_.setMinimumDuration(0);
    dialog_.setAutoClose(false);
    dialog_.setAutoReset(false);
    dialog_.setMinimumWidth(380);
}

ExportProgress::~ExportProgress() {
    dialog_.close();
}

void ExportProgress::documentStarting(int index, int total, const QString& documentNumber) {
    if (index == 1) {
        dialog_.setRange(0, total);
        dialog_.setValue(0);
        dialog_.show();
    }
    dialog_.setLabelText(QStringLiteral("Exporting document %1 of %2\n%3")
                             .arg(index)
                             .arg(total)
                             .arg(documentNumber));
    QCoreApplication::processEvents();
}

void ExportProgress::documentDone(int index, int, const QString&, ExportRowResult) {
    dialog_.setValue(index);
    QCoreApplication::processEvents();
}

bool ExportProgress::stopRequested() {
    return dialog_.wasCanceled();
}

QString ExportRunEndText(const ExportRunSummary& summary) {
    QString text;
    if (summary.stopped)
        text = QStringLiteral("Export stopped.\r\n%1 of %2 documents were posted.")
                   .arg(summary.posted)
                   .arg(summary.total);
    else
        text = QStringLiteral("Completed.");
    if (summary.alreadyInPackage > 0)
        text +=
            QStringLiteral(
                "\r\n%1 document(s) were already in the accounting package and were only marked as "
                "exported.")
                .arg(summary.alreadyInPackage);
    return text;
}
