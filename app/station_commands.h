#pragma once

#include <QStringList>

class SettingsFile;
class Table;

// The station commands' work on the station and job tables, apart from the window.

// Add, Properties and Import need an account type.
inline constexpr char NoAccountTypeMessage[] = "Export Denied !\r\nNo account type defined.";
bool AccountTypeDefined(const SettingsFile& settings);

// Removing a station asks first when [CONFIRMATION] CONFIRM_REMOVE is "Y" in any case.
inline constexpr char ConfirmRemoveQuestion[] = "Are You Sure To Remove Station ?";
bool RemoveNeedsConfirmation(const SettingsFile& settings);

// The job set last copied: one entry per job row, the fields as text. It lives as long as the
// program and can be pasted to any number of stations.
struct JobClipboard {
    int Count = 0;
    QStringList File, Status, Type, Table, FileNo, Desc;
};

// Copies the jobs of the current station (`jobs` is the job table, a detail of the stations).
// A station without jobs sets the count to 0 and leaves the lists as they were.
void CopyStationJobs(Table& jobs, JobClipboard& clipboard);

// Replaces the current station's jobs by the clipboard's (none when its count is 0). Deleting the
// old rows and inserting the new ones is one transaction: a failure leaves the station's jobs as
// they were, and the error is raised.
void PasteStationJobs(Table& jobs, const JobClipboard& clipboard);

// Deletes the current station's jobs and then the station, as one transaction.
void RemoveStationWithJobs(Table& stations, Table& jobs);
