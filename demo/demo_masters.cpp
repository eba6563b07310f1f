#include "demo/demo_masters.h"

#include "demo/bulk_writer.h"

namespace {

// Account codes: nullptr stores NULL, "" an empty text (both count as missing).
struct Party {
    const char* code;
    const char* name;
    const char* otherName;
    const char* account;
    const char* gstNo;
    const char* address1;
    const char* address2;
    const char* address3;
    const char* postcode;
    const char* phone;
    const char* mobile;
    const char* fax;
    const char* contact;
    const char* email;
};

const Party kCustomers[] = {
    {"C0001", "Tan Brothers Trading Sdn Bhd", "Tan Bros", "300-C0001", "000123456789",
     "12 Jalan Ampang", "Taman Ampang", "Kuala Lumpur", "50450", "03-21612345", "012-3456789",
     "03-21612346", "Mr Tan Ah Kow", "accounts@tanbros.example"},
    {"C0002", "Lim & Co. Hardware", "Lim Hardware", "300-C0002", "000223344556", "8 Lorong Besi",
     "Kawasan Perindustrian", "Petaling Jaya", "46000", "03-77811234", "016-2233445", "",
     "Ms Lim Mei Ling", "lim.hardware@example.com"},
    {"C0003", "O'Brien Catering Services", "O'Brien", "300-C0003", "000334455667",
     "3A Jalan Bukit Bintang", "", "Kuala Lumpur", "55100", "03-21445566", "", "",
     "Mr Sean O'Brien", "sean@obrien-catering.example"},
    {"C0004", "Sri Murni Enterprise", "Sri Murni", nullptr, "", "27 Jalan Tun Razak", "",
     "Kuala Lumpur", "50400", "03-26981122", "019-8877665", "", "Puan Murni",
     "srimurni@example.com"},
    {"C0005", "Golden Harvest Restaurant", "Golden Harvest", "", "000556677889", "45 Jalan Sultan",
     "Chinatown", "Kuala Lumpur", "50000", "03-20781234", "", "03-20781235", "Mr Wong",
     "golden.harvest@example.com"},
    {"CORPORATE01", "Kinta Valley Corporate Gifts", "Kinta Gifts", nullptr, "000667788990",
     "Lot 5, Jalan Kinta", "Kawasan Industri", "Ipoh", "31400", "05-2541234", "012-5556677", "",
     "Ms Devi", "orders@kintagifts.example"},
    {"C0007", "Happy Mart Mini Market", "Happy Mart", "300-C0007", "000778899001",
     "101 Jalan Pasar", "", "Klang", "41000", "03-33712345", "", "", "Mr Ahmad",
     "happymart@example.com"},
    {"C0008", "Evergreen Nursery", "Evergreen", "300-C0008", "", "Batu 9, Jalan Cheras", "",
     "Kajang", "43200", "03-90761234", "017-3344556", "", "Mrs Chong",
     "evergreen.nursery@example.com"},
    {"C0009", "Pacific Office Supplies", "Pacific Office", nullptr, "000990011223",
     "22 Jalan Kenari", "Bandar Puchong Jaya", "Puchong", "47100", "03-80761234", "", "03-80761235",
     "Mr Lee", "sales@pacificoffice.example"},
    {"C0010", "Seri Indah Kindergarten", "Tadika Seri Indah", "300-C0010", "", "5 Jalan Indah 2",
     "Taman Seri Indah", "Seremban", "70450", "06-7651234", "", "", "Cikgu Aminah",
     "tadika.seriindah@example.com"},
};

const Party kSuppliers[] = {
    {"V0001", "Fresh Farm Produce Sdn Bhd", "Fresh Farm", "400-V0001", "001122334455",
     "Lot 12, Jalan Ladang", "", "Cameron Highlands", "39000", "05-4911234", "013-2223334", "",
     "Mr Raju", "orders@freshfarm.example"},
    {"V0002", "Nusantara Beverages Bhd", "Nusantara", "400-V0002", "001233445566",
     "9 Jalan Perusahaan 3", "", "Shah Alam", "40000", "03-55101234", "", "03-55101235", "Ms Siti",
     "sales@nusantara-bev.example"},
    {"V0003", "Delta Paper Products", "Delta Paper", nullptr, "001344556677", "14 Jalan Kilang", "",
     "Senai", "81400", "07-5991234", "", "", "Mr Goh", "delta.paper@example.com"},
    {"V0004", "Orient Frozen Food Sdn Bhd", "Orient Frozen", "", "001455667788", "2 Jalan Sejuk",
     "Taman Industri", "Penang", "11900", "04-6431234", "", "", "Mr Khoo",
     "orient.frozen@example.com"},
    {"V0005", "Asia Pacific Toiletries", "AP Toiletries", "400-V0005", "001566778899",
     "88 Jalan Wangi", "", "Rawang", "48000", "03-60921234", "012-9988776", "", "Ms Tan",
     "aptoiletries@example.com"},
    {"V0006", "Bintang Snacks Sdn Bhd", "Bintang Snacks", "400-V0006", "", "6 Jalan Rangup", "",
     "Melaka", "75450", "06-3351234", "", "", "Mr Azman", "bintang.snacks@example.com"},
    {"MEGAWHOLESALE01", "Mega Wholesale Distributors", "Mega Wholesale", nullptr, "001788990011",
     "1 Persiaran Gudang", "", "Klang", "42000", "03-31661234", "", "", "Mr Ravi",
     "purchasing@megawholesale.example"},
};

struct Item {
    const char* plu;
    const char* description;
    const char* shortDescription; // "" for an item without one
    const char* uom;
    int price; // cents, tax included
    TaxKind tax;
};

const Item kItems[] = {
    {"100001", "Jasmine Fragrant Rice 5kg", "Jasmine Rice 5kg", "BAG", 2650, TaxKind::Zero},
    {"100002", "White Sandwich Bread Loaf 600g", "White Bread", "LOAF", 395, TaxKind::Zero},
    {"100003", "Fresh Full Cream Milk 1L", "Fresh Milk 1L", "BTL", 745, TaxKind::Standard},
    {"100004", "Natural Mineral Water 1.5L", "Mineral Water 1.5L", "BTL", 190, TaxKind::Standard},
    {"100005", "Instant Curry Noodles 5 x 80g", "Curry Noodles 5s", "PKT", 599, TaxKind::Standard},
    {"100006", "Palm Cooking Oil 2kg", "Cooking Oil 2kg", "BTL", 1290, TaxKind::Zero},
    {"100007", "Refined White Sugar 1kg", "", "PKT", 285, TaxKind::Zero},
    {"100008", "Coffee 3-in-1 20 Sachets", "Coffee 3in1 20s", "PKT", 1150, TaxKind::Standard},
    {"100009", "Black Tea Bags 100s", "Tea Bags 100s", "BOX", 899, TaxKind::Standard},
    {"100010", "Dishwashing Liquid Lemon 900ml", "Dish Soap 900ml", "BTL", 699, TaxKind::Standard},
    {"100011", "Laundry Detergent Powder 3kg", "Detergent 3kg", "BAG", 2199, TaxKind::Standard},
    {"100012", "Fluoride Toothpaste 150g", "Toothpaste 150g", "TUBE", 649, TaxKind::Standard},
    {"100013", "Herbal Shampoo 400ml", "", "BTL", 1590, TaxKind::Standard},
    {"100014", "Facial Tissue Box 5 x 150s", "Tissue 5s", "PKT", 1099, TaxKind::Standard},
    {"100015", "Alkaline Batteries AA 4s", "Batteries AA 4s", "PKT", 1299, TaxKind::Standard},
    {"100016", "Milk Chocolate Bar 100g", "Chocolate 100g", "PCS", 550, TaxKind::Standard},
    {"100017", "Potato Chips Original 150g", "Potato Chips", "PKT", 499, TaxKind::Standard},
    {"100018", "Orange Juice No Sugar Added 1L", "Orange Juice 1L", "BTL", 789, TaxKind::Standard},
    {"100019", "Fresh Eggs Grade A 30s", "Eggs Grade A 30s", "TRAY", 1280, TaxKind::Zero},
    {"100020", "Fresh Whole Chicken 1.5kg", "", "PCS", 1395, TaxKind::Zero},
    {"100021", "Round Cabbage per kg", "Cabbage /kg", "KG", 350, TaxKind::Zero},
    {"100022", "Cavendish Bananas per kg", "Bananas /kg", "KG", 520, TaxKind::Zero},
    {"100023", "Sardines in Tomato Sauce 425g", "Sardines 425g", "CAN", 620, TaxKind::Standard},
    {"100024", "Creamy Peanut Butter 340g", "Peanut Butter", "JAR", 1099, TaxKind::Standard},
    {"100025", "Corn Flakes Cereal 500g", "Corn Flakes 500g", "BOX", 1349, TaxKind::Standard},
    {"100026", "Strawberry Yoghurt Cup 140g", "", "CUP", 245, TaxKind::Standard},
    {"100027", "Vanilla Ice Cream 1.5L", "Ice Cream 1.5L", "TUB", 1590, TaxKind::Standard},
    {"100028", "Frozen Chicken Nuggets 1kg", "Chicken Nuggets 1kg", "PKT", 1899, TaxKind::Standard},
    {"100029", "Light Soy Sauce 640ml", "Soy Sauce 640ml", "BTL", 475, TaxKind::Standard},
    {"100030", "Sweet Chilli Sauce 340g", "Chilli Sauce 340g", "BTL", 399, TaxKind::Standard},
    {"100031", "Postage Stamps Pack of 10", "Stamps x10", "PKT", 600, TaxKind::Exempt},
    {"100032", "Prepaid Mobile Reload 10", "Reload 10", "PCS", 1000, TaxKind::Exempt},
    {"100033", "Foldable Umbrella", "Umbrella", "PCS", 2490, TaxKind::Standard},
    {"100034", "Food Container Set 3pcs", "", "SET", 1790, TaxKind::Standard},
    {"100035", "Reusable Shopping Bag", "Shopping Bag", "PCS", 299, TaxKind::Standard},
    {"100036", "Daily Newspaper", "Newspaper", "PCS", 150, TaxKind::Zero},
};

struct Payment {
    const char* code;
    const char* description;
    const char* account;
    const char* type;
};

const Payment kPayments[] = {
    {"CASH", "Cash", "320-000", "C"},
    {"VISA", "Visa Card", "320-100", "R"},
    {"MASTER", "MasterCard", "320-100", "R"},
    {"DEBIT", "Debit Card", "320-200", "D"},
    {"VOUCHER", "Gift Voucher", "330-000", "V"},
};

QVariant textOrNull(const char* text) {
    return text ? QVariant(QString::fromUtf8(text)) : QVariant();
}

QStringList writeParties(BulkWriter& writer, const QString& table, const char* accountColumn,
                         const Party* first, const Party* last) {
    auto& rows =
        writer.insertInto(table, {"M_CODE", "M_DESC", "M_ODESC", accountColumn, "M_GST_NO",
                                  "M_ADDR1", "M_ADDR2", "M_ADDR3", "M_POSTCODE", "M_TEL",
                                  "M_HPHONE", "M_FAX", "M_PTC", "M_EMAIL", "M_EXPORT_ACCT"});
    QStringList codes;
    for (const Party* party = first; party != last; ++party) {
        rows.add({textOrNull(party->code), textOrNull(party->name), textOrNull(party->otherName),
                  textOrNull(party->account), textOrNull(party->gstNo), textOrNull(party->address1),
                  textOrNull(party->address2), textOrNull(party->address3),
                  textOrNull(party->postcode), textOrNull(party->phone), textOrNull(party->mobile),
                  textOrNull(party->fax), textOrNull(party->contact), textOrNull(party->email),
                  QStringLiteral("F")});
        codes << QString::fromUtf8(party->code);
    }
    return codes;
}

// A 13-digit EAN barcode of the demo's own prefix with its check digit.
QString barcodeOf(const QString& plu) {
    const QString digits = QStringLiteral("955000") + plu;
    int sum = 0;
    for (int i = 0; i < digits.size(); ++i)
        sum += digits.at(i).digitValue() * (i % 2 == 0 ? 1 : 3);
    return digits + QString::number((10 - sum % 10) % 10);
}

} // namespace

