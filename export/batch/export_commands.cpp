// The batch commands that send to the accounting package: export (the ticked documents of a
// kind) and masters (suppliers, customers or stock items). The command line is the
// confirmation, so no question is asked.
#include "core/action_guard.h"
#include "core/stop_signals.h"
#include "export/batch/batch_arguments.h"
#include "export/batch/batch_command.h"
#include "export/export_run.h"
#include "export/export_run_lock.h"
#include "export/master_export.h"
#include "export/module_codes.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString resultText(ExportRowResult result) {
    switch (result) {
    case ExportRowResult::Posted:
        return QStringLiteral("posted");
    case ExportRowResult::NothingToPost:
        return QStringLiteral("nothing to post");
    case ExportRowResult::AlreadyInPackage:
        return QStringLiteral("already in the accounting package");
    case ExportRowResult::Refused:
        return QStringLiteral("refused by the accounting package");
    case ExportRowResult::AlreadyExported:
        return QStringLiteral("already exported");
    }
    return QString();
}

// Prints each document as it is handled, or gathers the report for --json.
class BatchExportReport : public ExportRunObserver {
public:
    BatchExportReport(QTextStream& out, bool json) : out_(out), json_(json) {}

    void documentStarting(int, int, const QString& documentNumber) override {
        current_ = documentNumber;
    }

    void documentDone(int, int, const QString& documentNumber, ExportRowResult result) override {
        current_.clear();
        if (json_) {
            documents_.append(QJsonObject{{QStringLiteral("document"), documentNumber},
                                          {QStringLiteral("result"), resultText(result)}});
            return;
        }
        out_ << documentNumber << ": " << resultText(result) << '\n';
        out_.flush();
    }

    // The document in hand when an error ended the run.
    const QString& current() const { return current_; }
    const QJsonArray& documents() const { return documents_; }

private:
    QTextStream& out_;
    bool json_;
    QString current_;
    QJsonArray documents_;
};

} // namespace

QJsonArray AdjustedCodesJson(const QList<AdjustedCode>& codes) {
    QJsonArray list;
    for (const AdjustedCode& code : codes)
        list.append(QJsonObject{{QStringLiteral("master"), code.masterCode},
                                {QStringLiteral("ruleCode"), code.ruleCode},
                                {QStringLiteral("code"), code.code},
                                {QStringLiteral("reason"), code.reason}});
    return list;
}

void PrintAdjustedCodes(QTextStream& out, const QList<AdjustedCode>& codes, const QString& indent) {
    if (codes.isEmpty())
        return;
    out << indent
        << (codes.size() == 1
                ? QStringLiteral("1 generated code differs from the usual rule because its code "
                                 "was taken:")
                : QStringLiteral("%1 generated codes differ from the usual rule because their "
                                 "code was taken:")
                      .arg(codes.size()))
        << '\n';
    for (const AdjustedCode& code : codes)
        out << indent << "  " << code.describe() << '\n';
}

