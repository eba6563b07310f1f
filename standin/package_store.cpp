#include "standin/package_store.h"

#include "core/app_error.h"
#include "sqlacc/automation.h"
#include "standin/line_amounts.h"
#include "standin/package_fields.h"
#include "standin/package_setup.h"

#include <QDate>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>
#include <optional>

namespace {

[[noreturn]] void raise(const QSqlError& error) {
    throw AutomationError(EngineErrorText(error).toStdString());
}

QSqlDatabase database(DbConnection& connection) {
    try {
        return connection.database();
    } catch (const AppError& error) {
        throw AutomationError(error.message().toStdString());
    }
}

QSqlQuery run(DbConnection& connection, const QString& sql, const QVariantList& binds = {}) {
    QSqlQuery query(database(connection));
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        raise(query.lastError());
    for (const QVariant& bind : binds)
        query.addBindValue(bind);
    if (!query.exec())
        raise(query.lastError());
    return query;
}

// The row's non-null columns, by upper-case name.
QVariantMap rowOf(const QSqlQuery& query) {
    QVariantMap row;
    const QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        if (!query.value(i).isNull())
            row.insert(record.fieldName(i).toUpper(), query.value(i));
    }
    return row;
}

// Where a kind of record is kept: its header table with key and number columns, and the table of
// its lines (a document's details, a master's branches).
struct RecordTables {
    const char* header;
    const char* key;
    const char* number;
    const char* lines;
    const char* lineKey;
};
constexpr RecordTables kDocuments{"SA_DOCUMENT", "DOCKEY", "DOCNO", "SA_DOCUMENT_DETAIL", "DTLKEY"};
constexpr RecordTables kParties{"SA_MASTER", "MASTERKEY", "CODE", "SA_MASTER_BRANCH", "BRANCHKEY"};
constexpr RecordTables kItems{"SA_MASTER", "MASTERKEY", "CODE", "SA_ITEM_UOM", "UOMKEY"};

// A supplier's or customer's lines are its branches; a stock item's, its units.
const RecordTables& masterTables(const QString& bizObject) {
    return bizObject == QLatin1String("ST_ITEM") ? kItems : kParties;
}

// Purchase invoices and returns are unique by number and supplier; the others by number.
bool numberedPerParty(const QString& bizObject) {
    return bizObject == QLatin1String("PH_PI") || bizObject == QLatin1String("PH_SC");
}

// The party of a document unique by its number alone: empty text, not NULL, which a unique key
// would let repeat.
const QString kNoParty = QStringLiteral("");

QString partyKey(const QString& bizObject, const QString& party) {
    return numberedPerParty(bizObject) && !party.isEmpty() ? party : kNoParty;
}

// The key of the record with that number, or 0.
int recordKey(DbConnection& connection, const RecordTables& tables, const QString& bizObject,
              const QString& number) {
    QSqlQuery query = run(connection,
                          QStringLiteral("SELECT %1 FROM %2 WHERE BIZOBJECT = ? AND %3 = ?")
                              .arg(QLatin1String(tables.key), QLatin1String(tables.header),
                                   QLatin1String(tables.number)),
                          {bizObject, number});
    return query.next() ? query.value(0).toInt() : 0;
}

// The record with that key, header and lines; false when there is none.
void loadLines(DbConnection& connection, const RecordTables& tables, PackageRecord& record) {
    QSqlQuery lines = run(connection,
                          QStringLiteral("SELECT * FROM %1 WHERE %2 = ? ORDER BY %3")
                              .arg(QLatin1String(tables.lines), QLatin1String(tables.key),
                                   QLatin1String(tables.lineKey)),
                          {record.key});
    record.details.clear();
    while (lines.next())
        record.details << rowOf(lines);
    record.linesLoaded = true;
}

bool loadRecord(DbConnection& connection, const RecordTables& tables, const QString& bizObject,
                int key, PackageRecord& record) {
    QSqlQuery header = run(connection,
                           QStringLiteral("SELECT * FROM %1 WHERE BIZOBJECT = ? AND %2 = ?")
                               .arg(QLatin1String(tables.header), QLatin1String(tables.key)),
                           {bizObject, key});
    if (!header.next())
        return false;
    record = PackageRecord();
    record.key = key;
    record.header = rowOf(header);
    loadLines(connection, tables, record);
    return true;
}

