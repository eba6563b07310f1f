#pragma once

#include "export/export_run.h"

#include <QProgressDialog>

// The progress of an export run in a window: document n of N and its number, with a Cancel that
// stops the run after the document in hand (which is then posted and flagged).
class ExportProgress : public ExportRunObserver {
public:
    explicit ExportProgress(QWidget* parent);
    ~ExportProgress() override;

    void documentStarting(int index, int total, const QString& documentNumber) override;
    void documentDone(int index, int total, const QString& documentNumber,
                      ExportRowResult result) override;
    bool stopRequested() override;
    void recordingStatuses(int done, int total) override;

private:
    QProgressDialog dialog_;
};
