#include "standin/package_fields.h"

#include "standin/line_amounts.h"

#include <QDate>

#include <cmath>

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
        // e-invoice: how the document goes to MyInvois (defaults from the customer), and what
        // MyInvois answered.
        {"SUBMISSIONTYPE", FieldKind::Integer, kEInvoiceFieldsBuild},
        {"IRBM_UUID", FieldKind::ReadOnly, kEInvoiceFieldsBuild},
        {"IRBM_STATUS", FieldKind::ReadOnly, kEInvoiceFieldsBuild},
    };
    return fields;
}

const FieldList& MasterHeaderFields() {
    static const FieldList fields = {
        {"CODE", FieldKind::Text},
        {"CONTROLACCOUNT", FieldKind::Text},
        {"COMPANYNAME", FieldKind::Text},
        {"GSTNO", FieldKind::Text},
        {"DESCRIPTION", FieldKind::Text},
        // e-invoice: the party's tax number, identification (IDTYPE 0 none, 1 business
        // registration, 2 new NRIC, 3 passport, 4 army, 5 old NRIC) and submission type (0 none,
        // 17 e-invoice, 18 consolidate); suppliers also their industry code and classification.
        {"TIN", FieldKind::Text, kEInvoiceFieldsBuild},
        {"IDTYPE", FieldKind::Integer, kEInvoiceFieldsBuild},
        {"IDNO", FieldKind::Text, kEInvoiceFieldsBuild},
        {"SUBMISSIONTYPE", FieldKind::Integer, kEInvoiceFieldsBuild},
        {"SIC", FieldKind::Text, kEInvoiceFieldsBuild},
        {"IRBM_CLASSIFICATION", FieldKind::Text, kEInvoiceFieldsBuild},
    };
    return fields;
}

const FieldList& DocumentDetailFields() {
    static const FieldList fields = {
        {"DtlKey", FieldKind::Key},
        {"DocKey", FieldKind::Key},
        {"ItemCode", FieldKind::Text},
        {"DESCRIPTION", FieldKind::Text},
        {"Qty", FieldKind::Number},
        {"UOM", FieldKind::Text},
        {"UnitPrice", FieldKind::Number},
        {"Account", FieldKind::Text},
        {"DISC", FieldKind::Discount},
        {"TAX", FieldKind::Text},
        {"TAXAMT", FieldKind::Number},
        {"AMOUNT", FieldKind::Number},
        {"TAXINCLUSIVE", FieldKind::Flag},
        {"TARIFF", FieldKind::Text},
        {"IRBM_CLASSIFICATION", FieldKind::Text, kEInvoiceFieldsBuild},
        {"TAXEXEMPTIONREASON", FieldKind::Text, kEInvoiceFieldsBuild},
    };
    return fields;
}

const FieldList& KnockOffFields() {
    static const FieldList fields = {
        {"DocType", FieldKind::ReadOnly},     {"DocNo", FieldKind::ReadOnly},
        {"DocDate", FieldKind::ReadOnly},     {"DocAmt", FieldKind::ReadOnly},
        {"Outstanding", FieldKind::ReadOnly}, {"KOAmt", FieldKind::Number},
        {"KNOCKOFF", FieldKind::Flag},
    };
    return fields;
}

const FieldList& BranchFields() {
    static const FieldList fields = {
        {"CODE", FieldKind::Text},
        {"ADDRESS1", FieldKind::Text},
        {"ADDRESS2", FieldKind::Text},
        {"ADDRESS3", FieldKind::Text},
        {"PHONE1", FieldKind::Text},
        {"PHONE2", FieldKind::Text},
        {"ATTENTION", FieldKind::Text},
        {"FAX1", FieldKind::Text},
        {"EMAIL", FieldKind::Text},
        {"POSTCODE", FieldKind::Text, kEInvoiceFieldsBuild},
        {"CITY", FieldKind::Text, kEInvoiceFieldsBuild},
        {"STATE", FieldKind::Text, kEInvoiceFieldsBuild},
        {"COUNTRY", FieldKind::Text, kEInvoiceFieldsBuild},
    };
    return fields;
}

const FieldList& UnitFields() {
    static const FieldList fields = {
        {"UOM", FieldKind::Text},
        {"Rate", FieldKind::Number},
        {"IsBase", FieldKind::Flag},
    };
    return fields;
}

const FieldList& CodeFields() {
    static const FieldList fields = {
        {"CODE", FieldKind::ReadOnly},
        {"DESCRIPTION", FieldKind::ReadOnly},
        {"RATE", FieldKind::ReadOnly},
        {"TARIFFREQUIRED", FieldKind::ReadOnly},
    };
    return fields;
}

const PackageField* FindPackageField(const FieldList& fields, const std::string& name, int build) {
    for (const PackageField& field : fields) {
        if (SameMemberName(field.name, name) && field.inBuild(build))
            return &field;
    }
    return nullptr;
}

int PackageBuildNumber(const QString& buildText) {
    bool ok = false;
    const int number = buildText.trimmed().section(QLatin1Char('.'), -1).toInt(&ok);
    return ok && number > 0 ? number : 0;
}

namespace {

[[noreturn]] void notA(const AutoValue& value, const char* what) {
    throw AutomationError("'" + value.toText() + "' is not a valid " + what);
}

[[noreturn]] void refuse(const PackageField& field, const std::string& where,
                         const std::string& takes, const AutoValue& value) {
    throw AutomationError("Field " + std::string(field.name) + " of " + where + " takes " + takes +
                          ", not " + value.describe());
}

bool takesOneZero(const PackageField& field) {
    return SameMemberName(field.name, "TaxInclusive") || SameMemberName(field.name, "IsBase");
}

QVariant flagOf(const PackageField& field, const AutoValue& value, const PackageFieldForms& forms,
                const std::string& where) {
    const std::string build = " on build " + forms.buildText.toStdString();
    if (forms.booleans()) {
        if (!value.isBool())
            refuse(field, where, "True or False" + build, value);
        return value.asBool() ? QStringLiteral("T") : QStringLiteral("F");
    }
    if (takesOneZero(field)) {
        if (!value.isInt() || (value.asInt() != 0 && value.asInt() != 1))
            refuse(field, where, "1 or 0" + build, value);
        return value.asInt() == 1 ? QStringLiteral("T") : QStringLiteral("F");
    }
    if (!value.isText() || (value.asText() != "T" && value.asText() != "F"))
        refuse(field, where, "\"T\" or \"F\"" + build, value);
    return QString::fromStdString(value.asText());
}

} // namespace

QVariant ConvertFieldValue(const PackageField& field, const AutoValue& value,
                           const PackageFieldForms& forms, const std::string& where) {
    if (value.isNull() || value.isEmpty())
        return QVariant();
    switch (field.kind) {
    case FieldKind::Number:
        if (value.isFloat() || value.isInt())
            return value.asFloat();
        refuse(field, where, "a number", value);
    case FieldKind::Integer:
        if (value.isInt())
            return value.asInt();
        if (value.isFloat() && value.asFloat() == std::floor(value.asFloat()) &&
            std::fabs(value.asFloat()) < 2147483647.0)
            return static_cast<int>(value.asFloat());
        refuse(field, where, "a whole number", value);
    case FieldKind::Flag:
        return flagOf(field, value, forms, where);
    case FieldKind::Discount: {
        if (!value.isText())
            refuse(field, where, "text such as \"5%+3\"", value);
        const QString text = QString::fromStdString(value.asText());
        if (!DiscountOf(text, 100.0))
            notA(value, "discount");
        return text;
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
