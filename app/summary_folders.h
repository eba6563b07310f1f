#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class Dataset;
class SettingsFile;

// The summaries page: the stations again, and for a chosen station the CSV files waiting in the
// exchange folders of the accounting link. Only the ACCPAC account type receives and updates
// files, and only it offers the Import command.

// What the four file lists show. Each folder is a full path ending with a separator.
struct SummaryFolders {
    QString receivedHeader; // header of the first list: "RECEIVED" (ACCPAC) or "NONE"
    QString updatedHeader;  // header of the third list: "UPDATED" (ACCPAC) or "NONE"
    bool importOffered = false;
    QString received; // FileListBox1: <path>/<type>/Received/
    QString resume;   // FileListBox2: <path>/<type>/Out/<station>/Resume/
    QString updated;  // FileListBox3: <path>/<type>/Updated/
    QString sent;     // FileListBox4: <path>/<type>/Out/<station>/Sent/
};

// Headers of the second and fourth lists, which do not depend on the type.
inline constexpr char ResumeHeader[] = "RESUME";
inline constexpr char SentHeader[] = "NONE";

// <programFolder>/Reports/, where every list points when its own folder is not used.
QString ReportsFolder(const QString& programFolder);

// The folders of the four lists for the account type and the accounting link folder, with the
// selected station's store code (none selected: every list shows the Reports folder). A list
// takes its own folder only when that folder exists (Received and Updated only for ACCPAC).
SummaryFolders ChooseSummaryFolders(const QString& accountType, const QString& ledvoraPath,
                                    const QString& programFolder,
                                    const std::optional<QString>& station);
// The same with the account type and the folder the settings hold.
SummaryFolders ChooseSummaryFolders(const SettingsFile& settings, const QString& programFolder,
                                    const std::optional<QString>& station);

// Names of the CSV files ("*.csv", any case) in the folder, sorted; empty when the folder is
// missing.
QStringList CsvFileNames(const QString& folder);

// "Accounting Link Path : " followed by the folder the settings hold.
QString AccountingLinkPathText(const SettingsFile& settings);

// One station of the summaries page: its store code and store description.
struct SummaryStation {
    QString store;
    QString description; // empty when the store is not in MAS_STORE
};

// Every station of tblStation in the table's order; the table is left on its first row.
QList<SummaryStation> ReadSummaryStations(Dataset& stations);
