#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

class DbConnection;

// What another workstation did to the rows of a kind in the export work table.
struct WorkTableChange {
    QString workstation;
    QString user;
    QString action; // SEARCHED, TICKED or CLEARED
    QDateTime at;   // by that workstation's clock
    // Further workstations that changed the kind since this one last looked, latest first.
    QStringList otherWorkstations;
};

// The export work table is shared by every workstation of an installation: a search on one
// workstation replaces the rows and ticks of its kind that another was working on, and a tick
// on one is exported by the other. This keeps, in ACC_WORK_TABLE_USE of the stock database, who
// searched, ticked or cleared each kind and how far each workstation has looked, so that a
// workstation can be told when the rows it works on were changed elsewhere since it last
// looked.
class WorkTableUse {
public:
    // The workstation and the user whose actions are recorded (WorkstationName() by default).
    explicit WorkTableUse(DbConnection& stock, QString workstation = QString());

    void setUser(const QString& user) { user_ = user; }
    const QString& workstation() const { return workstation_; }

    // This workstation replaced the kind's rows (a search) or emptied them (Clear): whatever
    // another workstation did to them before is taken into account.
    void recordSearched(const QString& moduleCode);
    void recordCleared(const QString& moduleCode);
    // This workstation ticked or unticked rows of the kind.
    void recordTicked(const QString& moduleCode);

    // The latest change of the kind by another workstation since this one last looked (or ever,
    // when it never looked), if any; this workstation has then looked at the kind.
    std::optional<WorkTableChange> look(const QString& moduleCode);
    // The same as the warning to show (WorkTableChangeText), empty when there is no news or the
    // code is not a kind of the work table.
    QString changedElsewhereText(const QString& moduleCode);

private:
    void record(const QString& moduleCode, const QString& action, qint64 seen);
    // The highest U_ID of the kind this workstation has taken into account, 0 for none.
    qint64 seen(const QString& moduleCode);
    qint64 latest(const QString& moduleCode);

    DbConnection& stock_;
    QString workstation_;
    QString user_;
};

// The warning the export dialog and the batch report show for a change by another workstation:
// which kind, what was done, by which workstation and user, when, and what it means for this
// workstation's ticks.
QString WorkTableChangeText(const QString& moduleCode, const WorkTableChange& change);
