#include "standin/package_setup.h"

#include "core/app_error.h"
#include "core/profile_file.h"
#include "data/connection.h"
#include "data/database_creator.h"
#include "sqlacc/automation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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

void CreatePackageDatabase(const QString& dcfPath, const QString& folder,
                           const QString& databaseFile, const QString& user,
                           const QString& password) {
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
    dcfFile.writeString(kUsers, user, password);

    const PackageDcf dcf = ReadPackageDcf(dcfPath);
    if (!onServer && !QDir().mkpath(dcf.databaseFolder))
        throw AppError(QStringLiteral("Cannot create the folder %1").arg(dcf.databaseFolder));
    const AliasTarget target = PackageDatabaseTarget(dcf, databaseFile);
    CreateDatabaseFile(target.database, target.user, target.password, target.charset);
    DbConnection connection(QStringLiteral("SQLAccPackageSetup"), target);
    RunSqlScript(connection, schemaScript());
}
