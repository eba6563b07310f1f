#include "export/posted_documents.h"

#include "data/connection.h"
#include "data/query.h"
#include "data/sql_quote.h"

#include <QHash>

#include <algorithm>
#include <tuple>

namespace {

QString journalConditions(const PostedFilter& filter, QVariantList& binds) {
    QString where;
    if (!filter.store.isEmpty()) {
        where += QStringLiteral(" AND J_STORE = ?");
        binds << filter.store;
    }
    if (!filter.moduleCode.isEmpty()) {
        where += QStringLiteral(" AND J_MODULE = ?");
        binds << filter.moduleCode;
    }
    if (!filter.outcome.isEmpty()) {
        where += QStringLiteral(" AND J_OUTCOME = ?");
        binds << filter.outcome;
    }
    return where;
}

QString dayRange(const QString& column, const PostedFilter& filter) {
    QString where;
    if (filter.from.isValid())
        where += QStringLiteral(" AND %1 >= %2").arg(column, QuotedDate(filter.from));
    if (filter.to.isValid())
        where += QStringLiteral(" AND %1 < %2").arg(column, QuotedDate(filter.to.addDays(1)));
    return where;
}

// The journal of one database, summed by run, store, kind and outcome.
void readRunTotals(DbConnection& database, const PostedFilter& filter,
                   QHash<QString, PostedRun>& runs) {
    QVariantList binds;
    const QString sql =
        QStringLiteral("SELECT J_RUN_ID, J_STORE, J_MODULE, J_OUTCOME, COUNT(*), SUM(J_NETTOTAL), "
                       "MIN(J_TIME), MAX(J_USER) FROM ACC_POST_JOURNAL WHERE 1 = 1") +
        dayRange(QStringLiteral("J_TIME"), filter) + journalConditions(filter, binds) +
        QStringLiteral(" GROUP BY J_RUN_ID, J_STORE, J_MODULE, J_OUTCOME");
    RowReader reader(database, sql, binds);
    while (reader.next()) {
        const QString runId = reader.value(0).toString().trimmed();
        PostedRun& run = runs[runId];
        run.runId = runId;
        const QString store = reader.value(1).toString().trimmed();
        const QString kind = reader.value(2).toString().trimmed();
        if (!store.isEmpty() && !run.stores.contains(store))
            run.stores << store;
        if (!kind.isEmpty() && !run.kinds.contains(kind))
            run.kinds << kind;
        const JournalOutcome outcome = JournalOutcomeFromCode(reader.value(3).toString().trimmed());
        const int count = reader.value(4).toInt();
        const double net = reader.value(5).toDouble();
        OutcomeTotals totals;
        totals.documents = count;
        totals.net = net;
        switch (outcome) {
        case JournalOutcome::Posted:
            totals.posted = count;
            totals.postedNet = net;
            break;
        case JournalOutcome::AlreadyInPackage:
            totals.alreadyInPackage = count;
            break;
        case JournalOutcome::NothingToPost:
            totals.nothingToPost = count;
            break;
        case JournalOutcome::Refused:
        case JournalOutcome::HeldBack: // not posted: needs the bookkeeper like a refusal
            totals.refused = count;
            break;
        }
        run.totals += totals;
        const QDateTime first = reader.value(6).toDateTime();
        if (!run.started.isValid() || first < run.started)
            run.started = first;
        if (run.user.isEmpty())
            run.user = reader.value(7).toString().trimmed();
    }
}

void readRegister(DbConnection& stock, const PostedFilter& filter,
                  QHash<QString, PostedRun>& runs) {
    // The register's rows of the runs found, and (unless the filter narrows the documents) of
    // the other runs that started in the period. Every row is read and matched here: the
    // register has one row per run, few against the journal.
    RowReader reader(stock, QStringLiteral("SELECT R_RUN_ID, R_USER, R_HOST, R_PROGRAM, R_COMMAND, "
                                           "R_STARTED, R_ENDED, R_OUTCOME FROM ACC_EXPORT_RUN"));
    while (reader.next()) {
        const QString runId = reader.value(0).toString().trimmed();
        const QDateTime started = reader.value(5).toDateTime();
        auto found = runs.find(runId);
        if (found == runs.end()) {
            if (filter.narrowsDocuments())
                continue;
            if ((filter.from.isValid() && started.date() < filter.from) ||
                (filter.to.isValid() && started.date() > filter.to))
                continue;
            found = runs.insert(runId, PostedRun{});
            found->runId = runId;
        }
        PostedRun& run = *found;
        run.user = reader.value(1).toString().trimmed();
        run.host = reader.value(2).toString().trimmed();
        run.program = reader.value(3).toString().trimmed();
        run.command = reader.value(4).toString().trimmed();
        run.started = started;
        run.ended = reader.value(6).toDateTime();
        run.ending = reader.value(7).toString().trimmed();
    }
}

void readDocumentsOf(DbConnection& database, const QString& runId, const PostedFilter& filter,
                     QList<JournalEntry>& documents) {
    QVariantList binds{runId};
    const QString sql = QStringLiteral("SELECT ") + JournalColumns() +
                        QStringLiteral(" FROM ACC_POST_JOURNAL WHERE J_RUN_ID = ?") +
                        journalConditions(filter, binds);
    RowReader reader(database, sql, binds);
    while (reader.next())
        documents << JournalEntryFromRow(reader);
}

QString amount(double value) {
    return QString::number(value, 'f', 2);
}

QList<QStringList> documentTable(const QList<JournalEntry>& documents) {
    QList<QStringList> rows{{QStringLiteral("Document"), QStringLiteral("Party"),
                             QStringLiteral("Date"), QStringLiteral("Amount"),
                             QStringLiteral("Outcome"), QStringLiteral("Package's text"),
                             QStringLiteral("Store"), QStringLiteral("Kind")}};
    for (const JournalEntry& document : documents)
        rows << QStringList{document.documentNumber,
                            document.party,
                            document.date.toString(QStringLiteral("dd/MM/yyyy")),
                            amount(document.netTotal),
                            JournalOutcomeText(document.outcome),
                            document.message,
                            document.store,
                            document.moduleCode};
    return rows;
}

} // namespace

