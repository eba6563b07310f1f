#include "data/installation_check.h"

#include "core/action_guard.h"
#include "data/alias_file.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/db_error.h"
#include "data/query.h"

#include <QSet>
#include <QSqlQuery>

namespace {

// The accounts the data modules connect with, and the tables each database must hold: the
// back-office tables the link reads (from the schema files kept with the program) and the
// link's own.
struct AccountOfAlias {
    const char* alias;
    bool administrator;
    const char* backOfficeScript;
    bool stockLinkTables;
    bool receivableLinkTables;
};

const AccountOfAlias kAccounts[] = {
    {"ZantSys", false, "zantsys.sql", false, false},
    {"ZantStk", false, "zantstk.sql", true, false},
    {"ZantApp", false, "zantapp.sql", false, false},
    // The history database is reached through its administrator account only.
    {"ZantHis", true, "zanthis.sql", false, false},
    {"ARDB", false, "ardb.sql", false, true},
};

// The back-office columns the link writes: the export flags it sets after posting, and the
// debtor and creditor codes it may generate. The link's own tables it writes whole.
const struct {
    const char* alias;
    const char* table;
    const char* columns;
} kWrittenColumns[] = {
    {"ZantStk", "POS_SALES", "SALES_EXPORT_ACCT"},
    {"ZantStk", "POS_SALESDTL", "SALES_EXPORT_ACCT"},
    {"ZantStk", "POS_CLOSEINFO", "CI_EXPORT_ACCT"},
    {"ZantStk", "STK_MLEDGER", "S_EXPORT_ACCT"},
    {"ZantStk", "STK_SLEDGER", "S_EXPORT_ACCT"},
    {"ZantApp", "MAS_CUSTOMER", "M_EXPORT_ACCT,M_DEBTOR"},
    {"ZantApp", "MAS_SUPPLIER", "M_EXPORT_ACCT,M_CREDITOR"},
    {"ZantApp", "MAS_STOCK", "M_EXPORT_ACCT"},
    {"ARDB", "AR_TRANS", "TD_EXPORT_ACCT"},
    {"ARDB", "AR_LINK", "LK_EXPORT_ACCT"},
};

const AccountOfAlias* accountOf(const QString& alias) {
    for (const AccountOfAlias& account : kAccounts)
        if (alias.compare(QLatin1String(account.alias), Qt::CaseInsensitive) == 0)
            return &account;
    return nullptr;
}

QSet<QString> userTables(DbConnection& connection) {
    QSet<QString> tables;
    RowReader reader(connection, QStringLiteral("SELECT TRIM(RDB$RELATION_NAME) FROM RDB$RELATIONS "
                                                "WHERE COALESCE(RDB$SYSTEM_FLAG, 0) = 0"));
    while (reader.next())
        tables.insert(reader.value(0).toString().toUpper());
    return tables;
}

// Sorts the expected tables into missing and unreadable ones.
void checkTables(DbConnection& connection, const QSet<QString>& present,
                 const QStringList& expected, QStringList& missing, QStringList& unreadable) {
    for (const QString& table : expected) {
        if (!present.contains(table)) {
            missing << table;
            continue;
        }
        try {
            // Every column named, no row read: the engine checks the right to read each column
            // it is asked for, and none at all for a statement that names none.
            SelectValue(connection, QStringLiteral("SELECT FIRST 0 * FROM %1").arg(table));
        } catch (const DbError&) {
            unreadable << table;
        }
    }
}

// True when the engine accepts the statement for this account. Only prepared, never run: the
// engine checks the rights of an account when it prepares a statement.
bool allowed(DbConnection& connection, const QString& statement) {
    QSqlQuery query(connection.database());
    return query.prepare(statement);
}

QString firstColumn(DbConnection& connection, const QString& table) {
    return SelectValue(connection,
                       QStringLiteral("SELECT TRIM(RDB$FIELD_NAME) FROM RDB$RELATION_FIELDS WHERE "
                                      "RDB$RELATION_NAME = ? ORDER BY RDB$FIELD_POSITION ROWS 1"),
                       {table})
        .toString();
}

// The tables of `tables` (present and readable) whose rows the account may not add, change or
// delete.
QStringList unwritableLinkTables(DbConnection& connection, const QStringList& tables) {
    QStringList refused;
    for (const QString& table : tables) {
        const QString column = firstColumn(connection, table);
        if (!allowed(connection, QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)) ||
            !allowed(connection,
                     QStringLiteral("UPDATE %1 SET %2 = %2 WHERE 1 = 0").arg(table, column)) ||
            !allowed(connection, QStringLiteral("DELETE FROM %1 WHERE 1 = 0").arg(table)))
            refused << table;
    }
    return refused;
}

