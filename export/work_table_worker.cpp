#include "export/work_table_worker.h"

#include "core/action_guard.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/query.h"
#include "data/statement_cancel.h"
#include "export/search_statements.h"

#include <QSqlError>
#include <QSqlQuery>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// How often the monitoring connection asks how far a statement got.
constexpr auto kProbeEvery = std::chrono::milliseconds(300);

// The request in progress was cancelled (its work is rolled back).
struct Cancelled {};

} // namespace

struct WorkTableWorker::Shared {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<WorkTableRequest> queue;
    bool stopping = false;
    // The request in progress.
    bool cancelled = false;
    bool committing = false;
    unsigned int stockAttachment = 0;
    unsigned int receivablesAttachment = 0;
    std::thread thread;

    bool isCancelled() {
        std::lock_guard<std::mutex> lock(mutex);
        return cancelled;
    }
    void throwIfCancelled() {
        if (isCancelled())
            throw Cancelled{};
    }
    // Commits unless Cancel came first; from here on Cancel no longer undoes the work.
    void commit(Transaction& transaction) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (cancelled)
                throw Cancelled{};
            committing = true;
        }
        transaction.commit();
    }
};

namespace {

// Asks the engine's monitoring tables, on a connection of its own, how many rows one transaction
// has inserted, changed or deleted so far, every kProbeEvery, until it is destroyed.
class ProgressProbe {
public:
    ProgressProbe(qint64 transactionId, const char* counter, std::function<void(int)> report)
        : thread_([this, transactionId, counter, report = std::move(report)] {
              run(transactionId, counter, report);
          }) {}
    ~ProgressProbe() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

private:
    void run(qint64 transactionId, const char* counter, const std::function<void(int)>& report) {
        const QString sql = QStringLiteral("SELECT r.%1 FROM MON$TRANSACTIONS t JOIN "
                                           "MON$RECORD_STATS r ON r.MON$STAT_ID = t.MON$STAT_ID "
                                           "WHERE t.MON$TRANSACTION_ID = ?")
                                .arg(QLatin1String(counter));
        try {
            // Connected at the first reading: work that ends sooner needs no connection.
            DbConnection probe(QStringLiteral("ZaLedvoraStkProgress"), QStringLiteral("ZantStk"));
            for (;;) {
                {
                    std::unique_lock<std::mutex> lock(mutex_);
                    if (wake_.wait_for(lock, kProbeEvery, [this] { return stop_; }))
                        return;
                }
                // Each reading is a transaction of its own: the monitoring tables show the
                // moment their transaction began.
                const QVariant done = SelectValue(probe, sql, {transactionId});
                if (!done.isNull())
                    report(done.toInt());
            }
        } catch (...) {
            // Progress is a courtesy: the work goes on without it.
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;
};

qint64 currentTransaction(DbConnection& connection) {
    return SelectValue(connection, QStringLiteral("SELECT CURRENT_TRANSACTION FROM RDB$DATABASE"))
        .toLongLong();
}

// Runs one statement; a statement stopped by Cancel raises Cancelled, any other failure the
// engine's error. Gives the number of rows it changed.
int execute(DbConnection& connection, const QString& sql, WorkTableWorker::Shared& shared) {
    QSqlQuery query(connection.database());
    if (!query.exec(sql)) {
        if (shared.isCancelled() || IsCancelledOperation(query.lastError()))
            throw Cancelled{};
        throw DbError(EngineErrorText(query.lastError()));
    }
    return query.numRowsAffected();
}

} // namespace

namespace {

class Work {
public:
    Work(WorkTableWorker::Shared& shared, WorkTableWorker* owner)
        : shared_(shared), owner_(owner) {}
    ~Work() {
        {
            std::lock_guard<std::mutex> lock(shared_.mutex);
            shared_.stockAttachment = 0;
            shared_.receivablesAttachment = 0;
        }
    }

    WorkTableResult perform(const WorkTableRequest& request) {
        WorkTableResult result;
        result.request = request;
        try {
            DbConnection& stock = connection(stock_, QStringLiteral("ZaLedvoraStkSearch"),
                                             QStringLiteral("ZantStk"), shared_.stockAttachment);
            switch (request.action) {
            case WorkTableRequest::Action::Search:
                result.found = request.plan.receivable ? searchReceivables(stock, request)
                                                       : searchStockDocuments(stock, request);
                break;
            case WorkTableRequest::Action::TickAll:
                changeKind(stock, TickKindStatement(request.moduleCode, request.ticked),
                           "MON$RECORD_UPDATES");
                break;
            case WorkTableRequest::Action::Clear:
                changeKind(stock, DeleteKindStatement(request.moduleCode), "MON$RECORD_DELETES");
                break;
            case WorkTableRequest::Action::ReadOrder:
            case WorkTableRequest::Action::CountTicked:
                break;
            }
            if (request.action != WorkTableRequest::Action::CountTicked) {
                result.keys = ReadWorkTableOrder(stock, request.moduleCode, request.order,
                                                 request.statusDefault);
                result.orderRead = true;
            }
            if (request.action != WorkTableRequest::Action::ReadOrder) {
                result.ticked = ReadTickedTotals(stock, request.moduleCode);
                result.totalsRead = true;
            }
        } catch (const Cancelled&) {
            result.ending = WorkTableResult::Ending::Cancelled;
        } catch (...) {
            // A statement stopped by Cancel after the work was committed, or a read stopped by
            // it, fails like any other; only an uncommitted change is reported as cancelled.
            const bool cancelled = shared_.isCancelled();
            result.ending = cancelled && !committed() ? WorkTableResult::Ending::Cancelled
                                                      : WorkTableResult::Ending::Failed;
            result.error = CurrentExceptionText();
        }
        return result;
    }

private:
    bool committed() {
        std::lock_guard<std::mutex> lock(shared_.mutex);
        return shared_.committing;
    }

