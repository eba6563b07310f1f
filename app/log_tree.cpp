#include "app/log_tree.h"

#include "core/app_error.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

namespace {

constexpr qsizetype TagLength = 4;
constexpr qint64 ReadChunk = 64 * 1024;

QString decoded(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return QString::fromLatin1(bytes.data(), bytes.size());
}

QString logFolder(const QString& programFolder) {
    return QDir::cleanPath(programFolder + QStringLiteral("/Log/Ledvora")) + QLatin1Char('/');
}

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

} // namespace

LogTag LogLineTag(QByteArrayView line) {
    if (line.size() < TagLength)
        return LogTag::None;
    const QByteArrayView tag = line.first(TagLength);
    if (tag == "#1  ")
        return LogTag::Top;
    if (tag == "#12 ")
        return LogTag::TopChild;
    if (tag == "#2  ")
        return LogTag::Second;
    if (tag == "#23 ")
        return LogTag::SecondChild;
    return LogTag::None;
}

void LogTree::addLine(QByteArrayView line) {
    if (line.endsWith('\r'))
        line.chop(1);
    const LogTag tag = LogLineTag(line);
    if (tag == LogTag::None)
        return;
    const int index = int(nodes_.size());
    LogNode node{decoded(line.sliced(TagLength)), -1};
    switch (tag) {
    case LogTag::Top:
        currentTop_ = index;
        currentSecond_ = -1;
        break;
    case LogTag::TopChild:
        node.parent = currentTop_;
        break;
    case LogTag::Second:
        node.parent = currentTop_;
        currentSecond_ = index;
        break;
    case LogTag::SecondChild:
        node.parent = currentSecond_;
        break;
    case LogTag::None:
        break;
    }
    nodes_.append(std::move(node));
}

void LogTree::clear() {
    nodes_.clear();
    currentTop_ = -1;
    currentSecond_ = -1;
}

QString ProgramLogPath(const QString& programFolder) {
    return logFolder(programFolder) + QStringLiteral("Ledvora.Log");
}

QString StationLogPath(const QString& programFolder, const QString& station) {
    return logFolder(programFolder) + QStringLiteral("Ledvora-") + station + QStringLiteral(".Log");
}

void ReadLogLines(QIODevice& device, const QString& shownPath, LogTree& tree) {
    // Read in chunks rather than by readLine, so a read error is told apart from the end of the
    // file and a line of any length is taken whole.
    QByteArray pending;
    QByteArray chunk(ReadChunk, Qt::Uninitialized);
    for (;;) {
        const qint64 read = device.read(chunk.data(), ReadChunk);
        if (read < 0)
            throw AppError(QStringLiteral("Cannot read file \"%1\". %2")
                               .arg(shown(shownPath), device.errorString()));
        if (read == 0)
            break;
        pending.append(chunk.constData(), read);
        qsizetype start = 0;
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n', start)) {
            tree.addLine(QByteArrayView(pending).sliced(start, end - start));
            start = end + 1;
        }
        pending.remove(0, start);
    }
    if (!pending.isEmpty())
        tree.addLine(pending);
}

bool ReadLogFile(const QString& path, LogTree& tree) {
    if (!QFile::exists(path))
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(shown(path), file.errorString()));
    ReadLogLines(file, path, tree);
    return true;
}