// Keys handed out in order from one block of the key sequence, reserved by one statement for
// a whole record (its header and every new line) rather than one statement per key.
class KeyBlock {
public:
    KeyBlock(DbConnection& connection, int count) {
        if (count <= 0)
            return;
        QSqlQuery query = run(
            connection, QStringLiteral("SELECT GEN_ID(SA_KEY, %1) FROM RDB$DATABASE").arg(count));
        query.next();
        next_ = query.value(0).toInt() - count + 1;
        left_ = count;
    }
    int take() {
        if (left_ <= 0)
            throw AutomationError("SA_KEY: no key reserved");
        --left_;
        return next_++;
    }

private:
    int next_ = 0;
    int left_ = 0;
};

int newKeys(bool isNew, const QVector<QVariantMap>& rows, const char* keyColumn) {
    int count = isNew ? 1 : 0;
    for (const QVariantMap& row : rows)
        count += row.contains(QLatin1String(keyColumn)) ? 0 : 1;
    return count;
}

// INSERTs of the stored fields of rows of one table; key columns first. The statement is
// prepared once for all the rows of a record (a document's lines, say), which saves the engine
// compiling it again for every row; it lives no longer than the save's transaction.
class RowWriter {
public:
    RowWriter(DbConnection& connection, const QString& table, const QStringList& keyColumns,
              const FieldList& fields)
        : connection_(connection), keyCount_(keyColumns.size()) {
        QStringList columns = keyColumns;
        for (const PackageField& field : fields) {
            if (field.kind == FieldKind::Key || field.kind == FieldKind::ReadOnly)
                continue;
            if (columns.contains(field.column()))
                continue;
            columns << field.column();
            valueColumns_ << field.column();
        }
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        sql_ =
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    }

    void insert(const QVariantList& keys, const QVariantMap& row) {
        Q_ASSERT(keys.size() == keyCount_);
        if (!query_) {
            query_.emplace(database(connection_));
            if (!query_->prepare(sql_))
                raise(query_->lastError());
        }
        for (const QVariant& key : keys)
            query_->addBindValue(key);
        for (const QString& column : valueColumns_)
            query_->addBindValue(row.value(column));
        if (!query_->exec())
            raise(query_->lastError());
    }

private:
    DbConnection& connection_;
    qsizetype keyCount_;
    QStringList valueColumns_;
    QString sql_;
    std::optional<QSqlQuery> query_;
};

} // namespace

PackageStore::PackageStore(const AliasTarget& target)
    : connection_(QStringLiteral("SQLAccPackage"), target) {}

void PackageStore::endOldReads() {
    if (!reads_ || readsAge_.elapsed() <= 200)
        return;
    const auto forget = qScopeGuard([this] {
        reads_.reset();
        foundHeaders_.clear();
        foundKeys_.clear();
    });
    try {
        reads_->commit();
    } catch (const AppError& error) {
        throw AutomationError(error.message().toStdString());
    }
}

void PackageStore::shareReads() {
    if (saving_)
        return; // the save's own checks read in the save's transaction
    endOldReads();
    if (!reads_) {
        reads_.emplace(connection_, Transaction::Begin::AtFirstStatement);
        readsAge_.start();
    }
}

void PackageStore::inSave(const std::function<void()>& checkFirst,
                          const std::function<void()>& beforeCommit,
                          const std::function<void()>& write) {
    // The save takes over the transaction of the reads before it; it ends with the save either way.
    endOldReads();
    std::optional<Transaction> own;
    Transaction& transaction = reads_ ? *reads_ : own.emplace(connection_);
    saving_ = true;
    const auto endReads = qScopeGuard([this] {
        saving_ = false;
        reads_.reset();
        foundHeaders_.clear();
        foundKeys_.clear();
    });
    checkFirst();
    write();
    beforeCommit();
    try {
        transaction.commit();
    } catch (const AppError& error) {
        throw AutomationError(error.message().toStdString());
    }
}

void PackageStore::open() {
    try {
        connection_.open();
        EnsurePackageSchema(connection_);
    } catch (const AppError& error) {
        throw AutomationError(error.message().toStdString());
    }
}

namespace {

QString foundKey(const QVariant& bizObject, const QVariant& docNo, const QVariant& party) {
    return bizObject.toString() + QLatin1Char('|') + docNo.toString() + QLatin1Char('|') +
           party.toString();
}

} // namespace