namespace {

void printJson(QTextStream& out, const QJsonObject& report) {
    out << QJsonDocument(report).toJson(QJsonDocument::Indented);
    out.flush();
}

// The export command's work, holding the lock: the run, the search after it, the report.
int exportKind(BatchSession& session, ExportRunLock& lock, const QString& kind, bool json) {
    // A stop signal waits for the document in hand and for the search after the run.
    const StopAtSafePoint stopWhenSafe;
    QTextStream& out = session.out();
    // What another workstation did to these rows since this one last looked is said first: its
    // search may have unticked them, its ticks are sent with these.
    const QString changedElsewhere = session.search().ChangedElsewhereText(kind);
    if (!json && !changedElsewhere.isEmpty()) {
        out << "Warning: " << changedElsewhere << '\n';
        out.flush();
    }
    BatchExportReport report(out, json);
    ExportRun run(session.data(), session.settings(), {lock.runId(), session.user(), false});
    QString error;
    // The run and the search after it are timed apart for --json: the search grows with the
    // tables, the run with the documents, and a benchmark needs to tell them apart.
    QElapsedTimer clock;
    clock.start();
    try {
        run.Run(kind, &report);
    } catch (...) {
        error = CurrentExceptionText();
    }
    const double runSeconds = clock.nsecsElapsed() / 1e9;
    const ExportRunSummary& summary = run.summary();
    const bool failed = !error.isEmpty();
    int left = -1;
    clock.restart();
    if (!failed && summary.total > 0) {
        // As the window does after a run: search again, so the work table shows what is left.
        left = IsReceivableCode(kind)
                   ? session.search().SearchReceivables(kind, ReceivableSearchFilter{})
                   : session.search().SearchStockDocuments(kind, StockSearchFilter{});
    }
    const double searchSeconds = clock.nsecsElapsed() / 1e9;
    // A run that found nothing may have waited while another run exported it. A document whose
    // figures differ in the package from the source's is in the books, but someone has to look
    // at it: the run says so by its status, as for a refusal.
    QString nothingLeft;
    const int status = failed                  ? BatchStoppedOnError
                       : summary.stopped       ? BatchStoppedBySignal
                       : summary.differing > 0 ? BatchSomeRefused
                       : summary.total == 0
                           ? NothingToExportStatus(session, {kind}, lock.runId(), &nothingLeft)
                           : BatchDone;
    QJsonArray differences;
    for (const ExportRefusal& difference : summary.differences)
        differences.append(QJsonObject{{QStringLiteral("document"), difference.documentNumber},
                                       {QStringLiteral("message"), difference.message}});
    QJsonArray openKnockOffs;
    for (const ExportRefusal& open : summary.openKnockOffs)
        openKnockOffs.append(QJsonObject{{QStringLiteral("document"), open.documentNumber},
                                         {QStringLiteral("message"), open.message}});
    // The error is the program's, not part of the report: standard error. With --json the
    // report names it too.
    if (failed)
        PrintError(session, (report.current().isEmpty() ? QString()
                                                        : report.current() + QStringLiteral(": ")) +
                                QStringLiteral("error: ") + error);
    if (json) {
        QJsonObject object{{QStringLiteral("kind"), kind},
                           {QStringLiteral("runId"), lock.runId()},
                           {QStringLiteral("ticked"), summary.total},
                           {QStringLiteral("posted"), summary.posted},
                           {QStringLiteral("nothingToPost"), summary.nothingToPost},
                           {QStringLiteral("alreadyInPackage"), summary.alreadyInPackage},
                           {QStringLiteral("refused"), summary.refused},
                           {QStringLiteral("differing"), summary.differing},
                           {QStringLiteral("differences"), differences},
                           {QStringLiteral("alreadyExported"), summary.alreadyExported},
                           {QStringLiteral("openKnockOffs"), openKnockOffs},
                           {QStringLiteral("documents"), report.documents()},
                           {QStringLiteral("completed"), !failed && !summary.stopped},
                           {QStringLiteral("stopped"), summary.stopped},
                           {QStringLiteral("runSeconds"), runSeconds},
                           {QStringLiteral("searchSeconds"), searchSeconds}};
        if (left >= 0)
            object.insert(QStringLiteral("leftToExport"), left);
        if (!summary.packageBuild.isEmpty()) {
            object.insert(QStringLiteral("company"), summary.packageCompany);
            object.insert(QStringLiteral("packageBuild"), summary.packageBuild);
        }
        if (!nothingLeft.isEmpty())
            object.insert(QStringLiteral("nothingLeft"), nothingLeft);
        if (!changedElsewhere.isEmpty())
            object.insert(QStringLiteral("warning"), changedElsewhere);
        if (summary.stopped)
            object.insert(QStringLiteral("signal"),
                          QLatin1String(StopSignals::SignalName(StopSignals::SignalNumber())));
        if (failed)
            object.insert(QStringLiteral("error"),
                          QJsonObject{{QStringLiteral("document"), report.current()},
                                      {QStringLiteral("message"), error}});
        printJson(out, object);
        return status;
    }
    if (!failed && summary.total == 0) {
        out << (nothingLeft.isEmpty() ? QStringLiteral("No Data to Export") : nothingLeft) << '\n';
    } else {
        if (!summary.packageBuild.isEmpty())
            out << "Accounting package: " << PackageReportText(summary) << '\n';
        for (const ExportRefusal& difference : summary.differences)
            out << difference.documentNumber << ": " << OneLine(difference.message) << '\n';
        // Saved with knock-offs the package could not apply yet: offered again by the search.
        for (const ExportRefusal& open : summary.openKnockOffs)
            out << open.documentNumber << ' ' << OneLine(open.message) << '\n';
        out << kind << ": " << summary.posted << " posted, " << summary.nothingToPost
            << " nothing to post, " << summary.alreadyInPackage
            << " already in the accounting package, "
            << (summary.alreadyExported > 0
                    ? QStringLiteral("%1 already exported, ").arg(summary.alreadyExported)
                    : QString())
            << "of " << summary.total << " ticked"
            << (summary.differing > 0 ? QStringLiteral("; %1 differing from the source when read "
                                                       "back")
                                            .arg(summary.differing)
                                      : QString())
            << (failed ? " (stopped by the error)"
                : summary.stopped
                    ? QStringLiteral(" (stopped by %1)")
                          .arg(QLatin1String(StopSignals::SignalName(StopSignals::SignalNumber())))
                    : QString())
            << '\n';
        if (left >= 0)
            out << "Left to export: " << left << '\n';
    }
    out.flush();
    return status;
}

BatchCommand::Run parseExport(const QStringList& words) {
    const BatchArguments arguments(words, {}, {QStringLiteral("json")});
    if (arguments.positional().isEmpty())
        throw UsageError(QStringLiteral("KIND is missing"));
    if (arguments.positional().size() > 1)
        throw UsageError(
            QStringLiteral("unexpected argument \"%1\"").arg(arguments.positional().at(1)));
    const QString kind = TransactionKindArgument(arguments.positional().first());
    const bool json = arguments.flag(QStringLiteral("json"));
    return [kind, json](BatchSession& session) {
        return RunHoldingExportLock(
            session, QStringLiteral("export ") + kind,
            [&](ExportRunLock& lock) { return exportKind(session, lock, kind, json); });
    };
}

int exportMaster(BatchSession& session, const QString& kind, const QString& selection,
                 bool generate, bool json);

QString masterKindArgument(const QString& text) {
    if (text != QLatin1String(ModuleCodes::Supplier) &&
        text != QLatin1String(ModuleCodes::Customer) &&
        text != QLatin1String(ModuleCodes::StockItem))
        throw UsageError(
            QStringLiteral("unknown master \"%1\" (masters: AP_SUPPLIER AR_CUSTOMER ST_ITEM)")
                .arg(text));
    return text;
}

BatchCommand::Run parseMasters(const QStringList& words) {
    const BatchArguments arguments(words, {QStringLiteral("selection")},
                                   {QStringLiteral("generate-codes"), QStringLiteral("json")});
    if (arguments.positional().isEmpty())
        throw UsageError(QStringLiteral("MASTER is missing"));
    if (arguments.positional().size() > 1)
        throw UsageError(
            QStringLiteral("unexpected argument \"%1\"").arg(arguments.positional().at(1)));
    const QString kind = masterKindArgument(arguments.positional().first());
    arguments.require({QStringLiteral("selection")});
    const QString selection = arguments.value(QStringLiteral("selection"));
    if (selection != QLatin1String("ALL") && selection != QLatin1String("DIFF"))
        throw UsageError(
            QStringLiteral("--selection \"%1\" is neither ALL nor DIFF").arg(selection));
    const bool generate = arguments.flag(QStringLiteral("generate-codes"));
    const bool json = arguments.flag(QStringLiteral("json"));
    return [kind, selection, generate, json](BatchSession& session) {
        return RunHoldingExportLock(
            session, QStringLiteral("masters ") + kind,
            [&](ExportRunLock&) { return exportMaster(session, kind, selection, generate, json); });
    };
}

int exportMaster(BatchSession& session, const QString& kind, const QString& selection,
                 bool generate, bool json) {
    {
        QString question;
        const MasterExportResult result = ExportSUPP_CUST_STOCK(
            session.data(), session.settings(), kind, selection == QLatin1String("ALL"),
            [&question, generate](const QString& text) {
                question = text;
                return generate;
            });
        const bool completed = result.outcome == MasterExportOutcome::Completed;
        QTextStream& out = session.out();
        if (json) {
            QJsonObject object{{QStringLiteral("master"), kind},
                               {QStringLiteral("selection"), selection},
                               {QStringLiteral("missingCodes"), result.missingCodes},
                               {QStringLiteral("codesGenerated"), result.generated},
                               {QStringLiteral("completed"), completed}};
            if (!completed)
                object.insert(QStringLiteral("question"), question);
            object.insert(QStringLiteral("adjustedCodes"), AdjustedCodesJson(result.adjustedCodes));
            printJson(out, object);
        } else if (completed) {
            if (result.generated)
                out << "Generated codes for " << result.missingCodes << " records\n";
            PrintAdjustedCodes(out, result.adjustedCodes);
            out << "Completed.\n";
            out.flush();
        } else {
            out.flush();
            QTextStream err(stderr);
            err << question << '\n'
                << "Nothing was exported: run again with --generate-codes to generate them.\n";
        }
        return int(completed ? BatchDone : BatchFailed);
    }
}

} // namespace