void OutcomeTotals::add(JournalOutcome outcome, double netTotal) {
    ++documents;
    net += netTotal;
    switch (outcome) {
    case JournalOutcome::Posted:
        ++posted;
        postedNet += netTotal;
        break;
    case JournalOutcome::AlreadyInPackage:
        ++alreadyInPackage;
        break;
    case JournalOutcome::NothingToPost:
        ++nothingToPost;
        break;
    case JournalOutcome::Refused:
    case JournalOutcome::HeldBack:
        ++refused;
        break;
    }
}

OutcomeTotals& OutcomeTotals::operator+=(const OutcomeTotals& other) {
    documents += other.documents;
    posted += other.posted;
    alreadyInPackage += other.alreadyInPackage;
    nothingToPost += other.nothingToPost;
    refused += other.refused;
    postedNet += other.postedNet;
    net += other.net;
    return *this;
}

QString PostedRun::source() const {
    if (program == QLatin1String("zantro-link"))
        return QStringLiteral("window");
    if (command.startsWith(QLatin1String("schedule")))
        return QStringLiteral("schedule");
    return QStringLiteral("batch command");
}

QList<PostedRun> ReadPostedRuns(DbConnection& stock, DbConnection& receivables,
                                const PostedFilter& filter) {
    QHash<QString, PostedRun> runs;
    readRunTotals(stock, filter, runs);
    if (HasJournal(receivables))
        readRunTotals(receivables, filter, runs);
    readRegister(stock, filter, runs);
    QList<PostedRun> list = runs.values();
    std::sort(list.begin(), list.end(), [](const PostedRun& a, const PostedRun& b) {
        return std::tie(b.started, b.runId) < std::tie(a.started, a.runId);
    });
    for (PostedRun& run : list) {
        run.stores.sort();
        run.kinds.sort();
    }
    return list;
}

QList<JournalEntry> ReadRunDocuments(DbConnection& stock, DbConnection& receivables,
                                     const QString& runId, const PostedFilter& filter) {
    QList<JournalEntry> documents;
    readDocumentsOf(stock, runId, filter, documents);
    if (HasJournal(receivables))
        readDocumentsOf(receivables, runId, filter, documents);
    std::stable_sort(documents.begin(), documents.end(),
                     [](const JournalEntry& a, const JournalEntry& b) {
                         return std::tie(a.sequence, a.time) < std::tie(b.sequence, b.time);
                     });
    return documents;
}

OutcomeTotals TotalsOf(const QList<JournalEntry>& documents) {
    OutcomeTotals totals;
    for (const JournalEntry& document : documents)
        totals.add(document.outcome, document.netTotal);
    return totals;
}

QString DocumentsAsTabText(const QList<JournalEntry>& documents) {
    QString text;
    for (QStringList row : documentTable(documents)) {
        // A tab or line break inside a value would break the table apart.
        for (QString& cell : row)
            cell.replace(QLatin1Char('\t'), QLatin1Char(' '))
                .replace(QLatin1Char('\r'), QLatin1Char(' '))
                .replace(QLatin1Char('\n'), QLatin1Char(' '));
        text += row.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return text;
}

QString DocumentsAsCsv(const QList<JournalEntry>& documents) {
    QString text;
    for (const QStringList& row : documentTable(documents)) {
        QStringList cells;
        for (QString cell : row) {
            if (cell.contains(QLatin1Char(',')) || cell.contains(QLatin1Char('"')) ||
                cell.contains(QLatin1Char('\n')) || cell.contains(QLatin1Char('\r'))) {
                cell.replace(QLatin1String("\""), QLatin1String("\"\""));
                cell = QLatin1Char('"') + cell + QLatin1Char('"');
            }
            cells << cell;
        }
        text += cells.join(QLatin1Char(',')) + QStringLiteral("\r\n");
    }
    return text;
}
