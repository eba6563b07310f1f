#include "core/file_name_case.h"

#include <QDir>
#include <QFileInfo>

QString FindFileIgnoringCase(const QString& path) {
    const QFileInfo info(path);
    if (info.exists() || info.fileName().isEmpty())
        return path;
    const QDir folder = info.dir();
    const QStringList names = folder.entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        if (name.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    }
    return path;
}
