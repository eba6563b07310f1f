#pragma once

// Every section, key and default of the settings file Ledvora.ini, declared once.
//
// A key carries one default, the one the export and posting code reads it with; the preferences
// dialog shows and writes that same default, so opening the dialog and pressing Apply never
// changes what is posted. Where a reader must read a key with another default (to tell a missing
// key from a stored one, or where the other default means the same), the key is declared a second
// time under a name that says which reader (for example `General::LedvoraPathUnset`); the section
// and key name still come from the first declaration, so the spelling lives in one place.

// A text key: section, key name, default as read.
struct SettingKey {
    const char* section;
    const char* name;
    const char* defaultValue;

    // The same key read with another default.
    constexpr SettingKey withDefault(const char* otherDefault) const {
        return {section, name, otherDefault};
    }
};

// A key stored by the boolean accessor as "1" or "0".
struct BoolSettingKey {
    const char* section;
    const char* name;
    bool defaultValue;
};

namespace Keys {

// The SQL Accounting package's own default password, used where no password is stored.
inline constexpr char DefaultPackagePassword[] = "ADMIN";

// Values of GENERAL/ACCOUNT_TYPE. The type code also names the section of that type.
namespace AccountTypes {
inline constexpr char Ubs[] = "UBS";
inline constexpr char AutoCount[] = "AUTOCOUNT";
inline constexpr char SqlAcc[] = "SQLACC";
inline constexpr char AccTrak21[] = "ACCTRAK21";
inline constexpr char AccPac[] = "ACCPAC";
inline constexpr char Emas[] = "EMAS";
} // namespace AccountTypes

namespace General {
inline constexpr char Section[] = "GENERAL";

inline constexpr SettingKey AccountType{Section, "ACCOUNT_TYPE", ""};
// The cash-sales search and the master-data export assume SQL Accounting when no type is stored.
inline constexpr SettingKey AccountTypeForExport = AccountType.withDefault(AccountTypes::SqlAcc);

// Read through AccountingLinkFolder(), which gives a system without drive letters a default of
// its own.
inline constexpr SettingKey LedvoraPath{Section, "LEDVORA_PATH", "C:\\QmxSys\\Office\\DB\\Ledvora"};
// The preferences dialog first reads the folder with no default and stores the folder below the
// program folder when nothing is stored.
inline constexpr SettingKey LedvoraPathUnset = LedvoraPath.withDefault("");
// Appended to the program folder (with the system's separators) to give the folder the
// preferences dialog stores.
inline constexpr char LedvoraFolderBelowProgram[] = "/Db/Ledvora";

inline constexpr SettingKey ChangedDays{Section, "CHANGED_DAYS", "0"};

// Year-first date. Both defaults mean 1 April 2015.
inline constexpr SettingKey GstStartDate{Section, "GSTSTARTDATE", "2015/4/1"};
inline constexpr SettingKey GstStartDateInSearch = GstStartDate.withDefault("2015/04/1");

// A missing mode is By Item, in the preferences dialog as in the search and the posting.
inline constexpr SettingKey ExportMode{Section, "EXPORT_MODE", "0"};
inline constexpr char ExportModeByItem[] = "0";
inline constexpr char ExportModeBySummary[] = "1";

// Flags ("Y"/"N") that only the preferences dialog loads and writes back.
inline constexpr SettingKey ForeignCurrency{Section, "FOREIGN_CURRENCY", ""};
inline constexpr SettingKey ExportToDesp{Section, "EXPORT_TO_DESP", ""};
inline constexpr SettingKey ExportToProjNo{Section, "EXPORT_TO_PROJNO", ""};
inline constexpr SettingKey ExportToBillNo{Section, "EXPORT_TO_BILLNO", ""};

// Kilobytes.
inline constexpr SettingKey LedvoraLogFileSize{Section, "LEDVORALOG_FILESIZE", "0"};
inline constexpr SettingKey StationLogFileSize{Section, "STATIONLOG_FILESIZE", "0"};
} // namespace General

// Flags ("Y"/"N"); a missing key is not set.
namespace Confirmation {
inline constexpr char Section[] = "CONFIRMATION";

inline constexpr SettingKey ConfirmRemove{Section, "CONFIRM_REMOVE", ""};
inline constexpr SettingKey ConfirmExport{Section, "CONFIRM_EXPORT", ""};
inline constexpr SettingKey ConfirmImport{Section, "CONFIRM_IMPORT", ""};
inline constexpr SettingKey ConfirmCopy{Section, "CONFIRM_COPY", ""};
inline constexpr SettingKey ConfirmPaste{Section, "CONFIRM_PASTE", ""};
} // namespace Confirmation

namespace Layout {
inline constexpr char Section[] = "LAYOUT";

inline constexpr SettingKey ToolBar{Section, "TOOL_BAR", "TOP"};
inline constexpr char ToolBarTop[] = "TOP";
inline constexpr char ToolBarRight[] = "RIGHT";
inline constexpr char ToolBarBottom[] = "BOTTOM";
inline constexpr char ToolBarLeft[] = "LEFT";

inline constexpr SettingKey ViewStyle{Section, "VIEW_STYLE", "DETAILS"};
inline constexpr char ViewStyleLarge[] = "LARGE";
inline constexpr char ViewStyleList[] = "LIST";
inline constexpr char ViewStyleDetails[] = "DETAILS";
inline constexpr char ViewStyleSmall[] = "SMALL";

// Sizes the user gave the windows that open in a size of their own, kept between runs: the
// width and height ("1000,640"), and the sizes of a splitter's parts in order ("180,820").
// Missing or unreadable, the window opens in its design size.
inline constexpr SettingKey ExportWindowSize{Section, "EXPORT_WINDOW", ""};
inline constexpr SettingKey ExportSplitter{Section, "EXPORT_SPLITTER", ""};
inline constexpr SettingKey PreferencesWindowSize{Section, "PREFERENCES_WINDOW", ""};
inline constexpr SettingKey PropertiesWindowSize{Section, "PROPERTIES_WINDOW", ""};
inline constexpr SettingKey PropertiesSplitter{Section, "PROPERTIES_SPLITTER", ""};
} // namespace Layout

namespace History {
inline constexpr char Section[] = "HISTORY";

// Day-first date.
inline constexpr SettingKey LastImport{Section, "LAST_IMPORT", ""};
} // namespace History

namespace Ubs {
inline constexpr const char* Section = AccountTypes::Ubs;

inline constexpr SettingKey SalesTransaction{Section, "SALES_TRANSACTION", "GLPost9.dbf"};
inline constexpr SettingKey SalesAccount{Section, "SALES_ACCOUNT", "5000/000"};
inline constexpr SettingKey PurchaseAccount{Section, "PURCHASE_ACCOUNT", "6000/000"};
inline constexpr SettingKey SuspendAccount{Section, "SUSPEND_ACCOUNT", "3000/999"};
inline constexpr SettingKey SundryAccount{Section, "SUNDRY_ACCOUNT", "5300/999"};
// Day-first date, read with no default.
inline constexpr SettingKey ClosingDate{Section, "CLOSING_DATE", ""};
// Whole numbers 1 to 18.
inline constexpr SettingKey StartingPeriod{Section, "STARTING_PERIOD", "1"};
inline constexpr SettingKey ClosingPeriod{Section, "CLOSING_PERIOD", "12"};
inline constexpr BoolSettingKey IncludeRemark{Section, "INCLUDE_REMARK", false};
} // namespace Ubs

namespace AutoCount {
inline constexpr const char* Section = AccountTypes::AutoCount;

inline constexpr SettingKey CashReceipt{Section, "CASH_RECEIPT", "CashRec.dbf"};
inline constexpr SettingKey CashReceiptDetail{Section, "CASH_RECEIPT_DETAIL", "CashRecD.dbf"};
inline constexpr SettingKey Invoice{Section, "INVOICE", "Inv.dbf"};
inline constexpr SettingKey InvoiceDetail{Section, "INVOICE_DETAIL", "InvDtl.dbf"};
inline constexpr SettingKey Payment{Section, "PAYMENT", "Payment.dbf"};
inline constexpr SettingKey PaymentDetail{Section, "PAYMENT_DETAIL", "PymtDtl.dbf"};
inline constexpr SettingKey Bill{Section, "BILL", "Bill.dbf"};
inline constexpr SettingKey BillDetail{Section, "BILL_DETAIL", "BillDtl.dbf"};
inline constexpr SettingKey PayBill{Section, "PAYBILL", "PayBill.dbf"};
inline constexpr SettingKey PayBillDetail{Section, "PAYBILL_DETAIL", "PBillDtl.dbf"};
inline constexpr SettingKey Debtor{Section, "DEBTOR", "Debtor.dbf"};
inline constexpr SettingKey Creditor{Section, "CREDITOR", "Creditor.dbf"};
inline constexpr SettingKey DebtorAccount{Section, "DEBTOR_ACCOUNT", "3000000"};
inline constexpr SettingKey CreditorAccount{Section, "CREDITOR_ACCOUNT", "4000000"};
inline constexpr SettingKey AreaCode{Section, "AREA_CODE", "--------"};
inline constexpr SettingKey AgentCode{Section, "AGENT_CODE", "--------"};
inline constexpr SettingKey PaymentTerm{Section, "PAYMENT_TERM", "C.O.D."};
inline constexpr SettingKey CurrencyCode{Section, "CURRENCY_CODE", "-----"};
inline constexpr SettingKey SuspendAccount{Section, "SUSPEND_ACCOUNT", "3000999"};
inline constexpr SettingKey SalesAccount{Section, "SALES_ACCOUNT", "5000000"};
inline constexpr SettingKey PurchaseAccount{Section, "PURCHASE_ACCOUNT", "6100000"};
inline constexpr SettingKey SundryAccount{Section, "SUNDRY_ACCOUNT", "5300999"};
inline constexpr BoolSettingKey IncludeRemark{Section, "INCLUDE_REMARK", false};
} // namespace AutoCount

namespace AccTrak21 {
inline constexpr const char* Section = AccountTypes::AccTrak21;

inline constexpr SettingKey Debtor{Section, "DEBTOR", "Customer.txt"};
inline constexpr SettingKey Creditor{Section, "CREDITOR", "Vendor.txt"};
inline constexpr SettingKey DebtorAccount{Section, "DEBTOR_ACCOUNT", "BA3005"};
inline constexpr SettingKey CreditorAccount{Section, "CREDITOR_ACCOUNT", "BL1005"};
inline constexpr SettingKey PaymentTerm{Section, "PAYMENT_TERM", "C.O.D."};
inline constexpr SettingKey SuspendAccount{Section, "SUSPEND_ACCOUNT", "BA9999"};
inline constexpr SettingKey SalesTransaction{Section, "SALES_TRANSACTION", "GLPost9.dbf"};
inline constexpr SettingKey SalesAccount{Section, "SALES_ACCOUNT", "PT2005"};
inline constexpr SettingKey PurchaseAccount{Section, "PURCHASE_ACCOUNT", "PU2005"};
// P, one, six, zero.
inline constexpr SettingKey SundryAccount{Section, "SUNDRY_ACCOUNT", "P160"};
} // namespace AccTrak21

namespace AccPac {
inline constexpr const char* Section = AccountTypes::AccPac;

inline constexpr SettingKey ItemMaster{Section, "ITEM_MASTER", "ICMaster.csv"};
inline constexpr SettingKey ItemPrice{Section, "ITEM_PRICE", "ICPrice.csv"};
inline constexpr SettingKey SalesTransaction{Section, "SALES_TRANSACTION", "SalesTrn.csv"};
} // namespace AccPac

// The SQL Accounting package. The defaults are those of the export and posting code, which the
// preferences dialog shows.
namespace SqlAcc {
inline constexpr const char* Section = AccountTypes::SqlAcc;

// Stored in upper case.
inline constexpr SettingKey UserLogin{Section, "USERLOGIN", "ADMIN"};
// Stored in upper case, in plain text.
inline constexpr SettingKey Password{Section, "PASSWORD", DefaultPackagePassword};
inline constexpr SettingKey Dcf{Section, "DCF",
                                "C:\\Program Files\\eStream\\SQLAccounting\\Share\\DEFAULT.DCF"};
// The package's database file.
inline constexpr SettingKey SalesTransaction{Section, "SALES_TRANSACTION", "ACC-0001.FDB"};
// Control accounts. The export code reads these two from the section named by the account type
// (SettingsFile::readFromTypeSection), which is this one while the type is SQLACC.
inline constexpr SettingKey CustomerAccount{Section, "CUSTOMER_ACCOUNT", "300-000"};
inline constexpr SettingKey SupplierAccount{Section, "SUPPLIER_ACCOUNT", "400-000"};
inline constexpr SettingKey AreaCode{Section, "AREA_CODE", "----"};
inline constexpr SettingKey AgentCode{Section, "AGENT_CODE", "----"};
// No final point, unlike the other packages' "C.O.D.".
inline constexpr SettingKey PaymentTerm{Section, "PAYMENT_TERM", "C.O.D"};
inline constexpr SettingKey CurrencyCode{Section, "CURRENCY_CODE", "----"};
inline constexpr SettingKey SalesAccount{Section, "SALES_ACCOUNT", "500-000"};
inline constexpr SettingKey SalesCnAccount{Section, "SALES_CN_ACCOUNT", "510-000"};
inline constexpr SettingKey PurchaseAccount{Section, "PURCHASE_ACCOUNT", "610-000"};
inline constexpr SettingKey PurchaseReturnAccount{Section, "PURCHASE_RETURN_ACCOUNT", "612-000"};
inline constexpr SettingKey PaymentAccount{Section, "PAYMENT_ACCOUNT", "320-000"};
// Item code and description of lines posted By Summary; set only by editing the file.
inline constexpr SettingKey ItemCode{Section, "ITEM_CODE", ""};
inline constexpr SettingKey ItemDesc{Section, "ITEM_DESC", "Product Item"};
// The tariff code sent on lines without an item code and on lines whose tax code needs one
// (sales tax ST, ST5, service tax SV); empty sends none.
inline constexpr SettingKey TariffCode{Section, "TARIFF_CODE", ""};
// The company whose books the link posts into. When set, a run whose package has another
// company's books open stops before its first document.
inline constexpr SettingKey CompanyName{Section, "COMPANY_NAME", ""};
// Flag: cash sales posted for the e-invoice (MyInvois): the cash-sales customer as the general
// public for consolidation, and By Summary cash sales naming their receipts. "N" posts as before.
inline constexpr SettingKey EInvoice{Section, "EINVOICE", "N"};
} // namespace SqlAcc

namespace Emas {
inline constexpr const char* Section = AccountTypes::Emas;

inline constexpr SettingKey IntermediateFile{Section, "INTERMEDIATE_FILE", "glpost9_emas.dbf"};
inline constexpr SettingKey SalesAccount{Section, "SALES_ACCOUNT", "20000/01"};
inline constexpr SettingKey SuspendAccount{Section, "SUSPEND_ACCOUNT", "20000/02"};
inline constexpr SettingKey SundryAccount{Section, "SUNDRY_ACCOUNT", "20000/03"};
inline constexpr SettingKey CustomerAccount{Section, "CUSTOMER_ACCOUNT", "30000/01"};
inline constexpr SettingKey SupplierAccount{Section, "SUPPLIER_ACCOUNT", "40000/01"};
inline constexpr SettingKey TransferAccount{Section, "TRANSFER_ACCOUNT", "50000/01"};
} // namespace Emas

} // namespace Keys
