// The check before posting in the export dialog: its Check button, and the check that Export
// runs before it posts.
#include "core/action_guard.h"
#include "core/app_context.h"
#include "data/dm_polling.h"
#include "export/export_run.h"
#include "export/module_codes.h"
#include "export/posting_check.h"
#include "export/ui/dlg_export_to_acct.h"

#include <QCoreApplication>
#include <QProgressDialog>

std::optional<CheckReport> TdlgExportToAcct::checkTicked() {
    // The check talks to the package's automation object, which belongs to this thread: it runs
    // here, and the window paints between documents.
    QProgressDialog progress(this);
    progress.setObjectName(QStringLiteral("dlgCheckProgress"));
    progress.setWindowTitle(QStringLiteral("Export to Accounting"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setCancelButtonText(QStringLiteral("&Cancel"));
    progress.setMinimumDuration(300);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setMinimumWidth(380);
    progress.setLabelText(QStringLiteral("Checking the ticked documents"));
    const CheckReport report =
        CheckTickedDocuments(*dmPolling, settings_, moduleCode_, [&progress](int done, int total) {
            progress.setRange(0, total);
            progress.setValue(done);
            progress.setLabelText(
                QStringLiteral("Checking document %1 of %2").arg(done).arg(total));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        });
    progress.close();
    if (report.cancelled)
        return std::nullopt;
    if (!report.documents.isEmpty())
        RecordCheckStatuses(dmPolling->dbStk, report, QStringLiteral("check ") + NewExportRunId());
    return report;
}

void TdlgExportToAcct::btnCheckClick() {
    if (category_.isEmpty() || busy_)
        return;
    RunGuarded([this] {
        if (!IsTransactionCode(moduleCode_)) {
            Messages().information(QStringLiteral("Only documents are checked before posting."));
            return;
        }
        const std::optional<CheckReport> report = checkTicked();
        if (!report)
            return;
        if (report->documents.isEmpty()) {
            Messages().information(QStringLiteral("No Data to Export"));
            return;
        }
        showRunStatuses(false);
        Messages().information(report->summaryText());
    });
}
