#pragma once

#include "config/job_options.h"

#include <QList>
#include <QString>

class Dataset;
class DbConnection;

// The job rows of the station that the job table shows (the table follows the station table as
// its detail).
QList<JobRow> ReadStationJobs(const Dataset& jobTable);

// Replaces every job row of the station by `rows`, in one transaction on the stock database: when
// a statement fails, the station keeps the rows it had and the engine's error is raised.
void SaveStationJobs(DbConnection& stockDb, const QString& storeCode, const QList<JobRow>& rows);
// The same with the rows the options give (JobRowsToWrite).
void SaveStationJobs(DbConnection& stockDb, const QString& storeCode, const JobOptions& options);
