#include "standin/package_dump.h"

#include "config/settings_file.h"
#include "core/app_error.h"
#include "data/connection.h"
#include "standin/package_codes.h"
#include "standin/package_fields.h"
#include "standin/package_setup.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace {

QSqlQuery select(DbConnection& connection, const QString& sql, const QVariantList& binds = {}) {
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw AppError(EngineErrorText(query.lastError()));
    for (const QVariant& bind : binds)
        query.addBindValue(bind);
    if (!query.exec())
        throw AppError(EngineErrorText(query.lastError()));
    return query;
}

QJsonValue jsonOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QDate)
        return value.toDate().toString(QStringLiteral("yyyy/MM/dd"));
    if (value.typeId() == QMetaType::Double)
        return value.toDouble();
    if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong)
        return value.toLongLong();
    return value.toString();
}

// The fields of the row that were set, under the package's field names.
QJsonObject fieldsOf(const QSqlQuery& query, const FieldList& fields) {
    QJsonObject object;
    const QSqlRecord record = query.record();
    for (const PackageField& field : fields) {
        if (field.kind == FieldKind::Key)
            continue;
        const int column = record.indexOf(field.column());
        if (column >= 0 && !query.value(column).isNull())
            object.insert(QLatin1String(field.name), jsonOf(query.value(column)));
    }
    return object;
}

QJsonArray documents(DbConnection& db) {
    QJsonArray list;
    QSqlQuery header =
        select(db, QStringLiteral("SELECT * FROM SA_DOCUMENT ORDER BY BIZOBJECT, DOCNO"));
    while (header.next()) {
        const int key = header.value(QStringLiteral("DOCKEY")).toInt();
        QJsonObject document;
        document.insert(QStringLiteral("bizObject"),
                        header.value(QStringLiteral("BIZOBJECT")).toString());
        document.insert(QStringLiteral("DOCNO"), header.value(QStringLiteral("DOCNO")).toString());
        document.insert(QStringLiteral("key"), key);
        document.insert(QStringLiteral("docTotal"),
                        header.value(QStringLiteral("DOCTOTAL")).toDouble());
        document.insert(QStringLiteral("header"), fieldsOf(header, DocumentHeaderFields()));
        QJsonArray lines;
        QSqlQuery line = select(
            db, QStringLiteral("SELECT * FROM SA_DOCUMENT_DETAIL WHERE DOCKEY = ? ORDER BY DTLKEY"),
            {key});
        while (line.next())
            lines.append(fieldsOf(line, DocumentDetailFields()));
        document.insert(QStringLiteral("lines"), lines);
        QJsonArray knockOffs;
        QSqlQuery knockOff = select(db,
                                    QStringLiteral("SELECT DOCTYPE, DOCNO, KOAMT FROM SA_KNOCKOFF "
                                                   "WHERE DOCKEY = ? ORDER BY DOCTYPE, DOCNO"),
                                    {key});
        while (knockOff.next())
            knockOffs.append(QJsonObject{{QStringLiteral("DocType"), knockOff.value(0).toString()},
                                         {QStringLiteral("DocNo"), knockOff.value(1).toString()},
                                         {QStringLiteral("KOAmt"), knockOff.value(2).toDouble()}});
        document.insert(QStringLiteral("knockOffs"), knockOffs);
        list.append(document);
    }
    return list;
}

QJsonArray masters(DbConnection& db) {
    QJsonArray list;
    QSqlQuery header =
        select(db, QStringLiteral("SELECT * FROM SA_MASTER ORDER BY BIZOBJECT, CODE"));
    while (header.next()) {
        const int key = header.value(QStringLiteral("MASTERKEY")).toInt();
        QJsonObject master;
        master.insert(QStringLiteral("bizObject"),
                      header.value(QStringLiteral("BIZOBJECT")).toString());
        master.insert(QStringLiteral("CODE"), header.value(QStringLiteral("CODE")).toString());
        master.insert(QStringLiteral("key"), key);
        master.insert(QStringLiteral("fields"), fieldsOf(header, MasterHeaderFields()));
        // A supplier's or customer's branches; a stock item's units.
        const bool item =
            header.value(QStringLiteral("BIZOBJECT")).toString() == QLatin1String("ST_ITEM");
        QJsonArray lines;
        QSqlQuery line = select(
            db,
            item ? QStringLiteral("SELECT * FROM SA_ITEM_UOM WHERE MASTERKEY = ? ORDER BY UOMKEY")
                 : QStringLiteral(
                       "SELECT * FROM SA_MASTER_BRANCH WHERE MASTERKEY = ? ORDER BY BRANCHKEY"),
            {key});
        while (line.next())
            lines.append(fieldsOf(line, item ? UnitFields() : BranchFields()));
        master.insert(item ? QStringLiteral("units") : QStringLiteral("branches"), lines);
        list.append(master);
    }
    return list;
}

} // namespace

QJsonObject DumpPackage(const AliasTarget& database) {
    DbConnection db(QStringLiteral("SQLAccPackageDump"), database);
    EnsurePackageSchema(db); // a database of an earlier stand-in
    QJsonObject dump;
    dump.insert(QStringLiteral("documents"), documents(db));
    dump.insert(QStringLiteral("masters"), masters(db));
    QJsonArray codes;
    for (const PackageCode& code : ListPackageCodes(db)) {
        QJsonObject entry{{QStringLiteral("list"), code.list},
                          {QStringLiteral("CODE"), code.code},
                          {QStringLiteral("DESCRIPTION"), code.description}};
        if (code.list == QLatin1String("TAX")) {
            entry.insert(QStringLiteral("RATE"), code.rate);
            entry.insert(QStringLiteral("TARIFFREQUIRED"), code.tariffRequired);
        }
        codes.append(entry);
    }
    dump.insert(QStringLiteral("codes"), codes);
    return dump;
}

AliasTarget PackageDumpTarget(const QString& dcfPath, const QString& databaseFile) {
    const SettingsFile settings(SettingsFile::defaultPath());
    const QString dcfFile = dcfPath.isEmpty() ? settings.read(Keys::SqlAcc::Dcf) : dcfPath;
    AliasTarget target;
    if (databaseFile.isEmpty() || QFileInfo(dcfFile).isFile()) {
        PackageDcf dcf;
        try {
            dcf = ReadPackageDcf(dcfFile);
        } catch (const std::exception& error) {
            throw AppError(QString::fromUtf8(error.what()));
        }
        target = PackageDatabaseTarget(dcf, databaseFile.isEmpty()
                                                ? settings.read(Keys::SqlAcc::SalesTransaction)
                                                : QString());
    } else {
        PackageDcf defaults;
        defaults.databaseUser = QStringLiteral("SYSDBA");
        defaults.databasePassword = QStringLiteral("masterkey");
        target = PackageDatabaseTarget(defaults, QString());
    }
    if (!databaseFile.isEmpty()) {
        target.remote = IsServerPath(databaseFile);
        target.database = target.remote ? databaseFile : QFileInfo(databaseFile).absoluteFilePath();
    }
    if (!target.remote && !QFileInfo(target.database).isFile())
        throw AppError(QStringLiteral("Database file not found: %1").arg(target.database));
    return target;
}
