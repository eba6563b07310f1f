#include "data/alias_file.h"

#include "core/app_context.h"
#include "core/file_name_case.h"
#include "core/profile_file.h"
#include "data/db_error.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

QString AliasFilePath() {
    return FindFileIgnoringCase(ProgramFolder() + QStringLiteral("/Databases.ini"));
}

bool IsServerPath(const QString& path) {
    // C:\x.fdb or C:/x.fdb is a Windows file path, not a host called C.
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:[\\\\/]"));
    if (drive.match(path).hasMatch())
        return false;
    const int colon = path.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    const QString host = path.left(colon);
    return !host.contains(QLatin1Char('\\')) && !host.startsWith(QLatin1Char('/')) &&
           !host.startsWith(QLatin1Char('.'));
}

AliasTarget ResolveAlias(const QString& alias) {
    const ProfileFile file(AliasFilePath());
    const QString path = file.readString(alias, QStringLiteral("PATH"), QString()).trimmed();
    if (path.isEmpty())
        throw DbError(QStringLiteral("Unknown database alias: %1 (no PATH in %2)")
                          .arg(alias, QDir::toNativeSeparators(AliasFilePath())));
    AliasTarget target;
    target.alias = alias;
    target.remote = IsServerPath(path);
    if (target.remote) {
        target.database = path;
    } else {
        const QFileInfo info(QDir(ProgramFolder()), path);
        target.database = QDir::cleanPath(info.absoluteFilePath());
    }
    target.user = file.readString(alias, QStringLiteral("USER"), QStringLiteral("SYSDBA"));
    target.password =
        file.readString(alias, QStringLiteral("PASSWORD"), QStringLiteral("masterkey"));
    target.adminUser =
        file.readString(alias, QStringLiteral("ADMIN_USER"), QStringLiteral("SYSDBA"));
    target.adminPassword =
        file.readString(alias, QStringLiteral("ADMIN_PASSWORD"), QStringLiteral("masterkey"));
    target.charset = file.readString(alias, QStringLiteral("CHARSET"), QStringLiteral("WIN1252"));
    return target;
}