void PackageStore::rememberDocument(const QVariantMap& header) {
    const int key = header.value(QStringLiteral("DOCKEY")).toInt();
    foundHeaders_.insert(key, header);
    foundKeys_.insert(foundKey(header.value(QStringLiteral("BIZOBJECT")),
                               header.value(QStringLiteral("DOCNO")),
                               header.value(QStringLiteral("DOCPARTY"))),
                      key);
}

QVector<int> PackageStore::documentKeys(const QString& bizObject, const QString& docNo) {
    shareReads();
    if (!numberedPerParty(bizObject)) {
        const auto known = foundKeys_.constFind(foundKey(bizObject, docNo, kNoParty));
        if (known != foundKeys_.constEnd())
            return {*known};
    }
    QSqlQuery query = run(connection_,
                          QStringLiteral("SELECT * FROM SA_DOCUMENT WHERE BIZOBJECT = ? AND "
                                         "DOCNO = ? ORDER BY DOCKEY"),
                          {bizObject, docNo});
    QVector<int> keys;
    while (query.next()) {
        const int key = query.value(QStringLiteral("DOCKEY")).toInt();
        keys << key;
        if (reads_)
            rememberDocument(rowOf(query));
    }
    return keys;
}

int PackageStore::documentKey(const QString& bizObject, const QString& docNo,
                              const QString& party) {
    shareReads();
    const QString partyOf = partyKey(bizObject, party);
    const auto known = foundKeys_.constFind(foundKey(bizObject, docNo, partyOf));
    if (known != foundKeys_.constEnd())
        return *known;
    QSqlQuery query = run(connection_,
                          QStringLiteral("SELECT * FROM SA_DOCUMENT WHERE BIZOBJECT = ? AND "
                                         "DOCNO = ? AND DOCPARTY = ?"),
                          {bizObject, docNo, partyOf});
    if (!query.next())
        return 0;
    if (reads_ || saving_)
        rememberDocument(rowOf(query));
    return query.value(QStringLiteral("DOCKEY")).toInt();
}

bool PackageStore::loadDocument(const QString& bizObject, int key, PackageRecord& record,
                                bool withLines) {
    shareReads();
    const auto found = foundHeaders_.constFind(key);
    if (found == foundHeaders_.constEnd() ||
        found->value(QStringLiteral("BIZOBJECT")).toString() != bizObject) {
        if (!loadRecord(connection_, kDocuments, bizObject, key, record))
            return false;
        return true;
    }
    record = PackageRecord();
    record.key = key;
    record.header = *found;
    if (withLines)
        loadLines(connection_, kDocuments, record);
    else
        record.linesLoaded = false;
    return true;
}

void PackageStore::loadDocumentLines(PackageRecord& record) {
    if (record.linesLoaded || record.key == 0)
        return;
    shareReads();
    loadLines(connection_, kDocuments, record);
}

int PackageStore::masterKey(const QString& bizObject, const QString& code) {
    shareReads();
    return recordKey(connection_, kParties, bizObject, code);
}

bool PackageStore::loadMaster(const QString& bizObject, int key, PackageRecord& record) {
    shareReads();
    return loadRecord(connection_, masterTables(bizObject), bizObject, key, record);
}

QVariant PackageStore::masterValue(const QString& bizObject, const QString& code,
                                   const QString& column) {
    shareReads();
    static const QRegularExpression name(QStringLiteral("^[A-Z_][A-Z0-9_]*$"));
    if (!name.match(column).hasMatch())
        throw AutomationError("SA_MASTER has no column " + column.toStdString());
    QSqlQuery query =
        run(connection_,
            QStringLiteral("SELECT %1 FROM SA_MASTER WHERE BIZOBJECT = ? AND CODE = ?").arg(column),
            {bizObject, code});
    return query.next() ? query.value(0) : QVariant();
}

QStringList PackageStore::missingMasters(const QString& bizObject, const QStringList& codes) {
    QStringList missing;
    if (codes.isEmpty())
        return missing;
    shareReads();
    QStringList marks;
    QVariantList binds{bizObject};
    for (const QString& code : codes) {
        marks << QStringLiteral("?");
        binds << code;
    }
    QSqlQuery query = run(connection_,
                          QStringLiteral("SELECT CODE FROM SA_MASTER WHERE BIZOBJECT = ? AND CODE "
                                         "IN (%1)")
                              .arg(marks.join(QStringLiteral(", "))),
                          binds);
    QStringList held;
    while (query.next())
        held << query.value(0).toString();
    for (const QString& code : codes)
        if (!held.contains(code) && !missing.contains(code))
            missing << code;
    return missing;
}

