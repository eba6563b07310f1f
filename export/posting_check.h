#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class SettingsFile;
class TdmPolling;

// What the check found on a document that the accounting package would refuse, or that would
// not post as the bookkeeper means it.
enum class CheckFindingKind {
    PartyMissing,    // the customer or supplier is not in the package (or has no code)
    CodeMissing,     // a terms, area, agent, currency, project, payment method, account or tax
                     // code the document names is not in the package's list
    TariffMissing,   // a tax code that needs a tariff code, and none is configured
    ItemMissing,     // an item code of a line is not in the package
    BelowZero,       // the document's total would be below 0
    NumberClash,     // the package holds the number for another party, date or amount
    KnockOffMissing, // a settled document is neither in the package nor ticked
    KnockOffLater,   // a settled document is ticked, but under a kind not yet posted
    NothingToPost,   // its source holds no line to post
    PackageError     // the package raised an error while the document was looked at
};

struct CheckFinding {
    CheckFindingKind kind = CheckFindingKind::CodeMissing;
    QString code;   // the code, number or amount it is about
    QString text;   // what is wrong: "tax code \"SR\" is not in the accounting package (line 2)"
    QString remedy; // what to do about it
    // The master export that would send what is missing ("Customer Profile", "Supplier
    // Profile", "Stock Item"); empty when none would.
    QString masterExport;
    // True when the package refuses the document at its Save for this (the others hold it back
    // because it would not post as meant: a lost knock-off, nothing to post, a number clash).
    bool refusedAtSave() const;
    // True for every finding but NothingToPost: such a document is held back from an export.
    // A document with nothing to post is only noted: the run records it and sends nothing.
    bool holdsBack() const { return kind != CheckFindingKind::NothingToPost; }
};

struct CheckedDocument {
    QString sourceId; // S_ID, S_STORE_FROM and S_REFNO: the work-table row's key
    QString store;
    QString refNo;
    QString documentNumber; // its number in the package
    QString party;          // the customer's or supplier's code in the package
    QString date;           // yyyy/MM/dd
    double netTotal = 0;
    QList<CheckFinding> findings;
    // No finding holds it back.
    bool ready() const;
    // "Would be refused: customer "300-C0001" is not in the accounting package; ...", "Nothing to
    // post: its source holds no lines to post", or empty when nothing was found.
    QString statusText() const;
};

struct CheckReport {
    QString moduleCode;
    QList<CheckedDocument> documents; // every ticked document, in the order a run takes them
    bool cancelled = false;           // stopped before the last document
    int readyCount() const;
    int refusedCount() const;
    // "236 documents checked: 230 ready, 6 would be refused; 4 need the Customer Profile exported
    // first"
    QString summaryText() const;
};

// Called after each document with the count done and the total; false stops the check.
using CheckProgress = std::function<bool(int done, int total)>;

// The check over the ticked documents of one kind: each is made as its posting routine would make
// it, without sending it, and everything it names is looked up in the accounting package through
// its automation interface (FindKeyByRef on the business objects of PackageLookupObjects), each
// distinct code once per check. It finds what the package would refuse (a party, code, item or
// tariff code it lacks, a total below 0), number clashes, knock-offs that would be lost, and
// documents with nothing to post. It posts nothing, flags nothing and changes no tick; it logs in
// to the package as a run does (one session, never logged out).
CheckReport CheckTickedDocuments(TdmPolling& data, const SettingsFile& settings,
                                 const QString& moduleCode, const CheckProgress& progress = {});

class DbConnection;

// Puts the check's result in the export window's Status column (ACC_EXPORT_STATUS): "ready" or
// "Would be refused: ..." for each document checked, the refused ones first. Changes no tick.
void RecordCheckStatuses(DbConnection& stock, const CheckReport& report, const QString& runId);

// Puts back the check's statuses of the documents that would be refused, beside those of an
// export run that left them out (the run replaces its kind's statuses).
void KeepRefusedCheckStatuses(DbConnection& stock, const CheckReport& report, const QString& runId);

// Unticks in the export work table the documents the check found would be refused, in one
// transaction, so an export sends only the ready ones. Returns how many it unticked.
int UntickRefusedDocuments(DbConnection& stock, const CheckReport& report);

// The question the export asks when documents would be refused: whether to post only the ready
// ones.
QString PostReadyOnlyQuestion(const CheckReport& report);

// Journals each document the check would refuse as held back (JournalOutcome::HeldBack) with the
// check's reason, in the journal of the database that flags it, unless a record held back for the
// same reason is there already: a document held back night after night is journalled once.
// Returns how many records it wrote.
int JournalHeldBack(TdmPolling& data, const CheckReport& report, const QString& runId,
                    const QString& user);
