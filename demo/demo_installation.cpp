#include "demo/demo_installation.h"

#include "core/app_context.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "data/query.h"
#include "demo/database_write_mode.h"
#include "demo/demo_calendar.h"
#include "demo/demo_files.h"
#include "demo/demo_masters.h"
#include "demo/demo_options.h"
#include "demo/demo_pos.h"
#include "demo/demo_random.h"
#include "demo/demo_receivables.h"
#include "demo/demo_stock.h"
#include "demo/demo_stores.h"
#include "demo/demo_users.h"
#include "demo/index_pause.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocale>

namespace {

// Points the program folder at the installation for the life of the object: the alias file and
// the database paths are resolved against it.
class ProgramFolderScope {
public:
    explicit ProgramFolderScope(const QString& folder)
        : saved_(AppContext::instance().programFolder()) {
        AppContext::instance().setProgramFolder(folder);
    }
    ~ProgramFolderScope() { AppContext::instance().setProgramFolder(saved_); }
    ProgramFolderScope(const ProgramFolderScope&) = delete;
    ProgramFolderScope& operator=(const ProgramFolderScope&) = delete;

private:
    QString saved_;
};

struct SchemaOf {
    const char* alias;
    const char* script;
};

const SchemaOf kSchemas[] = {{"ZantSys", "zantsys.sql"},
                             {"ZantStk", "zantstk.sql"},
                             {"ZantApp", "zantapp.sql"},
                             {"ZantHis", "zanthis.sql"},
                             {"ARDB", "ardb.sql"}};

// The tables the summary counts, by database.
const struct {
    const char* alias;
    const char* table;
} kCountedTables[] = {
    {"ZantSys", "MAS_REGION"},
    {"ZantSys", "MAS_STORETYPE"},
    {"ZantSys", "MAS_STORE"},
    {"ZantSys", "MAS_USERGROUP"},
    {"ZantSys", "MAS_USERGROUPACCESS"},
    {"ZantApp", "MAS_USER"},
    {"ZantApp", "MAS_CUSTOMER"},
    {"ZantApp", "MAS_SUPPLIER"},
    {"ZantApp", "MAS_STOCK"},
    {"ZantApp", "MAS_TAX"},
    {"ZantApp", "MAS_PAYMENT"},
    {"ZantApp", "MAS_PAYMENT_STORE"},
    {"ZantStk", "ACC_STATION"},
    {"ZantStk", "ACC_STATION_JOB"},
    {"ZantStk", "POS_SALES"},
    {"ZantStk", "POS_SALESDTL"},
    {"ZantStk", "POS_CLOSEINFO"},
    {"ZantStk", "STK_MLEDGER"},
    {"ZantStk", "STK_SLEDGER"},
    {"ARDB", "AR_TRANS"},
    {"ARDB", "AR_LINK"},
};

// Each database gets its schema with forced writes off: every DDL statement commits on its
// own, and waiting for the disk at each would make the schema the slowest part of a small demo.
void createDatabases() {
    for (const SchemaOf& schema : kSchemas) {
        const QString alias = QLatin1String(schema.alias);
        CreateAliasDatabase(alias);
        SetForcedWrites(alias, false);
        DbConnection connection(QStringLiteral("DemoSchema"), alias);
        RunSqlScript(connection, SchemaScript(QLatin1String(schema.script)));
        if (alias == QLatin1String("ZantStk"))
            EnsureLinkTables(connection);
        if (alias == QLatin1String("ARDB"))
            EnsureReceivableLinkTables(connection);
    }
}

// Forced writes back on for the program, once the data is in.
void restoreForcedWrites() {
    for (const SchemaOf& schema : kSchemas)
        SetForcedWrites(QLatin1String(schema.alias), true);
}

QList<DemoTableCount> countTables() {
    QList<DemoTableCount> counts;
    for (const auto& counted : kCountedTables) {
        DbConnection connection(QStringLiteral("DemoCount"), QLatin1String(counted.alias));
        const QVariant rows = SelectValue(
            connection,
            QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(counted.table)));
        counts.append(
            {QLatin1String(counted.alias), QLatin1String(counted.table), rows.toLongLong()});
    }
    return counts;
}

} // namespace

