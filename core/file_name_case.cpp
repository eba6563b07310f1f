#include "core/file_name_case.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

namespace {

// The file last found for each path asked for under another spelling. The settings are read a
// dozen times for each posted document; a file that still exists is not looked for again.
QMutex mutex;
QHash<QString, QString> lastFound;

} // namespace

QString FindFileIgnoringCase(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() || info.fileName().isEmpty())
        return path;
    {
        QMutexLocker lock(&mutex);
        const auto found = lastFound.constFind(path);
        if (found != lastFound.constEnd() && QFileInfo::exists(*found))
            return *found;
    }
    const QDir folder = info.dir();
    const QStringList names = folder.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0) {
            const QString found = folder.filePath(name);
            QMutexLocker lock(&mutex);
            if (lastFound.size() >= 32)
                lastFound.clear(); // a process uses a few files; tests make many
            lastFound.insert(path, found);
            return found;
        }
    }
    return path;
}
