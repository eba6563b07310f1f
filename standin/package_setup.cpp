#include "standin/package_setup.h"

#include "core/app_error.h"
#include "core/profile_file.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "sqlacc/automation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

const QString kPackage = QStringLiteral("PACKAGE");
const QString kUsers = QStringLiteral("USERS");
const QString kDefaultEngineUser = QStringLiteral("SYSDBA");
const QString kDefaultEnginePassword = QStringLiteral("masterkey");

QString schemaScript() {
    QFile file(QStringLiteral(":/standin/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("The stand-in package's schema is missing from the program"));
    return QString::fromUtf8(file.readAll());
}

int countOf(DbConnection& database, const QString& sql) {
    return SelectValue(database, sql).toInt();
}

bool hasTable(DbConnection& database, const QString& table) {
    return countOf(database, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE "
                                            "RDB$RELATION_NAME = ") +
                                 QuotedStr(table)) > 0;
}

bool hasColumn(DbConnection& database, const QString& table, const QString& column) {
    return countOf(database, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE "
                                            "RDB$RELATION_NAME = %1 AND RDB$FIELD_NAME = %2")
                                 .arg(QuotedStr(table), QuotedStr(column))) > 0;
}

bool hasConstraint(DbConnection& database, const QString& name) {
    return countOf(database, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_CONSTRAINTS WHERE "
                                            "RDB$CONSTRAINT_NAME = ") +
                                 QuotedStr(name)) > 0;
}

