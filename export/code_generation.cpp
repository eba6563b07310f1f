#include "export/code_generation.h"

#include "core/app_error.h"
#include "data/connection.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/module_codes.h"
#include "sqlacc/automation.h"
#include "sqlacc/business_object.h"
#include "sqlacc/sqlacc_login.h"

#include <QHash>

namespace {

struct PartyMaster {
    const char* table;
    const char* codeColumn;
    const char* party;    // "customer"
    const char* codeName; // "debtor code"
};

PartyMaster partyMaster(const QString& moduleCode) {
    if (moduleCode == QLatin1String(ModuleCodes::Supplier))
        return {"MAS_SUPPLIER", "M_CREDITOR", "supplier", "creditor code"};
    if (moduleCode == QLatin1String(ModuleCodes::Customer))
        return {"MAS_CUSTOMER", "M_DEBTOR", "customer", "debtor code"};
    throw AppError(QStringLiteral("%1 has no account codes to generate").arg(moduleCode));
}

// The rule's code as the database makes it: the prefix, "-", and the whole supplier code, or
// at most six characters of the customer code.
QString ruleExpression(const QString& moduleCode, const QString& prefix) {
    if (moduleCode == QLatin1String(ModuleCodes::Supplier))
        return QuotedStr(prefix) + QStringLiteral("||'-'||M_CODE");
    return QuotedStr(prefix) +
           QStringLiteral("||'-'||case when char_length(trim(m_code))>6 then substring(m_code "
                          "from char_length(trim(m_code)) - 6 for 6) else trim(M_Code) end");
}

int columnLength(DbConnection& app, const PartyMaster& master) {
    const QVariant length = SelectValue(
        app,
        QStringLiteral("SELECT F.RDB$CHARACTER_LENGTH FROM RDB$RELATION_FIELDS R JOIN RDB$FIELDS "
                       "F ON F.RDB$FIELD_NAME = R.RDB$FIELD_SOURCE WHERE R.RDB$RELATION_NAME = ? "
                       "AND R.RDB$FIELD_NAME = ?"),
        {QLatin1String(master.table), QLatin1String(master.codeColumn)});
    if (length.isNull() || length.toInt() <= 0)
        throw AppError(QStringLiteral("The column %1 of %2 is missing")
                           .arg(QLatin1String(master.codeColumn), QLatin1String(master.table)));
    return length.toInt();
}

// Codes are told apart as the package and a bookkeeper would: case and blanks around them
// make no other code.
QString codeKey(const QString& code) {
    return code.trimmed().toUpper();
}

} // namespace

QString AdjustedCode::describe() const {
    return masterCode + QStringLiteral(": ") + code + QStringLiteral(" (") + reason +
           QLatin1Char(')');
}

QString NumberedCode(const QString& code, int number, int keep, int maxLength) {
    const QString suffix = QLatin1Char('-') + QString::number(number);
    const int room = maxLength - int(suffix.size());
    if (room < keep)
        return QString();
    return code.left(room) + suffix;
}

bool MasterInPackage(const QString& moduleCode, const QString& code) {
    SQLAccLogin();
    BusinessObject master(BizApp, moduleCode.toStdString());
    const AutoValue key =
        master->invoke("FindKeyByRef", {AutoValue("CODE"), AutoValue(code.toStdString())});
    master.close();
    return !key.isNull() && !key.isEmpty();
}

GeneratedCodes GenerateMissingCodes(DbConnection& app, const QString& moduleCode,
                                    const QString& prefix, const QString& reservedCode,
                                    const PackageHoldsCode& packageHolds) {
    const PartyMaster master = partyMaster(moduleCode);
    const QString table = QLatin1String(master.table);
    const QString column = QLatin1String(master.codeColumn);
    const QString party = QLatin1String(master.party);
    const int maxLength = columnLength(app, master);
    // The prefix and its "-" stay whole in every code.
    const int keep = int(prefix.size()) + 1;

    // Who holds which code in the back office.
    QHash<QString, QString> holders;
    {
        RowReader reader(app, QStringLiteral("SELECT M_CODE, %1 FROM %2 WHERE %1 IS NOT NULL AND "
                                             "%1 <> ''")
                                  .arg(column, table));
        while (reader.next())
            holders.insert(codeKey(reader.value(1).toString()),
                           reader.value(0).toString().trimmed());
    }
    struct Missing {
        QString masterCode; // as stored, to find the row again
        QString ruleCode;
    };
    QList<Missing> missing;
    {
        RowReader reader(app, QStringLiteral("SELECT M_CODE, %1 FROM %2 WHERE %3 is null OR %3 = "
                                             "'' ORDER BY M_CODE")
                                  .arg(ruleExpression(moduleCode, prefix), table, column));
        while (reader.next())
            missing.append({reader.value(0).toString(), reader.value(1).toString()});
    }

    // Why a code cannot be given, or empty when it is free.
    const auto takenBecause = [&](const QString& code) -> QString {
        const QString key = codeKey(code);
        if (const auto holder = holders.constFind(key); holder != holders.constEnd())
            return QStringLiteral("%1 is held by %2 %3").arg(code, party, *holder);
        if (!reservedCode.isEmpty() && key == codeKey(reservedCode))
            return QStringLiteral("%1 is the cash-sales customer's code").arg(code);
        if (packageHolds && packageHolds(code))
            return QStringLiteral("%1 is held in the accounting package by another %2")
                .arg(code, party);
        return QString();
    };

    // Enough tries for every code the back office holds, and then some for the package's.
    const int lastNumber = int(holders.size() + missing.size()) + 100;
    GeneratedCodes result;
    Transaction writing(app);
    for (const Missing& row : missing) {
        const QString shownCode = row.masterCode.trimmed();
        if (row.ruleCode.size() > maxLength && maxLength <= keep)
            throw AppError(QStringLiteral("No %1 can be generated for %2 %3: the prefix \"%4\" and "
                                          "\"-\" fill the %5 characters of %6.")
                               .arg(QLatin1String(master.codeName), party, shownCode, prefix,
                                    QString::number(maxLength), column));
        QString code = row.ruleCode.left(maxLength);
        QString reason;
        if (code.size() < row.ruleCode.size())
            reason =
                QStringLiteral("%1 is longer than the %2 characters of a %3")
                    .arg(row.ruleCode, QString::number(maxLength), QLatin1String(master.codeName));
        QString taken = takenBecause(code);
        if (!taken.isEmpty()) {
            reason = reason.isEmpty() ? taken : reason + QStringLiteral("; ") + taken;
            const QString base = code;
            for (int number = 2; !taken.isEmpty(); ++number) {
                code = NumberedCode(base, number, keep, maxLength);
                if (code.isEmpty() || number > lastNumber)
                    throw AppError(QStringLiteral("No free %1 could be generated for %2 %3 "
                                                  "within the %4 characters of %5: %6.")
                                       .arg(QLatin1String(master.codeName), party, shownCode,
                                            QString::number(maxLength), column, reason));
                taken = takenBecause(code);
            }
        }
        // Only a row still without a code is given one: a code typed meanwhile stays.
        const int changed = app.execute(
            QStringLiteral("UPDATE %1 SET %2 = %3 WHERE M_CODE = %4 AND (%2 is null OR %2 = '')")
                .arg(table, column, QuotedStr(code), QuotedStr(row.masterCode)));
        if (changed == 0)
            continue;
        holders.insert(codeKey(code), shownCode);
        ++result.generated;
        if (code != row.ruleCode)
            result.adjusted.append({shownCode, row.ruleCode, code, reason});
    }
    writing.commit();
    return result;
}