DemoSummary CreateDemoInstallation(const DemoOptions& options) {
    QElapsedTimer total;
    total.start();
    DemoSummary summary;
    summary.folder = QDir::cleanPath(QDir(options.folder).absolutePath());
    summary.loginCode = QLatin1String(kDemoLoginCode);
    summary.loginPassword = QLatin1String(kDemoLoginPassword);

    if (HoldsInstallation(summary.folder)) {
        if (!options.force)
            throw InstallationExistsError(
                QStringLiteral("%1 already holds an installation (Databases.ini or a database "
                               "under Data). Give --force to replace the demo installation.")
                    .arg(QDir::toNativeSeparators(summary.folder)));
        RemoveDemoInstallation(summary.folder);
    }
    if (!QDir().mkpath(summary.folder + QStringLiteral("/Data")))
        throw AppError(
            QStringLiteral("Cannot create %1")
                .arg(QDir::toNativeSeparators(summary.folder + QStringLiteral("/Data"))));

    const ProgramFolderScope scope(summary.folder);
    const QDateTime now = Now();
    WriteDemoAliasFile(summary.folder);
    WriteDemoRegisterIni(summary.folder, QLatin1String(kDemoDefaultStore));
    WriteDemoSettingsFile(summary.folder);
    createDatabases();

    {
        DbConnection systemDb(QStringLiteral("DemoSys"), QStringLiteral("ZantSys"));
        DbConnection applicationDb(QStringLiteral("DemoApp"), QStringLiteral("ZantApp"));
        DbConnection stockDb(QStringLiteral("DemoStk"), QStringLiteral("ZantStk"));
        DbConnection receivablesDb(QStringLiteral("DemoAR"), QStringLiteral("ARDB"));
        WriteDemoUsers(systemDb, applicationDb);
        WriteDemoStores(systemDb);
        if (!options.empty) {
            WriteDemoStations(stockDb, now);
            DemoRandom random(options.seed);
            const DemoCalendar calendar(now.date());
            const DemoMasters masters = WriteDemoMasters(applicationDb, DemoStores());

            QElapsedTimer documents;
            documents.start();
            SecondaryIndexPause stockIndexes(stockDb);
            SecondaryIndexPause receivableIndexes(receivablesDb);
            summary.documentRows +=
                WriteDemoPosSales(stockDb, masters, calendar, options.receipts, random);
            // About one receivable document in ten is an invoice taken over from a delivery.
            const DemoStockResult stock =
                WriteDemoStockDocuments(stockDb, masters, calendar, options.stockDocuments,
                                        options.receivableDocuments / 10, random);
            summary.documentRows += stock.rowsWritten;
            summary.documentRows +=
                WriteDemoReceivables(receivablesDb, masters, calendar, options.receivableDocuments,
                                     stock.handOvers, random);
            stockIndexes.resume();
            receivableIndexes.resume();
            summary.documentSeconds = documents.nsecsElapsed() / 1e9;
        }
    }
    restoreForcedWrites();
    summary.tables = countTables();
    CreateDemoPackage(summary.folder);
    summary.totalSeconds = total.nsecsElapsed() / 1e9;
    return summary;
}

QString DemoSummaryText(const DemoSummary& summary) {
    const QLocale numbers = QLocale::c();
    QString text;
    text += QStringLiteral("Demo installation created in %1\n\n")
                .arg(QDir::toNativeSeparators(summary.folder));
    text += QStringLiteral("Rows per table:\n");
    for (const DemoTableCount& count : summary.tables)
        text += QStringLiteral("  %1 %2 %3\n")
                    .arg(count.alias, -8)
                    .arg(count.table, -20)
                    .arg(numbers.toString(count.rows), 12);
    if (summary.documentRows > 0) {
        const double perSecond =
            summary.documentSeconds > 0 ? summary.documentRows / summary.documentSeconds : 0;
        text += QStringLiteral("\nDocuments: %1 rows in %2 s (%3 rows/s); %4 s in all.\n")
                    .arg(numbers.toString(summary.documentRows))
                    .arg(summary.documentSeconds, 0, 'f', 1)
                    .arg(numbers.toString(qint64(perSecond)))
                    .arg(summary.totalSeconds, 0, 'f', 1);
    }
    text += QStringLiteral("\nDemo login: user code %1, password %2\n")
                .arg(summary.loginCode, summary.loginPassword);
    text += QStringLiteral("Run the program on it:\n  ZANTRO_HOME=%1 build/bin/zantro-link\n")
                .arg(QDir::toNativeSeparators(summary.folder));
    return text;
}
