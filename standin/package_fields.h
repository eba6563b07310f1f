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
    Number,   // an 8-byte float; numeric text is accepted
    Date,     // yyyy/MM/dd (or yyyy-MM-dd) text
    Key,      // a key placeholder ("-1"): accepted, the package assigns its own key
    ReadOnly, // filled by the package
};

struct PackageField {
    const char* name; // as the package spells it
    FieldKind kind;
    QString column() const { return QString::fromLatin1(name).toUpper(); }
};

using FieldList = std::vector<PackageField>;

const FieldList& DocumentHeaderFields();
const FieldList& MasterHeaderFields();
const FieldList& DocumentDetailFields();
const FieldList& KnockOffFields();
const FieldList& BranchFields();

// The field of that name (case-insensitive), or null.
const PackageField* FindPackageField(const FieldList& fields, const std::string& name);

// What a field stores for a value; Null and Empty clear the field (an invalid QVariant).
// Throws AutomationError for text that is not a number or a date.
QVariant ConvertFieldValue(const PackageField& field, const AutoValue& value);

// A stored value as the package hands it back.
AutoValue FieldValueToAuto(const QVariant& value);
