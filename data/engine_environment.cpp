#include "data/engine_environment.h"

#include "data/db_error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

#ifndef ZANTRO_FIREBIRD_ENGINE_DIR
#define ZANTRO_FIREBIRD_ENGINE_DIR "/usr/lib/x86_64-linux-gnu/firebird/3.0"
#endif

namespace {

// Remote comes first so "host:path" reaches a server; a plain path is left to the embedded engine
// and, with no Loopback provider, a failed local attach reports its real cause.
const char kFirebirdConf[] =
    "# Written by the accounting link: embedded engine shared by several processes.\n"
    "ServerMode = SuperClassic\n"
    "Providers = Remote, Engine12\n";

QString engineInstallFolder() {
    const QString configured = qEnvironmentVariable("ZANTRO_FIREBIRD_ENGINE_DIR");
    return configured.isEmpty() ? QStringLiteral(ZANTRO_FIREBIRD_ENGINE_DIR) : configured;
}

QString baseFolder() {
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = QStringLiteral("user");
    return QDir::tempPath() + QStringLiteral("/zantro-firebird-") + user;
}

void writeFileIfDifferent(const QString& path, const QByteArray& content) {
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == content)
        return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        throw DbError(QStringLiteral("Cannot prepare the database engine folder %1").arg(path));
}

void linkInto(const QString& target, const QString& link) {
    if (QFileInfo(link).symLinkTarget() == target)
        return;
    QFile::remove(link);
    if (!QFile::link(target, link) && QFileInfo(link).symLinkTarget() != target)
        throw DbError(QStringLiteral("Cannot prepare the database engine folder %1").arg(link));
}

void copyInto(const QString& source, const QString& copy) {
    QFileInfo from(source), to(copy);
    if (to.exists() && to.size() == from.size())
        return;
    const QString partial = copy + QStringLiteral(".part");
    QFile::remove(partial);
    if (!QFile::copy(source, partial) || !QFile::rename(partial, copy)) {
        QFile::remove(partial);
        if (!QFileInfo::exists(copy))
            throw DbError(QStringLiteral("Cannot prepare the database engine folder %1").arg(copy));
    }
}

void makeRoot(const QString& root) {
    const QString engine = engineInstallFolder();
    if (!QDir().mkpath(root + QStringLiteral("/intl")))
        throw DbError(QStringLiteral("Cannot create %1").arg(root));
    writeFileIfDifferent(root + QStringLiteral("/firebird.conf"), kFirebirdConf);
    linkInto(engine + QStringLiteral("/plugins"), root + QStringLiteral("/plugins"));
    linkInto(engine + QStringLiteral("/plugins.conf"), root + QStringLiteral("/plugins.conf"));
    linkInto(engine + QStringLiteral("/firebird.msg"), root + QStringLiteral("/firebird.msg"));
    // The character set library must be a real copy: a link to it is not loaded.
    copyInto(engine + QStringLiteral("/intl/libfbintl.so"),
             root + QStringLiteral("/intl/libfbintl.so"));
    copyInto(engine + QStringLiteral("/intl/fbintl.conf"),
             root + QStringLiteral("/intl/fbintl.conf"));
}

} // namespace

void PrepareDatabaseEngine() {
#ifdef Q_OS_WIN
    return; // an installed Firebird client or server serves Windows
#else
    if (qEnvironmentVariableIsEmpty("FIREBIRD")) {
        const QString root = baseFolder() + QStringLiteral("/root");
        makeRoot(root);
        qputenv("FIREBIRD", QFile::encodeName(root));
    }
    if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
        const QString lock = baseFolder() + QStringLiteral("/lock");
        if (!QDir().mkpath(lock))
            throw DbError(QStringLiteral("Cannot create %1").arg(lock));
        qputenv("FIREBIRD_LOCK", QFile::encodeName(lock));
    }
#endif
}

QString DatabaseEngineRoot() {
    return qEnvironmentVariable("FIREBIRD");
}
QString DatabaseEngineLockFolder() {
    return qEnvironmentVariable("FIREBIRD_LOCK");
}
