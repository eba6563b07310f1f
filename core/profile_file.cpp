#include "core/profile_file.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QSaveFile>

#include <memory>
#include <optional>

SettingsWriteError::SettingsWriteError(const QString& path)
    : AppError(QStringLiteral("Unable to write to %1")
                   .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()))) {}

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray CrLf("\r\n");

// One line of the file as stored: its text and its own line ending (empty for a last line
// without a final newline).
struct RawLine {
    QByteArray text;
    QByteArray ending;
};

struct RawFile {
    QByteArray bom;
    QList<RawLine> lines;
    QByteArray newline = CrLf; // ending for lines we add: the file's own style
};

enum class LineKind { Blank, Comment, Section, Key };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    QString name;  // section or key name, trimmed
    QString value; // key value, trimmed, one pair of quotes dropped
};

// The blanks the profile functions skip. QString::trimmed() would also drop a no-break space
// (0xA0), which is an ordinary character in an ANSI file.
bool isBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == u' ' || u == u'\t' || u == u'\r' || u == u'\n' || u == u'\v' || u == u'\f';
}

QString trimBlanks(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString withoutQuotes(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == u'"' || first == u'\'') && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

ParsedLine parseLine(const QByteArray& raw) {
    const QString line = trimBlanks(QString::fromLatin1(raw));
    ParsedLine parsed;
    if (line.isEmpty()) {
        parsed.kind = LineKind::Blank;
    } else if (line.front() == u';') {
        parsed.kind = LineKind::Comment;
    } else if (line.front() == u'[') {
        parsed.kind = LineKind::Section;
        const qsizetype close = line.indexOf(u']');
        parsed.name = trimBlanks(close < 0 ? line.mid(1) : line.mid(1, close - 1));
    } else {
        parsed.kind = LineKind::Key;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            parsed.name = line;
        } else {
            parsed.name = trimBlanks(line.left(equals));
            parsed.value = withoutQuotes(trimBlanks(line.mid(equals + 1)));
        }
    }
    return parsed;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

RawFile splitLines(QByteArray bytes) {
    RawFile file;
    if (bytes.startsWith(Utf8Bom)) {
        file.bom = Utf8Bom;
        bytes.remove(0, Utf8Bom.size());
    }
    bool styleKnown = false;
    qsizetype start = 0;
    while (start < bytes.size()) {
        const qsizetype lf = bytes.indexOf('\n', start);
        if (lf < 0) {
            file.lines.append({bytes.mid(start), QByteArray()});
            break;
        }
        const bool crlf = lf > start && bytes.at(lf - 1) == '\r';
        const qsizetype textEnd = crlf ? lf - 1 : lf;
        RawLine line{bytes.mid(start, textEnd - start), crlf ? CrLf : QByteArray("\n")};
        if (!styleKnown) {
            file.newline = line.ending;
            styleKnown = true;
        }
        file.lines.append(line);
        start = lf + 1;
    }
    return file;
}

QByteArray joinLines(const RawFile& file) {
    QByteArray bytes = file.bom;
    for (const RawLine& line : file.lines)
        bytes += line.text + line.ending;
    return bytes;
}

// The whole file, or nothing when it is missing or cannot be read.
std::optional<QByteArray> readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

// Where a key lives: the first section of that name, the first key of that name inside it, and
// the line after which a new key of that section goes.
struct KeyPlace {
    qsizetype section = -1;
    qsizetype key = -1;
    qsizetype lastKeyLine = -1;
};

KeyPlace findKey(const RawFile& file, const QString& section, const QString& key) {
    KeyPlace place;
    for (qsizetype i = 0; i < file.lines.size(); ++i) {
        const ParsedLine line = parseLine(file.lines.at(i).text);
        if (line.kind == LineKind::Section) {
            if (place.section >= 0)
                break; // only the first section of the name counts
            if (sameName(line.name, section)) {
                place.section = i;
                place.lastKeyLine = i;
            }
        } else if (line.kind == LineKind::Key && place.section >= 0) {
            place.lastKeyLine = i;
            if (place.key < 0 && sameName(line.name, key))
                place.key = i;
        }
    }
    return place;
}

void insertLine(RawFile& file, qsizetype after, const QByteArray& text) {
    RawLine& previous = file.lines[after];
    if (previous.ending.isEmpty())
        previous.ending = file.newline;
    file.lines.insert(after + 1, {text, file.newline});
}

void appendSection(RawFile& file, const QString& section, const QByteArray& entry) {
    if (!file.lines.isEmpty()) {
        RawLine& last = file.lines.last();
        if (last.ending.isEmpty())
            last.ending = file.newline;
        if (parseLine(last.text).kind != LineKind::Blank)
            file.lines.append({QByteArray(), file.newline});
    }
    file.lines.append({'[' + section.toLatin1() + ']', file.newline});
    file.lines.append({entry, file.newline});
}

// A value is stored on one line; a line break in it would split the file's structure and could
// plant keys of its own.
QString onOneLine(QString value) {
    value.replace(QLatin1String("\r\n"), QLatin1String(" "));
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

bool isWholeNumber(const QString& text) {
    qsizetype i = (text.startsWith(u'+') || text.startsWith(u'-')) ? 1 : 0;
    if (i == text.size())
        return false;
    for (; i < text.size(); ++i) {
        if (text.at(i) < u'0' || text.at(i) > u'9')
            return false;
    }
    return true;
}

void save(const QString& path, const QByteArray& bytes) {
    // QSaveFile writes a temporary file beside the target and renames it over the target, so a
    // failure part-way never leaves a truncated settings file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw SettingsWriteError(path);
    // Without a commit the temporary file is dropped and the target stays as it was.
    if (file.write(bytes) != bytes.size() || !file.commit())
        throw SettingsWriteError(path);
}

// What reads need of a file's text: the keys of each section with their values, by case-folded
// name; of duplicate sections and keys the first one, as findKey finds it.
using FileValues = QHash<QString, QHash<QString, QString>>;

FileValues valuesOf(const QByteArray& bytes) {
    FileValues values;
    const RawFile file = splitLines(bytes);
    QHash<QString, QString>* section = nullptr; // null outside a section or in a duplicate one
    for (const RawLine& raw : file.lines) {
        const ParsedLine line = parseLine(raw.text);
        if (line.kind == LineKind::Section) {
            const QString name = line.name.toCaseFolded();
            section = values.contains(name) ? nullptr : &values[name];
        } else if (line.kind == LineKind::Key && section) {
            const QString name = line.name.toCaseFolded();
            if (!section->contains(name))
                section->insert(name, line.value);
        }
    }
    return values;
}

// The text each file had at its last read, with its values. A read still reads the whole file
// every time, so a change made by anyone is seen at once; only an unchanged text (the usual case:
// a posting reads a dozen keys for every document) is not parsed again.
std::shared_ptr<const FileValues> parsedValues(const QString& path, const QByteArray& bytes) {
    struct Entry {
        QByteArray bytes;
        std::shared_ptr<const FileValues> values;
    };
    static QMutex mutex;
    static QHash<QString, Entry> lastRead;
    QMutexLocker lock(&mutex);
    auto found = lastRead.constFind(path);
    if (found != lastRead.constEnd() && found->bytes == bytes)
        return found->values;
    if (lastRead.size() >= 32)
        lastRead.clear(); // a process reads a few files; tests make many
    auto values = std::make_shared<const FileValues>(valuesOf(bytes));
    lastRead.insert(path, Entry{bytes, values});
    return values;
}

} // namespace

ProfileFile::ProfileFile(QString path) : path_(std::move(path)) {}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    const std::optional<QByteArray> bytes = readBytes(path_);
    if (!bytes)
        return defaultValue;
    const std::shared_ptr<const FileValues> values = parsedValues(path_, *bytes);
    const auto keys = values->constFind(section.toCaseFolded());
    if (keys == values->constEnd())
        return defaultValue;
    const auto value = keys->constFind(key.toCaseFolded());
    return value == keys->constEnd() ? defaultValue : *value;
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    std::optional<QByteArray> bytes = readBytes(path_);
    if (!bytes) {
        // A file that exists but cannot be read must not be replaced by one holding only the
        // new key.
        if (QFileInfo::exists(path_))
            throw SettingsWriteError(path_);
        bytes = QByteArray();
    }
    RawFile file = splitLines(*bytes);
    const QByteArray entry = key.toLatin1() + '=' + onOneLine(value).toLatin1();
    const KeyPlace place = findKey(file, section, key);
    if (place.key >= 0)
        file.lines[place.key].text = entry;
    else if (place.section >= 0)
        insertLine(file, place.lastKeyLine, entry);
    else
        appendSection(file, section, entry);
    save(path_, joinLines(file));
}

bool ProfileFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    // Read as a 32-bit whole number, as the platform's integer read does: anything else,
    // a number out of range included, is no number and gives the default.
    const QString text = readString(section, key, QString());
    bool ok = false;
    const int number = isWholeNumber(text) ? text.toInt(&ok) : 0;
    return ok ? number != 0 : defaultValue;
}

void ProfileFile::writeBool(const QString& section, const QString& key, bool value) {
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
