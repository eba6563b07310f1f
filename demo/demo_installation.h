#pragma once

#include <QList>
#include <QString>

struct DemoOptions;

struct DemoTableCount {
    QString alias;
    QString table;
    qint64 rows = 0;
};

// What a run made.
struct DemoSummary {
    QString folder; // absolute
    QList<DemoTableCount> tables;
    // The documents (receipts, stock and receivable documents with their lines and links): rows
    // written and the seconds it took, for the rows-per-second figure.
    qint64 documentRows = 0;
    double documentSeconds = 0;
    double totalSeconds = 0;
    QString loginCode;
    QString loginPassword;
};

// Creates the demo installation that `options` describe in options.folder (created when
// missing): the settings files, the alias file and the five databases with their data. While it
// runs, the program folder is that folder. Raises InstallationExistsError when the folder holds
// an installation and options.force is not set; with force, the demo's earlier files are deleted
// first. Database and file errors are raised with their own text.
DemoSummary CreateDemoInstallation(const DemoOptions& options);

// The summary as printed: folder, rows per table, the figure, the demo login and how to run the
// program on the installation.
QString DemoSummaryText(const DemoSummary& summary);
