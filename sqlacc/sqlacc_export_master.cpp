#include "sqlacc/sqlacc_export_master.h"

#include "config/settings_file.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "sqlacc/business_object.h"
#include "sqlacc/einvoice_posting.h"
#include "sqlacc/flag_values.h"
#include "sqlacc/posting_values.h"
#include "sqlacc/sqlacc_login.h"

namespace {

const char kPartyColumns[] =
    "M_DESC, M_ADDR1, M_ADDR2, M_ADDR3, M_PTC, M_EMAIL, M_FAX, M_TEL, M_HPHONE, M_GST_NO";

bool isStockItem(const QString& moduleCode) {
    return moduleCode == QLatin1String("ST_ITEM");
}

QString masterSql(const QString& moduleCode, const QString& selection) {
    QString sql;
    if (moduleCode == QLatin1String("AP_SUPPLIER"))
        sql = QStringLiteral("SELECT M_CREDITOR, %1  FROM MAS_SUPPLIER ").arg(kPartyColumns);
    else if (moduleCode == QLatin1String("AR_CUSTOMER"))
        sql = QStringLiteral("SELECT M_DEBTOR, %1  FROM MAS_CUSTOMER ").arg(kPartyColumns);
    else
        sql = QStringLiteral("SELECT M_PLUCODE, M_SHORTDESC  FROM MAS_STOCK ");
    if (selection != QLatin1String("ALL"))
        sql += QStringLiteral("WHERE M_EXPORT_ACCT = ") + QuotedStr(QStringLiteral("F"));
    return sql;
}

QString text(const Dataset& row, const char* column) {
    return row.field(QLatin1String(column)).asString().trimmed();
}

bool isNone(const AutoValue& key) {
    return key.isNull() || key.isEmpty();
}

// Opens the record the package holds under code for editing, or starts a new one; true for a
// new one.
bool openOrNew(BusinessObject& master, const QString& code, const char* keyParam) {
    master.reuse();
    const AutoValue key = master->invoke("FindKeyByRef", {"CODE", TextValue(code)});
    if (isNone(key)) {
        master->invoke("New");
        return true;
    }
    setParam(master, keyParam, key.toText());
    master->invoke("Open");
    master->invoke("Edit");
    return false;
}

// The record is stored, and the object closed before the next record, as the package asks.
void saveAndClose(BusinessObject& master) {
    master->invoke("Save");
    master.close();
}

void writeGeneralPublic(const AutoObjectPtr& header) {
    setField(header, "SUBMISSIONTYPE", std::int32_t{ConsolidateSubmission});
    setField(header, "TIN", GeneralPublicTin);
}

// The cash-sales customer is created when missing. For the e-invoice it is the general public
// whose sales are consolidated: created so, or, when it exists, given those two fields (and
// nothing else of it changed) unless it has them already.
void ensureCashSalesCustomer(BusinessObject& master, const AutoObjectPtr& header,
                             const QString& controlAccount, bool eInvoice) {
    const QString code = CashSalesCustomerCode(controlAccount);
    const AutoValue key = master->invoke("FindKeyByRef", {"CODE", TextValue(code)});
    if (isNone(key)) {
        master->invoke("New");
        setField(header, "CODE", TextValue(code));
        setField(header, "CONTROLACCOUNT", TextValue(controlAccount));
        setField(header, "COMPANYNAME", "CASH SALES");
        if (eInvoice)
            writeGeneralPublic(header);
        header->invoke("Post");
        saveAndClose(master);
        return;
    }
    if (!eInvoice)
        return;
    setParam(master, "CODE", key.toText());
    master->invoke("Open");
    const bool consolidated = fieldValue(header, "SUBMISSIONTYPE", "AsString").toText() ==
                                  std::to_string(ConsolidateSubmission) &&
                              fieldValue(header, "TIN", "AsString").toText() == GeneralPublicTin;
    if (consolidated) {
        master.close();
        return;
    }
    master->invoke("Edit");
    writeGeneralPublic(header);
    header->invoke("Post");
    saveAndClose(master);
}

void sendParty(BusinessObject& master, const AutoObjectPtr& header, const AutoObjectPtr& branch,
               const Dataset& row, const QString& codeColumn, const QString& controlAccount) {
    const QString code = row.field(codeColumn).asString().trimmed();
    QString name = text(row, "M_DESC");
    if (name.isEmpty())
        name = code;
    openOrNew(master, code, "CODE");
    setField(header, "CODE", TextValue(code));
    setField(header, "CONTROLACCOUNT", TextValue(controlAccount));
    setField(header, "COMPANYNAME", TextValue(name));
    setField(header, "GSTNO", TextValue(text(row, "M_GST_NO")));
    header->invoke("Post");
    branch->invoke("Edit");
    setField(branch, "CODE", TextValue(code));
    setField(branch, "ADDRESS1", TextValue(text(row, "M_ADDR1")));
    setField(branch, "ADDRESS2", TextValue(text(row, "M_ADDR2")));
    setField(branch, "ADDRESS3", TextValue(text(row, "M_ADDR3")));
    setField(branch, "PHONE1", TextValue(text(row, "M_TEL")));
    setField(branch, "PHONE2", TextValue(text(row, "M_HPHONE")));
    setField(branch, "ATTENTION", TextValue(text(row, "M_PTC")));
    setField(branch, "FAX1", TextValue(text(row, "M_FAX")));
    setField(branch, "EMAIL", TextValue(text(row, "M_EMAIL")));
    branch->invoke("Post");
    saveAndClose(master);
}

// A new stock item gets the unit every document line names ("UNIT", rate 1, the base unit): the
// package keeps no item without a unit. An item the package holds keeps its units.
void sendStockItem(BusinessObject& master, const AutoObjectPtr& header, const AutoObjectPtr& units,
                   const Dataset& row, const PackageBuild& build) {
    const QString code = text(row, "M_PLUCODE");
    QString description = text(row, "M_SHORTDESC");
    if (description.isEmpty())
        description = code;
    const bool isNew = openOrNew(master, code, "DocKey");
    setField(header, "CODE", TextValue(code));
    setField(header, "DESCRIPTION", TextValue(description));
    if (isNew) {
        units->invoke("Append");
        setField(units, "UOM", "UNIT");
        setField(units, "Rate", 1.0);
        setField(units, "IsBase", FlagValue(build, "IsBase", true));
        units->invoke("Post");
    }
    saveAndClose(master);
}

} // namespace

