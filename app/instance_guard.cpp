#include "app/instance_guard.h"

#include <QDir>

InstanceGuard::InstanceGuard() : lock_(lockFilePath()) {
    // Only a lock whose process is gone is stale; a copy that has run for hours keeps its lock.
    lock_.setStaleLockTime(0);
}

QString InstanceGuard::lockFilePath() {
    return QDir(QDir::tempPath())
        .filePath(QLatin1String(InstanceMutexText) + QStringLiteral(".lock"));
}

bool InstanceGuard::acquire() {
    return lock_.tryLock(0);
}
