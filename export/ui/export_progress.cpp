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

void ExportProgress::recordingStatuses(int done, int total) {
    if (!dialog_.isVisible())
        return;
    dialog_.setLabelText(
        QStringLiteral("Noting what became of each document: %1 of %2").arg(done).arg(total));
    QCoreApplication::processEvents();
}

void ExportProgress::documentDone(int index, int, const QString&, ExportRowResult) {
    dialog_.setValue(index);
    QCoreApplication::processEvents();
}

bool ExportProgress::stopRequested() {
    return dialog_.wasCanceled();
}