BatchCommand ExportCommand() {
    return {
        QStringLiteral("export"), QStringLiteral("export KIND [--json]"),
        QStringLiteral(
            "Posts the ticked work-table rows of KIND into the accounting package, one document\n"
            "at a time, and flags each posted document as exported at its source. Prints one\n"
            "line per document (posted, nothing to post, already in the accounting package) and\n"
            "a summary, then searches KIND again (Search All) so the work table shows what is\n"
            "left. An error stops the run at its document (status 4) and is printed on standard\n"
            "error; the documents before it stay posted and flagged. With nothing ticked it\n"
            "prints \"No Data to Export\" (status 0), or, when another run exported the\n"
            "documents after this command was started, \"Nothing left to export: the run of ...\n"
            "exported it\" (status 7). --json prints the report as JSON, with the seconds of the\n"
            "run (runSeconds) and of the search after it (searchSeconds).\n"
            "The work table is shared by every workstation of the installation: when another\n"
            "workstation searched, ticked or cleared the rows of KIND since this one last looked\n"
            "at them, a line \"Warning: ...\" naming it comes first (in --json: \"warning\")."),
        parseExport};
}

BatchCommand MastersCommand() {
    return {
        QStringLiteral("masters"),
        QStringLiteral("masters AP_SUPPLIER|AR_CUSTOMER|ST_ITEM --selection ALL|DIFF "
                       "[--generate-codes] [--json]"),
        QStringLiteral(
            "Sends the supplier, customer or stock-item master into the accounting package:\n"
            "every record (ALL) or those not yet exported (DIFF), then flags the whole table as\n"
            "exported. Suppliers and customers without a creditor or debtor code stop the\n"
            "export (status 1) unless --generate-codes lets the codes be generated first.\n"
            "\n"
            "A generated code is the control account's prefix, \"-\" and the supplier's code, or\n"
            "at most six characters of the customer's (the six before the last one when it is\n"
            "longer). A code that another supplier or customer holds already, in the back office\n"
            "or in the accounting package, or the cash-sales customer's code, is never given:\n"
            "\"-2\" is added, or \"-3\", \"-4\" and so on until the code is free (300-ORATE0\n"
            "becomes 300-ORATE0-2); where the column has no room, the code's last characters\n"
            "give way to the number. Every such code is listed with its reason. Codes that are\n"
            "already there are left as they are.\n"
            "--json prints the report as JSON."),
        parseMasters};
}
