#include "core/profile_file.h"

#include "core/file_name_case.h"

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
const QByteArray Utf16LeBom("\xFF\xFE");
const QByteArray Utf16BeBom("\xFE\xFF");
const QString CrLf = QStringLiteral("\r\n");

// How the file's text is stored. A file that begins with a UTF-16 byte order mark is read and
// written back in UTF-16 with its mark, as Windows does for files saved as "Unicode"; any other
// file is 8-bit text in Windows code page 1252 (a UTF-8 mark is kept in front of it as it was).
enum class Encoding { Ansi, Utf16Le, Utf16Be };

// One line of the file as stored: its text and its own line ending (empty for a last line
// without a final newline).
struct RawLine {
    QString text;
    QString ending;
};

struct RawFile {
    Encoding encoding = Encoding::Ansi;
    QByteArray bom;
    QList<RawLine> lines;
    QString newline = CrLf; // ending for lines we add: the file's own style
};

// Code page 1252 differs from Latin-1 in 0x80 to 0x9F. Its five unassigned bytes there map to
// the control characters of the same number, as Windows maps them, so every byte reads as one
// character and writes back as the same byte.
constexpr char16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromCp1252(const QByteArray& bytes) {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(Cp1252High[byte - 0x80]) : QChar(byte);
    }
    return text;
}

// A character the code page lacks is written as '?', as Windows writes it.
QByteArray toCp1252(const QString& text) {
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = static_cast<char>(u);
        } else {
            for (int i = 0; i < 32; ++i) {
                if (Cp1252High[i] == u) {
                    byte = static_cast<char>(0x80 + i);
                    break;
                }
            }
        }
        *out++ = byte;
    }
    return bytes;
}

QString fromUtf16(const QByteArray& bytes, Encoding encoding) {
    QString text(bytes.size() / 2, Qt::Uninitialized);
    QChar* out = text.data();
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes.at(i));
        const auto second = static_cast<unsigned char>(bytes.at(i + 1));
        *out++ = encoding == Encoding::Utf16Le ? QChar(char16_t(first | second << 8))
                                               : QChar(char16_t(first << 8 | second));
    }
    return text;
}

QByteArray toUtf16(const QString& text, Encoding encoding) {
    QByteArray bytes(text.size() * 2, Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const char low = static_cast<char>(u & 0xFF);
        const char high = static_cast<char>(u >> 8);
        *out++ = encoding == Encoding::Utf16Le ? low : high;
        *out++ = encoding == Encoding::Utf16Le ? high : low;
    }
    return bytes;
}

QByteArray encoded(const QString& text, Encoding encoding) {
    return encoding == Encoding::Ansi ? toCp1252(text) : toUtf16(text, encoding);
}

enum class LineKind { Blank, Comment, Section, Key, Bare };

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

ParsedLine parseLine(const QString& raw) {
    const QString line = trimBlanks(raw);
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
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) {
            // A name without "=" holds no value: reading it gives the default. It still takes the
            // name's place, so a write replaces it and a later line of the name is not read.
            parsed.kind = LineKind::Bare;
            parsed.name = line;
        } else {
            parsed.kind = LineKind::Key;
            parsed.name = trimBlanks(line.left(equals));
            parsed.value = withoutQuotes(trimBlanks(line.mid(equals + 1)));
        }
    }
    return parsed;
}

bool isKeyLine(LineKind kind) {
    return kind == LineKind::Key || kind == LineKind::Bare;
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString decodedText(QByteArray bytes, RawFile& file) {
    if (bytes.startsWith(Utf16LeBom) || bytes.startsWith(Utf16BeBom)) {
        file.encoding = bytes.startsWith(Utf16LeBom) ? Encoding::Utf16Le : Encoding::Utf16Be;
        file.bom = bytes.left(2);
        return fromUtf16(bytes.mid(2), file.encoding);
    }
    if (bytes.startsWith(Utf8Bom)) {
        file.bom = Utf8Bom;
        bytes.remove(0, Utf8Bom.size());
    }
    return fromCp1252(bytes);
}

// Lines end with CR LF, LF or a single CR, each line keeping its own ending.
RawFile splitLines(const QByteArray& bytes) {
    RawFile file;
    const QString text = decodedText(bytes, file);
    bool styleKnown = false;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text.at(end) != u'\r' && text.at(end) != u'\n')
            ++end;
        if (end == text.size()) {
            file.lines.append({text.mid(start), QString()});
            break;
        }
        const bool crlf =
            text.at(end) == u'\r' && end + 1 < text.size() && text.at(end + 1) == u'\n';
        RawLine line{text.mid(start, end - start), text.mid(end, crlf ? 2 : 1)};
        if (!styleKnown) {
            file.newline = line.ending;
            styleKnown = true;
        }
        file.lines.append(line);
        start = end + line.ending.size();
    }
    return file;
}

