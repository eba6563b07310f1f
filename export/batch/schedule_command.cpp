// The batch command that runs the "By Schedule" jobs: what a scheduler (cron, a systemd timer)
// starts at night so the day's documents are in the accounting package by morning.
#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/stop_signals.h"
#include "data/activity_log.h"
#include "export/batch/batch_arguments.h"
#include "export/batch/batch_command.h"
#include "export/export_run_lock.h"
#include "export/module_codes.h"
#include "export/scheduled_export.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

const QString kPollingCode = QStringLiteral("#1  ");
const QString kPollingKindCode = QStringLiteral("#12 ");

QString signalText() {
    return QLatin1String(StopSignals::SignalName(StopSignals::SignalNumber()));
}

// The kind's line of the report and of the polling log.
QString kindLine(const ScheduledKind& kind, bool dryRun) {
    const QString& code = kind.moduleCode;
    if (!kind.scheduled)
        return code + QStringLiteral(": no station sends it by schedule");
    QString line = code + QStringLiteral(": ");
    if (!IsTransactionCode(code)) {
        line += QStringLiteral("%1 new records").arg(kind.found);
        if (dryRun)
            return line + QStringLiteral(", %1 without an account code (dry run: nothing sent)")
                              .arg(kind.missingCodes);
        if (!kind.error.isEmpty())
            return line + QStringLiteral(", error: ") + OneLine(kind.error);
        if (kind.stopped)
            return line + QStringLiteral(" (stopped by %1 before sending)").arg(signalText());
        line += QStringLiteral(" sent");
        if (kind.missingCodes > 0)
            line += QStringLiteral(" (%1 codes generated)").arg(kind.missingCodes);
        return line;
    }
    if (IsStockDocumentCode(code))
        line += QStringLiteral("%1 stations, ").arg(kind.stations);
    line += QStringLiteral("%1 found").arg(kind.found);
    if (dryRun) {
        if (kind.check)
            line += QStringLiteral(", %1 ready, %2 would be refused")
                        .arg(kind.check->readyCount())
                        .arg(kind.check->refusedCount());
        else if (!kind.checkError.isEmpty())
            line += QStringLiteral(", not checked: ") + OneLine(kind.checkError);
        return line + QStringLiteral(" (dry run: nothing posted)");
    }
    const ExportRunSummary& run = kind.run;
    if (run.total > 0)
        line += QStringLiteral(", %1 posted, %2 already in the accounting package, %3 nothing to "
                               "post, %4 refused")
                    .arg(run.posted)
                    .arg(run.alreadyInPackage)
                    .arg(run.nothingToPost)
                    .arg(run.refused);
    if (kind.heldBack > 0)
        line += QStringLiteral(", %1 held back by the check").arg(kind.heldBack);
    if (run.differing > 0)
        line += QStringLiteral(", %1 differing from the source when read back").arg(run.differing);
    if (kind.left >= 0)
        line += QStringLiteral(", %1 left").arg(kind.left);
    if (kind.stopped)
        line += run.total > 0 ? QStringLiteral(" (stopped by %1)").arg(signalText())
                              : QStringLiteral(" (stopped by %1 before posting)").arg(signalText());
    if (!kind.error.isEmpty())
        line += QStringLiteral(", error: ") + OneLine(kind.error);
    return line;
}

QJsonObject kindJson(const ScheduledKind& kind) {
    QJsonArray refusals;
    for (const ExportRefusal& refusal : kind.run.refusals)
        refusals.append(QJsonObject{{QStringLiteral("document"), refusal.documentNumber},
                                    {QStringLiteral("message"), refusal.message}});
    QJsonArray differences;
    for (const ExportRefusal& difference : kind.run.differences)
        differences.append(QJsonObject{{QStringLiteral("document"), difference.documentNumber},
                                       {QStringLiteral("message"), difference.message}});
    QJsonObject object{{QStringLiteral("kind"), kind.moduleCode},
                       {QStringLiteral("scheduled"), kind.scheduled},
                       {QStringLiteral("found"), kind.found},
                       {QStringLiteral("posted"), kind.run.posted},
                       {QStringLiteral("alreadyInPackage"), kind.run.alreadyInPackage},
                       {QStringLiteral("nothingToPost"), kind.run.nothingToPost},
                       {QStringLiteral("refused"), kind.run.refused},
                       {QStringLiteral("refusals"), refusals},
                       {QStringLiteral("differing"), kind.run.differing},
                       {QStringLiteral("differences"), differences}};
    if (!kind.run.packageBuild.isEmpty()) {
        object.insert(QStringLiteral("company"), kind.run.packageCompany);
        object.insert(QStringLiteral("packageBuild"), kind.run.packageBuild);
    }
    if (!kind.run.notices.isEmpty())
        object.insert(QStringLiteral("notices"), QJsonArray::fromStringList(kind.run.notices));
    if (IsStockDocumentCode(kind.moduleCode))
        object.insert(QStringLiteral("stations"), kind.stations);
    if (!IsTransactionCode(kind.moduleCode)) {
        object.insert(QStringLiteral("missingCodes"), kind.missingCodes);
        object.insert(QStringLiteral("adjustedCodes"), AdjustedCodesJson(kind.adjustedCodes));
    }
    if (kind.check) {
        object.insert(QStringLiteral("check"),
                      QJsonObject{{QStringLiteral("ready"), kind.check->readyCount()},
                                  {QStringLiteral("wouldBeRefused"), kind.check->refusedCount()},
                                  {QStringLiteral("summary"), kind.check->summaryText()},
                                  {QStringLiteral("documents"), CheckFindingsJson(*kind.check)}});
        object.insert(QStringLiteral("heldBack"), kind.heldBack);
    }
    if (!kind.checkError.isEmpty())
        object.insert(QStringLiteral("checkError"), kind.checkError);
    if (kind.stopped)
        object.insert(QStringLiteral("stopped"), true);
    if (kind.left >= 0)
        object.insert(QStringLiteral("left"), kind.left);
    if (!kind.error.isEmpty())
        object.insert(QStringLiteral("error"), kind.error);
    return object;
}

