#include "standin/package_fields.h"

#include <QDate>

const FieldList& DocumentHeaderFields() {
    static const FieldList fields = {
        {"DOCKEY", FieldKind::Key},
        {"DOCNO", FieldKind::Text},
        {"DOCDATE", FieldKind::Date},
        {"POSTDATE", FieldKind::Date},
        {"TAXDATE", FieldKind::Date},
        {"CODE", FieldKind::Text},
        {"AREA", FieldKind::Text},
        {"AGENT", FieldKind::Text},
        {"CURRENCYCODE", FieldKind::Text},
        {"TERMS", FieldKind::Text},
        {"DESCRIPTION", FieldKind::Text},
        {"DOCREF1", FieldKind::Text},
        {"P_PAYMENTMETHOD", FieldKind::Text},
        {"P_AMOUNT", FieldKind::Number},
        {"P_PAYMENTPROJECT", FieldKind::Text},
        {"UNAPPLIEDAMT", FieldKind::Number},
        {"PAYMENTMETHOD", FieldKind::Text},
        {"DOCAMT", FieldKind::Number},
        {"LOCALDOCAMT", FieldKind::Number},
    };
    return fields;
}

const FieldList& MasterHeaderFields() {
    static const FieldList fields = {
        {"CODE", FieldKind::Text},        {"CONTROLACCOUNT", FieldKind::Text},
        {"COMPANYNAME", FieldKind::Text}, {"GSTNO", FieldKind::Text},
        {"DESCRIPTION", FieldKind::Text},
    };
    return fields;
}

const FieldList& DocumentDetailFields() {
    static const FieldList fields = {
        {"DtlKey", FieldKind::Key},        {"DocKey", FieldKind::Key},
        {"ItemCode", FieldKind::Text},     {"DESCRIPTION", FieldKind::Text},
        {"Qty", FieldKind::Number},        {"UOM", FieldKind::Text},
        {"UnitPrice", FieldKind::Number},  {"Account", FieldKind::Text},
        {"DISC", FieldKind::Number},       {"TAX", FieldKind::Text},
        {"TAXAMT", FieldKind::Number},     {"AMOUNT", FieldKind::Number},
        {"TAXINCLUSIVE", FieldKind::Text},
    };
    return fields;
}

const FieldList& KnockOffFields() {
    static const FieldList fields = {
        {"DocType", FieldKind::ReadOnly},     {"DocNo", FieldKind::ReadOnly},
        {"DocDate", FieldKind::ReadOnly},     {"DocAmt", FieldKind::ReadOnly},
        {"Outstanding", FieldKind::ReadOnly}, {"KOAmt", FieldKind::Number},
        {"KNOCKOFF", FieldKind::Text},
    };
    return fields;
}

const FieldList& BranchFields() {
    static const FieldList fields = {
        {"CODE", FieldKind::Text},      {"ADDRESS1", FieldKind::Text},
        {"ADDRESS2", FieldKind::Text},  {"ADDRESS3", FieldKind::Text},
        {"PHONE1", FieldKind::Text},    {"PHONE2", FieldKind::Text},
        {"ATTENTION", FieldKind::Text}, {"FAX1", FieldKind::Text},
        {"EMAIL", FieldKind::Text},
    };
    return fields;
}

const PackageField* FindPackageField(const FieldList& fields, const std::string& name) {
    for (const PackageField& field : fields) {
        if (SameMemberName(field.name, name))
            return &field;
    }
    return nullptr;
}

namespace {

[[noreturn]] void notA(const AutoValue& value, const char* what) {
    throw AutomationError("'" + value.toText() + "' is not a valid " + what);
}

} // namespace

QVariant ConvertFieldValue(const PackageField& field, const AutoValue& value) {
    if (value.isNull() || value.isEmpty())
        return QVariant();
    switch (field.kind) {
    case FieldKind::Number: {
        if (value.isFloat() || value.isInt())
            return value.asFloat();
        bool ok = false;
        const double number = QString::fromStdString(value.toText()).trimmed().toDouble(&ok);
        if (!ok)
            notA(value, "floating point value");
        return number;
    }
    case FieldKind::Date: {
        const QString text = QString::fromStdString(value.toText()).trimmed();
        QDate date = QDate::fromString(text, QStringLiteral("yyyy/M/d"));
        if (!date.isValid())
            date = QDate::fromString(text, QStringLiteral("yyyy-M-d"));
        if (!date.isValid())
            notA(value, "date");
        return date;
    }
    case FieldKind::Text:
    case FieldKind::Key:
    case FieldKind::ReadOnly:
        break;
    }
    return QString::fromStdString(value.toText());
}

AutoValue FieldValueToAuto(const QVariant& value) {
    if (!value.isValid() || value.isNull())
        return AutoValue::null();
    switch (value.typeId()) {
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::Int:
    case QMetaType::LongLong:
        return static_cast<std::int32_t>(value.toLongLong());
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy/MM/dd")).toStdString();
    default:
        return value.toString().toStdString();
    }
}
