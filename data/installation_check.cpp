#include "data/installation_check.h"

#include "core/action_guard.h"
#include "data/alias_file.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/db_error.h"
#include "data/query.h"

#include <QSet>

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
            SelectValue(connection, QStringLiteral("SELECT FIRST 1 1 FROM %1").arg(table));
        } catch (const DbError&) {
            unreadable << table;
        }
    }
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