// A signal counts only when it kept some kind from being done: one that comes during the
// closing search of the last kind stops nothing.
bool stoppedBySignal(const QList<ScheduledKind>& kinds) {
    return std::any_of(kinds.begin(), kinds.end(),
                       [](const ScheduledKind& kind) { return kind.stopped; });
}

int scheduleStatus(const QList<ScheduledKind>& kinds) {
    bool refused = false;
    for (const ScheduledKind& kind : kinds) {
        if (!kind.error.isEmpty())
            return BatchStoppedOnError;
        refused = refused || kind.run.refused > 0 || kind.run.differing > 0 || kind.heldBack > 0;
    }
    if (stoppedBySignal(kinds))
        return BatchStoppedBySignal;
    return refused ? BatchSomeRefused : BatchDone;
}

// Nothing found in any kind: another run may have exported it all after this one was started.
bool foundNothing(const QList<ScheduledKind>& kinds) {
    return std::all_of(kinds.begin(), kinds.end(),
                       [](const ScheduledKind& kind) { return kind.found == 0; });
}

// The kinds of document the schedule looked for.
QStringList scheduledDocumentKinds(const QList<ScheduledKind>& kinds) {
    QStringList codes;
    for (const ScheduledKind& kind : kinds)
        if (kind.scheduled && IsTransactionCode(kind.moduleCode))
            codes << kind.moduleCode;
    return codes;
}

ScheduledKind withoutError(ScheduledKind kind) {
    kind.error.clear();
    return kind;
}

// The polling log records each scheduled run beside the import runs. A log that cannot be
// written does not stop the posting: the journal is the run's durable record.
void poll(const QString& code, const QString& user, const QString& message) {
    try {
        LogPolling(code, user, message, QString(), ProgramFolder());
    } catch (...) {
        QTextStream err(stderr);
        err << "zantro-batch: the polling log was not written: " << CurrentExceptionText() << '\n';
    }
}

