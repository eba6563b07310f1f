#pragma once

#include <QList>
#include <QString>

#include <array>

// The transmission options of a station's seven jobs, as the station window shows them, and the
// job rows of ACC_STATION_JOB they are loaded from and saved to.

// The jobs in the order their rows are written.
enum class StationJob {
    Supplier,
    Customer,
    Delivery,
    Receiving,
    ReturnOutwards,
    TransferOut,
    SalesTransaction
};

// What every row of a job holds besides its store and options.
struct JobDefinition {
    StationJob job;
    const char* file;        // P_FILE, the job code
    const char* type;        // P_TYPE, the source database
    const char* table;       // P_TABLE
    int fileNo;              // P_FILENO
    const char* description; // P_DESC
};

// The seven jobs, in writing order.
const std::array<JobDefinition, 7>& StationJobDefinitions();
const JobDefinition& DefinitionOf(StationJob job);

// One row of ACC_STATION_JOB without its store code.
struct JobRow {
    QString file;
    QString type;
    QString table;
    int fileNo = 0;
    QString description;
    QString status;

    bool operator==(const JobRow&) const = default;
};

// The radio buttons of a profile job (suppliers, customers). Unselected: a stored status the
// buttons do not know, so no button is selected.
enum class ProfileChoice { Unselected, None, Differences, All, Fourth };

struct ProfileOptions {
    ProfileChoice choice = ProfileChoice::None;
    // The stored status, written back while no button is selected.
    QString loadedStatus;

    // Header columns 1 to 3 select None, Differences and All; column 4 does nothing.
    void headerClick(int column);
    // "C", "A" or "I"; empty for None (the job has no row then).
    QString status() const;
};

// The four boxes of a document job: None, Real Time, Manual, By Schedule, with their ticks and
// enabled states. Starts in the window's design state: None enabled and unticked, Real Time and
// By Schedule disabled and unticked, Manual disabled and ticked. Manual is never enabled: the
// user changes it only through None and the header.
class DocumentOptions {
public:
    // Sales Transaction offers no Real Time: its box is never enabled and never ticked by a load.
    explicit DocumentOptions(bool realTimeOffered = true) : realTimeOffered_(realTimeOffered) {}

    bool none() const { return none_; }
    bool realTime() const { return realTime_; }
    bool manual() const { return manual_; }
    bool schedule() const { return schedule_; }
    bool realTimeEnabled() const { return realTimeEnabled_; }
    bool scheduleEnabled() const { return scheduleEnabled_; }
    bool realTimeOffered() const { return realTimeOffered_; }

    // From the design state, unticks the four boxes (None is unticked there already, so its rule
    // does not run), then ticks the boxes whose letters the stored status holds, None first.
    void load(const QString& status);
    // No stored row: None ticked.
    void loadMissing();

    // Ticking or unticking None runs the None rule: ticked, the other three are unticked and
    // disabled; unticked, Real Time (where offered) and By Schedule are enabled and Manual ticked.
    void setNone(bool ticked);
    // The user's click on a box; a disabled box ignores it.
    void clickNone() { setNone(!none_); }
    void clickRealTime();
    void clickSchedule();
    // A click on header column 1 (None) to 4 (By Schedule). Columns 2 to 4 act only while None is
    // unticked, and change their box even when it is disabled; Manual is only ever unticked, and
    // Real Time only unticked where it is not offered.
    void headerClick(int column);

    // "N", "R", "M", "S" for the ticked boxes, in that order.
    QString status() const;

private:
    bool realTimeOffered_;
    bool none_ = false;
    bool realTime_ = false;
    bool manual_ = true;
    bool schedule_ = false;
    bool realTimeEnabled_ = false;
    bool scheduleEnabled_ = false;
};

struct JobOptions {
    ProfileOptions supplier;
    ProfileOptions customer;
    DocumentOptions delivery;
    DocumentOptions receiving;
    DocumentOptions returnOutwards;
    DocumentOptions transferOut;
    DocumentOptions salesTransaction{false};

    ProfileOptions& profile(StationJob job);
    const ProfileOptions& profile(StationJob job) const;
    DocumentOptions& document(StationJob job);
    const DocumentOptions& document(StationJob job) const;
};

bool IsProfileJob(StationJob job);

// The options shown for a station whose job rows are `rows` (a new station has none). Each job
// takes the first row whose P_FILE equals its code exactly.
JobOptions LoadJobOptions(const QList<JobRow>& rows);

// The rows that saving writes, in order: the supplier and customer rows unless their choice is
// None, then the five document rows, always.
QList<JobRow> JobRowsToWrite(const JobOptions& options);
