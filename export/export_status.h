#pragma once

#include <QList>
#include <QString>

#include <functional>

class DbConnection;
struct ExportDocumentRecord;

// What became of each document of the export work table at the last export run of its kind,
// kept in ACC_EXPORT_STATUS beside the work table and keyed like it (module, S_ID, S_STORE_FROM,
// S_REFNO). A search replaces the work table's rows but not their statuses, so a document found
// again (one refused by last night's scheduled run, say) still shows what the run said of it.
// The export window shows the text in its Status column; rows that need the bookkeeper come
// first.
//
// The run writes the outcomes below; other passes over the ticked rows may write codes and texts
// of their own through ReplaceKindStatuses.
namespace ExportStatusCodes {
inline constexpr char Posted[] = "POSTED";
inline constexpr char AlreadyInPackage[] = "ALREADY";
inline constexpr char NothingToPost[] = "NOTHING";
inline constexpr char Refused[] = "REFUSED";
inline constexpr char AlreadyExported[] = "EXPORTED"; // flagged at its source before the run
inline constexpr char Error[] = "ERROR";              // an error stopped the run on this document
// The check before posting: ready, or what the package would refuse.
inline constexpr char CheckReady[] = "CHECK READY";
inline constexpr char CheckRefused[] = "CHECK REFUSED";
} // namespace ExportStatusCodes

struct DocumentStatus {
    QString id; // the work-table row: S_ID, S_STORE_FROM, S_REFNO
    QString store;
    QString refNo;
    QString outcome;        // a code (ExportStatusCodes or another pass's own)
    QString text;           // what the Status column shows
    bool attention = false; // the bookkeeper must act on it: shown first, left ticked
};

// "posted", "already in the accounting package", "nothing to post", "refused: <the package's
// text>", each followed by the record's remarks ("posted; 2 of 3 knock-offs applied").
QString ExportStatusText(const ExportDocumentRecord& record);
DocumentStatus StatusOf(const ExportDocumentRecord& record);
// The document an error (not a refusal) stopped the run on: "stopped on an error: <text>".
DocumentStatus ErrorStatus(const QString& id, const QString& store, const QString& refNo,
                           const QString& error);

// What the Status column shows for a row still ticked after a run that stopped before it.
QString NotReachedStatusText();

// Replaces the kind's statuses by these, in one transaction on the stock database, and unticks in
// the work table the documents that need nothing more (all but those needing attention), so a
// second Export sends only what was refused or not reached. `progress` hears now and then how far
// it got, so a window can keep painting.
// A pass that posts nothing (the check before posting) passes untickDone false: the ticks stay.
void ReplaceKindStatuses(DbConnection& stock, const QString& moduleCode, const QString& runId,
                         const QList<DocumentStatus>& statuses,
                         const std::function<void(int done, int total)>& progress = {},
                         bool untickDone = true);

// Adds (or replaces) the statuses of these documents and leaves the kind's others and every tick
// as they are: what the check before posting said of the documents an export left out.
void AddKindStatuses(DbConnection& stock, const QString& moduleCode, const QString& runId,
                     const QList<DocumentStatus>& statuses);
