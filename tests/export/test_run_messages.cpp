// What the export window says after a run, what its Status column says of a document, and the
// posted documents as they are handed on (clipboard and CSV).
#include "export/export_run.h"
#include "export/export_status.h"
#include "export/posted_documents.h"
#include "export/run_messages.h"

#include <QtTest>

Q_DECLARE_METATYPE(ExportRunSummary)

class TestRunMessages : public QObject {
    Q_OBJECT
private slots:
    void refusalNamesTheDocumentAndTheRemedy_data();
    void refusalNamesTheDocumentAndTheRemedy();
    void endOfRunCountsAndSums_data();
    void endOfRunCountsAndSums();
    void statusTextCarriesTheRecord_data();
    void statusTextCarriesTheRecord();
    void documentsAsCsvAndTabText();
};

void TestRunMessages::refusalNamesTheDocumentAndTheRemedy_data() {
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    const QString customer = "\r\nExport the Customer Profile first: choose Customer Profile in "
                             "this dialog, then Export";
    const QString supplier = "\r\nExport the Supplier Profile first: choose Supplier Profile in "
                             "this dialog, then Export";
    QTest::newRow("customer missing")
        << "SL_CS: customer code \"300-POS\" does not exist"
        << "DOC-1: SL_CS: customer code \"300-POS\" does not exist" + customer;
    QTest::newRow("supplier missing")
        << "PH_PI: supplier code \"400-V001\" does not exist"
        << "DOC-1: PH_PI: supplier code \"400-V001\" does not exist" + supplier;
    QTest::newRow("debtor not found, other words")
        << "Debtor account 300-C9 not found"
        << "DOC-1: Debtor account 300-C9 not found" + customer;
    QTest::newRow("creditor unknown") << "Creditor 400-V9 is unknown"
                                      << "DOC-1: Creditor 400-V9 is unknown" + supplier;
    QTest::newRow("another refusal: no remedy")
        << "SL_IV: document number \"IV-1\" already exists"
        << "DOC-1: SL_IV: document number \"IV-1\" already exists";
    QTest::newRow("customer named, nothing missing")
        << "Customer C001 is over its credit limit"
        << "DOC-1: Customer C001 is over its credit limit";
}

void TestRunMessages::refusalNamesTheDocumentAndTheRemedy() {
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QCOMPARE(ExportRefusalText(ExportRefusal{"DOC-1", message}), shown);
}

void TestRunMessages::endOfRunCountsAndSums_data() {
    QTest::addColumn<ExportRunSummary>("summary");
    QTest::addColumn<QString>("text");
    const auto record = [](ExportRowResult result, double net) {
        ExportDocumentRecord document;
        document.result = result;
        document.netTotal = net;
        return document;
    };
    ExportRunSummary all;
    all.total = all.posted = 2;
    all.documents = {record(ExportRowResult::Posted, 12000.5),
                     record(ExportRowResult::Posted, 345.17)};
    QTest::newRow("all posted") << all << "Completed.\r\n2 posted, 12,345.67";

    ExportRunSummary mixed;
    mixed.total = 5;
    mixed.posted = 1;
    mixed.nothingToPost = 1;
    mixed.refused = 2;
    mixed.alreadyInPackage = 1;
    mixed.documents = {record(ExportRowResult::Posted, 10),
                       record(ExportRowResult::NothingToPost, 99),
                       record(ExportRowResult::Refused, 7), record(ExportRowResult::Refused, 7),
                       record(ExportRowResult::AlreadyInPackage, 3)};
    QTest::newRow("some not posted")
        << mixed
        << "Completed.\r\n1 posted, 10.00; 1 nothing to post; 2 refused\r\n1 document(s) were "
           "already in the accounting package and were only marked as exported.";

    // A payment posted before, whose open knock-offs this run applied, is not "only marked".
    ExportRunSummary reopened;
    reopened.total = 2;
    reopened.alreadyInPackage = 2;
    reopened.knockOffsApplied = 1;
    reopened.documents = {record(ExportRowResult::AlreadyInPackage, 5),
                          record(ExportRowResult::AlreadyInPackage, 8)};
    QTest::newRow("knock-offs applied to a payment posted before")
        << reopened
        << "Completed.\r\n0 posted, 0.00\r\n1 document(s) were already in the accounting package "
           "and were only marked as exported.\r\n1 document(s) already in the accounting package "
           "had the knock-offs left open before applied now.";

    ExportRunSummary stopped;
    stopped.total = 10;
    stopped.posted = 3;
    stopped.stopped = true;
    stopped.documents = {record(ExportRowResult::Posted, 1), record(ExportRowResult::Posted, 2),
                         record(ExportRowResult::Posted, 3)};
    QTest::newRow("stopped") << stopped
                             << "Export stopped.\r\n3 of 10 documents were posted, 6.00.";
}

