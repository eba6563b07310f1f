// The scheduled run's choice of stores, its dry run, the export lock between two holders, and the
// reconciliation of documents at the source with those posted: real embedded databases.
#include "config/settings_file.h"
#include "data/dm_polling.h"
#include "data/query.h"
#include "export/document_search.h"
#include "export/export_run_lock.h"
#include "export/module_codes.h"
#include "export/posting_journal.h"
#include "export/reconciliation.h"
#include "export/scheduled_export.h"
#include "sqlacc/biz_app_factory.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/standin_package.h"
#include "tests/export/export_fixture.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QtTest>

using namespace ExportFixture;

class TestScheduledExport : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void scheduleTakesStoresWhoseJobHoldsS_data();
    void scheduleTakesStoresWhoseJobHoldsS();
    void receivablesOnlyWhenAsked_data();
    void receivablesOnlyWhenAsked();
    void dryRunLeavesTheWorkTableAsItWas();

    void secondRunIsRefusedNamingTheFirst();

    void reconcileCountsSourcePostedAndOutstanding();

private:
    void addDocument(const QString& kind, const QString& id, const QString& store = "S001",
                     const QString& flag = "F", const QDateTime& at = At(2024, 3, 20, 9, 30));
    ScheduledKind dryRunOf(const QString& kind, const ScheduleOptions& options = {});

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> data;
    std::unique_ptr<SettingsFile> settings;
};

void TestScheduledExport::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    data = std::make_unique<TdmPolling>(TdmPolling::OpenMode::ConnectionsOnly);
    settings = std::make_unique<SettingsFile>();
}

void TestScheduledExport::cleanup() {
    settings.reset();
    data.reset();
    context.reset();
}

void TestScheduledExport::addDocument(const QString& kind, const QString& id, const QString& store,
                                      const QString& flag, const QDateTime& at) {
    if (kind == QLatin1String(ModuleCodes::CashSales)) {
        InsertRow(data->dbStk, "POS_SALES",
                  With(ReceiptRow(), {{"SALES_STORE", store},
                                      {"SALES_TRANSNO", id.toInt()},
                                      {"SALES_RCPTNO", id.toInt()},
                                      {"SALES_DATETIME", at},
                                      {"SALES_EXPORT_ACCT", flag}}));
    } else if (IsReceivableCode(kind)) {
        InsertRow(data->dbAR, "AR_TRANS",
                  With(ReceivableRow(kind), {{"TD_DOCNO", ReceivablePrefix(kind) + id},
                                             {"TD_STORE", store},
                                             {"TD_DATE", at},
                                             {"TD_EXPORT_ACCT", flag}}));
    } else {
        InsertRow(data->dbStk, "STK_MLEDGER",
                  With(LedgerRow(kind, kind + id),
                       {{"S_STORE_FROM", store}, {"S_DATE", at}, {"S_EXPORT_ACCT", flag}}));
    }
}

ScheduledKind TestScheduledExport::dryRunOf(const QString& kind, const ScheduleOptions& options) {
    DocumentSearch search(*data, *settings, DocumentSearch::ViewReading::CountOnly);
    ScheduleOptions dry = options;
    dry.dryRun = true;
    for (const ScheduledKind& done : ScheduledExport(*data, *settings, search, {}).Run(dry))
        if (done.moduleCode == kind)
            return done;
    return {};
}

void TestScheduledExport::scheduleTakesStoresWhoseJobHoldsS_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("status");
    for (const QString kind : {"SL_CS", "SL_IV", "SL_CN", "PH_PI", "PH_SC"})
        for (const QString status : {"S", "M", "MS", "NRMS", "N", ""})
            QTest::addRow("%s job %s", qPrintable(kind),
                          status.isEmpty() ? "without options" : qPrintable(status))
                << kind << status;
}