    DbConnection& connection(std::unique_ptr<DbConnection>& held, const QString& handleName,
                             const QString& alias, unsigned int& attachment) {
        if (!held)
            held = std::make_unique<DbConnection>(handleName, alias);
        held->open();
        const unsigned int handle = AttachmentHandle(held->database());
        std::lock_guard<std::mutex> lock(shared_.mutex);
        attachment = handle;
        return *held;
    }

    void report(int rows) {
        QMetaObject::invokeMethod(
            owner_, [owner = owner_, rows] { emit owner->progress(rows); }, Qt::QueuedConnection);
    }

    int searchStockDocuments(DbConnection& stock, const WorkTableRequest& request) {
        Transaction search(stock);
        ProgressProbe probe(currentTransaction(stock), "MON$RECORD_INSERTS",
                            [this](int rows) { report(rows); });
        execute(stock, request.plan.deleteStatement, shared_);
        int found = 0;
        if (!request.plan.copyStatement.isEmpty()) {
            shared_.throwIfCancelled();
            found = execute(stock, request.plan.copyStatement, shared_);
        }
        shared_.commit(search);
        return found;
    }

    int searchReceivables(DbConnection& stock, const WorkTableRequest& request) {
        QVector<ReceivableDocument> documents;
        if (!request.plan.copyStatement.isEmpty()) {
            DbConnection& receivables =
                connection(receivables_, QStringLiteral("ZaARSysSearch"), QStringLiteral("ARDB"),
                           shared_.receivablesAttachment);
            try {
                documents = ReadReceivableDocuments(receivables, request.plan.copyStatement,
                                                    [this](int) { return !shared_.isCancelled(); });
            } catch (...) {
                shared_.throwIfCancelled();
                throw;
            }
            shared_.throwIfCancelled();
        }
        Transaction search(stock);
        execute(stock, request.plan.deleteStatement, shared_);
        int copied = 0;
        try {
            copied =
                CopyReceivableDocuments(stock, documents, request.moduleCode, [this](int done) {
                    report(done);
                    return !shared_.isCancelled();
                });
        } catch (...) {
            shared_.throwIfCancelled();
            // As the search of the batch command does: the documents copied before the error
            // stay, and the error is reported.
            try {
                shared_.commit(search);
            } catch (...) {
            }
            throw;
        }
        shared_.commit(search);
        return copied;
    }

    void changeKind(DbConnection& stock, const QString& statement, const char* counter) {
        Transaction change(stock);
        ProgressProbe probe(currentTransaction(stock), counter, [this](int rows) { report(rows); });
        execute(stock, statement, shared_);
        shared_.commit(change);
    }

    WorkTableWorker::Shared& shared_;
    WorkTableWorker* owner_;
    std::unique_ptr<DbConnection> stock_;
    std::unique_ptr<DbConnection> receivables_;
};

} // namespace

WorkTableWorker::WorkTableWorker(QObject* parent)
    : QObject(parent), shared_(std::make_shared<Shared>()) {
    qRegisterMetaType<WorkTableResult>();
    shared_->thread = std::thread([shared = shared_.get(), owner = this] {
        // The connections are made, used and closed on this thread only.
        Work work(*shared, owner);
        for (;;) {
            WorkTableRequest request;
            {
                std::unique_lock<std::mutex> lock(shared->mutex);
                shared->wake.wait(lock,
                                  [shared] { return shared->stopping || !shared->queue.empty(); });
                if (shared->stopping)
                    return;
                request = shared->queue.front();
                shared->queue.pop_front();
                shared->cancelled = false;
                shared->committing = false;
            }
            const WorkTableResult result = work.perform(request);
            QMetaObject::invokeMethod(
                owner,
                [owner, result] {
                    --owner->pending_;
                    emit owner->finished(result);
                },
                Qt::QueuedConnection);
        }
    });
}

WorkTableWorker::~WorkTableWorker() {
    cancel();
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->stopping = true;
    }
    shared_->wake.notify_all();
    shared_->thread.join();
}

void WorkTableWorker::start(const WorkTableRequest& request) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->queue.push_back(request);
    }
    ++pending_;
    shared_->wake.notify_all();
}

void WorkTableWorker::cancel() {
    std::deque<WorkTableRequest> dropped;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        dropped.swap(shared_->queue);
        if (!shared_->committing) {
            shared_->cancelled = true;
            CancelRunningStatement(shared_->stockAttachment);
            CancelRunningStatement(shared_->receivablesAttachment);
        }
    }
    // Every request started hears of its end, also one that never ran.
    for (const WorkTableRequest& request : dropped) {
        WorkTableResult result;
        result.request = request;
        result.ending = WorkTableResult::Ending::Cancelled;
        QMetaObject::invokeMethod(
            this,
            [this, result] {
                --pending_;
                emit finished(result);
            },
            Qt::QueuedConnection);
    }
}

bool WorkTableWorker::busy() const {
    return pending_ > 0;
}
