#pragma once

#include "sqlacc/automation.h"

#include <QString>
#include <QVariant>
#include <QVariantMap>
#include <vector>

// The fields the stand-in package knows in each dataset, and how it converts what it is given.
// A field is stored in the column of its upper-cased name; rows in memory are QVariantMaps keyed
// by that column, and a field never set is absent.

enum class FieldKind {
    Text,     // stored as given, as text
    Number,   // an 8-byte float (or an integer); text is refused
    Date,     // yyyy/MM/dd (or yyyy-MM-dd) text
    Key,      // a key placeholder ("-1"): accepted, the package assigns its own key
    ReadOnly, // filled by the package
    Flag,     // true/false in the form of the package's build (see PackageFieldForms); kept "T"/"F"
    Discount, // text: amounts and percentages joined by "+" ("5%+3"); a number is refused
    Integer,  // a whole number (an integer, or a float without a fraction); text is refused
};

struct PackageField {
    const char* name; // as the package spells it
    FieldKind kind;
    // The first build that has the field (its build counter); 0 for every build. Older builds do
    // not know it, as the package of that build would not.
    int fromBuild = 0;
    QString column() const { return QString::fromLatin1(name).toUpper(); }
    // Whether a package of that build counter has the field; an unknown build (0) has them all.
    bool inBuild(int build) const { return build <= 0 || build >= fromBuild; }
};

// The build that brought the e-invoice (MyInvois) fields of customers, suppliers and documents:
// 5.2024.992.854.
inline constexpr int kEInvoiceFieldsBuild = 854;

using FieldList = std::vector<PackageField>;

const FieldList& DocumentHeaderFields();
const FieldList& MasterHeaderFields();
const FieldList& DocumentDetailFields();
const FieldList& KnockOffFields();
const FieldList& BranchFields();
const FieldList& UnitFields(); // a stock item's units (cdsUOM)
const FieldList& CodeFields(); // the code lists' records

// The field of that name (case-insensitive) that a package of that build has, or null.
const PackageField* FindPackageField(const FieldList& fields, const std::string& name,
                                     int build = 0);

// What the package's build takes for true/false fields: Boolean True/False from build 860 on;
// before it the integer 1/0 for TaxInclusive and IsBase and the text "T"/"F" for the others.
struct PackageFieldForms {
    QString buildText; // "5.2024.1007.860"
    int build = 0;     // the build counter, the text's last number
    bool booleans() const { return build >= 860; }
};

// The build counter of a build text ("5.2024.1001.859" is 859); 0 when it has none.
int PackageBuildNumber(const QString& buildText);

// What a field stores for a value; Null and Empty clear the field (an invalid QVariant).
// Throws AutomationError, naming the field and its dataset (`where`), for a value of a form the
// field or the build does not take.
QVariant ConvertFieldValue(const PackageField& field, const AutoValue& value,
                           const PackageFieldForms& forms, const std::string& where);

// A stored value as the package hands it back.
AutoValue FieldValueToAuto(const QVariant& value);
