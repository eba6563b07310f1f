#pragma once

#include "sqlacc/document_identity.h"

#include <QList>
#include <QString>
#include <QStringList>

class SettingsFile;
class TdmPolling;

// What became of one ticked document.
enum class ExportRowResult {
    Posted,           // saved in the accounting package and flagged at its source
    NothingToPost,    // its source held no rows: nothing saved, nothing flagged
    AlreadyInPackage, // the package held its number already (an earlier run saved it but could
                      // not flag it): flagged now, not posted a second time
    Refused,          // the package raised an error on it, or holds its number for another
                      // document: nothing flagged (scheduled runs go on)
    AlreadyExported   // flagged at its source already (by an earlier run that stopped before it
                      // could untick it, or by another): not posted, not journalled again
};

// Follows a run document by document; a window shows progress and may ask it to stop.
class ExportRunObserver {
public:
    virtual ~ExportRunObserver() = default;
    // Before document `index` (1-based) of `total` is posted.
    virtual void documentStarting(int index, int total, const QString& documentNumber) {
        Q_UNUSED(index);
        Q_UNUSED(total);
        Q_UNUSED(documentNumber);
    }
    virtual void documentDone(int index, int total, const QString& documentNumber,
                              ExportRowResult result) {
        Q_UNUSED(index);
        Q_UNUSED(total);
        Q_UNUSED(documentNumber);
        Q_UNUSED(result);
    }
    // Asked after each document: true stops the run there (the document in hand is finished).
    virtual bool stopRequested() { return false; }
    // While the run notes what became of each document (for the export window's Status column),
    // now and then: a window keeps painting.
    virtual void recordingStatuses(int done, int total) {
        Q_UNUSED(done);
        Q_UNUSED(total);
    }
};

// A document the package refused, with the package's text; or one it took whose figures, read
// back, differ from the source's, with what differs.
struct ExportRefusal {
    QString documentNumber;
    QString message;
};

// What the run did with one ticked document, in the order the run took them: what a window's
// status column, a report and a closing message tell about each document.
struct ExportDocumentRecord {
    QString sourceId; // S_ID of the work-table row
    QString store;    // S_STORE_FROM and S_REFNO of the row: with S_ID, its key
    QString refNo;
    QString documentNumber; // the document's number in the package (DOCNO)
    QString party;          // the customer's or supplier's code in the package
    QString date;           // yyyy/MM/dd
    double netTotal = 0;
    ExportRowResult result = ExportRowResult::NothingToPost;
    QString message;     // a refusal's text (the package's own)
    QStringList remarks; // what else the bookkeeper should know of a document the run handled
};

struct ExportRunSummary {
    int total = 0; // ticked rows found
    int posted = 0;
    int nothingToPost = 0;
    int alreadyInPackage = 0;
    int refused = 0;
    // Posted documents whose total (or a cash sale's payment), read back from the package after
    // the save, differs from the source's: in the books, flagged, and listed here and in the
    // journal for the bookkeeper to correct.
    int differing = 0;
    QList<ExportRefusal> refusals;
    QList<ExportRefusal> differences; // "the package's total 45.47 differs from ..."
    int alreadyExported = 0;
    // Payments and credit notes saved with a knock-off the package could not apply yet: in the
    // books, left unflagged so that the next export applies the rest. "posted; 2 of 3 knock-offs
    // applied; DN000002 (54.57) is not in the accounting package yet".
    QList<ExportRefusal> openKnockOffs;
    // The package the run posted into: the company of its open books and its build.
    QString packageCompany;
    QString packageBuild;
    QList<ExportDocumentRecord> documents; // every document handled, refused ones included
    bool stopped = false; // the observer or a stop signal asked to stop before the last row
    int handled() const {
        return posted + nothingToPost + alreadyInPackage + refused + alreadyExported;
    }
};

// How a run records itself and meets a refusal.
struct ExportRunOptions {
    QString runId; // the run's id in the posting journal (its lock's); a new one when empty
    QString user;  // who runs it, as the journal records it
    // A document the package refuses ends the run with the package's error (the window, the
    // batch command's export), or is recorded as refused and the run goes on with the next one
    // (a scheduled run, which nobody watches). Either way the refusal is journalled and nothing
    // of that document is flagged.
    bool continueAfterRefusal = false;
};

// The export run over the ticked rows of one document kind (SL_CS ... AR_PM) of the export work
// table: each row is posted into the accounting package and, when the package accepted it,
// flagged as exported at its source. An error ends the run at that row and is raised to the
// caller; the rows before it stay posted and flagged, the row in hand is not flagged.
//
// Every document handled leaves a record in the posting journal, written in the transaction
// that flags it, so a posting never goes unrecorded. A stop signal (or the observer) stops the
// run after the document in hand.
//
// The run logs in to the package once, before its first document (one session for the run,
// never logged out); a refused login, or books of another company than COMPANY_NAME names, end
// it there as an error of the run with nothing journalled. Every posted document is read back
// from the package after its save: a total (or a cash sale's payment) that differs from the
// source's to the cent is journalled beside the posting and counted in `differing`; the
// document stays flagged, as it is in the books.
//
// At its end, also when an error ends it, the run replaces the kind's statuses (what became of
// each document, shown by the export window) and unticks the documents it is done with, so only
// what was refused or not reached stays ticked (export/export_status.h).
//
// The confirmation question, the messages at the end and the search that follows belong to the
// caller (the export dialog, or the batch command, whose command line is its confirmation).
class ExportRun {
public:
    ExportRun(TdmPolling& data, const SettingsFile& settings, ExportRunOptions options = {});

    // Runs the kind. With no ticked row nothing is posted and the summary's total is 0.
    ExportRunSummary Run(const QString& moduleCode, ExportRunObserver* observer = nullptr);

    // What the last run did, also when an error ended it.
    const ExportRunSummary& summary() const { return summary_; }

private:
    void runTickedRows(const QString& moduleCode, ExportRunObserver* observer);
    // After document `index` (0-based): true when the run stops there.
    bool stopAfter(ExportRunObserver* observer, int index, int total);
    // Notes what became of each document; an error that ended the run is noted on the document
    // it was handling. Never raises: the journal remains the record of what was posted.
    void recordStatuses(const QString& moduleCode, ExportRunObserver* observer,
                        const QString& error);

    ExportRunSummary summary_;
    // The work-table row the run is handling (S_ID, S_STORE_FROM, S_REFNO, document number).
    QStringList inHand_;
    TdmPolling& data_;
    const SettingsFile& settings_;
    ExportRunOptions options_;
};

// The books a run posted into, for its report: "Zantro Trading Sdn Bhd (build 5.2024.1007.860)".
QString PackageReportText(const ExportRunSummary& summary);

// A new run id: the time to the second, the process and four random hex digits.
QString NewExportRunId();

// True when the accounting package already holds this document: one of the business object
// with this number (for purchase invoices and returns, with this number for this supplier,
// "DocNo;Code", as the package holds one number for several suppliers) whose party, date and
// total agree with the source's to the cent. A document of that number that is another one
// raises DocumentClash, a refusal naming both.
bool DocumentInPackage(const QString& moduleCode, const QString& documentNumber,
                       const SourceDocument& source);
