#pragma once

#include <QString>

#include <vector>

// The accounting package's own code lists. Every code a document names must be in the package's
// list of its kind, or the package refuses the document; each list is a business object of the
// package that answers FindKeyByRef("CODE", code) and can be opened (Params "CODE") and read.
enum class PackageCodeList {
    GlAccount,     // line accounts and control accounts
    TaxCode,       // with its rate and whether lines need a tariff code
    Terms,         // header TERMS
    Area,          // header AREA
    Agent,         // header AGENT
    Currency,      // header CURRENCYCODE
    Project,       // P_PAYMENTPROJECT of a cash sale
    PaymentMethod, // P_PAYMENTMETHOD of a cash sale, PAYMENTMETHOD of a payment
};

struct PackageCodeListInfo {
    PackageCodeList list;
    const char* bizObject; // the business object's name in the package
    const char* what;      // "tax code", for messages
};

// Every list, in the order above.
const std::vector<PackageCodeListInfo>& PackageCodeLists();
const PackageCodeListInfo& CodeListInfo(PackageCodeList list);

// Tax codes whose lines must carry a tariff code (TARIFF) as the package documents them: sales
// tax ST and ST5 and service tax SV. Compared without regard to letter case or blanks.
bool TaxCodeNeedsTariff(const QString& taxCode);
