#include "data/dm_polling.h"

#include "data/database_creator.h"
#include "data/sql_quote.h"

TdmPolling* dmPolling = nullptr;

namespace {

struct ViewColumn {
    const char* field;
    const char* label;
    bool amount;
};

const char kAmountFormat[] = "#,##0.00";

} // namespace

TdmPolling::TdmPolling(OpenMode mode) {
    dbSys.open();
    dbStk.open();
    dbApp.open();
    dbFromSys.open();
    dbFromApp.open();
    dbFromStk.open();
    dbFromHis.open();
    EnsureLinkTables(dbStk);

    tblStore.setIndexFieldNames(QStringLiteral("M_CODE"));
    tblStore.display(QStringLiteral("M_CODE")).label = QStringLiteral("Code");
    tblStore.display(QStringLiteral("M_DESC")).label = QStringLiteral("Description");
    tblStore.display(QStringLiteral("M_ODESC")).label = QStringLiteral("Other Description");
    tblStore.addLookupField(QStringLiteral("StoreRegion"), &tblRegion, QStringLiteral("M_REGION"),
                            QStringLiteral("M_CODE"), QStringLiteral("M_DESC"));
    tblStore.addLookupField(QStringLiteral("StoreType"), &tblStoreType, QStringLiteral("M_TYPE"),
                            QStringLiteral("M_CODE"), QStringLiteral("M_DESC"));
    tblStore.setDisplayFields(
        {QStringLiteral("M_CODE"), QStringLiteral("M_DESC"), QStringLiteral("M_ODESC")});
    tblPaymentStore.setIndexFieldNames(QStringLiteral("M_STORE"));
    tblPaymentStore.setMasterSource(&tblStore, {QStringLiteral("M_CODE")},
                                    {QStringLiteral("M_STORE")});

    defineStationFields(tblStation);
    defineStationFields(tblStationSearch);
    tblStation.afterInsert = [this](Dataset& d) { tblStationAfterInsert(d); };
    tblStation.afterPost = [this](Dataset& d) { tblStationAfterPost(d); };
    tblStation.afterDelete = [this](Dataset& d) { tblStationAfterPost(d); };

    tblJob.setIndexFieldNames(QStringLiteral("P_STORE;P_TYPE"));
    tblJob.setMasterSource(&tblStation, {QStringLiteral("P_STORE")}, {QStringLiteral("P_STORE")});
    tblDateUpdate.setIndexFieldNames(QStringLiteral("M_FILE"));
    tblDateUpdate.setMasterSource(&tblJob, {QStringLiteral("P_FILE")}, {QStringLiteral("M_FILE")});

    for (const QString& code : ExportModuleCodes())
        defineExportView(*ExportView(code), code);

    if (mode == OpenMode::Everything)
        OpenDatasets();
}

void TdmPolling::defineStationFields(Table& station) {
    station.addLookupField(QStringLiteral("StationDesc"), &tblStore, QStringLiteral("P_STORE"),
                           QStringLiteral("M_CODE"), QStringLiteral("M_DESC"));
    station.addLookupField(QStringLiteral("StationODesc"), &tblStore, QStringLiteral("P_STORE"),
                           QStringLiteral("M_CODE"), QStringLiteral("M_ODESC"));
    station.addLookupField(QStringLiteral("StationRegion"), &tblStore, QStringLiteral("P_STORE"),
                           QStringLiteral("M_CODE"), QStringLiteral("StoreRegion"));
    station.addLookupField(QStringLiteral("StationType"), &tblStore, QStringLiteral("P_STORE"),
                           QStringLiteral("M_CODE"), QStringLiteral("StoreType"));
    station.display(QStringLiteral("P_STORE")).label = QStringLiteral("Store");
    station.display(QStringLiteral("StationDesc")).label = QStringLiteral("Description");
    station.display(QStringLiteral("StationODesc")).label = QStringLiteral("Others Description");
    station.display(QStringLiteral("P_ACTIVE")).label = QStringLiteral("Activate");
    station.setDisplayFields(
        {QStringLiteral("P_STORE"), QStringLiteral("StationDesc"), QStringLiteral("StationODesc")});
}

