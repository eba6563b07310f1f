#include "config/job_options.h"

namespace {

const std::array<JobDefinition, 7> kJobs = {{
    {StationJob::Supplier, "SUPPLI", "APP", "MAS_Supplier", 3, "Supplier Maintenance"},
    {StationJob::Customer, "CUSTOM", "APP", "MAS_Customer", 3, "Customer Maintenance"},
    {StationJob::Delivery, "DELIVE", "STK", "STK_MLedger", 11, "Delivery Order Journal"},
    {StationJob::Receiving, "RECEIV", "STK", "STK_MLedger", 11, "Stock Receiving Journal"},
    {StationJob::ReturnOutwards, "RETURN", "STK", "STK_MLedger", 11, "Return Outwards Journal"},
    {StationJob::TransferOut, "TRNOUT", "STK", "STK_MLedger", 11, "Transfer Out Journal"},
    {StationJob::SalesTransaction, "SLSTRN", "POS", "POS_Sales", 21, "Sales Transaction"},
}};

const JobRow* findRow(const QList<JobRow>& rows, const char* file) {
    for (const JobRow& row : rows)
        if (row.file == QLatin1String(file))
            return &row;
    return nullptr;
}

} // namespace

const std::array<JobDefinition, 7>& StationJobDefinitions() {
    return kJobs;
}

const JobDefinition& DefinitionOf(StationJob job) {
    return kJobs.at(static_cast<size_t>(job));
}

bool IsProfileJob(StationJob job) {
    return job == StationJob::Supplier || job == StationJob::Customer;
}

void ProfileOptions::headerClick(int column) {
    switch (column) {
    case 1:
        choice = ProfileChoice::None;
        break;
    case 2:
        choice = ProfileChoice::Differences;
        break;
    case 3:
        choice = ProfileChoice::All;
        break;
    default:
        break;
    }
}

QString ProfileOptions::status() const {
    switch (choice) {
    case ProfileChoice::Differences:
        return QStringLiteral("C");
    case ProfileChoice::All:
        return QStringLiteral("A");
    case ProfileChoice::Fourth:
        return QStringLiteral("I");
    case ProfileChoice::Unselected:
        return loadedStatus;
    case ProfileChoice::None:
        break;
    }
    return QString();
}

void DocumentOptions::load(const QString& status) {
    *this = DocumentOptions(realTimeOffered_);
    realTime_ = manual_ = schedule_ = false;
    if (status.contains(QLatin1Char('N')))
        setNone(true);
    if (realTimeOffered_ && status.contains(QLatin1Char('R')))
        realTime_ = true;
    if (status.contains(QLatin1Char('M')))
        manual_ = true;
    if (status.contains(QLatin1Char('S')))
        schedule_ = true;
}

void DocumentOptions::loadMissing() {
    load(QString());
    setNone(true);
}

void DocumentOptions::setNone(bool ticked) {
    if (ticked == none_)
        return;
    none_ = ticked;
    if (none_) {
        realTime_ = manual_ = schedule_ = false;
        realTimeEnabled_ = scheduleEnabled_ = false;
    } else {
        realTimeEnabled_ = realTimeOffered_;
        manual_ = true;
        scheduleEnabled_ = true;
    }
}

void DocumentOptions::clickRealTime() {
    if (realTimeEnabled_)
        realTime_ = !realTime_;
}

void DocumentOptions::clickSchedule() {
    if (scheduleEnabled_)
        schedule_ = !schedule_;
}

void DocumentOptions::headerClick(int column) {
    if (column == 1) {
        setNone(!none_);
        return;
    }
    if (none_)
        return;
    switch (column) {
    case 2:
        realTime_ = realTimeOffered_ ? !realTime_ : false;
        break;
    case 3:
        manual_ = false;
        break;
    case 4:
        schedule_ = !schedule_;
        break;
    default:
        break;
    }
}

QString DocumentOptions::status() const {
    QString letters;
    if (none_)
        letters += QLatin1Char('N');
    if (realTime_ && realTimeOffered_)
        letters += QLatin1Char('R');
    if (manual_)
        letters += QLatin1Char('M');
    if (schedule_)
        letters += QLatin1Char('S');
    return letters;
}

ProfileOptions& JobOptions::profile(StationJob job) {
    return job == StationJob::Supplier ? supplier : customer;
}

const ProfileOptions& JobOptions::profile(StationJob job) const {
    return job == StationJob::Supplier ? supplier : customer;
}

DocumentOptions& JobOptions::document(StationJob job) {
    switch (job) {
    case StationJob::Delivery:
        return delivery;
    case StationJob::Receiving:
        return receiving;
    case StationJob::ReturnOutwards:
        return returnOutwards;
    case StationJob::TransferOut:
        return transferOut;
    default:
        return salesTransaction;
    }
}

const DocumentOptions& JobOptions::document(StationJob job) const {
    return const_cast<JobOptions*>(this)->document(job);
}

JobOptions LoadJobOptions(const QList<JobRow>& rows) {
    JobOptions options;
    for (const JobDefinition& definition : StationJobDefinitions()) {
        const JobRow* row = findRow(rows, definition.file);
        if (IsProfileJob(definition.job)) {
            ProfileOptions& profile = options.profile(definition.job);
            if (!row) {
                profile.choice = ProfileChoice::None;
                continue;
            }
            profile.loadedStatus = row->status;
            if (row->status == QLatin1String("C"))
                profile.choice = ProfileChoice::Differences;
            else if (row->status == QLatin1String("A"))
                profile.choice = ProfileChoice::All;
            else if (row->status == QLatin1String("I"))
                profile.choice = ProfileChoice::Fourth;
            else
                profile.choice = ProfileChoice::Unselected;
        } else if (row) {
            options.document(definition.job).load(row->status);
        } else {
            options.document(definition.job).loadMissing();
        }
    }
    return options;
}

QList<JobRow> JobRowsToWrite(const JobOptions& options) {
    QList<JobRow> rows;
    for (const JobDefinition& definition : StationJobDefinitions()) {
        QString status;
        if (IsProfileJob(definition.job)) {
            const ProfileOptions& profile = options.profile(definition.job);
            if (profile.choice == ProfileChoice::None)
                continue;
            status = profile.status();
        } else {
            status = options.document(definition.job).status();
        }
        rows.append({QLatin1String(definition.file), QLatin1String(definition.type),
                     QLatin1String(definition.table), definition.fileNo,
                     QLatin1String(definition.description), status});
    }
    return rows;
}
