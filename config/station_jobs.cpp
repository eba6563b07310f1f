#include "config/station_jobs.h"

#include "data/connection.h"
#include "data/dataset.h"
#include "data/sql_quote.h"

QList<JobRow> ReadStationJobs(const Dataset& jobTable) {
    QList<JobRow> rows;
    if (!jobTable.isActive())
        return rows;
    for (int i = 0; i < jobTable.recordCount(); ++i) {
        auto text = [&](const char* field) {
            return jobTable.valueAt(i, QLatin1String(field)).toString();
        };
        rows.append({text("P_FILE"), text("P_TYPE"), text("P_TABLE"),
                     jobTable.valueAt(i, QStringLiteral("P_FILENO")).toInt(), text("P_DESC"),
                     text("P_STATUS")});
    }
    return rows;
}

void SaveStationJobs(DbConnection& stockDb, const QString& storeCode, const QList<JobRow>& rows) {
    // The old rows are deleted and the new ones inserted as one unit, so an error half-way
    // leaves the station with its old jobs rather than with none.
    Transaction transaction(stockDb);
    stockDb.execute(QStringLiteral("DELETE FROM ACC_STATION_JOB WHERE P_STORE = ") +
                    QuotedStr(storeCode));
    for (const JobRow& row : rows) {
        stockDb.execute(
            QStringLiteral("INSERT INTO ACC_STATION_JOB "
                           "(P_STORE, P_FILE, P_TYPE, P_TABLE, P_FILENO, P_DESC, P_STATUS) "
                           "VALUES (%1, %2, %3, %4, %5, %6, %7)")
                .arg(QuotedStr(storeCode), QuotedStr(row.file), QuotedStr(row.type),
                     QuotedStr(row.table), SqlNumber(row.fileNo), QuotedStr(row.description),
                     QuotedStr(row.status)));
    }
    transaction.commit();
}

void SaveStationJobs(DbConnection& stockDb, const QString& storeCode, const JobOptions& options) {
    SaveStationJobs(stockDb, storeCode, JobRowsToWrite(options));
}
