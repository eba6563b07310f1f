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
    // The masters, looked up the same way but filled by the master export, not kept as lists.
    Customer,  // CODE of a sales or receivables document
    Supplier,  // CODE of a purchase document
    StockItem, // ITEMCODE of a line
};

struct PackageCodeListInfo {
    PackageCodeList list;
    const char* bizObject; // the business object's name in the package
    const char* what;      // "tax code", for messages
    bool master = false;   // a master the link exports itself (customer, supplier, stock item)
};

// Every object the link looks codes up in, in the order above: the lists and the masters.
const std::vector<PackageCodeListInfo>& PackageLookupObjects();
// The code lists alone (the entries of PackageLookupObjects that are not masters).
const std::vector<PackageCodeListInfo>& PackageCodeLists();
const PackageCodeListInfo& CodeListInfo(PackageCodeList list);

// Tax codes whose lines must carry a tariff code (TARIFF) as the package documents them: sales
// tax ST and ST5 and service tax SV. Compared without regard to letter case or blanks.
bool TaxCodeNeedsTariff(const QString& taxCode);

// True for the business objects whose every line needs the tariff code of such a tax code
// (customer invoices, debit notes and credit notes); on the others only lines without an item
// code need it.
bool TariffOnEveryLine(const QString& bizObject);
