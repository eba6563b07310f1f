#include "tests/export/export_fixture.h"

#include "config/settings_file.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "data/sql_quote.h"
#include "export/module_codes.h"
#include "standin/package_codes.h"
#include "standin/package_dump.h"
#include "standin/package_setup.h"

#include <QJsonArray>
#include <QJsonObject>

#include <QSqlError>
#include <QSqlQuery>

namespace ExportFixture {

QDateTime At(int year, int month, int day, int hour, int minute, int second) {
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second));
}

QVariantHash With(QVariantHash base, const QVariantHash& changes) {
    for (auto it = changes.begin(); it != changes.end(); ++it)
        base.insert(it.key(), it.value());
    return base;
}

void InsertRow(DbConnection& db, const QString& table, const QVariantHash& values) {
    QStringList columns = values.keys();
    columns.sort();
    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    QSqlQuery query(db.database());
    if (!query.prepare(
            QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                .arg(table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")))))
        throw DbError(EngineErrorText(query.lastError()));
    for (const QString& column : columns)
        query.addBindValue(values.value(column));
    if (!query.exec())
        throw DbError(EngineErrorText(query.lastError()));
}

QVariantHash LedgerRow(const QString& moduleCode, const QString& id) {
    QVariantHash row{{"S_ID", id},
                     {"S_STATUS", "P"},
                     {"S_STORE_FROM", "S001"},
                     {"S_REFNO", "0000000500"},
                     {"S_AR_INVOICE_NO", "IV-500"},
                     {"S_DATE", At(2024, 3, 20, 9, 30)},
                     {"S_CUSTOMER", "C001"},
                     {"S_SUPPLIER", "V001"},
                     {"S_QTY", 5.0},
                     {"S_TAXAMT", 6.0},
                     {"S_TOTAL", 100.0},
                     {"S_NETTOTAL", 106.0},
                     {"S_COSTTOTAL", 80.0},
                     {"S_COSTNETTTL", 84.8},
                     {"S_TOARSYS", "F"},
                     {"S_EXPORT_ACCT", "F"}};
    if (moduleCode == QLatin1String(ModuleCodes::SalesInvoice)) {
        row["S_DOCUMENT"] = "D";
    } else if (moduleCode == QLatin1String(ModuleCodes::SalesCreditNote)) {
        row["S_DOCUMENT"] = "D";
        row["S_QTY"] = -5.0;
        row["S_TAXAMT"] = -0.6;
        row["S_TOTAL"] = -10.0;
        row["S_NETTOTAL"] = -10.6;
    } else if (moduleCode == QLatin1String(ModuleCodes::PurchaseInvoice)) {
        row["S_DOCUMENT"] = "R";
    } else {
        row["S_DOCUMENT"] = "E";
    }
    return row;
}

QVariantHash LedgerLineRow(const QString& id, int seq) {
    return {{"S_ID", id},         {"S_SEQ", seq},     {"S_PLUCODE", "P1"},
            {"S_QTY", 1.0},       {"S_PRICE", 100.0}, {"S_TOTAL", 100.0},
            {"S_TAX_CODE", "SR"}, {"S_TAX_AMT", 6.0}, {"S_EXPORT_ACCT", "F"}};
}

QVariantHash ReceiptRow() {
    return {{"SALES_STORE", "S001"},
            {"SALES_CTRNO", "01"},
            {"SALES_TRANSNO", 12345},
            {"SALES_RCPTNO", 12345},
            {"SALES_DATETIME", At(2024, 3, 20, 14, 35, 10)},
            {"SALES_CLOSEDATE", At(2024, 3, 20)},
            {"SALES_STATUS", "NS"},
            {"SALES_TAX1", 6.0},
            {"SALES_NETSALES", 106.0},
            {"SALES_ROUND_ADJ", 0.02},
            {"SALES_EXPORT_ACCT", "F"}};
}

QVariantHash CloseRow() {
    return {{"CI_STORE", "S001"},   {"CI_CTRNO", "01"},       {"CI_CLOSEDATE", At(2024, 3, 20)},
            {"SALES_STATUS", "NS"}, {"CI_GROSS", 100.0},      {"CI_NETSALES", 105.98},
            {"CI_TAX1", 6.0},       {"CI_TOTROUNDING", 0.02}, {"CI_EXPORT_ACCT", "F"}};
}

QVariantHash ReceivableRow(const QString& moduleCode) {
    const QString prefix = ReceivablePrefix(moduleCode);
    return {{"TD_DOCNO", prefix + "0001"}, {"TD_SEQ", 1},
            {"TD_TYPE", prefix},           {"TD_STORE", "S001"},
            {"TD_REFERENCE", "REF-1"},     {"TD_DATE", At(2024, 3, 20, 15, 45)},
            {"TD_CUSTID", "C001"},         {"TD_TAX_CODE", "SR"},
            {"TD_TAX_AMT", 6.0},           {"TD_TOTAL", 100.0},
            {"TD_NETTOTAL", 106.0},        {"TD_BALANCE", 50.5},
            {"TD_EXPORT_ACCT", "F"}};
}

void WipeTables(TdmPolling& data) {
    for (const char* table :
         {"POS_SALES", "POS_CLOSEINFO", "STK_MLEDGER", "ACC_STATION_JOB", "TMP_EXPORT_ACCT"})
        data.dbStk.execute(QStringLiteral("DELETE FROM ") + QLatin1String(table));
    data.dbAR.execute(QStringLiteral("DELETE FROM AR_TRANS"));
}

void AddJob(DbConnection& stock, const QString& store, const QString& job, const QString& status) {
    InsertRow(stock, QStringLiteral("ACC_STATION_JOB"),
              {{"P_STORE", store}, {"P_FILE", job}, {"P_TYPE", "STK"}, {"P_STATUS", status}});
}

void AddStationJobs(DbConnection& stock) {
    const QStringList documentJobs{"SLSTRN", "DELIVE", "RETURN", "RECEIV"};
    for (const QString& job : documentJobs) {
        AddJob(stock, QStringLiteral("S001"), job, QStringLiteral("RM"));
        AddJob(stock, QStringLiteral("S005"), job, QStringLiteral("RM"));
        AddJob(stock, QStringLiteral("S002"), job, QStringLiteral("NRS"));
    }
    AddJob(stock, QStringLiteral("S004"), QStringLiteral("TRNOUT"), QStringLiteral("M"));
}

bool OtherConnectionRunsStatementOn(DbConnection& db, const QString& table) {
    return SelectValue(db,
                       QStringLiteral("SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$STATE = 1 AND "
                                      "MON$ATTACHMENT_ID <> CURRENT_CONNECTION AND MON$SQL_TEXT "
                                      "CONTAINING ?"),
                       {table})
               .toInt() > 0;
}

QStringList WorkColumn(DbConnection& stock, const QString& moduleCode, const QString& column) {
    QStringList values;
    RowReader reader(stock, QStringLiteral("SELECT %1 FROM TMP_EXPORT_ACCT WHERE S_MODULE = %2")
                                .arg(column, QuotedStr(moduleCode)));
    while (reader.next())
        values << reader.value(0).toString();
    values.sort();
    return values;
}

void CreateTestPackage(const QString& folder) {
    const QString packageFolder = folder + QStringLiteral("/Package");
    const QString dcf = packageFolder + QStringLiteral("/DEFAULT.DCF");
    CreatePackageDatabase(dcf, packageFolder, QStringLiteral("ACC-0001.FDB"),
                          QStringLiteral("ADMIN"), QStringLiteral("ADMIN"));
    AddTestPackageCodes(dcf, folder + QStringLiteral("/Defaults.ini"));
}

void AddTestPackageCodes(const QString& dcf, const QString& settingsFile) {
    const AliasTarget database = PackageDatabaseTarget(ReadPackageDcf(dcf), "ACC-0001.FDB");
    QList<PackageCode> codes = PackageCodesOfSettings(SettingsFile(settingsFile));
    codes << PackageCode{"TAX", "SR", "Standard rated", 6, false}
          << PackageCode{"TAX", "ZR", "Zero rated", 0, false};
    AddPackageCodes(database, codes);
    DbConnection db(QStringLiteral("TestPackageItems"), database);
    db.execute("INSERT INTO SA_MASTER (MASTERKEY, BIZOBJECT, CODE, DESCRIPTION) VALUES (NEXT "
               "VALUE FOR SA_KEY, 'ST_ITEM', 'P1', 'P1')");
    db.execute("INSERT INTO SA_ITEM_UOM (UOMKEY, MASTERKEY, UOM, RATE, ISBASE) SELECT NEXT VALUE "
               "FOR SA_KEY, MASTERKEY, 'UNIT', 1, 'T' FROM SA_MASTER WHERE CODE = 'P1'");
}

void AddBatchExportData(TdmPolling& data, const QString& debtor) {
    InsertRow(data.dbApp, "MAS_USER",
              {{"M_CODE", "BATCH"},
               {"M_DESC", "Night run"},
               {"M_USERGROUP", "ACC"},
               {"M_PASSWORD", "SECRET"},
               {"M_ACTIVE", "T"},
               {"M_DATEFROM", At(2000, 1, 1, 0, 0)},
               {"M_DATETO", At(2000, 1, 1, 23, 59, 59)}});
    InsertRow(data.dbSys, "MAS_USERGROUPACCESS", {{"M_CODE", "ACC"}, {"M_ACCESS", "ACCTLI"}});
    QVariantHash customer{{"M_CODE", "C001"}, {"M_DESC", "Corner shop"}, {"M_EXPORT_ACCT", "F"}};
    if (!debtor.isEmpty())
        customer.insert("M_DEBTOR", debtor);
    InsertRow(data.dbApp, "MAS_CUSTOMER", customer);
    AddStationJobs(data.dbStk);
    for (const QString id : {"1", "2", "3"}) {
        InsertRow(data.dbStk, "STK_MLEDGER",
                  With(LedgerRow("SL_IV", id), {{"S_AR_INVOICE_NO", "IV-" + id}}));
        InsertRow(data.dbStk, "STK_SLEDGER", LedgerLineRow(id));
    }
}

QStringList PackageDocumentNumbers(const QString& folder) {
    QStringList numbers;
    const QJsonObject dump =
        DumpPackage(PackageDumpTarget(folder + QStringLiteral("/Package/DEFAULT.DCF"), QString()));
    for (const QJsonValue document : dump["documents"].toArray())
        numbers << document["DOCNO"].toString();
    numbers.sort();
    return numbers;
}

} // namespace ExportFixture
