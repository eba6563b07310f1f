#include "export/scheduled_export.h"

#include "core/action_guard.h"
#include "core/stop_signals.h"
#include "data/connection.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/document_search.h"
#include "export/master_export.h"
#include "export/module_codes.h"
#include "sqlacc/sqlacc_login.h"

namespace {

const QString kScheduleOption = QStringLiteral("S");

QStringList scheduledKinds(const ScheduleOptions& options) {
    QStringList kinds;
    // The package refuses a document whose party or item it does not hold: the masters go first.
    if (options.masters)
        kinds << QLatin1String(ModuleCodes::Supplier) << QLatin1String(ModuleCodes::Customer)
              << QLatin1String(ModuleCodes::StockItem);
    for (const QString& code : TransactionCodes())
        if (IsStockDocumentCode(code) || options.receivables)
            kinds << code;
    return kinds;
}

QString masterTable(const QString& moduleCode) {
    if (moduleCode == QLatin1String(ModuleCodes::StockItem))
        return QStringLiteral("MAS_STOCK");
    return moduleCode == QLatin1String(ModuleCodes::Supplier) ? QStringLiteral("MAS_SUPPLIER")
                                                              : QStringLiteral("MAS_CUSTOMER");
}

// The account code that suppliers and customers may lack; stock items have none.
QString masterCodeColumn(const QString& moduleCode) {
    if (moduleCode == QLatin1String(ModuleCodes::StockItem))
        return QString();
    return moduleCode == QLatin1String(ModuleCodes::Supplier) ? QStringLiteral("M_CREDITOR")
                                                              : QStringLiteral("M_DEBTOR");
}

} // namespace

ScheduledExport::ScheduledExport(TdmPolling& data, const SettingsFile& settings,
                                 DocumentSearch& search, ExportRunOptions runOptions)
    : data_(data), settings_(settings), search_(search), runOptions_(std::move(runOptions)) {
    // Nobody watches a scheduled run: a refused document must not hold up the others.
    runOptions_.continueAfterRefusal = true;
}

int ScheduledExport::StationsWithOption(TdmPolling& data, const QString& moduleCode,
                                        const QString& option) {
    return SelectValue(data.dbStk,
                       QStringLiteral("SELECT COUNT(*) FROM ACC_STATION_JOB WHERE P_FILE = ") +
                           QuotedStr(StationJobCode(moduleCode)) +
                           QStringLiteral(" AND POSITION(") + QuotedStr(option) +
                           QStringLiteral(", P_STATUS) > 0"))
        .toInt();
}

QList<ScheduledKind> ScheduledExport::Run(const ScheduleOptions& options,
                                          const std::function<void(const ScheduledKind&)>& kindDone,
                                          ExportRunObserver* observer) {
    QList<ScheduledKind> report;
    // One session with the accounting package for the whole schedule, masters and kinds alike.
    const PackageRunSession packageRun;
    for (const QString& code : scheduledKinds(options)) {
        ScheduledKind kind;
        kind.moduleCode = code;
        try {
            if (IsTransactionCode(code))
                runKind(kind, options, observer);
            else
                runMaster(kind, options);
        } catch (...) {
            kind.error = CurrentExceptionText();
        }
        report << kind;
        if (kindDone)
            kindDone(kind);
        if (!kind.error.isEmpty() || kind.stopped)
            break;
    }
    return report;
}

int ScheduledExport::search(const QString& moduleCode) {
    if (IsReceivableCode(moduleCode))
        return search_.SearchReceivables(moduleCode, ReceivableSearchFilter{});
    StockSearchFilter filter;
    filter.jobOption = kScheduleOption;
    return search_.SearchStockDocuments(moduleCode, filter);
}

void ScheduledExport::runKind(ScheduledKind& kind, const ScheduleOptions& options,
                              ExportRunObserver* observer) {
    const QString& code = kind.moduleCode;
    if (IsReceivableCode(code)) {
        kind.scheduled = true;
    } else {
        kind.stations = StationsWithOption(data_, code, kScheduleOption);
        kind.scheduled = kind.stations > 0;
    }
    if (!kind.scheduled)
        return;
    if (StopSignals::Requested()) {
        kind.stopped = true; // not begun
        return;
    }

    if (options.dryRun) {
        // The search runs as it would, inside a transaction that is never committed: the work
        // table is left as the window last had it.
        Transaction untouched(data_.dbStk);
        kind.found = search(code);
        if (kind.found > 0) {
            search_.TickAll(code, true);
            // What it found is reported even when the package cannot be asked.
            try {
                kind.check = CheckTickedDocuments(data_, settings_, code);
            } catch (...) {
                kind.checkError = CurrentExceptionText();
            }
        }
        return;
    }

    kind.found = search(code);
    if (kind.found == 0)
        return;
    if (StopSignals::Requested()) {
        kind.stopped = true; // found, not posted
        return;
    }
    search_.TickAll(code, true);
    ExportRunOptions runOptions = runOptions_;
    if (runOptions.runId.isEmpty())
        runOptions.runId = NewExportRunId();
    if (options.checkFirst) {
        kind.check = CheckTickedDocuments(data_, settings_, code);
        UntickRefusedDocuments(data_.dbStk, *kind.check);
    }
    ExportRun run(data_, settings_, runOptions);
    // The documents held back are journalled and keep the check's reason in the export window,
    // whatever the run meets.
    const auto holdBack = [&] {
        if (!kind.check || kind.check->refusedCount() == 0)
            return;
        kind.heldBack = kind.check->refusedCount();
        JournalHeldBack(data_, *kind.check, runOptions.runId, runOptions.user);
        KeepRefusedCheckStatuses(data_.dbStk, *kind.check, runOptions.runId);
    };
    try {
        run.Run(code, observer);
    } catch (...) {
        kind.run = run.summary();
        holdBack();
        throw;
    }
    kind.run = run.summary();
    holdBack();
    kind.stopped = kind.run.stopped;
    // What is left, unticked, as after an export in the window.
    kind.left = search(code);
}

void ScheduledExport::runMaster(ScheduledKind& kind, const ScheduleOptions& options) {
    const QString& code = kind.moduleCode;
    kind.scheduled = true;
    if (StopSignals::Requested()) {
        kind.stopped = true; // not begun
        return;
    }
    const QString table = masterTable(code);
    const QString column = masterCodeColumn(code);
    kind.found = SelectValue(data_.dbApp, QStringLiteral("SELECT COUNT(*) FROM ") + table +
                                              QStringLiteral(" WHERE M_EXPORT_ACCT = ") +
                                              QuotedStr(QStringLiteral("F")))
                     .toInt();
    if (options.dryRun) {
        if (!column.isEmpty())
            kind.missingCodes =
                SelectValue(data_.dbApp, QStringLiteral("SELECT COUNT(*) FROM ") + table +
                                             QStringLiteral(" WHERE ") + column +
                                             QStringLiteral(" is null OR ") + column +
                                             QStringLiteral(" = ") + QuotedStr(QString()))
                    .toInt();
        return;
    }
    // The new records only (Differences), with missing codes generated as the window offers.
    const MasterExportResult result =
        ExportSUPP_CUST_STOCK(data_, settings_, code, false, [](const QString&) { return true; });
    kind.missingCodes = result.missingCodes;
    kind.adjustedCodes = result.adjustedCodes;
    kind.run.notices = result.notices;
    kind.run.total = kind.found;
    kind.run.posted = kind.found;
}
