#pragma once

#include "export/document_search.h"
#include "export/work_table_reading.h"

#include <QObject>

#include <memory>

// One piece of work on the export work table for the export window, done off the window's
// thread on connections of its own.
struct WorkTableRequest {
    enum class Action {
        Search,     // the plan's DELETE and copy, in one transaction
        TickAll,    // Select All: every row of the kind ticked or unticked
        Clear,      // every row of the kind deleted
        ReadOrder,  // the rows' order only (a click on a column title)
        CountTicked // the ticked rows' count and sum only
    };
    Action action = Action::ReadOrder;
    QString moduleCode;
    SearchPlan plan;     // Search
    bool ticked = false; // TickAll
    // How the grid shows the kind: after the work, the rows' order is read again this way
    // (except for CountTicked).
    WorkTableOrder order;
    StatusDefault statusDefault;
};

struct WorkTableResult {
    enum class Ending { Done, Cancelled, Failed };
    WorkTableRequest request;
    Ending ending = Ending::Done;
    QString error; // Failed: the engine's (or the program's) text
    int found = 0; // Search: the documents copied into the work table
    bool orderRead = false;
    QByteArray keys; // the rows' keys in the order asked for (when orderRead)
    bool totalsRead = false;
    TickedTotals ticked;
};

// Does the export window's work on the work table on a thread of its own, one request at a time
// in the order given, so the window keeps painting and can offer Cancel. A search, Select All and
// Clear each run in one transaction: Cancel rolls it back, so the work table holds exactly what
// it held before. The statement in progress is stopped by the engine (fb_cancel_operation) rather
// than waited for. Once the work is committed, Cancel no longer undoes it.
//
// While a statement copies, ticks or deletes rows, a second connection reads from the engine's
// monitoring tables how many it has done so far, and progress() tells it.
//
// Reading the rows' order after the work means the grid shows rows that are surely there.
class WorkTableWorker : public QObject {
    Q_OBJECT
public:
    explicit WorkTableWorker(QObject* parent = nullptr);
    // Cancels what runs and waits for the thread to end.
    ~WorkTableWorker() override;

    // Queues the request behind the ones not done yet; finished() tells its end, once.
    void start(const WorkTableRequest& request);
    // Cancels the request in progress (unless it is being committed) and drops the queued ones;
    // each of those ends as cancelled.
    void cancel();
    // True from start() until the last request's finished() has been delivered.
    bool busy() const;

    // What the window's thread and the worker's thread share (defined with the worker).
    struct Shared;

signals:
    // Rows copied (a search), ticked (Select All) or deleted (Clear) so far.
    void progress(int rows);
    void finished(const WorkTableResult& result);

private:
    std::shared_ptr<Shared> shared_;
    int pending_ = 0;
};

Q_DECLARE_METATYPE(WorkTableResult)
