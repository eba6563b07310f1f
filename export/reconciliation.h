#pragma once

#include <QDate>
#include <QList>
#include <QString>

class DbConnection;
class SettingsFile;
class TdmPolling;

// How many documents of a kind a store had on a day at its source, how many of them were
// flagged as exported (posted) and how many were not (outstanding), with their net totals, and
// how many the posting journal records as sent. A bookkeeper reads what did not go across off
// the outstanding column.
struct ReconciliationRow {
    QString store;
    QDate day;
    QString moduleCode;
    int atSource = 0;
    double atSourceNet = 0;
    int posted = 0;
    double postedNet = 0;
    int outstanding = 0;
    double outstandingNet = 0;
    int journalled = 0; // distinct documents the journal records as posted or already there
    // Distinct documents posted whose total, read back from the package after the save,
    // differed from the source's (or that the package did not find by their number).
    int differing = 0;
};

struct ReconciliationFilter {
    QDate from; // document days, both included
    QDate to;
    QString store; // empty: every store
};

// The rows by store, day and kind (in the kinds' order), for the nine document kinds. A document
// counts as the search of its kind would take it apart from the export flag and the stations'
// jobs: normal receipts with a positive net (By Item), or counter-days (By Summary, as the
// settings' EXPORT_MODE says), posted stock documents, and receivable documents once each
// however many rows they have. Days with no document of a kind have no row.
QList<ReconciliationRow> Reconcile(TdmPolling& data, const SettingsFile& settings,
                                   const ReconciliationFilter& filter);
// The same on connections of the caller's own (a window reading it off its thread).
QList<ReconciliationRow> Reconcile(DbConnection& stock, DbConnection& receivables,
                                   const SettingsFile& settings,
                                   const ReconciliationFilter& filter);
