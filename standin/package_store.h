#pragma once

#include "data/connection.h"

#include <QString>
#include <QVariantMap>
#include <QVector>
#include <functional>

// One record of a business object as the stand-in package holds it while it is being edited.
struct PackageRecord {
    int key = 0;                    // the package's key; 0 until first saved
    QVariantMap header;             // MainDataSet, by column
    QVector<QVariantMap> details;   // document lines (DTLKEY once saved) or master branches
    QVector<QVariantMap> knockOffs; // the knock-off list (TARGETKEY, DOCTYPE, DOCNO, ... KOAMT)
    bool knockOffListed = false;
    QString knockOffCode; // the customer the list was made for
};

// What the stand-in package keeps in its database file (standin/schema.sql). Every engine error
// is raised as an AutomationError with the engine's text, as the package would report it.
class PackageStore {
public:
    explicit PackageStore(const AliasTarget& target);

    void open();

    // The document of a business object with that number, or 0.
    int documentKey(const QString& bizObject, const QString& docNo);
    bool loadDocument(const QString& bizObject, int key, PackageRecord& record);

    // A master's key by code, or 0.
    int masterKey(const QString& bizObject, const QString& code);
    bool loadMaster(const QString& bizObject, int key, PackageRecord& record);

    // The open documents (invoices "IV" and debit notes "DN") of a customer for the knock-off
    // list of document selfKey (0 for a new one), with what selfKey already settles of each.
    QVector<QVariantMap> openDocuments(const QString& customer, int selfKey);

    // Writes the record in one transaction; beforeCommit runs after every row is written (a
    // failure there leaves nothing of the record stored). Gives the record its keys.
    void saveDocument(const QString& bizObject, PackageRecord& record,
                      const std::function<void()>& beforeCommit);
    void saveMaster(const QString& bizObject, PackageRecord& record,
                    const std::function<void()>& beforeCommit);

private:
    DbConnection connection_;
};