// A store is taken by the schedule when its job of the kind holds S, by the window when it holds
// M; with both it is taken by both. The job must be the kind's own: the other jobs hold S.
void TestScheduledExport::scheduleTakesStoresWhoseJobHoldsS() {
    QFETCH(QString, kind);
    QFETCH(QString, status);
    const QString job = StationJobCode(kind);
    for (const QString other : {"SLSTRN", "DELIVE", "RETURN", "RECEIV"})
        AddJob(data->dbStk, "S001", other, other == job ? status : QStringLiteral("MS"));
    AddJob(data->dbStk, "S009", job, "S"); // a station of a store without documents
    // The sales credit note and the purchase return share the RETURN job: each kind must find
    // only its own documents.
    addDocument(kind, "1");
    addDocument(kind, "2", "S003"); // a store without any job

    const ScheduledKind scheduled = dryRunOf(kind);
    QCOMPARE(scheduled.moduleCode, kind);
    QCOMPARE(scheduled.stations, status.contains('S') ? 2 : 1);
    QCOMPARE(scheduled.found, status.contains('S') ? 1 : 0);
    DocumentSearch window(*data, *settings);
    QCOMPARE(window.SearchStockDocuments(kind, StockSearchFilter{}), status.contains('M') ? 1 : 0);
}

void TestScheduledExport::receivablesOnlyWhenAsked_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("asked");
    for (const QString kind : {"AR_IV", "AR_DN", "AR_CN", "AR_PM"}) {
        QTest::addRow("%s with --receivables", qPrintable(kind)) << kind << true;
        QTest::addRow("%s without", qPrintable(kind)) << kind << false;
    }
}

// No station job governs the receivable kinds, so the schedule takes them only when asked, and
// then every unexported one, as the window's Search All does.
void TestScheduledExport::receivablesOnlyWhenAsked() {
    QFETCH(QString, kind);
    QFETCH(bool, asked);
    addDocument(kind, "1", "S003");
    ScheduleOptions options;
    options.receivables = asked;
    const ScheduledKind scheduled = dryRunOf(kind, options);
    QCOMPARE(scheduled.moduleCode, asked ? kind : QString());
    QCOMPARE(scheduled.found, asked ? 1 : 0);
}

void TestScheduledExport::dryRunLeavesTheWorkTableAsItWas() {
    AddJob(data->dbStk, "S001", "DELIVE", "MS");
    addDocument("SL_IV", "1");
    addDocument("SL_IV", "2");
    DocumentSearch window(*data, *settings);
    QCOMPARE(window.SearchStockDocuments("SL_IV", StockSearchFilter{}), 2);
    data->dbStk.execute("UPDATE TMP_EXPORT_ACCT SET S_EXPORT_ACCT = 'T' WHERE S_ID = 'SL_IV1'");
    addDocument("SL_IV", "3"); // a new document since the window's search

    // Without a package to ask, the dry run still counts, and says why it did not check.
    SetBizAppFactory({});
    const ScheduledKind unchecked = dryRunOf("SL_IV");
    QCOMPARE(unchecked.found, 3);
    QVERIFY(!unchecked.check && !unchecked.checkError.isEmpty());
    QVERIFY(unchecked.error.isEmpty());

    // With the package, it checks what it found: the third document names a customer no master
    // holds; the other two have no lines, which is only noted.
    CreateTestPackage(context->folder());
    settings->writeString("SQLACC", "DCF", context->path("Package/DEFAULT.DCF"));
    UseStandinPackage();
    InsertRow(data->dbStk, "STK_SLEDGER", LedgerLineRow("SL_IV3"));
    const ScheduledKind checked = dryRunOf("SL_IV");
    ReleaseBizApp();
    SetBizAppFactory({});
    QCOMPARE(checked.found, 3);
    QVERIFY2(checked.check, qPrintable(checked.checkError));
    QCOMPARE(checked.check->summaryText(), "3 documents checked: 2 ready, 1 would be refused");
    QCOMPARE(checked.check->documents.value(2).statusText(),
             "Would be refused: customer \"C001\" has no master in the back office");
    QCOMPARE(WorkColumn(data->dbStk, "SL_IV", "S_ID || ':' || S_EXPORT_ACCT"),
             (QStringList{"SL_IV1:T", "SL_IV2:F"}));
    QCOMPARE(SelectValue(data->dbStk, "SELECT COUNT(*) FROM ACC_EXPORT_RUN").toInt(), 0);
}