QString CashSalesCustomerCode(const QString& controlAccount) {
    const int dash = controlAccount.indexOf(QLatin1Char('-'));
    return controlAccount.left(qMax(dash, 0)) + QStringLiteral("-POS");
}

bool SQLAccExportMaster(const PostingSources& sources, const QString& ModuleCode,
                        const QString& ControlAccount, const QString& Selection) {
    Query rows(&sources.app);
    rows.setSql(masterSql(ModuleCode, Selection));
    // One session for the master export, unless it is part of a longer run.
    const PackageRunSession run;
    SQLAccLogin();
    const PackageSession& session = CurrentPackageSession();

    BusinessObject master(session.app, ModuleCode.toStdString());
    const AutoObjectPtr header = findDataSet(master, "MainDataSet");
    AutoObjectPtr branch;
    AutoObjectPtr units;
    if (isStockItem(ModuleCode))
        units = findDataSet(master, "cdsUOM");
    else
        branch = findDataSet(master, "cdsBranch");
    if (ModuleCode == QLatin1String("AR_CUSTOMER"))
        ensureCashSalesCustomer(
            master, header, ControlAccount,
            EInvoicePosting(SettingsFile(SettingsFile::defaultPath()), session));

    rows.open();
    const QString codeColumn = ModuleCode == QLatin1String("AP_SUPPLIER")
                                   ? QStringLiteral("M_CREDITOR")
                                   : QStringLiteral("M_DEBTOR");
    for (rows.first(); !rows.eof(); rows.next()) {
        if (isStockItem(ModuleCode))
            sendStockItem(master, header, units, rows, session.build);
        else
            sendParty(master, header, branch, rows, codeColumn, ControlAccount);
    }
    return true;
}
