// The batch commands that read what export runs did: journal (the posting journal) and
// reconcile (documents at the source against those posted, by store, day and kind).
#include "data/activity_log.h"
#include "data/dm_polling.h"
#include "export/batch/batch_arguments.h"
#include "export/batch/batch_command.h"
#include "export/module_codes.h"
#include "export/posting_journal.h"
#include "export/reconciliation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

namespace {

QString amountText(double value) {
    QLocale locale = QLocale::system();
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(value, 'f', 2);
}

QString timeText(const QDateTime& at) {
    return ShortDateText(at.date()) + QLatin1Char(' ') + LongTimeText(at.time());
}

// Columns padded to the widest cell, amounts (the columns named in `rightAligned`) on the right.
void printTable(QTextStream& out, const QList<QStringList>& rows, const QList<int>& rightAligned) {
    QList<int> widths;
    for (const QStringList& row : rows)
        for (int i = 0; i < row.size(); ++i) {
            if (widths.size() <= i)
                widths << 0;
            widths[i] = std::max(widths[i], int(row.at(i).size()));
        }
    for (const QStringList& row : rows) {
        QStringList cells;
        for (int i = 0; i < row.size(); ++i)
            cells << (rightAligned.contains(i) ? row.at(i).rightJustified(widths[i])
                                               : row.at(i).leftJustified(widths[i]));
        out << cells.join(QStringLiteral("  ")).trimmed() << '\n';
    }
}

QDate optionalDay(const BatchArguments& arguments, const QString& option) {
    return arguments.has(option) ? DayArgument(option, arguments.value(option)) : QDate();
}

void requireOrderedRange(const QDate& from, const QDate& to) {
    if (from.isValid() && to.isValid() && to < from)
        throw UsageError(QStringLiteral("--to %1 is earlier than --from %2")
                             .arg(to.toString(QStringLiteral("yyyy/MM/dd")),
                                  from.toString(QStringLiteral("yyyy/MM/dd"))));
}

BatchCommand::Run parseJournal(const QStringList& words) {
    const BatchArguments arguments(
        words, {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("kind")},
        {QStringLiteral("json")});
    if (!arguments.positional().isEmpty())
        throw UsageError(
            QStringLiteral("unexpected argument \"%1\"").arg(arguments.positional().first()));
    JournalFilter filter;
    filter.from = optionalDay(arguments, QStringLiteral("from"));
    filter.to = optionalDay(arguments, QStringLiteral("to"));
    requireOrderedRange(filter.from, filter.to);
    if (arguments.has(QStringLiteral("kind")))
        filter.moduleCode = TransactionKindArgument(arguments.value(QStringLiteral("kind")));
    const bool json = arguments.flag(QStringLiteral("json"));
    return [filter, json](BatchSession& session) {
        const QList<JournalEntry> entries =
            ReadJournal(session.data().dbStk, session.data().dbAR, filter);
        QTextStream& out = session.out();
        if (json) {
            QJsonArray list;
            for (const JournalEntry& entry : entries) {
                QJsonObject object{{QStringLiteral("time"), entry.time.toString(Qt::ISODateWithMs)},
                                   {QStringLiteral("user"), entry.user},
                                   {QStringLiteral("store"), entry.store},
                                   {QStringLiteral("kind"), entry.moduleCode},
                                   {QStringLiteral("sourceId"), entry.sourceId},
                                   {QStringLiteral("document"), entry.documentNumber},
                                   {QStringLiteral("date"), entry.date.toString(Qt::ISODate)},
                                   {QStringLiteral("party"), entry.party},
                                   {QStringLiteral("netTotal"), entry.netTotal},
                                   {QStringLiteral("outcome"), JournalOutcomeCode(entry.outcome)},
                                   {QStringLiteral("message"), entry.message},
                                   {QStringLiteral("runId"), entry.runId}};
                if (entry.check != JournalCheck::NotRead)
                    object.insert(QStringLiteral("check"), JournalCheckCode(entry.check));
                if (entry.packageTotal)
                    object.insert(QStringLiteral("packageTotal"), *entry.packageTotal);
                list.append(object);
            }
            out << QJsonDocument(QJsonObject{{QStringLiteral("entries"), list}})
                       .toJson(QJsonDocument::Indented);
            out.flush();
            return int(BatchDone);
        }
        QList<QStringList> rows{{QStringLiteral("Time"), QStringLiteral("User"),
                                 QStringLiteral("Store"), QStringLiteral("Kind"),
                                 QStringLiteral("Document"), QStringLiteral("Date"),
                                 QStringLiteral("Party"), QStringLiteral("Net Amt."),
                                 QStringLiteral("Run"), QStringLiteral("Outcome")}};
        for (const JournalEntry& entry : entries) {
            QString outcome = JournalOutcomeText(entry.outcome);
            // A posting's note ("posted; the package's total ...") names its outcome itself.
            if (entry.message.startsWith(outcome + QLatin1Char(';')))
                outcome = OneLine(entry.message);
            else if (!entry.message.isEmpty())
                outcome += QStringLiteral(": ") + OneLine(entry.message);
            rows << QStringList{timeText(entry.time), entry.user,
                                entry.store,          entry.moduleCode,
                                entry.documentNumber, ShortDateText(entry.date),
                                entry.party,          amountText(entry.netTotal),
                                entry.runId,          outcome};
        }
        // The outcome may carry the package's long text: it goes last.
        printTable(out, rows, {7});
        out << "Records: " << entries.size() << '\n';
        out.flush();
        return int(BatchDone);
    };
}

BatchCommand::Run parseReconcile(const QStringList& words) {
    const BatchArguments arguments(
        words, {QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("store")},
        {QStringLiteral("json")});
    if (!arguments.positional().isEmpty())
        throw UsageError(
            QStringLiteral("unexpected argument \"%1\"").arg(arguments.positional().first()));
    arguments.require({QStringLiteral("from"), QStringLiteral("to")});
    ReconciliationFilter filter;
    filter.from = DayArgument(QStringLiteral("from"), arguments.value(QStringLiteral("from")));
    filter.to = DayArgument(QStringLiteral("to"), arguments.value(QStringLiteral("to")));
    requireOrderedRange(filter.from, filter.to);
    filter.store = arguments.value(QStringLiteral("store"));
    const bool json = arguments.flag(QStringLiteral("json"));
    return [filter, json](BatchSession& session) {
        const QList<ReconciliationRow> rows = Reconcile(session.data(), session.settings(), filter);
        QTextStream& out = session.out();
        if (json) {
            QJsonArray list;
            for (const ReconciliationRow& row : rows)
                list.append(QJsonObject{{QStringLiteral("store"), row.store},
                                        {QStringLiteral("day"), row.day.toString(Qt::ISODate)},
                                        {QStringLiteral("kind"), row.moduleCode},
                                        {QStringLiteral("atSource"), row.atSource},
                                        {QStringLiteral("atSourceNet"), row.atSourceNet},
                                        {QStringLiteral("posted"), row.posted},
                                        {QStringLiteral("postedNet"), row.postedNet},
                                        {QStringLiteral("outstanding"), row.outstanding},
                                        {QStringLiteral("outstandingNet"), row.outstandingNet},
                                        {QStringLiteral("journalled"), row.journalled},
                                        {QStringLiteral("differing"), row.differing}});
            out << QJsonDocument(QJsonObject{{QStringLiteral("rows"), list}})
                       .toJson(QJsonDocument::Indented);
            out.flush();
            return int(BatchDone);
        }
        QList<QStringList> table{{QStringLiteral("Store"), QStringLiteral("Day"),
                                  QStringLiteral("Kind"), QStringLiteral("At source"),
                                  QStringLiteral("Source net"), QStringLiteral("Posted"),
                                  QStringLiteral("Posted net"), QStringLiteral("Outstanding"),
                                  QStringLiteral("Outstanding net"), QStringLiteral("Journalled"),
                                  QStringLiteral("Differing")}};
        int outstanding = 0;
        int differing = 0;
        double outstandingNet = 0;
        for (const ReconciliationRow& row : rows) {
            table << QStringList{row.store,
                                 ShortDateText(row.day),
                                 row.moduleCode,
                                 QString::number(row.atSource),
                                 amountText(row.atSourceNet),
                                 QString::number(row.posted),
                                 amountText(row.postedNet),
                                 QString::number(row.outstanding),
                                 amountText(row.outstandingNet),
                                 QString::number(row.journalled),
                                 QString::number(row.differing)};
            outstanding += row.outstanding;
            differing += row.differing;
            outstandingNet += row.outstandingNet;
        }
        printTable(out, table, {3, 4, 5, 6, 7, 8, 9, 10});
        out << "Outstanding: " << outstanding << " documents, " << amountText(outstandingNet)
            << '\n';
        if (differing > 0)
            out << "Differing: " << differing
                << " posted documents whose total in the accounting package differs from the "
                   "source's (see the journal)\n";
        out.flush();
        return int(BatchDone);
    };
}

} // namespace