void TdmPolling::defineExportView(Table& view, const QString& moduleCode) {
    view.setFilter(QStringLiteral("S_MODULE=") + QuotedStr(moduleCode));
    view.setFiltered(true);
    static const ViewColumn storeColumns[] = {
        {"S_STORE_FROM", "Store", false}, {"S_REFNO", "Doc. No.", false},
        {"S_DATE", "Doc. Date", false},   {"S_TOTAL", "Gross Amt", true},
        {"S_TAXAMT", "Tax Amt.", true},   {"S_NETTOTAL", "Net Amt.", true}};
    static const ViewColumn arColumns[] = {
        {"S_ID", "Doc. No", false},     {"S_DATE", "Doc. Date", false},
        {"S_REFNO", "Ref. No", false},  {"S_TOTAL", "Gross Amt", true},
        {"S_TAXAMT", "Tax Amt.", true}, {"S_NETTOTAL", "Net Amt.", true}};
    static const ViewColumn paymentColumns[] = {{"S_ID", "Doc. No", false},
                                                {"S_DATE", "Doc. Date", false},
                                                {"S_REFNO", "Ref. No", false},
                                                {"S_TOTAL", "Total", true},
                                                {"S_BALANCE", "Balance", true}};
    QList<ViewColumn> columns;
    if (moduleCode == QLatin1String("AR_PM"))
        columns = QList<ViewColumn>(std::begin(paymentColumns), std::end(paymentColumns));
    else if (moduleCode.startsWith(QLatin1String("AR_")))
        columns = QList<ViewColumn>(std::begin(arColumns), std::end(arColumns));
    else
        columns = QList<ViewColumn>(std::begin(storeColumns), std::end(storeColumns));

    QStringList shown{QStringLiteral("S_EXPORT_ACCT")};
    Dataset::FieldDisplay& tick = view.display(QStringLiteral("S_EXPORT_ACCT"));
    tick.label = QStringLiteral("Select");
    tick.checkBox = true;
    for (const ViewColumn& column : columns) {
        const QString field = QLatin1String(column.field);
        shown << field;
        Dataset::FieldDisplay& display = view.display(field);
        display.label = QLatin1String(column.label);
        display.readOnly = true;
        if (column.amount)
            display.displayFormat = QLatin1String(kAmountFormat);
    }
    if (moduleCode == QLatin1String("SL_CS")) {
        view.display(QStringLiteral("S_REFNO")).label = QStringLiteral("Doc No");
        view.display(QStringLiteral("S_REFNO")).readOnly = false;
    }
    if (moduleCode == QLatin1String("AR_PM"))
        view.display(QStringLiteral("S_BALANCE")).readOnly = false;
    view.display(QStringLiteral("S_STORE_FROM")).displayWidth = 4;
    view.setDisplayFields(shown);
}

void TdmPolling::OpenDatasets() {
    tblRegion.open();
    tblStoreType.open();
    tblStore.open();
    tblPaymentStore.open();
    tblStationSearch.open();
    tblStation.open();
    tblJob.open();
    tblDateUpdate.open();
    tblCustomer.open();
    tblSupplier.open();
    tblPayment.open();
    tblStock.open();
    // The export work table's views are opened by whoever reads them: the work table can hold
    // hundreds of thousands of rows, which the export window reads a page at a time and nothing
    // else needs at start.
}

QStringList TdmPolling::ExportModuleCodes() {
    return {QStringLiteral("SL_CS"), QStringLiteral("SL_IV"), QStringLiteral("SL_CN"),
            QStringLiteral("PH_PI"), QStringLiteral("PH_SC"), QStringLiteral("AR_IV"),
            QStringLiteral("AR_DN"), QStringLiteral("AR_CN"), QStringLiteral("AR_PM")};
}

Table* TdmPolling::ExportView(const QString& moduleCode) {
    if (moduleCode == QLatin1String("SL_CS"))
        return &tblExport_CS;
    if (moduleCode == QLatin1String("SL_IV"))
        return &tblExport_CINV;
    if (moduleCode == QLatin1String("SL_CN"))
        return &tblExport_SalesCN;
    if (moduleCode == QLatin1String("PH_PI"))
        return &tblExport_PurInv;
    if (moduleCode == QLatin1String("PH_SC"))
        return &tblExport_PurReturn;
    if (moduleCode == QLatin1String("AR_IV"))
        return &tblExport_ARInv;
    if (moduleCode == QLatin1String("AR_DN"))
        return &tblExport_ARDN;
    if (moduleCode == QLatin1String("AR_CN"))
        return &tblExport_ARCN;
    if (moduleCode == QLatin1String("AR_PM"))
        return &tblExport_ARPM;
    return nullptr;
}

void TdmPolling::tblStationAfterInsert(Dataset& dataset) {
    // A new station is active unless the user changes it before posting.
    dataset.setValue(QStringLiteral("P_ACTIVE"), QStringLiteral("T"));
}

void TdmPolling::tblStationAfterPost(Dataset&) {
    // The duplicate check of the station window must see the change.
    if (tblStationSearch.isActive())
        tblStationSearch.refresh();
}
