#include "standin/package_codes.h"

#include "config/settings_file.h"
#include "core/app_error.h"
#include "data/connection.h"
#include "data/query.h"
#include "data/sql_quote.h"

namespace {

struct ListName {
    const char* list;
    const char* what;
};

const ListName kLists[] = {{"GL_ACC", "GL account"}, {"TAX", "tax code"},
                           {"TERMS", "terms"},       {"AREA", "area"},
                           {"AGENT", "agent"},       {"CURRENCY", "currency"},
                           {"PROJECT", "project"},   {"PMMETHOD", "payment method"}};

QString bound(const QString& text) {
    return QuotedStr(text);
}

} // namespace

const QStringList& PackageCodeListNames() {
    static const QStringList names = [] {
        QStringList list;
        for (const ListName& name : kLists)
            list << QLatin1String(name.list);
        return list;
    }();
    return names;
}

QString PackageCodeListWhat(const QString& list) {
    for (const ListName& name : kLists)
        if (list.compare(QLatin1String(name.list), Qt::CaseInsensitive) == 0)
            return QLatin1String(name.what);
    return QString();
}

void AddPackageCodes(DbConnection& database, const QList<PackageCode>& codes) {
    Transaction transaction(database);
    for (const PackageCode& code : codes) {
        const QString list = code.list.trimmed().toUpper();
        if (PackageCodeListWhat(list).isEmpty())
            throw AppError(QStringLiteral("\"%1\" is not a code list of the package (lists: %2)")
                               .arg(code.list, PackageCodeListNames().join(QLatin1Char(' '))));
        if (code.code.trimmed().isEmpty())
            throw AppError(QStringLiteral("A code of the list %1 is empty").arg(list));
        const QString rate =
            list == QLatin1String("TAX") ? SqlNumber(code.rate) : QStringLiteral("NULL");
        const QString tariff =
            list == QLatin1String("TAX")
                ? bound(code.tariffRequired ? QStringLiteral("T") : QStringLiteral("F"))
                : QStringLiteral("NULL");
        database.execute(
            QStringLiteral("UPDATE OR INSERT INTO SA_CODE (CODEKEY, LIST, CODE, DESCRIPTION, "
                           "RATE, TARIFFREQUIRED) VALUES (COALESCE((SELECT CODEKEY FROM SA_CODE "
                           "WHERE LIST = %1 AND CODE = %2), NEXT VALUE FOR SA_KEY), %1, %2, %3, "
                           "%4, %5) MATCHING (LIST, CODE)")
                .arg(bound(list), bound(code.code.trimmed()), bound(code.description), rate,
                     tariff));
    }
    transaction.commit();
}

void AddPackageCodes(const AliasTarget& database, const QList<PackageCode>& codes) {
    DbConnection connection(QStringLiteral("SQLAccPackageCodes"), database);
    AddPackageCodes(connection, codes);
}

QList<PackageCode> ListPackageCodes(DbConnection& database, const QString& list) {
    QString sql =
        QStringLiteral("SELECT LIST, CODE, DESCRIPTION, RATE, TARIFFREQUIRED FROM SA_CODE");
    if (!list.isEmpty())
        sql += QStringLiteral(" WHERE LIST = ") + bound(list.trimmed().toUpper());
    sql += QStringLiteral(" ORDER BY LIST, CODE");
    QList<PackageCode> codes;
    RowReader reader(database, sql);
    while (reader.next()) {
        PackageCode code;
        code.list = reader.value(0).toString().trimmed();
        code.code = reader.value(1).toString();
        code.description = reader.value(2).toString();
        code.rate = reader.value(3).toDouble();
        code.tariffRequired = reader.value(4).toString().trimmed() == QLatin1String("T");
        codes << code;
    }
    return codes;
}

QList<PackageCode> PackageCodesOfSettings(const SettingsFile& settings) {
    namespace SqlAcc = Keys::SqlAcc;
    QList<PackageCode> codes;
    const auto add = [&codes](const char* list, const QString& code, const char* description) {
        if (!code.trimmed().isEmpty())
            codes << PackageCode{QLatin1String(list), code.trimmed(), QLatin1String(description)};
    };
    add("GL_ACC", settings.read(SqlAcc::SalesAccount), "Sales");
    add("GL_ACC", settings.read(SqlAcc::SalesCnAccount), "Sales returns");
    add("GL_ACC", settings.read(SqlAcc::PurchaseAccount), "Purchases");
    add("GL_ACC", settings.read(SqlAcc::PurchaseReturnAccount), "Purchase returns");
    add("GL_ACC", settings.read(SqlAcc::PaymentAccount), "Cash at bank");
    add("GL_ACC", settings.read(SqlAcc::CustomerAccount), "Trade debtors");
    add("GL_ACC", settings.read(SqlAcc::SupplierAccount), "Trade creditors");
    add("PMMETHOD", settings.read(SqlAcc::PaymentAccount), "Cash at bank");
    add("TERMS", settings.read(SqlAcc::PaymentTerm), "Cash on delivery");
    add("AREA", settings.read(SqlAcc::AreaCode), "Area");
    add("AGENT", settings.read(SqlAcc::AgentCode), "Agent");
    add("CURRENCY", settings.read(SqlAcc::CurrencyCode), "Currency");
    add("PROJECT", QStringLiteral("----"), "No project");
    return codes;
}