// The back-office tables of the alias whose written columns the account may not change.
QStringList unwritableColumns(DbConnection& connection, const QString& alias,
                              const QStringList& usable) {
    QStringList refused;
    for (const auto& written : kWrittenColumns) {
        const QString table = QLatin1String(written.table);
        if (alias.compare(QLatin1String(written.alias), Qt::CaseInsensitive) != 0 ||
            !usable.contains(table))
            continue;
        QStringList assignments;
        for (const QString& column : QString::fromLatin1(written.columns).split(QLatin1Char(',')))
            assignments << QStringLiteral("%1 = %1").arg(column);
        if (!allowed(connection, QStringLiteral("UPDATE %1 SET %2 WHERE 1 = 0")
                                     .arg(table, assignments.join(QStringLiteral(", ")))))
            refused << QStringLiteral("%1 (%2)").arg(
                table, QString::fromLatin1(written.columns)
                           .replace(QLatin1Char(','), QStringLiteral(", ")));
    }
    return refused;
}

QStringList without(QStringList tables, const QStringList& left) {
    for (const QString& table : left)
        tables.removeAll(table);
    return tables;
}

} // namespace

AliasCheck CheckAlias(const QString& alias, bool administrator) {
    AliasCheck check;
    check.alias = alias;
    check.administrator = administrator;
    try {
        const AliasTarget target = ResolveAlias(alias);
        check.user = administrator ? target.adminUser : target.user;
        check.database = target.database;
        check.remote = target.remote;
    } catch (const AppError& error) {
        check.error = error.message();
        return check;
    }

    DbConnection connection(QStringLiteral("InstallationCheck"), alias, administrator);
    try {
        connection.open();
    } catch (const ConnectionError& error) {
        check.error = error.engineText();
        return check;
    } catch (...) {
        check.error = CurrentExceptionText();
        return check;
    }
    check.connected = true;
    try {
        RowReader reader(connection, QStringLiteral("SELECT MON$DATABASE_NAME, CURRENT_USER, "
                                                    "RDB$GET_CONTEXT('SYSTEM', 'ENGINE_VERSION') "
                                                    "FROM MON$DATABASE"));
        if (reader.next()) {
            check.databaseFile = reader.value(0).toString().trimmed();
            check.connectedAs = reader.value(1).toString().trimmed();
            check.engineVersion = reader.value(2).toString().trimmed();
        }

        QStringList backOffice;
        QStringList link;
        if (const AccountOfAlias* account = accountOf(alias)) {
            backOffice = SchemaTables(QLatin1String(account->backOfficeScript));
            if (account->stockLinkTables)
                link << StockLinkTables();
            if (account->receivableLinkTables)
                link << ReceivableLinkTables();
        }
        check.backOfficeTableCount = int(backOffice.size());
        check.linkTableCount = int(link.size());
        const QSet<QString> present = userTables(connection);
        checkTables(connection, present, backOffice, check.missingTables, check.unreadableTables);
        checkTables(connection, present, link, check.missingLinkTables, check.unreadableLinkTables);
        const QStringList usable =
            without(without(backOffice, check.missingTables), check.unreadableTables);
        check.unwritable = unwritableColumns(connection, alias, usable);
        check.unwritable << unwritableLinkTables(
            connection,
            without(without(link, check.missingLinkTables), check.unreadableLinkTables));
    } catch (...) {
        check.error = CurrentExceptionText();
    }
    return check;
}

QList<AliasCheck> CheckInstallationAliases() {
    QList<AliasCheck> checks;
    for (const AccountOfAlias& account : kAccounts)
        checks << CheckAlias(QLatin1String(account.alias), account.administrator);
    return checks;
}