BatchCommand JournalCommand() {
    return {QStringLiteral("journal"),
            QStringLiteral("journal [--from yyyy/MM/dd] [--to yyyy/MM/dd] [--kind KIND] [--json]"),
            QStringLiteral(
                "Prints the posting journal: every document an export run handled, with its time,\n"
                "user, store, kind, document number in the package, date, party code, net total,\n"
                "outcome (posted, already in the accounting package, nothing to post, refused\n"
                "with the package's text) and run. --from and --to take the records of those days\n"
                "(both included); --kind one kind only. --json prints the records as JSON."),
            parseJournal};
}

BatchCommand ReconcileCommand() {
    return {
        QStringLiteral("reconcile"),
        QStringLiteral("reconcile --from yyyy/MM/dd --to yyyy/MM/dd [--store S] [--json]"),
        QStringLiteral(
            "Prints, per store, day and kind, the documents dated in the range at the source,\n"
            "those flagged as exported (posted) and those not (outstanding), each with its net\n"
            "total, how many the journal records as posted, and how many of those read back\n"
            "from the package with another total than the source's (differing). The last line\n"
            "sums what did not go across. Cash sales count receipts (By Item) or counter-days\n"
            "(By Summary) as EXPORT_MODE says. --store one store only; --json prints the rows\n"
            "as JSON."),
        parseReconcile};
}