const PackageCode* PackageStore::code(const QString& list, const QString& code) {
    if (!codesAge_.isValid() || codesAge_.elapsed() > 200) {
        shareReads();
        QHash<QString, PackageCode> codes;
        for (const PackageCode& held : ListPackageCodes(connection_))
            codes.insert(held.list + QLatin1Char('|') + held.code, held);
        codes_ = std::move(codes);
        codesAge_.start();
    }
    const auto found = codes_.constFind(list + QLatin1Char('|') + code);
    return found == codes_.constEnd() ? nullptr : &found.value();
}

double PackageStore::taxRate(const QString& taxCode) {
    if (taxCode.isEmpty())
        return 0;
    const PackageCode* held = code(QStringLiteral("TAX"), taxCode);
    return held ? held->rate : 0;
}

QVector<QVariantMap> PackageStore::openDocuments(const QString& customer, int selfKey) {
    shareReads();
    QSqlQuery query = run(
        connection_,
        QStringLiteral(
            "SELECT D.DOCKEY, D.BIZOBJECT, D.DOCNO, D.DOCDATE, D.DOCTOTAL, "
            "(SELECT COALESCE(SUM(K.KOAMT), 0) FROM SA_KNOCKOFF K WHERE K.TARGETKEY = D.DOCKEY "
            "AND K.DOCKEY <> ?) AS SETTLED, "
            "(SELECT K.KOAMT FROM SA_KNOCKOFF K WHERE K.TARGETKEY = D.DOCKEY AND K.DOCKEY = ?) "
            "AS MINE "
            "FROM SA_DOCUMENT D WHERE D.CODE = ? AND D.BIZOBJECT IN ('SL_IV', 'AR_IV', 'AR_DN') "
            "ORDER BY D.DOCDATE, D.DOCNO"),
        {selfKey, selfKey, customer});
    QVector<QVariantMap> list;
    while (query.next()) {
        const double total = query.value(4).toDouble();
        const double outstanding = std::round((total - query.value(5).toDouble()) * 100.0) / 100.0;
        const bool mine = !query.value(6).isNull();
        if (outstanding <= 0 && !mine)
            continue;
        QVariantMap row;
        row.insert(QStringLiteral("TARGETKEY"), query.value(0).toInt());
        row.insert(QStringLiteral("DOCTYPE"), query.value(1).toString() == QLatin1String("AR_DN")
                                                  ? QStringLiteral("DN")
                                                  : QStringLiteral("IV"));
        row.insert(QStringLiteral("DOCNO"), query.value(2).toString());
        if (!query.value(3).isNull())
            row.insert(QStringLiteral("DOCDATE"), query.value(3).toDate());
        row.insert(QStringLiteral("DOCAMT"), total);
        row.insert(QStringLiteral("OUTSTANDING"), outstanding);
        row.insert(QStringLiteral("KOAMT"), mine ? query.value(6).toDouble() : 0.0);
        row.insert(QStringLiteral("KNOCKOFF"), mine ? QStringLiteral("T") : QStringLiteral("F"));
        list << row;
    }
    return list;
}