// The tables of the schema that the database lacks, with their indexes.
QStringList createMissingTables(DbConnection& database) {
    static const QRegularExpression createTable(QStringLiteral("^CREATE\\s+TABLE\\s+(\\w+)"),
                                                QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression createIndex(
        QStringLiteral("^CREATE\\s+(?:UNIQUE\\s+)?INDEX\\s+\\w+\\s+ON\\s+(\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    const QStringList statements = SplitSqlScript(schemaScript());
    QStringList missing;
    for (const QString& statement : statements) {
        const QRegularExpressionMatch table = createTable.match(statement);
        if (table.hasMatch() && !hasTable(database, table.captured(1).toUpper()))
            missing << table.captured(1).toUpper();
    }
    for (const QString& statement : statements) {
        QRegularExpressionMatch match = createTable.match(statement);
        if (!match.hasMatch())
            match = createIndex.match(statement);
        if (match.hasMatch() && missing.contains(match.captured(1).toUpper()))
            database.execute(statement);
    }
    return missing;
}

} // namespace

PackageDcf ReadPackageDcf(const QString& dcfPath) {
    const QFileInfo info(dcfPath);
    if (dcfPath.isEmpty() || !info.isFile())
        throw AutomationError("Data collection file not found: " + dcfPath.toStdString());
    const ProfileFile file(dcfPath);
    PackageDcf dcf;
    dcf.path = info.absoluteFilePath();
    const QString folder =
        file.readString(kPackage, QStringLiteral("DATABASE_FOLDER"), QString()).trimmed();
    // A folder on a Firebird server (host/port:/srv/package) is the server's to resolve.
    dcf.databaseFolder = IsServerPath(folder)
                             ? folder
                             : QDir::cleanPath(QDir(info.absolutePath()).absoluteFilePath(folder));
    dcf.databaseUser =
        file.readString(kPackage, QStringLiteral("DATABASE_USER"), kDefaultEngineUser);
    dcf.databasePassword =
        file.readString(kPackage, QStringLiteral("DATABASE_PASSWORD"), kDefaultEnginePassword);
    dcf.build =
        file.readString(kPackage, QStringLiteral("BUILD"), QLatin1String(DefaultPackageBuild))
            .trimmed();
    dcf.companyName =
        file.readString(kPackage, QStringLiteral("COMPANY_NAME"), QString()).trimmed();
    return dcf;
}

bool PackageUserAccepted(const PackageDcf& dcf, const QString& user, const QString& password) {
    if (user.trimmed().isEmpty())
        return false;
    // A value no password can be: tells a missing user from an empty password.
    const QString missing = QStringLiteral("\n");
    const QString stored = ProfileFile(dcf.path).readString(kUsers, user, missing);
    return stored != missing && stored == password;
}

AliasTarget PackageDatabaseTarget(const PackageDcf& dcf, const QString& databaseFile) {
    AliasTarget target;
    target.alias = QStringLiteral("SQLAccPackage");
    // The database may be named on a server (host/port:path) like an alias, either by the file
    // itself or by the DCF's folder; workstations that share one server then post into one
    // package.
    if (IsServerPath(databaseFile)) {
        target.database = databaseFile.trimmed();
        target.remote = true;
    } else if (IsServerPath(dcf.databaseFolder)) {
        QString folder = dcf.databaseFolder;
        while (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\')))
            folder.chop(1);
        const QChar separator =
            folder.contains(QLatin1Char('\\')) ? QLatin1Char('\\') : QLatin1Char('/');
        target.database = folder + separator + databaseFile.trimmed();
        target.remote = true;
    } else {
        target.database = QDir::cleanPath(QDir(dcf.databaseFolder).absoluteFilePath(databaseFile));
    }
    target.user = dcf.databaseUser;
    target.password = dcf.databasePassword;
    target.adminUser = dcf.databaseUser;
    target.adminPassword = dcf.databasePassword;
    target.charset = QStringLiteral("UTF8");
    return target;
}

void SetPackageDcfValue(const QString& dcfPath, const QString& key, const QString& value) {
    ProfileFile(dcfPath).writeString(kPackage, key, value);
}

void EnsurePackageSchema(DbConnection& database) {
    const QStringList created = createMissingTables(database);
    // Items kept before units were: each gets the unit its lines name.
    if (created.contains(QStringLiteral("SA_ITEM_UOM")))
        database.execute(QStringLiteral(
            "INSERT INTO SA_ITEM_UOM (UOMKEY, MASTERKEY, UOM, RATE, ISBASE) SELECT NEXT VALUE FOR "
            "SA_KEY, MASTERKEY, 'UNIT', 1, 'T' FROM SA_MASTER WHERE BIZOBJECT = 'ST_ITEM'"));
    if (!hasColumn(database, QStringLiteral("SA_DOCUMENT_DETAIL"), QStringLiteral("TARIFF")))
        database.execute(QStringLiteral("ALTER TABLE SA_DOCUMENT_DETAIL ADD TARIFF VARCHAR(20)"));
    // The e-invoice columns, for a database made before them.
    static const char* const eInvoiceColumns[][3] = {
        {"SA_DOCUMENT", "SUBMISSIONTYPE", "INTEGER"},
        {"SA_DOCUMENT", "IRBM_UUID", "VARCHAR(60)"},
        {"SA_DOCUMENT", "IRBM_STATUS", "VARCHAR(20)"},
        {"SA_DOCUMENT_DETAIL", "IRBM_CLASSIFICATION", "VARCHAR(10)"},
        {"SA_DOCUMENT_DETAIL", "TAXEXEMPTIONREASON", "VARCHAR(300)"},
        {"SA_MASTER", "TIN", "VARCHAR(20)"},
        {"SA_MASTER", "IDTYPE", "INTEGER"},
        {"SA_MASTER", "IDNO", "VARCHAR(40)"},
        {"SA_MASTER", "SUBMISSIONTYPE", "INTEGER"},
        {"SA_MASTER", "SIC", "VARCHAR(10)"},
        {"SA_MASTER", "IRBM_CLASSIFICATION", "VARCHAR(10)"},
        {"SA_MASTER_BRANCH", "POSTCODE", "VARCHAR(10)"},
        {"SA_MASTER_BRANCH", "CITY", "VARCHAR(60)"},
        {"SA_MASTER_BRANCH", "STATE", "VARCHAR(60)"},
        {"SA_MASTER_BRANCH", "COUNTRY", "VARCHAR(10)"},
    };
    // One read of the columns the tables have, rather than one per column at every login.
    QSet<QString> held;
    {
        RowReader columns(database,
                          QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) || '.' || "
                                         "TRIM(RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS WHERE "
                                         "RDB$RELATION_NAME IN ('SA_DOCUMENT', "
                                         "'SA_DOCUMENT_DETAIL', 'SA_MASTER', 'SA_MASTER_BRANCH')"));
        while (columns.next())
            held.insert(columns.value(0).toString());
    }
    for (const auto& column : eInvoiceColumns)
        if (!held.contains(QLatin1String(column[0]) + QLatin1Char('.') + QLatin1String(column[1])))
            database.execute(QStringLiteral("ALTER TABLE %1 ADD %2 %3")
                                 .arg(QLatin1String(column[0]), QLatin1String(column[1]),
                                      QLatin1String(column[2])));
    // Purchase invoices and returns are unique by number and supplier together.
    if (!hasColumn(database, QStringLiteral("SA_DOCUMENT"), QStringLiteral("DOCPARTY"))) {
        database.execute(
            QStringLiteral("ALTER TABLE SA_DOCUMENT ADD DOCPARTY VARCHAR(60) DEFAULT ''"));
        database.execute(QStringLiteral(
            "UPDATE SA_DOCUMENT SET DOCPARTY = CASE WHEN BIZOBJECT IN ('PH_PI', 'PH_SC') THEN "
            "COALESCE(CODE, '') ELSE '' END"));
    }
    if (hasConstraint(database, QStringLiteral("UQ_SA_DOCUMENT_DOCNO")))
        database.execute(
            QStringLiteral("ALTER TABLE SA_DOCUMENT DROP CONSTRAINT UQ_SA_DOCUMENT_DOCNO"));
    if (!hasConstraint(database, QStringLiteral("UQ_SA_DOCUMENT_NUMBER")))
        database.execute(
            QStringLiteral("ALTER TABLE SA_DOCUMENT ADD CONSTRAINT "
                           "UQ_SA_DOCUMENT_NUMBER UNIQUE (BIZOBJECT, DOCNO, DOCPARTY)"));
    // The package's "none" codes, written only when missing: a package opened by several
    // processes at once writes nothing once they are there.
    for (const char* list : {"AREA", "AGENT", "CURRENCY", "PROJECT"})
        database.execute(
            QStringLiteral("INSERT INTO SA_CODE (CODEKEY, LIST, CODE, DESCRIPTION) SELECT NEXT "
                           "VALUE FOR SA_KEY, '%1', '----', 'None' FROM RDB$DATABASE WHERE NOT "
                           "EXISTS (SELECT 1 FROM SA_CODE WHERE LIST = '%1' AND CODE = '----')")
                .arg(QLatin1String(list)));
}

void CreatePackageDatabase(const QString& dcfPath, const QString& folder,
                           const QString& databaseFile, const QString& user,
                           const QString& password, const QString& companyName,
                           const QString& build) {
    const QString dcfFolder = QFileInfo(dcfPath).absolutePath();
    if (!QDir().mkpath(dcfFolder))
        throw AppError(QStringLiteral("Cannot create the folder %1").arg(dcfFolder));
    // Kept relative to the DCF, so an installation can be moved as a whole; a folder on a server
    // is kept as given.
    const bool onServer = IsServerPath(folder);
    ProfileFile dcfFile(dcfPath);
    dcfFile.writeString(
        kPackage, QStringLiteral("DATABASE_FOLDER"),
        onServer ? folder : QDir(dcfFolder).relativeFilePath(QFileInfo(folder).absoluteFilePath()));
    dcfFile.writeString(kPackage, QStringLiteral("BUILD"), build);
    dcfFile.writeString(kPackage, QStringLiteral("COMPANY_NAME"), companyName);
    dcfFile.writeString(kUsers, user, password);

    const PackageDcf dcf = ReadPackageDcf(dcfPath);
    if (!onServer && !QDir().mkpath(dcf.databaseFolder))
        throw AppError(QStringLiteral("Cannot create the folder %1").arg(dcf.databaseFolder));
    const AliasTarget target = PackageDatabaseTarget(dcf, databaseFile);
    CreateDatabaseFile(target.database, target.user, target.password, target.charset);
    DbConnection connection(QStringLiteral("SQLAccPackageSetup"), target);
    RunSqlScript(connection, schemaScript());
    EnsurePackageSchema(connection);
}
