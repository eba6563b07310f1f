#pragma once

#include "core/app_error.h"

#include <QString>

// Raised when the platform refuses to save a profile file (missing or read-only folder,
// read-only file, a folder in the file's place). Carries the file's full native path.
class SettingsWriteError : public AppError {
public:
    explicit SettingsWriteError(const QString& path);
};

// An INI file read and written with the rules of the Windows profile-string functions, on any
// operating system:
// - the file is found whatever the case of its name (FindFileIgnoringCase);
// - section and key names match case-insensitively; blanks around names and values are ignored;
// - one pair of matching quotes ("..." or '...') around a value is dropped;
// - of duplicate sections or keys the first one counts, for reading and for writing;
// - ';' starts a comment only as the first character of a line (after blanks);
// - a line without '=' inside a section holds no value: it reads as the default, and a write of
//   its name replaces it;
// - lines end with CR LF, LF or a single CR;
// - lines before the first section header belong to no section.
// There is no cache: every read reads the file and every write saves it at once, so two objects
// on one path always agree. (Only the parse of a text read before is kept, used when the file
// holds that very text again.) A write changes one line (or adds one) and keeps every other
// character of the file and its line endings.
// A file that starts with a UTF-16 byte order mark (little- or big-endian; "Unicode" in Windows'
// editors) is read and written back in UTF-16 with its mark. Any other file is 8-bit text in
// Windows code page 1252, in which every byte reads as a character and writes back unchanged;
// a leading UTF-8 byte order mark is kept as it was. A new file is 8-bit, as Windows makes it.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    // The path as given.
    QString path() const { return path_; }
    // The file the path leads to: the existing file whose name matches ignoring case, or the path
    // as given when there is none.
    QString foundPath() const;

    // The value of the key, or defaultValue when the file, the section or the key is missing.
    // A key that is present with an empty value reads as empty.
    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    // Replaces the key's line with "KEY=value", or adds the key (and its section) when missing.
    // Throws SettingsWriteError when the file cannot be saved.
    void writeString(const QString& section, const QString& key, const QString& value);

    // A whole number, non-zero meaning true; a value that is not a whole number reads as
    // defaultValue.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;
    // Stores "1" or "0".
    void writeBool(const QString& section, const QString& key, bool value);

private:
    QString path_;
};
