#include "sqlacc/package_code_lists.h"

#include <QStringList>

const std::vector<PackageCodeListInfo>& PackageLookupObjects() {
    static const std::vector<PackageCodeListInfo> objects = {
        {PackageCodeList::GlAccount, "GL_ACC", "GL account"},
        {PackageCodeList::TaxCode, "TAX", "tax code"},
        {PackageCodeList::Terms, "TERMS", "terms"},
        {PackageCodeList::Area, "AREA", "area"},
        {PackageCodeList::Agent, "AGENT", "agent"},
        {PackageCodeList::Currency, "CURRENCY", "currency"},
        {PackageCodeList::Project, "PROJECT", "project"},
        {PackageCodeList::PaymentMethod, "PMMETHOD", "payment method"},
        {PackageCodeList::Customer, "AR_CUSTOMER", "customer", true},
        {PackageCodeList::Supplier, "AP_SUPPLIER", "supplier", true},
        {PackageCodeList::StockItem, "ST_ITEM", "item code", true},
    };
    return objects;
}

const std::vector<PackageCodeListInfo>& PackageCodeLists() {
    static const std::vector<PackageCodeListInfo> lists = [] {
        std::vector<PackageCodeListInfo> found;
        for (const PackageCodeListInfo& info : PackageLookupObjects())
            if (!info.master)
                found.push_back(info);
        return found;
    }();
    return lists;
}

const PackageCodeListInfo& CodeListInfo(PackageCodeList list) {
    for (const PackageCodeListInfo& info : PackageLookupObjects())
        if (info.list == list)
            return info;
    return PackageLookupObjects().front();
}

bool TaxCodeNeedsTariff(const QString& taxCode) {
    static const QStringList codes = {QStringLiteral("ST"), QStringLiteral("ST5"),
                                      QStringLiteral("SV")};
    return codes.contains(taxCode.trimmed(), Qt::CaseInsensitive);
}

bool TariffOnEveryLine(const QString& bizObject) {
    static const QStringList objects = {QStringLiteral("SL_IV"), QStringLiteral("SL_CN"),
                                        QStringLiteral("AR_IV"), QStringLiteral("AR_DN"),
                                        QStringLiteral("AR_CN")};
    return objects.contains(bizObject.trimmed(), Qt::CaseInsensitive);
}
