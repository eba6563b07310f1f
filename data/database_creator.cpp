#include "data/database_creator.h"

#include "data/alias_file.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/engine_environment.h"
#include "data/native_status.h"
#include "data/query.h"
#include "data/sql_quote.h"

#include <QFile>
#include <QRegularExpression>
#include <ibase.h>

void CreateDatabaseFile(const QString& database, const QString& user, const QString& password,
                        const QString& charset) {
    PrepareDatabaseEngine();
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z0-9_]+$"));
    if (!identifier.match(charset).hasMatch())
        throw DbError(QStringLiteral("Invalid character set name: %1").arg(charset));
    const QByteArray statement =
        QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE 8192 "
                       "DEFAULT CHARACTER SET %4")
            .arg(QuotedStr(database), QuotedStr(user), QuotedStr(password), charset)
            .toUtf8();
    ISC_STATUS_ARRAY status = {0};
    isc_db_handle db = 0;
    isc_tr_handle transaction = 0;
    if (isc_dsql_execute_immediate(status, &db, &transaction, 0, statement.constData(),
                                   SQL_DIALECT_V6, nullptr))
        throw DbError(QStringLiteral("Cannot create the database %1 as %2:\n%3")
                          .arg(database, user, NativeStatusText(status)));
    if (db)
        isc_detach_database(status, &db);
}

void CreateAliasDatabase(const QString& alias) {
    const AliasTarget target = ResolveAlias(alias);
    CreateDatabaseFile(target.database, target.user, target.password, target.charset);
}

QStringList SplitSqlScript(const QString& script) {
    QStringList statements;
    QString current;
    const QStringList lines = script.split(QLatin1Char('\n'));
    for (QString line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().startsWith(QLatin1String("--")))
            continue;
        current += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            QString statement = current.trimmed();
            statement.chop(1);
            if (!statement.trimmed().isEmpty())
                statements << statement.trimmed();
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        statements << current.trimmed();
    return statements;
}

QString SchemaScript(const QString& fileName) {
    QFile file(QStringLiteral(":/schema/") + fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw DbError(QStringLiteral("Schema file %1 is missing from the program").arg(fileName));
    return QString::fromUtf8(file.readAll());
}

void RunSqlScript(DbConnection& connection, const QString& script) {
    for (const QString& statement : SplitSqlScript(script))
        connection.execute(statement);
}

namespace {

const QRegularExpression& createTablePattern() {
    static const QRegularExpression createTable(QStringLiteral("^CREATE\\s+TABLE\\s+(\\w+)"),
                                                QRegularExpression::CaseInsensitiveOption);
    return createTable;
}

// The link's own tables by database: the stock database holds the stations, the work table,
// the export lock and run register and a posting journal; the receivables database a journal.
const QStringList& stockLinkScripts() {
    static const QStringList scripts{QStringLiteral("link_tables.sql"),
                                     QStringLiteral("link_journal.sql")};
    return scripts;
}
const QStringList& receivableLinkScripts() {
    static const QStringList scripts{QStringLiteral("link_journal.sql")};
    return scripts;
}

// Creates the tables of a schema script that the database lacks, with their indexes and
// constraints; tables that exist are left as they are.
void ensureTablesOf(DbConnection& database, const QString& scriptName) {
    const QRegularExpression& createTable = createTablePattern();
    static const QRegularExpression createIndex(
        QStringLiteral(
            "^CREATE\\s+(?:UNIQUE\\s+)?(?:ASC\\w*\\s+|DESC\\w*\\s+)?INDEX\\s+\\w+\\s+ON\\s+(\\w+)"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression alterTable(QStringLiteral("^ALTER\\s+TABLE\\s+(\\w+)"),
                                               QRegularExpression::CaseInsensitiveOption);
    QStringList missing;
    const QStringList statements = SplitSqlScript(SchemaScript(scriptName));
    for (const QString& statement : statements) {
        const QRegularExpressionMatch table = createTable.match(statement);
        if (!table.hasMatch())
            continue;
        const QString name = table.captured(1).toUpper();
        const QVariant found = SelectValue(
            database,
            QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = ") +
                QuotedStr(name));
        if (found.toInt() == 0)
            missing << name;
    }
    for (const QString& statement : statements) {
        QString owner;
        for (const QRegularExpression* pattern : {&createTable, &createIndex, &alterTable}) {
            const QRegularExpressionMatch match = pattern->match(statement);
            if (match.hasMatch()) {
                owner = match.captured(1).toUpper();
                break;
            }
        }
        if (missing.contains(owner))
            database.execute(statement);
    }
}

// Columns that later versions added to the link's own tables, for databases made before them.
struct AddedColumn {
    const char* table;
    const char* column;
    const char* type;
};

const AddedColumn kAddedColumns[] = {
    {"ACC_EXPORT_RUN", "R_WORKSTATION", "VARCHAR(60)"},
    {"ACC_EXPORT_RUN", "R_FOLDER", "VARCHAR(255)"},
    {"ACC_EXPORT_RUN", "R_PACKAGE", "VARCHAR(200)"},
    {"ACC_POST_JOURNAL", "J_CHECK", "VARCHAR(10)"},
    {"ACC_POST_JOURNAL", "J_PACKAGE_TOTAL", "DOUBLE PRECISION"},
};

int fieldCount(DbConnection& database, const QString& table, const QString& column) {
    QString sql =
        QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = ?");
    QVariantList values{table};
    if (!column.isEmpty()) {
        sql += QStringLiteral(" AND RDB$FIELD_NAME = ?");
        values << column;
    }
    return SelectValue(database, sql, values).toInt();
}

void ensureAddedColumns(DbConnection& database) {
    for (const AddedColumn& added : kAddedColumns) {
        const QString table = QLatin1String(added.table);
        const QString column = QLatin1String(added.column);
        if (fieldCount(database, table, QString()) == 0)
            continue; // the table itself is not in this database
        if (fieldCount(database, table, column) == 0)
            database.execute(QStringLiteral("ALTER TABLE %1 ADD %2 %3")
                                 .arg(table, column, QLatin1String(added.type)));
    }
}

} // namespace

QStringList SchemaTables(const QString& scriptName) {
    QStringList tables;
    for (const QString& statement : SplitSqlScript(SchemaScript(scriptName))) {
        const QRegularExpressionMatch table = createTablePattern().match(statement);
        if (table.hasMatch())
            tables << table.captured(1).toUpper();
    }
    return tables;
}

QStringList StockLinkTables() {
    QStringList tables;
    for (const QString& script : stockLinkScripts())
        tables << SchemaTables(script);
    return tables;
}

QStringList ReceivableLinkTables() {
    QStringList tables;
    for (const QString& script : receivableLinkScripts())
        tables << SchemaTables(script);
    return tables;
}

void EnsureLinkTables(DbConnection& stockDatabase) {
    for (const QString& script : stockLinkScripts())
        ensureTablesOf(stockDatabase, script);
    ensureAddedColumns(stockDatabase);
}

void EnsureReceivableLinkTables(DbConnection& receivablesDatabase) {
    for (const QString& script : receivableLinkScripts())
        ensureTablesOf(receivablesDatabase, script);
    ensureAddedColumns(receivablesDatabase);
}
