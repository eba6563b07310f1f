// The export run of the export dialog (btnExportClick).
#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/stop_signals.h"
#include "data/dm_polling.h"
#include "export/export_run.h"
#include "export/export_run_lock.h"
#include "export/master_export.h"
#include "export/module_codes.h"
#include "export/posting_check.h"
#include "export/run_messages.h"
#include "export/ui/dlg_export_to_acct.h"
#include "export/ui/export_progress.h"

#include <QRadioButton>
#include <QTableView>

#include <optional>

void TdlgExportToAcct::RunExport() {
    // Another run that exports the documents after this moment exported them "meanwhile".
    const QDateTime asked = Now();
    if (!Messages().confirm(exportQuestion()))
        return;

    // A stop signal waits for the run, its messages and the search after it.
    const StopAtSafePoint stopWhenDone;
    // One export at a time on the installation, from any workstation.
    std::optional<ExportRunLock> lock;
    try {
        lock.emplace(dmPolling->dbStk, ExportRunIdentity{runUser_, QStringLiteral("zantro-link"),
                                                         QStringLiteral("Export ") + moduleCode_});
    } catch (const ExportRunRefused& refused) {
        Messages().error(refused.message());
        return;
    }
    if (!lock->takenOverText().isEmpty())
        Messages().information(lock->takenOverText());
    // Until the work below says otherwise, the run ended on an error.
    lock->setOutcome(QStringLiteral("ERROR"));

    if (!IsTransactionCode(moduleCode_)) {
        const bool allRows =
            moduleCode_ == QLatin1String(ModuleCodes::Supplier)   ? rbtnSupp_All->isChecked()
            : moduleCode_ == QLatin1String(ModuleCodes::Customer) ? rbtnCust_All->isChecked()
                                                                  : rbtnItem_All->isChecked();
        const MasterExportResult result = ExportSUPP_CUST_STOCK(
            *dmPolling, settings_, moduleCode_, allRows,
            [](const QString& question) { return Messages().confirm(question); },
            [this] {
                wwDBGrid1->viewport()->update();
                wwDBGrid3->viewport()->update();
            });
        lock->setOutcome(QStringLiteral("DONE"));
        if (result.outcome == MasterExportOutcome::Completed)
            Messages().information(MasterExportEndText(result));
        return;
    }

    // The check first: documents the package would refuse are named before anything is sent.
    const std::optional<CheckReport> check = checkTicked();
    if (!check) {
        lock->setOutcome(QStringLiteral("STOPPED"));
        return;
    }
    if (check->refusedCount() > 0) {
        const bool postReady =
            check->readyCount() > 0 && Messages().confirm(PostReadyOnlyQuestion(*check));
        if (!postReady) {
            if (check->readyCount() == 0)
                Messages().information(check->summaryText());
            lock->setOutcome(QStringLiteral("STOPPED"));
            showRunStatuses(false);
            return;
        }
        UntickRefusedDocuments(dmPolling->dbStk, *check);
    }
    // The run replaces the kind's statuses with its own: the check's reasons for the documents
    // left out are put back beside them, whatever the run meets.
    const auto keepCheckStatuses = [this, &check, &lock] {
        if (check->refusedCount() > 0)
            RunGuarded([&] { KeepRefusedCheckStatuses(dmPolling->dbStk, *check, lock->runId()); });
    };

    ExportRunSummary summary;
    ExportRun run(*dmPolling, settings_, {lock->runId(), runUser_, false});
    try {
        ExportProgress progress(this);
        summary = run.Run(moduleCode_, &progress);
    } catch (...) {
        // The run stopped on this document: the rows before it stay posted. Its box names the
        // document; the grid then shows what became of each row, refused rows first and still
        // ticked, so a second Export sends only those and the ones not reached.
        const QString error = CurrentExceptionText();
        keepCheckStatuses();
        const ExportRunSummary& stopped = run.summary();
        if (!stopped.refusals.isEmpty() && stopped.refusals.last().message == error)
            Messages().error(ExportRefusalText(stopped.refusals.last()));
        else
            Messages().error(error);
        showRunStatuses(true);
        return;
    }
    keepCheckStatuses();
    lock->setOutcome(summary.stopped ? QStringLiteral("STOPPED") : QStringLiteral("DONE"));
    if (summary.total == 0) {
        const std::optional<ExportRunRecord> other = RunThatExportedSince(
            dmPolling->dbStk, dmPolling->dbAR, {moduleCode_}, asked, lock->runId());
        if (!other) {
            Messages().information(QStringLiteral("No Data to Export"));
            return;
        }
        // The grid still shows the rows the other run exported: searched again below.
        lock->setOutcome(QStringLiteral("NOTHING LEFT"));
        Messages().information(NothingLeftText(*other));
    } else {
        Messages().information(ExportRunEndText(summary));
    }
    // The documents just flagged no longer qualify, so the grid shows what is left.
    if (IsReceivableCode(moduleCode_))
        btnARSearchClick();
    else
        btnSearchClick();
}
