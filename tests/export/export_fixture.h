#pragma once

#include <QDateTime>
#include <QStringList>
#include <QVariantHash>

class DbConnection;
class TdmPolling;

// Source rows for the search tests: each function gives the columns of one document that every
// search of its kind takes (store S001, dated 20 March 2024, not exported); a test changes the
// columns its case is about.
namespace ExportFixture {

QDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0);

// The base values with `changes` applied over them.
QVariantHash With(QVariantHash base, const QVariantHash& changes);

// INSERT of one row, values bound (not quoted into the text).
void InsertRow(DbConnection& db, const QString& table, const QVariantHash& values);

// A header of STK_MLEDGER that the search of the given stock-document kind takes.
QVariantHash LedgerRow(const QString& moduleCode, const QString& id = QStringLiteral("L1"));
// A line of STK_SLEDGER for that header: one P1 at 100.00 with 6.00 tax under SR.
QVariantHash LedgerLineRow(const QString& id, int seq = 1);
QVariantHash ReceiptRow(); // POS_SALES
QVariantHash CloseRow();   // POS_CLOSEINFO
// A row of AR_TRANS of the given receivable kind (TD_DOCNO prefix + "0001", line 1): 100.00 with
// 6.00 tax under SR, net total 106.00.
QVariantHash ReceivableRow(const QString& moduleCode);

// Empties every source table, the stations' jobs and the work table.
void WipeTables(TdmPolling& data);

// Station jobs: S001 and S005 have every document job with the Manual option ("RM"), S002 has
// them without it ("NRS"), S003 has no job, S004 has Manual only on an unrelated job (TRNOUT).
void AddStationJobs(DbConnection& stock);
// What the batch command's tests export: the batch user BATCH (password SECRET, its group ACC
// with the access ACCTLI), the customer C001 (with the debtor code given, none when empty), the
// station jobs, and the three sales invoices IV-1 to IV-3 with a line each.
void AddBatchExportData(TdmPolling& data, const QString& debtor = QString());
void AddJob(DbConnection& stock, const QString& store, const QString& job, const QString& status);

// True while another connection runs a statement that names `table` (one that waits for a row
// this test holds, for instance), as the engine's monitoring tables show it.
bool OtherConnectionRunsStatementOn(DbConnection& db, const QString& table);

// Values of one column of the work-table rows of a kind, sorted.
QStringList WorkColumn(DbConnection& stock, const QString& moduleCode, const QString& column);

// The stand-in package of the installation in `folder`: Package/DEFAULT.DCF (user ADMIN,
// password ADMIN) and Package/ACC-0001.FDB, holding the codes that the settings' defaults name,
// the tax codes SR (6%) and ZR, and the item P1 that the fixture's lines sell.
void CreateTestPackage(const QString& folder);
// The codes and the stock item P1 that the test documents name, in the package whose data
// collection file is dcf; the accounts and terms as the settings file gives them.
void AddTestPackageCodes(const QString& dcf, const QString& settingsFile);
// The numbers of every document the stand-in package of the installation in `folder` holds,
// sorted.
QStringList PackageDocumentNumbers(const QString& folder);

} // namespace ExportFixture
