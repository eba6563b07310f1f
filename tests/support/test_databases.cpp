#include "tests/support/test_databases.h"

#include "tests/support/private_server.h"

#include "core/app_context.h"
#include "data/connection.h"
#include "data/database_creator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

struct AliasFileName {
    const char* alias;
    const char* file;
    const char* schema;
};

const AliasFileName kDatabases[] = {{"ZantSys", "zantsys.fdb", "zantsys.sql"},
                                    {"ZantStk", "zantstk.fdb", "zantstk.sql"},
                                    {"ZantApp", "zantapp.fdb", "zantapp.sql"},
                                    {"ZantHis", "zanthis.fdb", "zanthis.sql"},
                                    {"ARDB", "ardb.fdb", "ardb.sql"}};

// Runs `work` with the program folder pointed at `folder`, then puts the old one back.
template <typename Work> void inFolder(const QString& folder, Work work) {
    const QString saved = AppContext::instance().programFolder();
    AppContext::instance().setProgramFolder(folder);
    try {
        work();
    } catch (...) {
        AppContext::instance().setProgramFolder(saved);
        throw;
    }
    AppContext::instance().setProgramFolder(saved);
}

QString templateFolder() {
    static QTemporaryDir folder;
    static bool built = false;
    if (!built) {
        TestDatabases::WriteAliasFile(folder.path());
        inFolder(folder.path(), [] {
            for (const AliasFileName& db : kDatabases) {
                CreateAliasDatabase(QLatin1String(db.alias));
                DbConnection connection(QStringLiteral("Schema"), QLatin1String(db.alias));
                RunSqlScript(connection, SchemaScript(QLatin1String(db.schema)));
                if (QLatin1String(db.alias) == QLatin1String("ZantStk"))
                    EnsureLinkTables(connection);
                if (QLatin1String(db.alias) == QLatin1String("ARDB"))
                    EnsureReceivableLinkTables(connection);
            }
        });
        built = true;
    }
    return folder.path();
}

} // namespace

QStringList TestDatabases::Aliases() {
    QStringList aliases;
    for (const AliasFileName& db : kDatabases)
        aliases << QLatin1String(db.alias);
    return aliases;
}

void TestDatabases::WriteAliasFile(const QString& folder) {
    QByteArray text;
    for (const AliasFileName& db : kDatabases)
        text += QByteArray("[") + db.alias + "]\r\nPATH=" + db.file + "\r\nUSER=" + kUser +
                "\r\nPASSWORD=" + kPassword + "\r\nCHARSET=WIN1252\r\n\r\n";
    QFile file(folder + QStringLiteral("/Databases.ini"));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write the alias file in %s", qPrintable(folder));
}

void TestDatabases::CreateInstallation(const QString& folder) {
    const QString source = templateFolder();
    WriteAliasFile(folder);
    for (const AliasFileName& db : kDatabases) {
        const QString target = folder + QLatin1Char('/') + QLatin1String(db.file);
        QFile::remove(target);
        if (!QFile::copy(source + QLatin1Char('/') + QLatin1String(db.file), target))
            qFatal("cannot copy the template database %s", db.file);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::WriteGroup);
    }
}

void TestDatabases::CreateEmptyDatabase(const QString& folder, const QString& alias) {
    WriteAliasFile(folder);
    inFolder(folder, [&] { CreateAliasDatabase(alias); });
}

void TestDatabases::CreateServerInstallation(const QString& folder, const PrivateServer& server,
                                             const QString& serverFolder) {
    const QString source = templateFolder();
    if (!QDir().mkpath(server.localPath(serverFolder)))
        qFatal("cannot create the server folder %s", qPrintable(serverFolder));
    server.setLogin(QLatin1String(kUser), QLatin1String(kPassword));
    QByteArray text;
    for (const AliasFileName& db : kDatabases) {
        const QString relative = serverFolder + QLatin1Char('/') + QLatin1String(db.file);
        const QString target = server.localPath(relative);
        QFile::remove(target);
        if (!QFile::copy(source + QLatin1Char('/') + QLatin1String(db.file), target))
            qFatal("cannot copy the template database %s", db.file);
        QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
        text += QByteArray("[") + db.alias + "]\r\nPATH=" + server.databasePath(relative).toUtf8() +
                "\r\nUSER=" + kUser + "\r\nPASSWORD=" + kPassword +
                "\r\nCHARSET=WIN1252\r\nADMIN_USER=SYSDBA\r\nADMIN_PASSWORD=" +
                server.sysdbaPassword().toUtf8() + "\r\n\r\n";
    }
    QFile file(folder + QStringLiteral("/Databases.ini"));
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
        qFatal("cannot write the alias file in %s", qPrintable(folder));
}