QByteArray joinLines(const RawFile& file) {
    QString text;
    for (const RawLine& line : file.lines)
        text += line.text + line.ending;
    return file.bom + encoded(text, file.encoding);
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
        } else if (isKeyLine(line.kind) && place.section >= 0) {
            place.lastKeyLine = i;
            if (place.key < 0 && sameName(line.name, key))
                place.key = i;
        }
    }
    return place;
}

void insertLine(RawFile& file, qsizetype after, const QString& text) {
    RawLine& previous = file.lines[after];
    if (previous.ending.isEmpty())
        previous.ending = file.newline;
    file.lines.insert(after + 1, {text, file.newline});
}

void appendSection(RawFile& file, const QString& section, const QString& entry) {
    if (!file.lines.isEmpty()) {
        RawLine& last = file.lines.last();
        if (last.ending.isEmpty())
            last.ending = file.newline;
        if (parseLine(last.text).kind != LineKind::Blank)
            file.lines.append({QString(), file.newline});
    }
    file.lines.append({u'[' + section + u']', file.newline});
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
// name; of duplicate sections and keys the first one, as findKey finds it. A name without "="
// has no value.
using SectionValues = QHash<QString, std::optional<QString>>;
using FileValues = QHash<QString, SectionValues>;

FileValues valuesOf(const QByteArray& bytes) {
    FileValues values;
    const RawFile file = splitLines(bytes);
    SectionValues* section = nullptr; // null outside a section or in a duplicate one
    for (const RawLine& raw : file.lines) {
        const ParsedLine line = parseLine(raw.text);
        if (line.kind == LineKind::Section) {
            const QString name = line.name.toCaseFolded();
            section = values.contains(name) ? nullptr : &values[name];
        } else if (isKeyLine(line.kind) && section) {
            const QString name = line.name.toCaseFolded();
            if (!section->contains(name))
                section->insert(name, line.kind == LineKind::Key
                                          ? std::optional<QString>(line.value)
                                          : std::nullopt);
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

QString ProfileFile::foundPath() const {
    return FindFileIgnoringCase(path_);
}

QString ProfileFile::readString(const QString& section, const QString& key,
                                const QString& defaultValue) const {
    const QString path = foundPath();
    const std::optional<QByteArray> bytes = readBytes(path);
    if (!bytes)
        return defaultValue;
    const std::shared_ptr<const FileValues> values = parsedValues(path, *bytes);
    const auto keys = values->constFind(section.toCaseFolded());
    if (keys == values->constEnd())
        return defaultValue;
    const auto value = keys->constFind(key.toCaseFolded());
    return value == keys->constEnd() || !value->has_value() ? defaultValue : **value;
}

void ProfileFile::writeString(const QString& section, const QString& key, const QString& value) {
    const QString path = foundPath();
    std::optional<QByteArray> bytes = readBytes(path);
    if (!bytes) {
        // A file that exists but cannot be read must not be replaced by one holding only the
        // new key.
        if (QFileInfo::exists(path))
            throw SettingsWriteError(path);
        bytes = QByteArray();
    }
    RawFile file = splitLines(*bytes);
    const QString entry = key + u'=' + onOneLine(value);
    const KeyPlace place = findKey(file, section, key);
    if (place.key >= 0)
        file.lines[place.key].text = entry;
    else if (place.section >= 0)
        insertLine(file, place.lastKeyLine, entry);
    else
        appendSection(file, section, entry);
    save(path, joinLines(file));
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
