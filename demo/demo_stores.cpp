#include "demo/demo_stores.h"

#include "config/job_options.h"
#include "config/station_jobs.h"
#include "demo/bulk_writer.h"

namespace {

struct Store {
    const char* code;
    const char* description;
    const char* otherDescription;
    const char* region;
    const char* type;
};

const Store kStores[] = {
    {"S001", "Main Street Store", "Kedai Jalan Utama", "CENTRL", "OUTLET"},
    {"S002", "Riverside Mall Kiosk", "Kiosk Riverside", "CENTRL", "KIOSK"},
    {"S003", "Harbour Outlet", "Kedai Pelabuhan", "SOUTH", "OUTLET"},
    {"S004", "Central Warehouse", "Gudang Pusat", "NORTH", "WAREHS"},
};

struct Code {
    const char* code;
    const char* description;
    const char* otherDescription;
};

const Code kRegions[] = {
    {"CENTRL", "Central Region", "Wilayah Tengah"},
    {"NORTH", "Northern Region", "Wilayah Utara"},
    {"SOUTH", "Southern Region", "Wilayah Selatan"},
};

const Code kStoreTypes[] = {
    {"OUTLET", "Retail Outlet", "Kedai Runcit"},
    {"KIOSK", "Mall Kiosk", "Kiosk"},
    {"WAREHS", "Warehouse", "Gudang"},
};

struct Station {
    const char* store;
    int daysSinceExport; // negative: never exported
    const char* documentStatus;
    const char* supplierStatus; // empty: no supplier job row
    const char* customerStatus;
};

const Station kStations[] = {
    {"S001", 1, "M", "A", "C"},
    {"S002", 10, "MS", "", ""},
    {"S003", -1, "N", "", ""},
};

QList<JobRow> jobRows(const Station& station) {
    QList<JobRow> rows;
    for (const JobDefinition& job : StationJobDefinitions()) {
        QString status = QString::fromLatin1(station.documentStatus);
        if (job.job == StationJob::Supplier)
            status = QString::fromLatin1(station.supplierStatus);
        else if (job.job == StationJob::Customer)
            status = QString::fromLatin1(station.customerStatus);
        // The Sales Transaction job offers no Real Time option.
        if (job.job == StationJob::SalesTransaction)
            status.remove(QLatin1Char('R'));
        if (IsProfileJob(job.job) && status.isEmpty())
            continue;
        rows.append({QString::fromLatin1(job.file), QString::fromLatin1(job.type),
                     QString::fromLatin1(job.table), job.fileNo,
                     QString::fromLatin1(job.description), status});
    }
    return rows;
}

} // namespace

QStringList DemoStores() {
    QStringList codes;
    for (const Store& store : kStores)
        codes << QLatin1String(store.code);
    return codes;
}

void WriteDemoStores(DbConnection& systemDb) {
    BulkWriter writer(systemDb);
    const QStringList codeColumns{"M_CODE", "M_DESC", "M_ODESC"};
    auto& regions = writer.insertInto(QStringLiteral("MAS_REGION"), codeColumns);
    for (const Code& region : kRegions)
        regions.add({QString::fromLatin1(region.code), QString::fromLatin1(region.description),
                     QString::fromLatin1(region.otherDescription)});
    auto& types = writer.insertInto(QStringLiteral("MAS_STORETYPE"), codeColumns);
    for (const Code& type : kStoreTypes)
        types.add({QString::fromLatin1(type.code), QString::fromLatin1(type.description),
                   QString::fromLatin1(type.otherDescription)});
    auto& stores = writer.insertInto(QStringLiteral("MAS_STORE"),
                                     {"M_CODE", "M_DESC", "M_ODESC", "M_REGION", "M_TYPE"});
    for (const Store& store : kStores)
        stores.add({QString::fromLatin1(store.code), QString::fromLatin1(store.description),
                    QString::fromLatin1(store.otherDescription), QString::fromLatin1(store.region),
                    QString::fromLatin1(store.type)});
    writer.finish();
}

void WriteDemoStations(DbConnection& stockDb, const QDateTime& now) {
    {
        BulkWriter writer(stockDb);
        auto& stations = writer.insertInto(QStringLiteral("ACC_STATION"),
                                           {"P_STORE", "P_EXPORT", "P_IMPORT", "P_ACTIVE"});
        for (const Station& station : kStations) {
            const QVariant lastExport = station.daysSinceExport < 0
                                            ? QVariant()
                                            : QVariant(now.addDays(-station.daysSinceExport));
            stations.add(
                {QString::fromLatin1(station.store), lastExport, QVariant(), QStringLiteral("T")});
        }
        writer.finish();
    }
    for (const Station& station : kStations)
        SaveStationJobs(stockDb, QString::fromLatin1(station.store), jobRows(station));
}
