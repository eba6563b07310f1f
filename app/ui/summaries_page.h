#pragma once

#include "app/summary_folders.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QTabWidget;
class QTreeWidget;
class SettingsFile;
class Dataset;

// The summaries page of the main window (TabSheet3): the stations (lvProOut; lvProIn hidden)
// and, in a hidden page control, the CSV files of the exchange folders for the chosen station.
class SummariesPage : public QWidget {
    Q_OBJECT
public:
    explicit SummariesPage(QWidget* parent = nullptr);

    // Rebuilds both station lists from tblStation, which is left on its first station.
    void fillStations(Dataset& stations);
    // Points the four file lists at their folders for the selected station (the Reports folder
    // when none is selected or a folder is missing), sets the headers and re-reads the file
    // names. Returns the folders chosen.
    SummaryFolders ShowSummaryFolders(const SettingsFile& settings);
    // The store code of the selected row of lvProOut, if any.
    std::optional<QString> selectedStation() const;

    // Folder each file list shows.
    QString folderOf(const QListWidget* list) const;

    QTreeWidget* lvProOut = nullptr;
    QTreeWidget* lvProIn = nullptr;
    QTabWidget* PageControl3 = nullptr;
    QListWidget* FileListBox1 = nullptr;
    QListWidget* FileListBox2 = nullptr;
    QListWidget* FileListBox3 = nullptr;
    QListWidget* FileListBox4 = nullptr;
    QLabel* Header1 = nullptr;
    QLabel* Header2 = nullptr;
    QLabel* Header3 = nullptr;
    QLabel* Header4 = nullptr;

signals:
    // A row of lvProOut was clicked or chosen with the keys.
    void lvProOutClick();

private:
    void showFiles(QListWidget* list, const QString& folder);
};
