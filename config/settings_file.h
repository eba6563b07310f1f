#pragma once

#include "config/settings_keys.h"
#include "core/profile_file.h"

#include <QString>

// The program's settings file, Ledvora.ini in the program folder. Every read goes to the file
// and names its default; every write is saved at once and throws SettingsWriteError when the
// file cannot be saved. Objects on the same file always agree, so windows may share one and
// routines may open their own.
class SettingsFile {
public:
    // On defaultPath().
    SettingsFile();
    explicit SettingsFile(const QString& path);

    // The program folder followed by "/Ledvora.ini".
    static QString defaultPath();
    QString path() const { return file_.path(); }
    // The file the path leads to, found whatever the case of its name (ProfileFile::foundPath).
    QString foundPath() const { return file_.foundPath(); }

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue) const;
    void writeString(const QString& section, const QString& key, const QString& value);
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;
    void writeBool(const QString& section, const QString& key, bool value);

    // The same operations on declared keys, reading with the key's default unless the caller
    // names its own.
    QString read(const SettingKey& key) const;
    QString read(const SettingKey& key, const QString& otherDefault) const;
    void write(const SettingKey& key, const QString& value);
    bool readBool(const BoolSettingKey& key) const;
    void writeBool(const BoolSettingKey& key, bool value);

    // Flags: "Y" or "y" is set; anything else, a missing key included, is not.
    bool readFlag(const SettingKey& key) const;
    void writeFlag(const SettingKey& key, bool set);

    // Reads a key from the section named by the account type: accountType is read first (with
    // the caller's choice of default, e.g. Keys::General::AccountTypeForExport) and its text
    // replaces key.section. An empty type names an empty section, which a settings file does not
    // hold, so key's default applies.
    QString readFromTypeSection(const SettingKey& accountType, const SettingKey& key) const;

private:
    ProfileFile file_;
};