void TestRunMessages::endOfRunCountsAndSums() {
    QFETCH(ExportRunSummary, summary);
    QFETCH(QString, text);
    QCOMPARE(ExportRunEndText(summary), text);
}

void TestRunMessages::statusTextCarriesTheRecord_data() {
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("remarks");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("attention");
    QTest::newRow("posted") << int(ExportRowResult::Posted) << QString() << QStringList()
                            << "posted" << false;
    QTest::newRow("posted with remarks")
        << int(ExportRowResult::Posted) << QString()
        << QStringList{"2 of 3 knock-offs applied", "the package's total differs by 0.01"}
        << "posted; 2 of 3 knock-offs applied; the package's total differs by 0.01" << false;
    QTest::newRow("refused") << int(ExportRowResult::Refused) << "Disk full" << QStringList()
                             << "refused: Disk full" << true;
    QTest::newRow("already") << int(ExportRowResult::AlreadyInPackage) << QString() << QStringList()
                             << "already in the accounting package" << false;
    QTest::newRow("nothing") << int(ExportRowResult::NothingToPost) << QString() << QStringList()
                             << "nothing to post" << false;
}

void TestRunMessages::statusTextCarriesTheRecord() {
    QFETCH(int, result);
    QFETCH(QString, message);
    QFETCH(QStringList, remarks);
    QFETCH(QString, text);
    QFETCH(bool, attention);
    ExportDocumentRecord record;
    record.sourceId = "7";
    record.store = "S001";
    record.refNo = "000000007";
    record.result = ExportRowResult(result);
    record.message = message;
    record.remarks = remarks;
    const DocumentStatus status = StatusOf(record);
    QCOMPARE(status.text, text);
    QCOMPARE(status.attention, attention);
    QCOMPARE(status.id + status.store + status.refNo, QStringLiteral("7S001000000007"));
}

void TestRunMessages::documentsAsCsvAndTabText() {
    JournalEntry entry;
    entry.documentNumber = "S001-01-000000008";
    entry.party = "300-POS";
    entry.date = QDate(2024, 3, 20);
    entry.netTotal = 1234.5;
    entry.outcome = JournalOutcome::Refused;
    entry.message = "code \"300-POS\", missing\nsee the log";
    entry.store = "S001";
    entry.moduleCode = "SL_CS";
    QCOMPARE(DocumentsAsCsv({entry}),
             QStringLiteral("Document,Party,Date,Amount,Outcome,Package's text,Store,Kind\r\n"
                            "S001-01-000000008,300-POS,20/03/2024,1234.50,refused,\"code "
                            "\"\"300-POS\"\", missing\nsee the log\",S001,SL_CS\r\n"));
    QCOMPARE(DocumentsAsTabText({entry}).split('\n').value(1),
             QStringLiteral("S001-01-000000008\t300-POS\t20/03/2024\t1234.50\trefused\tcode "
                            "\"300-POS\", missing see the log\tS001\tSL_CS"));
}

QTEST_GUILESS_MAIN(TestRunMessages)
#include "test_run_messages.moc"
