#include "standin/package_store.h"

#include "sqlacc/automation.h"
#include "core/app_error.h"
#include "standin/package_fields.h"

#include <QDate>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <cmath>

namespace {

[[noreturn]] void raise(const QSqlError& error) {
    throw AutomationError(EngineErrorText(error).toStdString());
}

QSqlQuery run(DbConnection& connection, const QString& sql, const QVariantList& binds = {}) {
    QSqlDatabase db;
    try {
        db = connection.database();
    } catch (const AppError& error) {
        throw AutomationError(error.message().toStdString());
    }
    QSqlQuery query(db);
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

int nextKey(DbConnection& connection) {
    QSqlQuery query =
        run(connection, QStringLiteral("SELECT NEXT VALUE FOR SA_KEY FROM RDB$DATABASE"));
    query.next();
    return query.value(0).toInt();
}

// INSERT of the stored fields of a row; key columns first.
void insertRow(DbConnection& connection, const QString& table, const QStringList& keyColumns,
               const QVariantList& keys, const FieldList& fields, const QVariantMap& row) {
    QStringList columns = keyColumns;
    QVariantList binds = keys;
    for (const PackageField& field : fields) {
        if (field.kind == FieldKind::Key || field.kind == FieldKind::ReadOnly)
            continue;
        if (columns.contains(field.column()))
            continue;
        columns << field.column();
        binds << row.value(field.column());
    }
    QStringList marks;
    for (int i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    run(connection,
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
        binds);
}

// The amount of a document as its knock-off list shows it: DOCAMT when given, otherwise the
// lines' amounts (quantity times price less discount where no AMOUNT is given) with their tax
// unless the tax is included.
double documentTotal(const PackageRecord& record) {
    if (record.header.contains(QStringLiteral("DOCAMT")))
        return record.header.value(QStringLiteral("DOCAMT")).toDouble();
    double total = 0;
    for (const QVariantMap& line : record.details) {
        if (line.contains(QStringLiteral("AMOUNT")))
            total += line.value(QStringLiteral("AMOUNT")).toDouble();
        else
            total += line.value(QStringLiteral("QTY")).toDouble() *
                         line.value(QStringLiteral("UNITPRICE")).toDouble() -
                     line.value(QStringLiteral("DISC")).toDouble();
        if (line.value(QStringLiteral("TAXINCLUSIVE")).toString() != QLatin1String("1"))
            total += line.value(QStringLiteral("TAXAMT")).toDouble();
    }
    return std::round(total * 100.0) / 100.0;
}

} // namespace

PackageStore::PackageStore(const AliasTarget& target)
    : connection_(QStringLiteral("SQLAccPackage"), target) {}

void PackageStore::open() {
    try {
        connection_.open();
    } catch (const AppError& error) {
        throw AutomationError(error.message().toStdString());
    }
}

int PackageStore::documentKey(const QString& bizObject, const QString& docNo) {
    QSqlQuery query = run(connection_,
                          QStringLiteral("SELECT DOCKEY FROM SA_DOCUMENT WHERE BIZOBJECT = ? AND "
                                         "DOCNO = ?"),
                          {bizObject, docNo});
    return query.next() ? query.value(0).toInt() : 0;
}

bool PackageStore::loadDocument(const QString& bizObject, int key, PackageRecord& record) {
    QSqlQuery header = run(connection_,
                           QStringLiteral("SELECT * FROM SA_DOCUMENT WHERE BIZOBJECT = ? AND "
                                          "DOCKEY = ?"),
                           {bizObject, key});
    if (!header.next())
        return false;
    record = PackageRecord();
    record.key = key;
    record.header = rowOf(header);
    QSqlQuery lines = run(connection_,
                          QStringLiteral("SELECT * FROM SA_DOCUMENT_DETAIL WHERE DOCKEY = ? "
                                         "ORDER BY DTLKEY"),
                          {key});
    while (lines.next())
        record.details << rowOf(lines);
    return true;
}

int PackageStore::masterKey(const QString& bizObject, const QString& code) {
    QSqlQuery query = run(connection_,
                          QStringLiteral("SELECT MASTERKEY FROM SA_MASTER WHERE BIZOBJECT = ? AND "
                                         "CODE = ?"),
                          {bizObject, code});
    return query.next() ? query.value(0).toInt() : 0;
}

bool PackageStore::loadMaster(const QString& bizObject, int key, PackageRecord& record) {
    QSqlQuery header = run(connection_,
                           QStringLiteral("SELECT * FROM SA_MASTER WHERE BIZOBJECT = ? AND "
                                          "MASTERKEY = ?"),
                           {bizObject, key});
    if (!header.next())
        return false;
    record = PackageRecord();
    record.key = key;
    record.header = rowOf(header);
    QSqlQuery branches = run(connection_,
                             QStringLiteral("SELECT * FROM SA_MASTER_BRANCH WHERE MASTERKEY = ? "
                                            "ORDER BY BRANCHKEY"),
                             {key});
    while (branches.next())
        record.details << rowOf(branches);
    return true;
}

QVector<QVariantMap> PackageStore::openDocuments(const QString& customer, int selfKey) {
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
                                const std::function<void()>& beforeCommit) {
    Transaction transaction(connection_);
    const bool isNew = record.key == 0;
    const int key = isNew ? nextKey(connection_) : record.key;
    QVariantMap header = record.header;
    header.insert(QStringLiteral("DOCTOTAL"), documentTotal(record));
    if (isNew) {
        FieldList fields = DocumentHeaderFields();
        fields.push_back({"DOCTOTAL", FieldKind::Number});
        insertRow(connection_, QStringLiteral("SA_DOCUMENT"),
                  {QStringLiteral("DOCKEY"), QStringLiteral("BIZOBJECT")}, {key, bizObject}, fields,
                  header);
    } else {
        run(connection_, QStringLiteral("DELETE FROM SA_KNOCKOFF WHERE DOCKEY = ?"), {key});
        run(connection_, QStringLiteral("DELETE FROM SA_DOCUMENT_DETAIL WHERE DOCKEY = ?"), {key});
        QStringList sets;
        QVariantList binds;
        for (const PackageField& field : DocumentHeaderFields()) {
            if (field.kind == FieldKind::Key)
                continue;
            sets << field.column() + QStringLiteral(" = ?");
            binds << header.value(field.column());
        }
        sets << QStringLiteral("DOCTOTAL = ?");
        binds << header.value(QStringLiteral("DOCTOTAL")) << key;
        run(connection_,
            QStringLiteral("UPDATE SA_DOCUMENT SET %1 WHERE DOCKEY = ?")
                .arg(sets.join(QStringLiteral(", "))),
            binds);
    }
    QVector<QVariantMap> details = record.details;
    for (QVariantMap& line : details) {
        if (!line.contains(QStringLiteral("DTLKEY")))
            line.insert(QStringLiteral("DTLKEY"), nextKey(connection_));
        insertRow(connection_, QStringLiteral("SA_DOCUMENT_DETAIL"),
                  {QStringLiteral("DTLKEY"), QStringLiteral("DOCKEY")},
                  {line.value(QStringLiteral("DTLKEY")), key}, DocumentDetailFields(), line);
    }
    for (const QVariantMap& row : record.knockOffs) {
        if (row.value(QStringLiteral("KNOCKOFF")).toString() != QLatin1String("T"))
            continue;
        run(connection_,
            QStringLiteral("INSERT INTO SA_KNOCKOFF (DOCKEY, TARGETKEY, DOCTYPE, DOCNO, KOAMT) "
                           "VALUES (?, ?, ?, ?, ?)"),
            {key, row.value(QStringLiteral("TARGETKEY")), row.value(QStringLiteral("DOCTYPE")),
             row.value(QStringLiteral("DOCNO")), row.value(QStringLiteral("KOAMT"))});
    }
    beforeCommit();
    try {
        transaction.commit();
    } catch (const AppError& error) {
        throw AutomationError(error.message().toStdString());
    }
    record.key = key;
    record.details = details;
}

void PackageStore::saveMaster(const QString& bizObject, PackageRecord& record,
                              const std::function<void()>& beforeCommit) {
    Transaction transaction(connection_);
    const bool isNew = record.key == 0;
    const int key = isNew ? nextKey(connection_) : record.key;
    if (isNew) {
        insertRow(connection_, QStringLiteral("SA_MASTER"),
                  {QStringLiteral("MASTERKEY"), QStringLiteral("BIZOBJECT")}, {key, bizObject},
                  MasterHeaderFields(), record.header);
    } else {
        run(connection_, QStringLiteral("DELETE FROM SA_MASTER_BRANCH WHERE MASTERKEY = ?"), {key});
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
    QVector<QVariantMap> branches = record.details;
    for (QVariantMap& branch : branches) {
        if (!branch.contains(QStringLiteral("BRANCHKEY")))
            branch.insert(QStringLiteral("BRANCHKEY"), nextKey(connection_));
        insertRow(connection_, QStringLiteral("SA_MASTER_BRANCH"),
                  {QStringLiteral("BRANCHKEY"), QStringLiteral("MASTERKEY")},
                  {branch.value(QStringLiteral("BRANCHKEY")), key}, BranchFields(), branch);
    }
    beforeCommit();
    try {
        transaction.commit();
    } catch (const AppError& error) {
        throw AutomationError(error.message().toStdString());
    }
    record.key = key;
    record.details = branches;
}
