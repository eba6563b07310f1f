#pragma once

#include "data/connection.h"
#include "data/query.h"
#include "data/table.h"

#include <QString>

// Stations, jobs, stores, masters and the export work table. Created by the main window after
// dmMMGroupAccess and freed when the main window closes.
class TdmPolling {
public:
    enum class OpenMode {
        Everything,     // the window: every connection, table and view open from creation on
        ConnectionsOnly // the batch command: connections open, datasets opened by their users
    };

    explicit TdmPolling(OpenMode mode = OpenMode::Everything);
    TdmPolling(const TdmPolling&) = delete;
    TdmPolling& operator=(const TdmPolling&) = delete;

    // Opens every table (what creation does in the window); the views of the export work table
    // are left to their readers.
    void OpenDatasets();

    // The filtered view of the work table for a document module code (SL_CS ... AR_PM), or null
    // for the master codes. Closed until a reader opens it.
    Table* ExportView(const QString& moduleCode);
    static QStringList ExportModuleCodes();

    // Events of tblStation.
    void tblStationAfterInsert(Dataset& dataset);
    void tblStationAfterPost(Dataset& dataset);

    DbConnection dbSys{QStringLiteral("ZaLedvoraSys"), QStringLiteral("ZantSys")};
    DbConnection dbStk{QStringLiteral("ZaLedvoraStk"), QStringLiteral("ZantStk")};
    DbConnection dbApp{QStringLiteral("ZaLedvoraApp"), QStringLiteral("ZantApp")};
    DbConnection dbAR{QStringLiteral("ZaARSys"), QStringLiteral("ARDB")}; // connects on first use
    DbConnection dbFromSys{QStringLiteral("ZaAccProcessOutSys"), QStringLiteral("ZantSys")};
    DbConnection dbFromApp{QStringLiteral("ZaAccProcessOutApp"), QStringLiteral("ZantApp")};
    DbConnection dbFromStk{QStringLiteral("ZaAccProcessOutStk"), QStringLiteral("ZantStk")};
    DbConnection dbFromHis{QStringLiteral("ZaAccProcessOutHis"), QStringLiteral("ZantHis"), true};

    Table tblStore{&dbSys, QStringLiteral("MAS_STORE")};
    Table tblRegion{&dbSys, QStringLiteral("MAS_REGION")};
    Table tblStoreType{&dbSys, QStringLiteral("MAS_STORETYPE")};
    Table tblStation{&dbStk, QStringLiteral("ACC_STATION")};
    Table tblStationSearch{&dbStk, QStringLiteral("ACC_STATION")};
    Table tblJob{&dbStk, QStringLiteral("ACC_STATION_JOB")};
    Table tblDateUpdate{&dbStk, QStringLiteral("MAS_DATE_UPDATE")};
    Table tblCustomer{&dbApp, QStringLiteral("MAS_CUSTOMER")};
    Table tblSupplier{&dbApp, QStringLiteral("MAS_SUPPLIER")};
    Table tblPayment{&dbApp, QStringLiteral("MAS_PAYMENT")};
    Table tblStock{&dbApp, QStringLiteral("MAS_STOCK")};
    Table tblPaymentStore{&dbApp, QStringLiteral("MAS_PAYMENT_STORE")};

    Table tblExport_CS{&dbStk, QStringLiteral("TMP_EXPORT_ACCT")};
    Table tblExport_CINV{&dbStk, QStringLiteral("TMP_EXPORT_ACCT")};
    Table tblExport_SalesCN{&dbStk, QStringLiteral("TMP_EXPORT_ACCT")};
    Table tblExport_PurInv{&dbStk, QStringLiteral("TMP_EXPORT_ACCT")};
    Table tblExport_PurReturn{&dbStk, QStringLiteral("TMP_EXPORT_ACCT")};
    Table tblExport_ARInv{&dbStk, QStringLiteral("TMP_EXPORT_ACCT")};
    Table tblExport_ARDN{&dbStk, QStringLiteral("TMP_EXPORT_ACCT")};
    Table tblExport_ARCN{&dbStk, QStringLiteral("TMP_EXPORT_ACCT")};
    Table tblExport_ARPM{&dbStk, QStringLiteral("TMP_EXPORT_ACCT")};

    Query qryRecord{&dbStk};
    Query qryTmp{&dbStk};
    Query qryAppDB{&dbApp};

private:
    void defineStationFields(Table& station);
    void defineExportView(Table& view, const QString& moduleCode);
};

extern TdmPolling* dmPolling;
