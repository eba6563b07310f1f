#pragma once

#include "data/connection.h"
#include "standin/package_codes.h"

#include <QElapsedTimer>
#include <QHash>
#include <QString>
#include <QVariantMap>
#include <QVector>
#include <functional>
#include <optional>

// One record of a business object as the stand-in package holds it while it is being edited.
struct PackageRecord {
    int key = 0;                    // the package's key; 0 until first saved
    QVariantMap header;             // MainDataSet, by column
    QVector<QVariantMap> details;   // document lines (DTLKEY once saved) or master branches
    QVector<QVariantMap> knockOffs; // the knock-off list (TARGETKEY, DOCTYPE, DOCNO, ... KOAMT)
    bool linesLoaded = true;        // false while a document opened for reading has its lines
                                    // still in the database (loadDocumentLines)
    bool knockOffListed = false;
    QString knockOffCode; // the customer the list was made for
};

// What the stand-in package keeps in its database file (standin/schema.sql). Every engine error
// is raised as an AutomationError with the engine's text, as the package would report it.
class PackageStore {
public:
    explicit PackageStore(const AliasTarget& target);

    // Opens the database and brings an older one up to the present schema.
    void open();

    // The documents of a business object with that number (purchase invoices and returns may
    // hold one number for several suppliers), by key.
    QVector<int> documentKeys(const QString& bizObject, const QString& docNo);
    // The document with that number and party (the supplier of a purchase invoice or return;
    // ignored for the other kinds), or 0.
    int documentKey(const QString& bizObject, const QString& docNo, const QString& party);
    // The document with that key: its header, and its lines unless withLines is false (a
    // document opened to be read needs them only when they are looked at or it is saved).
    bool loadDocument(const QString& bizObject, int key, PackageRecord& record,
                      bool withLines = true);
    void loadDocumentLines(PackageRecord& record);

    // A master's key by code, or 0.
    int masterKey(const QString& bizObject, const QString& code);
    // Masters and their lines: a supplier's or customer's branches, a stock item's units.
    bool loadMaster(const QString& bizObject, int key, PackageRecord& record);
    // One column of the master with that code; invalid when there is no such master.
    QVariant masterValue(const QString& bizObject, const QString& code, const QString& column);
    // The codes of `codes` that the master list bizObject does not hold.
    QStringList missingMasters(const QString& bizObject, const QStringList& codes);

    // A code of one of the package's code lists, or null. The lists are read once and kept for
    // a fifth of a second: a document names a dozen codes, and a list changes rarely.
    const PackageCode* code(const QString& list, const QString& code);
    // A tax code's rate in percent; 0 for an empty or unknown code.
    double taxRate(const QString& taxCode);

    // The open documents (invoices "IV" and debit notes "DN") of a customer for the knock-off
    // list of document selfKey (0 for a new one), with what selfKey already settles of each.
    QVector<QVariantMap> openDocuments(const QString& customer, int selfKey);

    // Writes the record in one transaction. checkFirst runs in it before anything is written
    // (the checks read what they need in the same transaction, so a save costs one commit);
    // beforeCommit runs after every row is written. A failure in either leaves nothing of the
    // record stored. Gives the record its keys.
    void saveDocument(const QString& bizObject, PackageRecord& record,
                      const std::function<void()>& checkFirst,
                      const std::function<void()>& beforeCommit);
    void saveMaster(const QString& bizObject, PackageRecord& record,
                    const std::function<void()>& checkFirst,
                    const std::function<void()>& beforeCommit);

private:
    // Reads made outside a save share one transaction, which the next save takes over and
    // commits with its writes; it ends by itself at the first read when older than a fifth of
    // a second. A posting reads (is the number taken? is the customer known?) and then saves:
    // one commit instead of one more per read.
    void shareReads();
    void endOldReads();
    // One save: checkFirst, write and beforeCommit in the save's transaction, then its commit.
    void inSave(const std::function<void()>& checkFirst, const std::function<void()>& beforeCommit,
                const std::function<void()>& write);

    DbConnection connection_;
    std::optional<Transaction> reads_;
    QElapsedTimer readsAge_;
    bool saving_ = false;
    QHash<QString, PackageCode> codes_; // by list and code, "TAX|SR"
    // Document headers that the shared reads found by number, or that a save just wrote, by key,
    // and their keys by business object, number and party: a document saved, then looked up and
    // opened (a posting read back) costs no further read. Forgotten when the shared reads end
    // (within a fifth of a second) and at the next save.
    QHash<int, QVariantMap> foundHeaders_;
    QHash<QString, int> foundKeys_;
    void rememberDocument(const QVariantMap& header);
    QElapsedTimer codesAge_;
};