DemoMasters WriteDemoMasters(DbConnection& applicationDb, const QStringList& stores) {
    DemoMasters masters;
    BulkWriter writer(applicationDb);
    masters.customers = writeParties(writer, QStringLiteral("MAS_CUSTOMER"), "M_DEBTOR",
                                     std::begin(kCustomers), std::end(kCustomers));
    masters.suppliers = writeParties(writer, QStringLiteral("MAS_SUPPLIER"), "M_CREDITOR",
                                     std::begin(kSuppliers), std::end(kSuppliers));

    auto& items = writer.insertInto(QStringLiteral("MAS_STOCK"),
                                    {"M_PLUCODE", "M_BARCODE", "M_DESC", "M_SHORTDESC", "M_UOM",
                                     "M_SELLPRICE", "M_COST", "M_EXPORT_ACCT"});
    for (const Item& source : kItems) {
        DemoItem item;
        item.plu = QString::fromLatin1(source.plu);
        item.description = QString::fromLatin1(source.description);
        item.price = source.price;
        // Bought at about seventy per cent of the shelf price before tax.
        item.cost =
            ScaledCents(source.price - TaxIncluded(source.price, TaxRate(source.tax)), 70, 100);
        item.tax = source.tax;
        items.add({item.plu, barcodeOf(item.plu), item.description,
                   QString::fromLatin1(source.shortDescription), QString::fromLatin1(source.uom),
                   Money(item.price), Money(item.cost), QStringLiteral("F")});
        masters.items << item;
    }

    // The tax codes the cash-sales posting reads: standard rated with prices that include the
    // tax (calculation 3), zero rated and exempt.
    auto& taxes =
        writer.insertInto(QStringLiteral("MAS_TAX"), {"M_TAX_GROUP", "M_CODE", "M_DESC",
                                                      "M_TAX_CODE", "M_RATE", "M_CALCULATION"});
    const struct {
        const char* code;
        const char* description;
        TaxKind kind;
    } posTaxes[] = {{"TAX1", "GST Standard Rated", TaxKind::Standard},
                    {"TAX2", "GST Zero Rated", TaxKind::Zero},
                    {"TAX3", "GST Exempt", TaxKind::Exempt}};
    for (const auto& tax : posTaxes)
        taxes.add({QStringLiteral("POS"), QString::fromLatin1(tax.code),
                   QString::fromLatin1(tax.description), PackageTaxCode(tax.kind),
                   double(TaxRate(tax.kind)), QStringLiteral("3")});

    auto& payments = writer.insertInto(QStringLiteral("MAS_PAYMENT"),
                                       {"M_CODE", "M_DESC", "M_GLCODE", "M_TYPE"});
    auto& storePayments =
        writer.insertInto(QStringLiteral("MAS_PAYMENT_STORE"), {"M_STORE", "M_CODE", "M_ACTIVE"});
    for (const Payment& payment : kPayments) {
        payments.add({QString::fromLatin1(payment.code), QString::fromLatin1(payment.description),
                      QString::fromLatin1(payment.account), QString::fromLatin1(payment.type)});
        for (const QString& store : stores)
            storePayments.add({store, QString::fromLatin1(payment.code), QStringLiteral("T")});
    }
    writer.finish();
    return masters;
}
