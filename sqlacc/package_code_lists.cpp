#include "sqlacc/package_code_lists.h"

#include <QStringList>

const std::vector<PackageCodeListInfo>& PackageCodeLists() {
    static const std::vector<PackageCodeListInfo> lists = {
        {PackageCodeList::GlAccount, "GL_ACC", "GL account"},
        {PackageCodeList::TaxCode, "TAX", "tax code"},
        {PackageCodeList::Terms, "TERMS", "terms"},
        {PackageCodeList::Area, "AREA", "area"},
        {PackageCodeList::Agent, "AGENT", "agent"},
        {PackageCodeList::Currency, "CURRENCY", "currency"},
        {PackageCodeList::Project, "PROJECT", "project"},
        {PackageCodeList::PaymentMethod, "PMMETHOD", "payment method"},
    };
    return lists;
}

const PackageCodeListInfo& CodeListInfo(PackageCodeList list) {
    for (const PackageCodeListInfo& info : PackageCodeLists())
        if (info.list == list)
            return info;
    return PackageCodeLists().front();
}

bool TaxCodeNeedsTariff(const QString& taxCode) {
    static const QStringList codes = {QStringLiteral("ST"), QStringLiteral("ST5"),
                                      QStringLiteral("SV")};
    return codes.contains(taxCode.trimmed(), Qt::CaseInsensitive);
}