int runSchedule(BatchSession& session, const QString& runId, const ScheduleOptions& options,
                bool json) {
    // A stop signal waits for the document in hand (and for a search under way).
    const StopAtSafePoint stopWhenSafe;
    QTextStream& out = session.out();
    const QString& user = session.user();
    if (!options.dryRun)
        poll(kPollingCode, user, QStringLiteral("Schedule (Start) ") + runId);
    ScheduledExport schedule(session.data(), session.settings(), session.search(),
                             {runId, user, true});
    bool packageNamed = false;
    const QList<ScheduledKind> kinds = schedule.Run(options, [&](const ScheduledKind& kind) {
        const QString line = kindLine(kind, options.dryRun);
        if (!options.dryRun)
            poll(kPollingKindCode, user, QStringLiteral("Schedule ") + line);
        // The error that stopped the schedule is the program's: standard error, with or
        // without --json. The kind's line in the report says that an error stopped it.
        if (!kind.error.isEmpty())
            PrintError(session, kind.moduleCode + QStringLiteral(": error: ") + kind.error);
        if (json)
            return;
        if (!packageNamed && !kind.run.packageBuild.isEmpty()) {
            // The books the run posts into, once, before the first kind that posted.
            packageNamed = true;
            out << "Accounting package: " << PackageReportText(kind.run) << '\n';
        }
        out << (kind.error.isEmpty() ? line
                                     : kindLine(withoutError(kind), options.dryRun) +
                                           QStringLiteral(" (stopped by an error)"))
            << '\n';
        for (const ExportRefusal& refusal : kind.run.refusals)
            out << "  " << refusal.documentNumber << ": refused: " << OneLine(refusal.message)
                << '\n';
        for (const ExportRefusal& difference : kind.run.differences)
            out << "  " << difference.documentNumber << ": " << OneLine(difference.message) << '\n';
        if (kind.check)
            PrintCheckFindings(out, *kind.check, QStringLiteral("  "));
        PrintAdjustedCodes(out, kind.adjustedCodes, QStringLiteral("  "));
        for (const QString& notice : kind.run.notices)
            out << "  " << notice << '\n';
        out.flush();
    });
    int status = scheduleStatus(kinds);
    QString nothingLeft;
    if (status == BatchDone && !options.dryRun && foundNothing(kinds))
        status = NothingToExportStatus(session, scheduledDocumentKinds(kinds), runId, &nothingLeft);
    if (!nothingLeft.isEmpty() && !json)
        out << nothingLeft << '\n';
    const QString end = status == BatchStoppedBySignal
                            ? QStringLiteral("stopped by %1").arg(signalText())
                            : QStringLiteral("status %1").arg(status);
    if (!options.dryRun)
        poll(kPollingCode, user, QStringLiteral("Schedule (End) ") + end);
    if (json) {
        QJsonArray list;
        for (const ScheduledKind& kind : kinds)
            list.append(kindJson(kind));
        QJsonObject report{{QStringLiteral("runId"), runId},
                           {QStringLiteral("dryRun"), options.dryRun},
                           {QStringLiteral("kinds"), list},
                           {QStringLiteral("status"), status},
                           {QStringLiteral("stopped"), status == BatchStoppedBySignal}};
        if (status == BatchStoppedBySignal)
            report.insert(QStringLiteral("signal"), signalText());
        if (!nothingLeft.isEmpty())
            report.insert(QStringLiteral("nothingLeft"), nothingLeft);
        out << QJsonDocument(report).toJson(QJsonDocument::Indented);
    } else if (status == BatchStoppedBySignal) {
        out << "Schedule " << end << '\n';
    }
    out.flush();
    return status;
}

BatchCommand::Run parseSchedule(const QStringList& words) {
    const BatchArguments arguments(words, {},
                                   {QStringLiteral("json"), QStringLiteral("dry-run"),
                                    QStringLiteral("check-first"), QStringLiteral("masters"),
                                    QStringLiteral("receivables")});
    if (!arguments.positional().isEmpty())
        throw UsageError(
            QStringLiteral("unexpected argument \"%1\"").arg(arguments.positional().first()));
    ScheduleOptions options;
    options.dryRun = arguments.flag(QStringLiteral("dry-run"));
    options.masters = arguments.flag(QStringLiteral("masters"));
    options.receivables = arguments.flag(QStringLiteral("receivables"));
    options.checkFirst = arguments.flag(QStringLiteral("check-first"));
    const bool json = arguments.flag(QStringLiteral("json"));
    return [options, json](BatchSession& session) {
        // A dry run changes nothing, so it needs no lock and may run beside another run.
        if (options.dryRun)
            return runSchedule(session, QStringLiteral("dry-run"), options, json);
        return RunHoldingExportLock(session, QStringLiteral("schedule"), [&](ExportRunLock& lock) {
            return runSchedule(session, lock.runId(), options, json);
        });
    };
}

} // namespace

BatchCommand ScheduleCommand() {
    return {
        QStringLiteral("schedule"),
        QStringLiteral("schedule [--masters] [--receivables] [--dry-run] [--check-first] [--json]"),
        QStringLiteral(
            "Runs the \"By Schedule\" jobs of the stations: for each sales and purchase kind, the\n"
            "Search All of the window for the stores whose job of the kind holds By Schedule (S),\n"
            "every document found ticked and exported, then searched again. Prints one line per\n"
            "kind with its counts and writes it to the polling log. A document the accounting\n"
            "package refuses is listed and journalled and the run goes on (status 3); any other\n"
            "error stops the run at its kind (status 4) and is printed on standard error. A\n"
            "posted document whose total, read back from the package, differs from the source's\n"
            "is listed too (status 3).\n"
            "SIGTERM, SIGINT or SIGHUP stop it after the document in hand (status 5); a signal\n"
            "that comes after the last document (during the last search) ends it as finished.\n"
            "When nothing is found because another run exported it after this one was started,\n"
            "it says which run (status 7).\n"
            "--masters sends new suppliers, customers and stock items first (Differences),\n"
            "generating missing creditor and debtor codes: the package refuses a document whose\n"
            "party or item it does not hold. --receivables also exports the receivable kinds "
            "(AR_IV,\n"
            "AR_DN, AR_CN, AR_PM), which no station job governs: all unexported ones are sent.\n"
            "--dry-run searches and reports but posts, flags and keeps nothing; it checks each\n"
            "kind's documents against the accounting package and lists what it would refuse.\n"
            "--check-first checks each kind's documents before posting and posts only those\n"
            "that pass: the others are journalled as held back with the reason (once while the\n"
            "reason stays) and offered again at the next run (status 3). --json prints the\n"
            "report as JSON."),
        parseSchedule};
}
