#include "export/master_export.h"

#include "config/settings_file.h"
#include "core/app_error.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/module_codes.h"
#include "sqlacc/posting_sources.h"
#include "sqlacc/sqlacc_export_master.h"
#include "sqlacc/sqlacc_login.h"

namespace {

struct MasterKind {
    const char* table;
    const char* codeColumn;
    const char* label;
};

MasterKind kindOf(const QString& moduleCode) {
    if (moduleCode == QLatin1String(ModuleCodes::Supplier))
        return {"MAS_SUPPLIER", "M_CREDITOR", "Creditor Code"};
    if (moduleCode == QLatin1String(ModuleCodes::Customer))
        return {"MAS_CUSTOMER", "M_DEBTOR", "Debtor Code"};
    if (moduleCode == QLatin1String(ModuleCodes::StockItem))
        return {"MAS_STOCK", nullptr, nullptr};
    throw AppError(QStringLiteral("%1 is not a master kind").arg(moduleCode));
}

QString controlAccount(const SettingsFile& settings, const QString& moduleCode) {
    if (moduleCode == QLatin1String(ModuleCodes::Supplier))
        return settings.readFromTypeSection(Keys::General::AccountTypeForExport,
                                            Keys::SqlAcc::SupplierAccount);
    if (moduleCode == QLatin1String(ModuleCodes::Customer))
        return settings.readFromTypeSection(Keys::General::AccountTypeForExport,
                                            Keys::SqlAcc::CustomerAccount);
    return QString();
}

// The part of the control account before its first "-"; an account without "-" gives none.
QString codePrefix(const QString& account) {
    const int dash = account.indexOf(QLatin1Char('-'));
    return dash < 0 ? QString() : account.left(dash);
}

} // namespace

QString MissingCodeQuestion(const QString& moduleCode) {
    return QStringLiteral("Some record do not have ") + QLatin1String(kindOf(moduleCode).label) +
           QStringLiteral(". Do you want system to auto generate?");
}

QString MasterExportEndText(const MasterExportResult& result) {
    QString text = QStringLiteral("Completed.");
    for (const QString& notice : result.notices)
        text += QStringLiteral("\r\n\r\n") + notice;
    if (result.adjustedCodes.isEmpty())
        return text;
    text += QStringLiteral("\r\n\r\n%1 generated code(s) differ from the usual rule because its "
                           "code was taken:")
                .arg(result.adjustedCodes.size());
    for (const AdjustedCode& adjusted : result.adjustedCodes)
        text += QStringLiteral("\r\n") + adjusted.describe();
    return text;
}

MasterExportResult
ExportSUPP_CUST_STOCK(TdmPolling& data, const SettingsFile& settings, const QString& moduleCode,
                      bool allRows,
                      const std::function<bool(const QString& question)>& confirmGeneration,
                      const std::function<void()>& mastersChanged) {
    const MasterKind kind = kindOf(moduleCode);
    const QString account = controlAccount(settings, moduleCode);
    // One login for the export, the package lookups of code generation included.
    const PackageRunSession packageRun;
    const QString selection = allRows ? QStringLiteral("ALL") : QStringLiteral("DIFF");
    MasterExportResult result;

    if (kind.codeColumn) {
        result.missingCodes =
            SelectValue(data.dbApp,
                        QStringLiteral("SELECT Count(*) FROM %1 WHERE %2 is null OR %2 = ")
                                .arg(QLatin1String(kind.table), QLatin1String(kind.codeColumn)) +
                            QuotedStr(QString()))
                .toInt();
        if (result.missingCodes > 0) {
            if (!confirmGeneration || !confirmGeneration(MissingCodeQuestion(moduleCode))) {
                result.outcome = MasterExportOutcome::Declined;
                return result;
            }
            const QString reserved = moduleCode == QLatin1String(ModuleCodes::Customer)
                                         ? CashSalesCustomerCode(account)
                                         : QString();
            const GeneratedCodes codes = GenerateMissingCodes(
                data.dbApp, moduleCode, codePrefix(account), reserved,
                [&moduleCode](const QString& code) { return MasterInPackage(moduleCode, code); });
            result.generated = true;
            result.adjustedCodes = codes.adjusted;
        }
        for (Table* table : {&data.tblSupplier, &data.tblCustomer})
            if (table->isActive())
                table->refresh();
        if (mastersChanged)
            mastersChanged();
    }

    const PostingSources sources{data.dbStk, data.dbApp, data.dbAR};
    const bool posted = SQLAccExportMaster(sources, moduleCode, account, selection);
    result.notices = CurrentPackageSession().notices;
    if (posted)
        data.dbApp.execute(
            QStringLiteral("UPDATE %1 SET M_EXPORT_ACCT = ").arg(QLatin1String(kind.table)) +
            QuotedStr(QStringLiteral("T")));
    result.outcome = MasterExportOutcome::Completed;
    return result;
}

QHash<QString, QString> CodesGenerationWouldGive(TdmPolling& data, const SettingsFile& settings,
                                                 const QString& moduleCode) {
    const MasterKind kind = kindOf(moduleCode);
    QHash<QString, QString> codes;
    if (!kind.codeColumn)
        return codes;
    const QString lacking = QStringLiteral("SELECT M_CODE FROM %1 WHERE %2 IS NULL OR %2 = ")
                                .arg(QLatin1String(kind.table), QLatin1String(kind.codeColumn)) +
                            QuotedStr(QString());
    QStringList masters;
    {
        RowReader reader(data.dbApp, lacking);
        while (reader.next())
            masters << reader.value(0).toString().trimmed();
    }
    if (masters.isEmpty())
        return codes;
    const QString account = controlAccount(settings, moduleCode);
    const QString reserved = moduleCode == QLatin1String(ModuleCodes::Customer)
                                 ? CashSalesCustomerCode(account)
                                 : QString();
    // Generated in a transaction of its own that is never committed: nothing is kept.
    Transaction trial(data.dbApp);
    GenerateMissingCodes(
        data.dbApp, moduleCode, codePrefix(account), reserved,
        [&moduleCode](const QString& code) { return MasterInPackage(moduleCode, code); });
    RowReader given(data.dbApp,
                    QStringLiteral("SELECT M_CODE, %1 FROM %2")
                        .arg(QLatin1String(kind.codeColumn), QLatin1String(kind.table)));
    while (given.next()) {
        const QString master = given.value(0).toString().trimmed();
        if (masters.contains(master))
            codes.insert(master, given.value(1).toString().trimmed());
    }
    return codes;
}