void TestScheduledExport::secondRunIsRefusedNamingTheFirst() {
    std::optional<ExportRunLock> first;
    first.emplace(data->dbStk, ExportRunIdentity{"CLERK", "zantro-link", "Export SL_CS"});
    QVERIFY(first->takenOverText().isEmpty());
    try {
        ExportRunLock second(data->dbStk, {"NIGHT", "zantro-batch", "schedule"});
        QFAIL("a second run must be refused while the first holds the lock");
    } catch (const ExportRunRefused& refused) {
        QVERIFY(refused.holder().has_value());
        QCOMPARE(refused.holder()->runId, first->runId());
        QVERIFY2(refused.message().startsWith("Another export run is in progress: started by "
                                              "CLERK on ") &&
                     refused.message().contains("(zantro-link Export SL_CS, process ") &&
                     refused.message().contains(" since 05/03/2024 10:15:02"),
                 qPrintable(refused.message()));
    }
    const QString firstRun = first->runId();
    first->setOutcome("DONE");
    first.reset();

    ExportRunLock third(data->dbStk, {"NIGHT", "zantro-batch", "schedule"});
    QVERIFY(third.takenOverText().isEmpty()); // the first ended properly
    QCOMPARE(SelectValue(data->dbStk,
                         "SELECT R_OUTCOME FROM ACC_EXPORT_RUN WHERE R_RUN_ID = '" + firstRun + "'")
                 .toString(),
             QStringLiteral("DONE"));
    QVERIFY(SelectValue(data->dbStk, "SELECT R_ENDED FROM ACC_EXPORT_RUN WHERE R_RUN_ID = '" +
                                         third.runId() + "'")
                .isNull());
}

void TestScheduledExport::reconcileCountsSourcePostedAndOutstanding() {
    const QDateTime day1 = At(2024, 3, 20, 9, 30);
    const QDateTime day2 = At(2024, 3, 21, 16, 0);
    addDocument("SL_CS", "1", "S001", "T", day1);
    addDocument("SL_CS", "2", "S001", "F", day1);
    addDocument("SL_CS", "3", "S002", "F", day2);
    addDocument("SL_IV", "1", "S001", "T", day2);
    addDocument("PH_PI", "1", "S001", "F", day1);
    InsertRow(data->dbStk, "STK_MLEDGER", With(LedgerRow("PH_PI", "X"), {{"S_STATUS", "H"}}));
    // A receivable document of two rows counts once, with its net total once.
    addDocument("AR_IV", "1", "S001", "T", day1);
    InsertRow(
        data->dbAR, "AR_TRANS",
        With(ReceivableRow("AR_IV"),
             {{"TD_DOCNO", "INV/1"}, {"TD_SEQ", 2}, {"TD_DATE", day1}, {"TD_EXPORT_ACCT", "T"}}));
    addDocument("AR_IV", "2", "S001", "F", At(2024, 3, 22)); // outside the range
    PostingJournalWriter journal(data->dbStk, "RUN", "CLERK");
    JournalEntry posted;
    posted.store = "S001";
    posted.moduleCode = "SL_CS";
    posted.documentNumber = "S001-01-000000001";
    posted.date = day1.date();
    journal.record(posted);
    posted.outcome = JournalOutcome::Refused; // a refusal is not counted as sent
    posted.documentNumber = "S001-01-000000002";
    journal.record(posted);

    QStringList rows;
    for (const ReconciliationRow& row :
         Reconcile(*data, *settings, {QDate(2024, 3, 20), QDate(2024, 3, 21), QString()}))
        rows << QStringLiteral("%1 %2 %3: %4 %5 | %6 %7 | %8 %9 | %10")
                    .arg(row.store, row.day.toString(Qt::ISODate), row.moduleCode)
                    .arg(row.atSource)
                    .arg(row.atSourceNet)
                    .arg(row.posted)
                    .arg(row.postedNet)
                    .arg(row.outstanding)
                    .arg(row.outstandingNet)
                    .arg(row.journalled);
    QCOMPARE(rows, (QStringList{"S001 2024-03-20 SL_CS: 2 212 | 1 106 | 1 106 | 1",
                                "S001 2024-03-20 PH_PI: 1 84.8 | 0 0 | 1 84.8 | 0",
                                "S001 2024-03-20 AR_IV: 1 106 | 1 106 | 0 0 | 0",
                                "S001 2024-03-21 SL_IV: 1 106 | 1 106 | 0 0 | 0",
                                "S002 2024-03-21 SL_CS: 1 106 | 0 0 | 1 106 | 0"}));
    QCOMPARE(Reconcile(*data, *settings, {QDate(2024, 3, 20), QDate(2024, 3, 21), "S002"}).size(),
             1);
}

QTEST_GUILESS_MAIN(TestScheduledExport)
#include "test_scheduled_export.moc"