void PackageStore::saveDocument(const QString& bizObject, PackageRecord& record,
                                const std::function<void()>& checkFirst,
                                const std::function<void()>& beforeCommit) {
    int key = 0;
    QVector<QVariantMap> details;
    QVariantMap written;
    inSave(checkFirst, beforeCommit, [&] {
        const bool isNew = record.key == 0;
        KeyBlock keys(connection_, newKeys(isNew, record.details, "DTLKEY"));
        details = record.details;
        key = isNew ? keys.take() : record.key;
        QVariantMap header = record.header;
        header.insert(QStringLiteral("DOCTOTAL"),
                      DocumentTotal(record.header, record.details,
                                    [this](const QString& tax) { return taxRate(tax); }));
        header.insert(QStringLiteral("DOCPARTY"),
                      partyKey(bizObject, header.value(QStringLiteral("CODE")).toString()));
        written = header;
        if (isNew) {
            FieldList fields = DocumentHeaderFields();
            fields.push_back({"DOCTOTAL", FieldKind::Number});
            fields.push_back({"DOCPARTY", FieldKind::Text});
            RowWriter(connection_, QStringLiteral("SA_DOCUMENT"),
                      {QStringLiteral("DOCKEY"), QStringLiteral("BIZOBJECT")}, fields)
                .insert({key, bizObject}, header);
        } else {
            run(connection_, QStringLiteral("DELETE FROM SA_KNOCKOFF WHERE DOCKEY = ?"), {key});
            run(connection_, QStringLiteral("DELETE FROM SA_DOCUMENT_DETAIL WHERE DOCKEY = ?"),
                {key});
            QStringList sets;
            QVariantList binds;
            for (const PackageField& field : DocumentHeaderFields()) {
                if (field.kind == FieldKind::Key)
                    continue;
                sets << field.column() + QStringLiteral(" = ?");
                binds << header.value(field.column());
            }
            sets << QStringLiteral("DOCTOTAL = ?") << QStringLiteral("DOCPARTY = ?");
            binds << header.value(QStringLiteral("DOCTOTAL"))
                  << header.value(QStringLiteral("DOCPARTY")) << key;
            run(connection_,
                QStringLiteral("UPDATE SA_DOCUMENT SET %1 WHERE DOCKEY = ?")
                    .arg(sets.join(QStringLiteral(", "))),
                binds);
        }
        RowWriter lines(connection_, QStringLiteral("SA_DOCUMENT_DETAIL"),
                        {QStringLiteral("DTLKEY"), QStringLiteral("DOCKEY")},
                        DocumentDetailFields());
        for (QVariantMap& line : details) {
            if (!line.contains(QStringLiteral("DTLKEY")))
                line.insert(QStringLiteral("DTLKEY"), keys.take());
            lines.insert({line.value(QStringLiteral("DTLKEY")), key}, line);
        }
        RowWriter knockOffs(connection_, QStringLiteral("SA_KNOCKOFF"),
                            {QStringLiteral("DOCKEY"), QStringLiteral("TARGETKEY")},
                            {{"DOCTYPE", FieldKind::Text},
                             {"DOCNO", FieldKind::Text},
                             {"KOAMT", FieldKind::Number}});
        for (const QVariantMap& row : record.knockOffs) {
            if (row.value(QStringLiteral("KNOCKOFF")).toString() != QLatin1String("T"))
                continue;
            knockOffs.insert({key, row.value(QStringLiteral("TARGETKEY"))}, row);
        }
    });
    record.key = key;
    record.details = details;
    // The header as the database now holds it, for the reads that follow the save.
    written.insert(QStringLiteral("DOCKEY"), key);
    written.insert(QStringLiteral("BIZOBJECT"), bizObject);
    rememberDocument(written);
}

void PackageStore::saveMaster(const QString& bizObject, PackageRecord& record,
                              const std::function<void()>& checkFirst,
                              const std::function<void()>& beforeCommit) {
    int key = 0;
    QVector<QVariantMap> branches;
    inSave(checkFirst, beforeCommit, [&] {
        const bool isNew = record.key == 0;
        const RecordTables& tables = masterTables(bizObject);
        const bool item = &tables == &kItems;
        KeyBlock keys(connection_, newKeys(isNew, record.details, tables.lineKey));
        branches = record.details;
        key = isNew ? keys.take() : record.key;
        if (isNew) {
            RowWriter(connection_, QStringLiteral("SA_MASTER"),
                      {QStringLiteral("MASTERKEY"), QStringLiteral("BIZOBJECT")},
                      MasterHeaderFields())
                .insert({key, bizObject}, record.header);
        } else {
            run(connection_,
                QStringLiteral("DELETE FROM %1 WHERE MASTERKEY = ?")
                    .arg(QLatin1String(tables.lines)),
                {key});
            QStringList sets;
            QVariantList binds;
            for (const PackageField& field : MasterHeaderFields()) {
                sets << field.column() + QStringLiteral(" = ?");
                binds << record.header.value(field.column());
            }
            binds << key;
            run(connection_,
                QStringLiteral("UPDATE SA_MASTER SET %1 WHERE MASTERKEY = ?")
                    .arg(sets.join(QStringLiteral(", "))),
                binds);
        }
        const QString lineKey = QLatin1String(tables.lineKey);
        RowWriter lineRows(connection_, QLatin1String(tables.lines),
                           {lineKey, QStringLiteral("MASTERKEY")},
                           item ? UnitFields() : BranchFields());
        for (QVariantMap& branch : branches) {
            if (!branch.contains(lineKey))
                branch.insert(lineKey, keys.take());
            lineRows.insert({branch.value(lineKey), key}, branch);
        }
    });
    record.key = key;
    record.details = branches;
}
