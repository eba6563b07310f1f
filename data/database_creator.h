#pragma once

#include <QString>
#include <QStringList>

class DbConnection;

// Creates an empty database file (or a database on a server, host:path) with the given default
// character set. Raises DbError naming the database and the account, with the engine's text,
// when the engine refuses (for example when the file exists already).
void CreateDatabaseFile(const QString& database, const QString& user, const QString& password,
                        const QString& charset = QStringLiteral("WIN1252"));

// Creates the database of an alias as the alias file describes it, owned by the alias user so the
// program may create its own tables in it.
void CreateAliasDatabase(const QString& alias);

// The statements of a DDL script: ";" ends a statement at the end of a line, lines starting with
// "--" are comments.
QStringList SplitSqlScript(const QString& script);

// The text of one of the schema files kept with the program (zantstk.sql, link_tables.sql, ...).
QString SchemaScript(const QString& fileName);

// The tables a schema script creates, in upper case, in the order of the script.
QStringList SchemaTables(const QString& scriptName);

// Runs every statement of a script, each committed on its own.
void RunSqlScript(DbConnection& connection, const QString& script);

// Creates the link's own tables (stations, station jobs, export work table, export lock and run
// register, posting journal) and their indexes in the stock database when they are missing;
// tables that exist are left as they are.
void EnsureLinkTables(DbConnection& stockDatabase);

// The same for the link's own table in the receivables database: the posting journal of the
// receivable documents, whose flags live there.
void EnsureReceivableLinkTables(DbConnection& receivablesDatabase);

// The link's own tables that EnsureLinkTables and EnsureReceivableLinkTables create.
QStringList StockLinkTables();
QStringList ReceivableLinkTables();
