#include "export/posting_journal.h"

#include "core/app_context.h"
#include "core/app_error.h"
#include "data/connection.h"
#include "data/query.h"
#include "data/sql_quote.h"

#include <algorithm>
#include <tuple>

namespace {

struct OutcomeName {
    JournalOutcome outcome;
    const char* code;
    const char* text;
};

const OutcomeName kOutcomes[] = {
    {JournalOutcome::Posted, "POSTED", "posted"},
    {JournalOutcome::AlreadyInPackage, "ALREADY", "already in the accounting package"},
    {JournalOutcome::NothingToPost, "NOTHING", "nothing to post"},
    {JournalOutcome::Refused, "REFUSED", "refused"},
    {JournalOutcome::HeldBack, "HELD", "held back by the check"}};

const OutcomeName& named(JournalOutcome outcome) {
    for (const OutcomeName& name : kOutcomes)
        if (name.outcome == outcome)
            return name;
    return kOutcomes[0];
}

QString dayOrNull(const QDate& date) {
    return date.isValid() ? QuotedDate(date) : QStringLiteral("NULL");
}

} // namespace

QString JournalOutcomeCode(JournalOutcome outcome) {
    return QLatin1String(named(outcome).code);
}

QString JournalOutcomeText(JournalOutcome outcome) {
    return QLatin1String(named(outcome).text);
}

QString JournalCheckCode(JournalCheck check) {
    switch (check) {
    case JournalCheck::NotRead:
        break;
    case JournalCheck::Agrees:
        return QStringLiteral("AGREES");
    case JournalCheck::Differs:
        return QStringLiteral("DIFFERS");
    case JournalCheck::Missing:
        return QStringLiteral("MISSING");
    }
    return QString();
}

JournalCheck JournalCheckFromCode(const QString& code) {
    for (const JournalCheck check :
         {JournalCheck::Agrees, JournalCheck::Differs, JournalCheck::Missing})
        if (code == JournalCheckCode(check))
            return check;
    return JournalCheck::NotRead;
}

JournalOutcome JournalOutcomeFromCode(const QString& code) {
    for (const OutcomeName& name : kOutcomes)
        if (code == QLatin1String(name.code))
            return name.outcome;
    throw AppError(QStringLiteral("Unknown outcome \"%1\" in the posting journal").arg(code));
}

PostingJournalWriter::PostingJournalWriter(DbConnection& database, QString runId, QString user)
    : database_(database), runId_(std::move(runId)), user_(std::move(user)) {
    // A run may export several kinds, each with a writer of its own: the numbers go on.
    sequence_ = SelectValue(database_, QStringLiteral("SELECT MAX(J_SEQ) FROM ACC_POST_JOURNAL "
                                                      "WHERE J_RUN_ID = ") +
                                           QuotedStr(runId_))
                    .toInt();
}

void PostingJournalWriter::record(JournalEntry entry) {
    database_.execute(recordStatement(std::move(entry)));
}

QString PostingJournalWriter::recordStatement(JournalEntry entry) {
    entry.runId = runId_;
    entry.user = user_;
    entry.sequence = ++sequence_;
    entry.time = Now();
    return (
        QStringLiteral("INSERT INTO ACC_POST_JOURNAL (J_RUN_ID, J_SEQ, J_TIME, J_USER, J_STORE, "
                       "J_MODULE, J_SOURCE_ID, J_DOCNO, J_DOCDATE, J_PARTY, J_NETTOTAL, "
                       "J_OUTCOME, J_MESSAGE, J_CHECK, J_PACKAGE_TOTAL) VALUES (") +
        QStringList{QuotedStr(entry.runId), QString::number(entry.sequence),
                    QuotedTimestamp(entry.time), QuotedStr(entry.user.left(10)),
                    QuotedStr(entry.store.left(20)), QuotedStr(entry.moduleCode.left(20)),
                    QuotedStr(entry.sourceId.left(35)), QuotedStr(entry.documentNumber.left(60)),
                    dayOrNull(entry.date), QuotedStr(entry.party.left(20)),
                    SqlNumber(entry.netTotal), QuotedStr(JournalOutcomeCode(entry.outcome)),
                    QuotedStr(entry.message.left(1000)),
                    entry.check == JournalCheck::NotRead ? QStringLiteral("NULL")
                                                         : QuotedStr(JournalCheckCode(entry.check)),
                    entry.packageTotal ? SqlNumber(*entry.packageTotal) : QStringLiteral("NULL")}
            .join(QLatin1Char(',')) +
        QLatin1Char(')'));
}

QString JournalColumns() {
    return QStringLiteral(
        "J_RUN_ID, J_SEQ, J_TIME, J_USER, J_STORE, J_MODULE, J_SOURCE_ID, J_DOCNO, "
        "J_DOCDATE, J_PARTY, J_NETTOTAL, J_OUTCOME, J_MESSAGE, J_CHECK, "
        "J_PACKAGE_TOTAL");
}

JournalEntry JournalEntryFromRow(RowReader& reader) {
    JournalEntry entry;
    entry.runId = reader.value(0).toString().trimmed();
    entry.sequence = reader.value(1).toInt();
    entry.time = reader.value(2).toDateTime();
    entry.user = reader.value(3).toString().trimmed();
    entry.store = reader.value(4).toString().trimmed();
    entry.moduleCode = reader.value(5).toString().trimmed();
    entry.sourceId = reader.value(6).toString().trimmed();
    entry.documentNumber = reader.value(7).toString().trimmed();
    entry.date = reader.value(8).toDateTime().date();
    entry.party = reader.value(9).toString().trimmed();
    entry.netTotal = reader.value(10).toDouble();
    entry.outcome = JournalOutcomeFromCode(reader.value(11).toString().trimmed());
    entry.message = reader.value(12).toString();
    entry.check = JournalCheckFromCode(reader.value(13).toString().trimmed());
    if (!reader.value(14).isNull())
        entry.packageTotal = reader.value(14).toDouble();
    return entry;
}

namespace {

void readJournalOf(DbConnection& database, const JournalFilter& filter,
                   QList<JournalEntry>& entries) {
    QString sql = QStringLiteral("SELECT ") + JournalColumns() +
                  QStringLiteral(" FROM ACC_POST_JOURNAL WHERE 1 = 1");
    if (filter.from.isValid())
        sql += QStringLiteral(" AND J_TIME >= ") + QuotedDate(filter.from);
    if (filter.to.isValid())
        sql += QStringLiteral(" AND J_TIME < ") + QuotedDate(filter.to.addDays(1));
    if (!filter.moduleCode.isEmpty())
        sql += QStringLiteral(" AND J_MODULE = ") + QuotedStr(filter.moduleCode);
    RowReader reader(database, sql);
    while (reader.next())
        entries << JournalEntryFromRow(reader);
}

} // namespace

bool HasJournal(DbConnection& database) {
    return SelectValue(database, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE "
                                                "RDB$RELATION_NAME = 'ACC_POST_JOURNAL'"))
               .toInt() > 0;
}

QList<JournalEntry> ReadJournal(DbConnection& stock, DbConnection& receivables,
                                const JournalFilter& filter) {
    QList<JournalEntry> entries;
    readJournalOf(stock, filter, entries);
    if (HasJournal(receivables))
        readJournalOf(receivables, filter, entries);
    std::stable_sort(
        entries.begin(), entries.end(), [](const JournalEntry& a, const JournalEntry& b) {
            return std::tie(a.time, a.runId, a.sequence) < std::tie(b.time, b.runId, b.sequence);
        });
    return entries;
}
