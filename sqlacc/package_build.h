#pragma once

#include "sqlacc/automation.h"

#include <QList>
#include <QString>

// The build of the accounting package, as its BuildNo gives it after the login: a dotted text
// such as "5.2024.1007.860", or a plain number. The package counts its builds in the last number
// (854, 858, 860, ...), which orders builds across versions, so builds are compared by it; the
// whole text is kept for reports. A build that cannot be read is unknown, and an unknown build
// counts as the newest: its fields take the forms of the latest build the link knows.
class PackageBuild {
public:
    PackageBuild() = default; // unknown

    // "5.2024.1007.860", "860", " 860 "; anything without a number is unknown.
    static PackageBuild fromText(const QString& text);
    // What BuildNo answered: text, or a number (860 or 860.0). Other values are unknown.
    static PackageBuild fromValue(const AutoValue& value);

    bool isKnown() const { return number_ > 0; }
    // As the package gave it ("5.2024.1007.860"); "unknown" when it could not be read.
    QString text() const;
    // The build counter, the last number of the text (860); 0 when unknown.
    int number() const { return number_; }

    // True when this build is `build` or later (compared by the build counter); an unknown build
    // is later than every build.
    bool atLeast(int build) const { return !isKnown() || number_ >= build; }

private:
    QString text_;
    int number_ = 0;
};

// Builds from which the package changed what it takes.
namespace PackageBuilds {
// 5.2024.992.854: the e-invoice fields of customers, suppliers and documents.
inline constexpr int EInvoiceFields = 854;
// 5.2024.1007.860: true/false fields take Boolean True/False, no longer "T"/"F" or 1/0.
inline constexpr int BooleanFields = 860;
} // namespace PackageBuilds
