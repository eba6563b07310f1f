#pragma once

#include "export/code_generation.h"
#include "export/export_run.h"
#include "export/posting_check.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>

class DocumentSearch;
class SettingsFile;
class TdmPolling;

// What the scheduled run takes besides the stores' "By Schedule" jobs.
struct ScheduleOptions {
    bool dryRun = false;      // search and count only: nothing posted, flagged or kept
    bool masters = false;     // new suppliers, customers (missing codes generated) and stock
                              // items first
    bool receivables = false; // the receivable kinds too, which no station job governs
    // Each kind's ticked documents are checked against the package first; those it would refuse
    // are left out (unticked), journalled as held back with the reason, and offered again at the
    // next run. A dry run always checks, and reports the findings.
    bool checkFirst = false;
};

// What the scheduled run did with one kind of document (or master).
struct ScheduledKind {
    QString moduleCode;
    bool scheduled = false; // some station's job of the kind holds S (receivables: asked for)
    int stations = 0;       // stations whose job of the kind holds S
    int found = 0;          // documents the search found (and ticked)
    int left = -1;          // documents still unexported after the run, -1 when not searched again
    ExportRunSummary run;   // empty for a dry run
    // The check before posting (a dry run, or checkFirst): what the package would refuse.
    std::optional<CheckReport> check;
    int heldBack = 0; // documents the check left out of the run
    // Why a dry run could not check the kind (the package not reachable, say): its counts stand.
    QString checkError;
    int missingCodes = 0; // masters: records that lacked their account code (now generated)
    QList<AdjustedCode> adjustedCodes; // masters: generated codes that differ from the rule's
    QString error;                     // the error that stopped the schedule at this kind
    // A stop signal kept this kind from being done in full: it was not searched, its documents
    // were found but not posted, or its run stopped part-way. A signal that comes once the kind
    // is done (during its closing search, say) stops nothing of it.
    bool stopped = false;
};

// The unattended export of the documents that stations send "By Schedule" (the letter S in
// their job's transmission options): for each kind in turn, the window's Search All for the
// stores whose job of the kind holds S, every row found ticked and exported, then searched
// again so the work table shows what is left. A store whose job holds both M and S is also
// offered in the window. A document the package refuses is journalled and the run goes on; any
// other error stops the schedule at its kind. A stop signal stops it after the document in hand,
// and no kind that has work is begun after it; kinds that no station sends by schedule are still
// reported.
class ScheduledExport {
public:
    ScheduledExport(TdmPolling& data, const SettingsFile& settings, DocumentSearch& search,
                    ExportRunOptions runOptions);

    // Runs every kind (the masters first when asked, then SL_CS, SL_IV, SL_CN, PH_PI, PH_SC, then
    // the receivable kinds when asked). `kindDone` hears of each kind as soon as it is done.
    // Errors are not raised: the kind's report holds the text and the schedule ends there.
    QList<ScheduledKind> Run(const ScheduleOptions& options,
                             const std::function<void(const ScheduledKind&)>& kindDone = {},
                             ExportRunObserver* observer = nullptr);

    // The number of stations whose job for the kind holds the option letter.
    static int StationsWithOption(TdmPolling& data, const QString& moduleCode,
                                  const QString& option);

private:
    void runKind(ScheduledKind& kind, const ScheduleOptions& options, ExportRunObserver* observer);
    void runMaster(ScheduledKind& kind, const ScheduleOptions& options);
    int search(const QString& moduleCode);

    TdmPolling& data_;
    const SettingsFile& settings_;
    DocumentSearch& search_;
    ExportRunOptions runOptions_;
};
