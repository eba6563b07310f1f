#pragma once

#include "config/settings_keys.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <optional>

class SettingsFile;

// The entries of the preferences window's account type list, with their list index. ACCPAC has no
// entry of its own in the list; the window adds one, read-only, when the settings hold that type.
enum class AccountTypeEntry { None = -1, Ubs = 0, AutoCount, SqlAcc, AccTrak21, Emas, AccPac };

// "UBS", "AutoCount", "SQL Accounting", "AccTrack21", "Emas", "ACCPAC"; empty for None.
QString EntryCaption(AccountTypeEntry entry);
// The type code stored in ACCOUNT_TYPE; empty for None.
QString EntryTypeCode(AccountTypeEntry entry);
// The entry of a stored type code, compared exactly (a lower-case code is no type).
AccountTypeEntry EntryOfTypeCode(const QString& typeCode);

// Everything the preferences window shows and writes back. Values that come from a conversion
// are optional: empty means the stored text did not convert and nothing was entered since, and
// such a value is not written, so the key keeps its stored text.
struct PreferenceValues {
    // General page.
    QString changedDays; // the text, written back as it was loaded (its field is hidden)
    QString ledvoraPath;
    std::optional<QDate> gstStartDate;
    bool exportByItem = false; // otherwise By Summary

    // Flags, "Y"/"N".
    bool foreignCurrency = false;
    bool confirmRemove = false;
    bool confirmExport = false;
    bool confirmImport = false;
    bool confirmCopy = false;
    bool confirmPaste = false;
    bool exportToDesp = false;
    bool exportToProjNo = false;
    bool exportToBillNo = false;

    // Text fields of the type sections UBS, AUTOCOUNT, ACCTRAK21, ACCPAC, SQLACC and EMAS.
    QHash<QString, QString> texts;
    QString text(const SettingKey& key) const;
    void setText(const SettingKey& key, const QString& value);

    // The UBS page's accounting year and the two Include Remark boxes.
    std::optional<QDate> ubsClosingDate;
    std::optional<int> ubsStartingPeriod;
    std::optional<int> ubsClosingPeriod;
    bool ubsIncludeRemark = false;
    bool autoCountIncludeRemark = false;
    bool sqlAccEInvoice = false; // SQLACC's EINVOICE flag

    AccountTypeEntry accountType = AccountTypeEntry::None;

    // Kilobytes, as text (hidden page).
    QString ledvoraLogFileSize;
    QString stationLogFileSize;
};

// A flag of the window and its key, in the order they are loaded and written.
struct PreferenceFlag {
    SettingKey key;
    bool PreferenceValues::*value;
};
const QList<PreferenceFlag>& PreferenceFlags();

// The text keys of a type's section, with the defaults the window reads them with, in the order
// Apply writes them (ACCPAC's are only loaded). UBS's closing date, periods and Include Remark and
// AutoCount's Include Remark are not among them.
const QList<SettingKey>& TypeSectionTextKeys(AccountTypeEntry entry);

// Loads every key the window knows, in the window's order. LEDVORA_PATH, when missing or empty,
// is first written as the program folder followed by Db and Ledvora. A stored value that does not
// convert is reported through Messages() with the conversion's message, followed on a line of its
// own by the field and its key, and left empty; the other keys are still loaded.
PreferenceValues LoadPreferences(SettingsFile& settings);

// Receives the status bar panel and text Apply sets (panel 3 the folder, panel 2 the type).
using StatusPanelSink = std::function<void(int panel, const QString& text)>;

// Apply: asks to create a missing accounting link folder and makes it on Yes (raising AppError
// "Cannot create " + the folder when that fails, before any key is written), then writes the
// keys in order, reporting the two status panels on the way. Only the selected type's section is
// written; with ACCPAC selected neither the type nor a section is written.
void ApplyPreferences(SettingsFile& settings, const PreferenceValues& values,
                      const StatusPanelSink& statusPanel);

// Conversion messages of the loading.
QString InvalidDateMessage(const QString& text);
QString InvalidIntegerMessage(const QString& text);
QString InvalidVariantConversionMessage();
