#pragma once

#include "core/app_error.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class DbConnection;

// Who runs an export: the logged-in user, the program and what it was asked to do.
struct ExportRunIdentity {
    QString user;
    QString program; // "zantro-link", "zantro-batch"
    QString command; // "Export SL_CS", "schedule"
};

// One run as the installation's run register (ACC_EXPORT_RUN) records it.
struct ExportRunRecord {
    QString runId;
    QString user;
    QString host;
    QString workstation; // WORKSTATION of [STORE] in the installation's Register.ini, if set
    QString folder;      // the installation folder
    qint64 process = 0;
    QString program;
    QString command;
    QDateTime started;
    // Several workstations may share a host name (a terminal server, copied machines), so a
    // run is named by its workstation or installation folder as well: "BATCH on till-2 in
    // /srv/zantro", or "BATCH on Front desk (till-2)".
    QString who() const;
    // who(), what it runs and since when: "BATCH on till-2 in /srv/zantro (zantro-batch
    // schedule, process 4242) since 10/12/2026 02:00:01"
    QString describe() const;
};

// Another run holds the installation's export lock. The text names it.
class ExportRunRefused : public AppError {
public:
    ExportRunRefused(const QString& message, std::optional<ExportRunRecord> holder)
        : AppError(message), holder_(std::move(holder)) {}
    const std::optional<ExportRunRecord>& holder() const { return holder_; }

private:
    std::optional<ExportRunRecord> holder_;
};

// One export at a time per installation: whoever posts into the accounting package (the window's
// Export, the batch command's export, masters and schedule, on any workstation that shares the
// back-office databases) first takes this lock, which lives in the stock database. A second run
// is refused at once with a message naming who runs and since when.
//
// The lock is a row that names the run and the database connection it runs on; it counts only as
// long as that connection exists, and the engine drops a connection when its process dies, so a
// killed run's lock is free at once. The run register (ACC_EXPORT_RUN) says who holds it; the
// next run that takes a lock left by a killed run closes that run's entry and says so
// (takenOver()). Nothing is held open during the run: a transaction kept open for hours would
// keep the engine from clearing old record versions in the busiest database of the back office.
//
// Runs that start at the same moment meet on the lock's row: the engine lets one change it and
// refuses the others' change as an update conflict once the first has committed. Those try
// again, and then see the lock held, so each of them is refused as any later run is.
class ExportRunLock {
public:
    // Takes the lock and records the run. Raises ExportRunRefused when another run holds it, and
    // the engine's error when the lock tables cannot be reached.
    ExportRunLock(DbConnection& stock, const ExportRunIdentity& who);
    // Releases the lock and records the run's end with the outcome given to finish(), or "ENDED".
    ~ExportRunLock();
    ExportRunLock(const ExportRunLock&) = delete;
    ExportRunLock& operator=(const ExportRunLock&) = delete;

    const QString& runId() const { return record_.runId; }
    const ExportRunRecord& record() const { return record_; }

    // The run that held the lock last without releasing it (its process died), if any.
    const std::optional<ExportRunRecord>& takenOver() const { return takenOver_; }
    // "Took over the export lock left by ..." for takenOver(), or empty.
    QString takenOverText() const;

    // The outcome recorded at the end: POSTED, REFUSED, ERROR, STOPPED, DRYRUN ...
    void setOutcome(const QString& outcome) { outcome_ = outcome; }

private:
    // One attempt at taking the lock in a transaction of its own; raises the engine's error
    // when another run changed the lock's row meanwhile.
    void take(const QDateTime& now);

    DbConnection& stock_;
    ExportRunRecord record_;
    std::optional<ExportRunRecord> takenOver_;
    QString outcome_ = QStringLiteral("ENDED");
};

// The run, other than `ownRunId`, that ended at `since` or later having exported documents of
// one of `moduleCodes`, the latest first; none when there is none. A run that finds nothing to
// export asks this: another run may have exported the documents while this one was being
// started or waited for the lock. The journals tell what a run exported: the stock database's
// for sales and purchases, the receivables database's for AR documents.
std::optional<ExportRunRecord> RunThatExportedSince(DbConnection& stock, DbConnection& receivables,
                                                    const QStringList& moduleCodes,
                                                    const QDateTime& since,
                                                    const QString& ownRunId = QString());

// "Nothing left to export: the run of BATCH on till-2 in /srv/zantro, process 4242, exported
// it."
QString NothingLeftText(const ExportRunRecord& run);
