#include "config/settings_file.h"

#include "config/value_forms.h"
#include "core/app_context.h"

namespace {

QString text(const char* latin1) {
    return QString::fromLatin1(latin1);
}

} // namespace

SettingsFile::SettingsFile() : SettingsFile(defaultPath()) {}

SettingsFile::SettingsFile(const QString& path) : file_(path) {}

QString SettingsFile::defaultPath() {
    return ProgramFolder() + QStringLiteral("/Ledvora.ini");
}

QString SettingsFile::readString(const QString& section, const QString& key,
                                 const QString& defaultValue) const {
    return file_.readString(section, key, defaultValue);
}

void SettingsFile::writeString(const QString& section, const QString& key, const QString& value) {
    file_.writeString(section, key, value);
}

bool SettingsFile::readBool(const QString& section, const QString& key, bool defaultValue) const {
    return file_.readBool(section, key, defaultValue);
}

void SettingsFile::writeBool(const QString& section, const QString& key, bool value) {
    file_.writeBool(section, key, value);
}

QString SettingsFile::read(const SettingKey& key) const {
    return read(key, text(key.defaultValue));
}

QString SettingsFile::read(const SettingKey& key, const QString& otherDefault) const {
    return readString(text(key.section), text(key.name), otherDefault);
}

void SettingsFile::write(const SettingKey& key, const QString& value) {
    writeString(text(key.section), text(key.name), value);
}

bool SettingsFile::readBool(const BoolSettingKey& key) const {
    return readBool(text(key.section), text(key.name), key.defaultValue);
}

void SettingsFile::writeBool(const BoolSettingKey& key, bool value) {
    writeBool(text(key.section), text(key.name), value);
}

bool SettingsFile::readFlag(const SettingKey& key) const {
    return isFlagSet(read(key));
}

void SettingsFile::writeFlag(const SettingKey& key, bool set) {
    write(key, flagText(set));
}

QString SettingsFile::readFromTypeSection(const SettingKey& accountType,
                                          const SettingKey& key) const {
    return readString(read(accountType), text(key.name), text(key.defaultValue));
}
