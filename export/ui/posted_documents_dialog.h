#pragma once

#include "config/settings_file.h"
#include "export/posted_documents.h"
#include "export/reconciliation.h"

#include <QDialog>

#include <QDate>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

class QComboBox;
class QDateEdit;
class QLabel;
class QPushButton;
class QStandardItemModel;
class QTabWidget;
class QTableView;

// "Posted documents": what the export runs of a period did, from the run register and the posting
// journal, and beside it the reconciliation of the documents at their source against those
// posted (as `zantro-batch reconcile` prints it). Filters for the days, store, kind and outcome;
// the runs (who, when, from the window or a schedule, how many, which books); the documents of
// the run chosen with number, party, date, amount, outcome and the package's text, and their
// totals; copy to the clipboard and save as CSV. A double click on an outstanding count asks for
// those documents to be searched (outstandingChosen); whoever opened the window does it.
// Works on the data module dmPolling, which must exist. The journal and the source tables are
// read off the window's thread, on connections of its own, so a long period or a large journal
// does not freeze it.
class TdlgPostedDocuments : public QDialog {
    Q_OBJECT
    Q_PROPERTY(bool reading READ isReading NOTIFY readingEnded)
public:
    explicit TdlgPostedDocuments(QWidget* parent = nullptr);
    // Stops reads still going on (the engine cancels their statements) and waits for them.
    ~TdlgPostedDocuments() override;

    // True while the journal or the sources are being read.
    bool isReading() const { return reading_ > 0; }

    // Reads the runs (and the reconciliation) again for the filters as they stand.
    void btnShowClick();
    void btnCopyClick();
    void btnSaveCsvClick();
    // Writes the documents shown to a CSV file; false (after saying why) when it cannot.
    bool saveCsv(const QString& path);

    const QList<PostedRun>& runs() const { return runs_; }
    const QList<JournalEntry>& documents() const { return documents_; }
    const QList<ReconciliationRow>& reconciliation() const { return reconciliation_; }

signals:
    void outstandingChosen(const QString& store, const QDate& day, const QString& moduleCode);
    // A read ended and its result is shown.
    void readingEnded();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // What one read off the window's thread brings back.
    struct Reads {
        QList<PostedRun> runs;
        QList<JournalEntry> documents;
        QList<ReconciliationRow> reconciliation;
        QString error;
    };
    using ReadWork =
        std::function<void(class DbConnection& stock, DbConnection& receivables, Reads& reads)>;
    // Runs `work` on a thread with connections of its own; `done` shows what it read (an error
    // is shown instead), unless a newer read of the same kind was started meanwhile.
    void readInBackground(int& generation, ReadWork work, std::function<void(const Reads&)> done);

    PostedFilter filter() const;
    void showRuns();
    void runChosen(int row);
    void showDocuments();
    void showReconciliation();
    void reconciliationDoubleClicked(const QModelIndex& index);

    bool shown_ = false;
    int reading_ = 0;
    int runsGeneration_ = 0;
    int documentsGeneration_ = 0;
    std::vector<std::thread> readers_;
    // The engine's handles of the readers' connections, so closing the window stops their reads.
    std::vector<std::shared_ptr<std::atomic<unsigned int>>> readerAttachments_;
    PostedFilter shownFilter_;
    QList<PostedRun> runs_;
    QList<JournalEntry> documents_;
    QList<ReconciliationRow> reconciliation_;

    QDateEdit* dtpPostedFrom = nullptr;
    QDateEdit* dtpPostedTo = nullptr;
    QComboBox* cbPostedStore = nullptr;
    QComboBox* cbPostedKind = nullptr;
    QComboBox* cbPostedOutcome = nullptr;
    QPushButton* btnShow = nullptr;
    QLabel* lblReading = nullptr;
    QTabWidget* tabPosted = nullptr;
    QTableView* grdRuns = nullptr;
    QTableView* grdDocuments = nullptr;
    QLabel* lblDocumentTotals = nullptr;
    QPushButton* btnCopy = nullptr;
    QPushButton* btnSaveCsv = nullptr;
    QTableView* grdReconciliation = nullptr;
    QPushButton* btnClose = nullptr;
    QStandardItemModel* runRows_ = nullptr;
    QStandardItemModel* documentRows_ = nullptr;
    QStandardItemModel* reconciliationRows_ = nullptr;
};

// The outstanding documents a double click in the Posted documents window asked to search for.
struct OutstandingChoice {
    QString store;
    QDate day;
    QString moduleCode;
};

// Opens the Posted documents window over parent until it is closed; the outstanding documents
// chosen in it by a double click, if any (the window closes then).
std::optional<OutstandingChoice> ShowPostedDocuments(QWidget* parent);
