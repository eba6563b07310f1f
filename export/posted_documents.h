#pragma once

#include "export/posting_journal.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class DbConnection;

// What the window of posted documents reads: the export runs of a period with what each did, and
// a run's documents, from the run register (ACC_EXPORT_RUN) and the posting journal
// (ACC_POST_JOURNAL in the stock database for sales and purchases, in the receivables database
// for the receivable kinds).

struct PostedFilter {
    QDate from; // the day the documents were handled (posted or refused), both included
    QDate to;
    QString store;      // empty: every store
    QString moduleCode; // empty: every kind
    QString outcome;    // a journal code (POSTED, ALREADY, NOTHING, REFUSED); empty: all
    // True when a document must match store, kind or outcome: runs without such documents (a
    // masters export, a run that found nothing) are then left out.
    bool narrowsDocuments() const {
        return !store.isEmpty() || !moduleCode.isEmpty() || !outcome.isEmpty();
    }
};

// Counts and net sums of documents by what became of them.
struct OutcomeTotals {
    int documents = 0;
    int posted = 0;
    int alreadyInPackage = 0;
    int nothingToPost = 0;
    int refused = 0;
    double postedNet = 0; // the net amounts of the documents posted
    double net = 0;       // of all of them
    void add(JournalOutcome outcome, double netTotal);
    OutcomeTotals& operator+=(const OutcomeTotals& other);
};

struct PostedRun {
    QString runId;
    QString user;
    QString host;
    QString program; // zantro-link, zantro-batch
    QString command; // "Export SL_CS", "schedule", "masters AR_CUSTOMER" ...
    QDateTime started;
    QDateTime ended; // invalid while it runs, or when the register has no row of it
    QString ending;  // the register's outcome: DONE, STOPPED, ERROR ...
    QStringList stores;
    QStringList kinds;
    OutcomeTotals totals; // of its documents that match the filter
    // "window", "schedule", or "batch command".
    QString source() const;
};

// The runs of the period, latest first: every run that handled a document matching the filter,
// and (when the filter names no store, kind or outcome) also the runs the register holds for the
// period that handled none.
QList<PostedRun> ReadPostedRuns(DbConnection& stock, DbConnection& receivables,
                                const PostedFilter& filter);

// The documents of one run that match the filter's store, kind and outcome (not its dates: a run
// that went on past midnight shows whole), in the order the run handled them.
QList<JournalEntry> ReadRunDocuments(DbConnection& stock, DbConnection& receivables,
                                     const QString& runId, const PostedFilter& filter);

OutcomeTotals TotalsOf(const QList<JournalEntry>& documents);

// The documents as a table to hand on: a title row, then one row per document (number, party,
// date, amount, outcome, the package's text, store, kind). Tab-separated for the clipboard, or
// CSV (RFC 4180: fields with a comma, quote or line break quoted, quotes doubled). Amounts with
// two decimals and "." as the decimal point, dates as dd/MM/yyyy.
QString DocumentsAsTabText(const QList<JournalEntry>& documents);
QString DocumentsAsCsv(const QList<JournalEntry>& documents);
