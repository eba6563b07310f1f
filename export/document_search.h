#pragma once

#include "config/settings_file.h"
#include "export/work_table_use.h"

#include <QDate>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

class Dataset;
class TdmPolling;
class Table;

// The ticked documents of a kind: how many, and the sum of their net amounts (S_NETTOTAL).
struct TickedTotals {
    int count = 0;
    double netTotal = 0;
    bool operator==(const TickedTotals&) const = default;
};

// Counted over the rows a work-table view holds, a tick not saved yet included.
TickedTotals TickedInView(const Dataset& view);

// The filters of a sales or purchase search (the transaction page).
struct StockSearchFilter {
    bool searchAll = true; // every unexported document from the GST start date on
    QString store;         // the range form: one store ...
    QDate from;            // ... documents dated from ...
    QDate to;              // ... to (whole days for cash sales By Item)
    // Reference range of the stock-document kinds (not cash sales), compared as text.
    QString refFrom = QStringLiteral("0000000001");
    QString refTo = QStringLiteral("9999999999");
    // Whose documents are found: stores whose job of the kind holds Manual ("M", the window and
    // the batch search) or By Schedule ("S", the scheduled run).
    QString jobOption = QStringLiteral("M");
};

// The filters of a receivable search (the AR page).
struct ReceivableSearchFilter {
    bool searchAll = true;
    QString customer; // the customer form: one customer (empty finds nothing) ...
    QDate from;       // ... and a date range, beside the GST condition
    QDate to;
};

struct ReceivableDocument;
class DbConnection;

// What a search of one kind runs, worked out from its filter and the settings before anything
// runs, so a value that cannot be used stops it before anything is deleted.
struct SearchPlan {
    QString moduleCode;
    QString deleteStatement; // empties the kind
    // Sales and purchase kinds: the INSERT ... SELECT; receivable kinds: the SELECT on AR_TRANS.
    // Empty when the range holds no document (reversedRangeText says why).
    QString copyStatement;
    bool receivable = false;
    QString reversedRangeText; // "No documents found: the to-date ... is earlier than ..."
};

// The plans of the two searches; AppError on a kind of the other group, a missing date of a
// range, or a GST start date in the settings that is not a date.
SearchPlan PlanStockSearch(const QString& moduleCode, const StockSearchFilter& filter,
                           const SettingsFile& settings);
SearchPlan PlanReceivableSearch(const QString& moduleCode, const ReceivableSearchFilter& filter,
                                const SettingsFile& settings);

// Reads what a receivable search's SELECT finds on the receivables database, one document
// however many AR_TRANS rows (lines) it has: its header values (net total, balance and the rest)
// as its rows hold them, its tax and gross amount summed over its lines. `goOn`, when given,
// hears how many rows were read now and then; false stops the reading (nothing is returned).
QVector<ReceivableDocument>
ReadReceivableDocuments(DbConnection& receivables, const QString& select,
                        const std::function<bool(int rowsRead)>& goOn = {});

// Copies the documents into the work table with one INSERT each, on the stock database's
// connection (in whatever transaction is open there). `goOn` hears how many were copied now and
// then; false stops the copy. Gives the number copied; raises on a refused INSERT.
int CopyReceivableDocuments(DbConnection& stock, const QVector<ReceivableDocument>& documents,
                            const QString& moduleCode,
                            const std::function<bool(int copied)>& goOn = {});

// The searches that fill the export work table TMP_EXPORT_ACCT, and the other commands on it
// (Select All, Clear). The export dialog and the batch command both use this class; the window
// shows the kind's view in its grid when viewReread is signalled.
//
// Every statement on the work table runs on the data module's qryTmp (ExecCommand); afterwards
// the filtered view of the kind is read again, which also gives the number of rows.
class DocumentSearch : public QObject {
    Q_OBJECT
public:
    // What becomes of the kind's view after each statement: the window re-reads it, so its grid
    // shows the rows; a caller without a grid (the batch command) only counts the rows, so it
    // never holds every row a search found.
    enum class ViewReading { Rows, CountOnly };

    DocumentSearch(TdmPolling& data, const SettingsFile& settings, QObject* parent = nullptr);
    DocumentSearch(TdmPolling& data, const SettingsFile& settings, ViewReading reading,
                   QObject* parent = nullptr);
    ~DocumentSearch() override;

    // Runs one statement on the work table. For the nine transaction codes the kind's view is
    // read again afterwards (a tick still being edited in it is saved first), or with
    // ViewReading::CountOnly its rows counted, and the row count returned; for the master codes
    // nothing is read and the result is empty.
    std::optional<int> ExecCommand(const QString& sql, const QString& moduleCode);

    // Search for a sales or purchase kind (SL_CS, SL_IV, SL_CN, PH_PI, PH_SC): the kind's rows
    // are deleted, then one INSERT ... SELECT copies the unexported documents. Gives the number
    // of rows found. A range whose to-date lies before its from-date finds nothing and says so.
    // A GST start date in the settings that is not a date stops before anything is deleted.
    int SearchStockDocuments(const QString& moduleCode, const StockSearchFilter& filter);

    // Search for a receivable kind (AR_IV, AR_DN, AR_CN, AR_PM): the kind's rows are deleted,
    // then the documents are copied one by one from the receivables database. A document stored
    // as several AR_TRANS rows (one per line) is copied once: its header values (net total,
    // balance and the rest) as its rows hold them, its tax and gross amount summed over its
    // lines. An error while the rows are read is raised before anything is copied; an error
    // while they are written is raised to the caller, and the rows copied before it stay (and
    // are shown).
    int SearchReceivables(const QString& moduleCode, const ReceivableSearchFilter& filter);

    // Select All: ticks (or unticks) every row of the kind, also rows no longer shown.
    int TickAll(const QString& moduleCode, bool ticked);

    // Clear: deletes every row of the kind.
    void Clear(const QString& moduleCode);

    // Saves a tick still being edited in the kind's view (what leaving the row does).
    void SavePendingTick(const QString& moduleCode);

    // The kind's ticked rows as the work table holds them, which is what an export run sends
    // (also rows ticked at an earlier opening that no grid shows now).
    TickedTotals TickedInWorkTable(const QString& moduleCode);

    // The work table is shared with the other workstations of the installation: the warning
    // (WorkTableChangeText) when another one searched, ticked or cleared the kind's rows since
    // this one last looked at them, or empty. This workstation has then looked. The searches,
    // Select All, Clear and every tick saved in a kind's view are recorded for the others.
    QString ChangedElsewhereText(const QString& moduleCode);

    // The user whose searches and ticks are recorded.
    void setUser(const QString& user) { use_.setUser(user); }

signals:
    // The kind's view was read again after a statement; rowCount is -1 for the master codes.
    void viewReread(const QString& moduleCode, int rowCount);

private:
    int rereadView(const QString& moduleCode);

    void recordTicksOfViews();

    TdmPolling& data_;
    const SettingsFile& settings_;
    ViewReading reading_ = ViewReading::Rows;
    WorkTableUse use_;
};
