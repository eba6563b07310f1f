// The batch command that checks the ticked documents of a kind against the accounting package
// before they are posted: what the package would refuse, and why, with nothing sent.
#include "export/batch/batch_arguments.h"
#include "export/batch/batch_command.h"
#include "export/posting_check.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

QJsonArray CheckFindingsJson(const CheckReport& report) {
    QJsonArray documents;
    for (const CheckedDocument& doc : report.documents) {
        if (doc.findings.isEmpty())
            continue;
        QJsonArray findings;
        for (const CheckFinding& finding : doc.findings) {
            QJsonObject object{{QStringLiteral("code"), finding.code},
                               {QStringLiteral("problem"), finding.text},
                               {QStringLiteral("remedy"), finding.remedy},
                               {QStringLiteral("refusedAtSave"), finding.refusedAtSave()}};
            if (!finding.masterExport.isEmpty())
                object.insert(QStringLiteral("masterExport"), finding.masterExport);
            findings.append(object);
        }
        documents.append(QJsonObject{{QStringLiteral("document"), doc.documentNumber},
                                     {QStringLiteral("ready"), doc.ready()},
                                     {QStringLiteral("party"), doc.party},
                                     {QStringLiteral("date"), doc.date},
                                     {QStringLiteral("findings"), findings}});
    }
    return documents;
}

void PrintCheckFindings(QTextStream& out, const CheckReport& report, const QString& indent) {
    for (const CheckedDocument& doc : report.documents)
        for (const CheckFinding& finding : doc.findings)
            out << indent << doc.documentNumber << ": " << OneLine(finding.text) << " - "
                << finding.remedy << '\n';
}

namespace {

int checkKind(BatchSession& session, const QString& kind, bool json) {
    // What another workstation did to these rows is said first (in --json: "warning").
    const QString changedElsewhere = session.search().ChangedElsewhereText(kind);
    if (!json && !changedElsewhere.isEmpty()) {
        session.out() << "Warning: " << changedElsewhere << '\n';
        session.out().flush();
    }
    // Timed for --json: the check alone, without the program's start and login.
    QElapsedTimer clock;
    clock.start();
    const CheckReport report = CheckTickedDocuments(session.data(), session.settings(), kind);
    const double seconds = clock.nsecsElapsed() / 1e9;
    QTextStream& out = session.out();
    if (json) {
        QJsonObject object{{QStringLiteral("kind"), kind},
                           {QStringLiteral("checked"), int(report.documents.size())},
                           {QStringLiteral("ready"), report.readyCount()},
                           {QStringLiteral("wouldBeRefused"), report.refusedCount()},
                           {QStringLiteral("summary"), report.summaryText()},
                           {QStringLiteral("checkSeconds"), seconds},
                           {QStringLiteral("documents"), CheckFindingsJson(report)}};
        if (!changedElsewhere.isEmpty())
            object.insert(QStringLiteral("warning"), changedElsewhere);
        out << QJsonDocument(object).toJson(QJsonDocument::Indented);
    } else if (report.documents.isEmpty()) {
        out << "No Data to Export\n";
    } else {
        PrintCheckFindings(out, report);
        out << kind << ": " << report.summaryText() << '\n';
    }
    out.flush();
    return report.refusedCount() > 0 ? BatchSomeRefused : BatchDone;
}

BatchCommand::Run parseCheck(const QStringList& words) {
    const BatchArguments arguments(words, {}, {QStringLiteral("json")});
    if (arguments.positional().isEmpty())
        throw UsageError(QStringLiteral("KIND is missing"));
    if (arguments.positional().size() > 1)
        throw UsageError(
            QStringLiteral("unexpected argument \"%1\"").arg(arguments.positional().at(1)));
    const QString kind = TransactionKindArgument(arguments.positional().first());
    const bool json = arguments.flag(QStringLiteral("json"));
    return [kind, json](BatchSession& session) { return checkKind(session, kind, json); };
}

} // namespace

BatchCommand CheckCommand() {
    return {
        QStringLiteral("check"), QStringLiteral("check KIND [--json]"),
        QStringLiteral(
            "Checks the ticked work-table rows of KIND against the accounting package without\n"
            "posting anything: each document is made as the export would make it, and every\n"
            "code it names (customer or supplier, terms, area, agent, currency, project,\n"
            "payment method, accounts, tax codes, items) is looked up in the package. Prints\n"
            "each problem with its document, code and remedy, then a summary. Also named: a\n"
            "number the package holds for another party, date or amount, a knock-off whose\n"
            "document is neither in the package nor ticked, a total below 0, nothing to post.\n"
            "Exits with status 3 when any document would be refused, 0 when all are ready.\n"
            "Nothing is posted, flagged or unticked. --json prints the report as JSON, with the\n"
            "seconds of the check itself (checkSeconds)."),
        parseCheck};
}
