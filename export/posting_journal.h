#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

class DbConnection;
class RowReader;

// The posting journal (ACC_POST_JOURNAL, in the database where each document is flagged: the
// stock database for sales and purchase documents, the receivables database for receivable
// documents): one durable record for every document an export run handled, so a bookkeeper can
// see afterwards what went across, when, by whom, and what the package said of what it refused.

// HeldBack: a scheduled run that checks first left the document out, with the check's reason;
// it is offered again at the next run.
enum class JournalOutcome { Posted, AlreadyInPackage, NothingToPost, Refused, HeldBack };

// As stored: POSTED, ALREADY, NOTHING, REFUSED, HELD.
QString JournalOutcomeCode(JournalOutcome outcome);
// The stored code read back; an unknown code raises AppError.
JournalOutcome JournalOutcomeFromCode(const QString& code);
// As printed: "posted", "already in the accounting package", "nothing to post", "refused",
// "held back by the check".
QString JournalOutcomeText(JournalOutcome outcome);

// What reading a posted document back from the package showed (J_CHECK): not read back (NULL;
// every outcome but a posting), its total (and a cash sale's payment) agreeing with the source's
// to the cent (AGREES), differing (DIFFERS), or the package not finding it by its number
// (MISSING).
enum class JournalCheck { NotRead, Agrees, Differs, Missing };
QString JournalCheckCode(JournalCheck check); // empty for NotRead
JournalCheck JournalCheckFromCode(const QString& code);

struct JournalEntry {
    QString runId;
    int sequence = 0; // the document's place in its run, from 1
    QDateTime time;
    QString user;
    QString store;
    QString moduleCode;
    QString sourceId;       // S_ID of the work table: ledger id, counter or document number
    QString documentNumber; // the document number in the package
    QDate date;
    QString party;
    double netTotal = 0;
    JournalOutcome outcome = JournalOutcome::Posted;
    QString message; // the package's text for a refusal, or a note
    JournalCheck check = JournalCheck::NotRead;
    std::optional<double> packageTotal; // the package's total of the document, read back
};

// The columns of ACC_POST_JOURNAL that JournalEntryFromRow reads, in its order, for a SELECT.
QString JournalColumns();
// The record in the current row of a SELECT of JournalColumns().
JournalEntry JournalEntryFromRow(RowReader& reader);

// Writes the journal of one run in one database. Each record() is one INSERT on its connection, so
// it belongs to whatever transaction is open there (the document's marking). The sequence numbers
// go on from the run's last record, so several writers may serve one run one after another.
class PostingJournalWriter {
public:
    PostingJournalWriter(DbConnection& database, QString runId, QString user);
    // Fills in the run, the user, the next sequence number and the time (the clock's now).
    void record(JournalEntry entry);
    // The INSERT that record() runs, for a caller that runs it with other statements (the
    // document's marking).
    QString recordStatement(JournalEntry entry);
    const QString& runId() const { return runId_; }

private:
    DbConnection& database_;
    QString runId_;
    QString user_;
    int sequence_ = 0;
};

struct JournalFilter {
    QDate from; // by the time of the record, whole days; an invalid date leaves the side open
    QDate to;
    QString moduleCode; // empty: every kind
};

// The records of both journals, the stock database's (sales and purchase documents) and the
// receivables database's, in time order (then run and sequence). A receivables database that
// has never had a journal has no records.
QList<JournalEntry> ReadJournal(DbConnection& stock, DbConnection& receivables,
                                const JournalFilter& filter);

// True when the database holds the journal table.
bool HasJournal(DbConnection& database);
