// A station's transmission options: loading them from its job rows, the None and header rules,
// the rows saving writes, and the station folders.
#include "config/job_options.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/station_folders.h"
#include "config/station_jobs.h"
#include "core/app_error.h"
#include "data/connection.h"
#include "data/db_error.h"
#include "data/query.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

namespace {

// "DELIVE=NM SLSTRN=M" -> rows with those codes and statuses.
QList<JobRow> storedRows(const QString& text) {
    QList<JobRow> rows;
    for (const QString& item : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        JobRow row;
        row.file = item.section(QLatin1Char('='), 0, 0);
        row.status = item.section(QLatin1Char('='), 1);
        rows.append(row);
    }
    return rows;
}

// The written rows in the same form.
QString writtenRows(const QList<JobRow>& rows) {
    QStringList items;
    for (const JobRow& row : rows)
        items << row.file + QLatin1Char('=') + row.status;
    return items.join(QLatin1Char(' '));
}

// Clicks as the window passes them on, e.g. "AP:1" (a header column of a page), "S.none" (a box
// of a row). Pages: SUP, CUS, AR, AP, S; rows: DO, SR, R, T, S.
void click(JobOptions& options, const QString& action) {
    const QString target = action.section(QRegularExpression(QStringLiteral("[:.]")), 0, 0);
    if (action.contains(QLatin1Char(':'))) {
        const int column = action.section(QLatin1Char(':'), 1).toInt();
        if (target == QLatin1String("SUP"))
            options.supplier.headerClick(column);
        else if (target == QLatin1String("CUS"))
            options.customer.headerClick(column);
        else if (target == QLatin1String("AR"))
            options.delivery.headerClick(column);
        else if (target == QLatin1String("AP")) {
            options.receiving.headerClick(column);
            options.returnOutwards.headerClick(column);
        } else if (target == QLatin1String("S"))
            options.salesTransaction.headerClick(column);
        else
            QFAIL(qPrintable(action));
        return;
    }
    const QHash<QString, StationJob> rows{{QStringLiteral("DO"), StationJob::Delivery},
                                          {QStringLiteral("SR"), StationJob::Receiving},
                                          {QStringLiteral("R"), StationJob::ReturnOutwards},
                                          {QStringLiteral("T"), StationJob::TransferOut},
                                          {QStringLiteral("S"), StationJob::SalesTransaction}};
    QVERIFY2(rows.contains(target), qPrintable(action));
    DocumentOptions& document = options.document(rows.value(target));
    const QString box = action.section(QLatin1Char('.'), 1);
    if (box == QLatin1String("none"))
        document.clickNone();
    else if (box == QLatin1String("rt"))
        document.clickRealTime();
    else if (box == QLatin1String("schedule"))
        document.clickSchedule();
    else
        QFAIL(qPrintable(action));
}

const char kNewStation[] = "DELIVE=N RECEIV=N RETURN=N TRNOUT=N SLSTRN=N";

} // namespace

class TestStationJobs : public QObject {
    Q_OBJECT
private slots:
    void rowsWritten_data();
    void rowsWritten();
    void loadedBoxesFollowTheNoneRule();
    void salesTransactionNeverOffersRealTime();

    void saveReplacesTheStationsRowsOnly();
    void failedSaveKeepsTheOldRows();

    void stationFolders_data();
    void stationFolders();
    void linkFolderOnASystemWithoutDrives_data();
    void linkFolderOnASystemWithoutDrives();
    void folderThatCannotBeCreated();
};

void TestStationJobs::rowsWritten_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<QString>("written");

    QTest::newRow("new station, untouched") << "" << QStringList() << kNewStation;
    QTest::newRow("N and M load and save together")
        << "DELIVE=NM RECEIV=N RETURN=N TRNOUT=N SLSTRN=NM" << QStringList()
        << "DELIVE=NM RECEIV=N RETURN=N TRNOUT=N SLSTRN=NM";
    QTest::newRow("rows written back as loaded (General page only)")
        << "SLSTRN=MS TRNOUT=RS RETURN= RECEIV=NRMS DELIVE=M CUSTOM=A SUPPLI=C" << QStringList()
        << "SUPPLI=C CUSTOM=A DELIVE=M RECEIV=NRMS RETURN= TRNOUT=RS SLSTRN=MS";
    QTest::newRow("profile status the buttons do not know is kept")
        << "SUPPLI=X CUSTOM=I" << QStringList()
        << QStringLiteral("SUPPLI=X CUSTOM=I ") + kNewStation;
    QTest::newRow("a job code matches exactly") << "delive=M" << QStringList() << kNewStation;
    QTest::newRow("sales transaction never carries R")
        << "DELIVE=R RECEIV=N RETURN=N TRNOUT=N SLSTRN=NRMS" << QStringList()
        << "DELIVE=R RECEIV=N RETURN=N TRNOUT=N SLSTRN=NMS";

    QTest::newRow("sales: untick None, then By Schedule by its header")
        << "" << QStringList{"S.none", "S:4"} << "DELIVE=N RECEIV=N RETURN=N TRNOUT=N SLSTRN=MS";
    QTest::newRow("sales: Real Time stays off whatever is clicked")
        << "" << QStringList{"S.none", "S.rt", "S:2", "S:2"}
        << "DELIVE=N RECEIV=N RETURN=N TRNOUT=N SLSTRN=M";
    QTest::newRow("sales: header Real Time unticks a stored R")
        << "SLSTRN=RM" << QStringList{"S:2"} << "DELIVE=N RECEIV=N RETURN=N TRNOUT=N SLSTRN=M";
    QTest::newRow("AP None header toggles both visible rows, not Transfer Out")
        << "" << QStringList{"AP:1"} << "DELIVE=N RECEIV=M RETURN=M TRNOUT=N SLSTRN=N";
    QTest::newRow("AP header acts on each row by its own None")
        << "RECEIV=N RETURN=M" << QStringList{"AP:1", "AP:4"}
        << "DELIVE=N RECEIV=MS RETURN=N TRNOUT=N SLSTRN=N";
    QTest::newRow("Manual header clears, a second click does not bring it back")
        << "DELIVE=M" << QStringList{"AR:3", "AR:3"}
        << "DELIVE= RECEIV=N RETURN=N TRNOUT=N SLSTRN=N";
    QTest::newRow("Manual comes back by ticking and unticking None")
        << "DELIVE=M" << QStringList{"AR:3", "AR:1", "AR:1"}
        << "DELIVE=M RECEIV=N RETURN=N TRNOUT=N SLSTRN=N";
    QTest::newRow("headers change disabled boxes")
        << "DELIVE=M" << QStringList{"AR:2", "AR:4"}
        << "DELIVE=RMS RECEIV=N RETURN=N TRNOUT=N SLSTRN=N";
    QTest::newRow("disabled boxes ignore direct clicks")
        << "DELIVE=M" << QStringList{"DO.rt", "DO.schedule"}
        << "DELIVE=M RECEIV=N RETURN=N TRNOUT=N SLSTRN=N";
    QTest::newRow("boxes enabled by unticking None take clicks")
        << "" << QStringList{"DO.none", "DO.rt", "DO.schedule", "DO.rt"}
        << "DELIVE=MS RECEIV=N RETURN=N TRNOUT=N SLSTRN=N";
    QTest::newRow("headers act only while None is unticked")
        << "" << QStringList{"AR:2", "AR:3", "AR:4"} << kNewStation;
    QTest::newRow("profile headers: Differences, All, None; the fourth column does nothing")
        << "" << QStringList{"SUP:2", "CUS:3", "CUS:4"}
        << QStringLiteral("SUPPLI=C CUSTOM=A ") + kNewStation;
    QTest::newRow("profile None removes the row")
        << "SUPPLI=C CUSTOM=A" << QStringList{"SUP:1"} << QStringLiteral("CUSTOM=A ") + kNewStation;
}

void TestStationJobs::rowsWritten() {
    QFETCH(QString, stored);
    QFETCH(QStringList, clicks);
    QFETCH(QString, written);
    JobOptions options = LoadJobOptions(storedRows(stored));
    for (const QString& action : clicks)
        click(options, action);
    QCOMPARE(writtenRows(JobRowsToWrite(options)), written);
}

void TestStationJobs::loadedBoxesFollowTheNoneRule() {
    // "NM": None ticked and Manual ticked, the other two disabled.
    const JobOptions options = LoadJobOptions(storedRows("DELIVE=NM RECEIV=M"));
    const DocumentOptions& nm = options.delivery;
    QVERIFY(nm.none() && nm.manual() && !nm.realTime() && !nm.schedule());
    QVERIFY(!nm.realTimeEnabled() && !nm.scheduleEnabled());
    // "M" alone: as the design state, Real Time and By Schedule disabled.
    const DocumentOptions& m = options.receiving;
    QVERIFY(!m.none() && m.manual() && !m.realTimeEnabled() && !m.scheduleEnabled());
    // No row: None ticked, nothing else.
    const DocumentOptions& missing = options.returnOutwards;
    QVERIFY(missing.none() && !missing.manual());
    QCOMPARE(options.supplier.choice, ProfileChoice::None);

    // Unticking None enables Real Time and By Schedule and ticks Manual.
    DocumentOptions unticked = nm;
    unticked.clickNone();
    QVERIFY(!unticked.none() && unticked.manual());
    QVERIFY(unticked.realTimeEnabled() && unticked.scheduleEnabled());
}

void TestStationJobs::salesTransactionNeverOffersRealTime() {
    JobOptions options = LoadJobOptions({});
    options.salesTransaction.clickNone();
    QVERIFY(!options.salesTransaction.realTimeEnabled());
    QVERIFY(options.salesTransaction.scheduleEnabled());
}

void TestStationJobs::saveReplacesTheStationsRowsOnly() {
    TestContext context;
    TestDatabases::CreateInstallation(context.folder());
    DbConnection stk(QStringLiteral("Test"), QStringLiteral("ZantStk"));
    stk.execute(
        "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_STATUS) VALUES ('S001', 'OLDJOB', 'X')");
    stk.execute(
        "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_STATUS) VALUES ('S002', 'SLSTRN', 'M')");

    JobOptions options = LoadJobOptions({});
    options.customer.headerClick(3);
    SaveStationJobs(stk, QStringLiteral("S001"), options);
    // A code with a quote is stored as it is.
    SaveStationJobs(stk, QStringLiteral("O'K"), LoadJobOptions({}));

    Query rows(&stk);
    rows.setSql("SELECT P_STORE, P_FILE, P_TYPE, P_TABLE, P_FILENO, P_DESC, P_STATUS "
                "FROM ACC_STATION_JOB ORDER BY P_STORE, P_FILE");
    rows.open();
    QStringList found;
    for (rows.first(); !rows.eof(); rows.next()) {
        QStringList fields;
        for (const QString& name : rows.fieldNames())
            fields << rows.field(name).asString();
        found << fields.join(QLatin1Char('|'));
    }
    const QStringList expected{"O'K|DELIVE|STK|STK_MLedger|11|Delivery Order Journal|N",
                               "O'K|RECEIV|STK|STK_MLedger|11|Stock Receiving Journal|N",
                               "O'K|RETURN|STK|STK_MLedger|11|Return Outwards Journal|N",
                               "O'K|SLSTRN|POS|POS_Sales|21|Sales Transaction|N",
                               "O'K|TRNOUT|STK|STK_MLedger|11|Transfer Out Journal|N",
                               "S001|CUSTOM|APP|MAS_Customer|3|Customer Maintenance|A",
                               "S001|DELIVE|STK|STK_MLedger|11|Delivery Order Journal|N",
                               "S001|RECEIV|STK|STK_MLedger|11|Stock Receiving Journal|N",
                               "S001|RETURN|STK|STK_MLedger|11|Return Outwards Journal|N",
                               "S001|SLSTRN|POS|POS_Sales|21|Sales Transaction|N",
                               "S001|TRNOUT|STK|STK_MLedger|11|Transfer Out Journal|N",
                               "S002|SLSTRN|||||M"};
    QCOMPARE(found, expected);
}

void TestStationJobs::failedSaveKeepsTheOldRows() {
    TestContext context;
    TestDatabases::CreateInstallation(context.folder());
    DbConnection stk(QStringLiteral("Test"), QStringLiteral("ZantStk"));
    stk.execute(
        "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_STATUS) VALUES ('S001', 'DELIVE', 'M')");
    stk.execute(
        "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_STATUS) VALUES ('S001', 'SLSTRN', 'MS')");
    // The last row of the rewrite fails after the delete and four inserts.
    stk.execute("ALTER TABLE ACC_STATION_JOB ADD CONSTRAINT NO_NEW_SLSTRN "
                "CHECK (P_FILE <> 'SLSTRN' OR P_STATUS = 'MS')");

    QVERIFY_THROWS_EXCEPTION(DbError,
                             SaveStationJobs(stk, QStringLiteral("S001"), LoadJobOptions({})));
    QCOMPARE(SelectValue(stk, "SELECT LIST(P_FILE || '=' || P_STATUS) FROM "
                              "(SELECT P_FILE, P_STATUS FROM ACC_STATION_JOB ORDER BY P_FILE)")
                 .toString(),
             QStringLiteral("DELIVE=M,SLSTRN=MS"));
}

void TestStationJobs::stationFolders_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("folders");
    const QStringList out{"SQLACC/Out/S0'1/Process/", "SQLACC/Out/S0'1/Resume/"};
    QTest::newRow("SQLACC") << "SQLACC" << out;
    QTest::newRow("ACCTRAK21") << "ACCTRAK21"
                               << QStringList{"ACCTRAK21/Out/S0'1/Process/",
                                              "ACCTRAK21/Out/S0'1/Resume/"};
    QTest::newRow("ACCPAC: Received and Updated first")
        << "ACCPAC"
        << QStringList{"ACCPAC/Received/", "ACCPAC/Updated/", "ACCPAC/Out/S0'1/Process/",
                       "ACCPAC/Out/S0'1/Resume/"};
    QTest::newRow("lower-case accpac is another type")
        << "accpac" << QStringList{"accpac/Out/S0'1/Process/", "accpac/Out/S0'1/Resume/"};
}

void TestStationJobs::stationFolders() {
    QFETCH(QString, type);
    QFETCH(QStringList, folders);
    TestContext context;
    const QString root = context.path(QStringLiteral("Link"));
    SettingsFile settings;
    settings.write(Keys::General::LedvoraPath, QDir::toNativeSeparators(root));
    settings.write(Keys::General::AccountType, type);

    QStringList expected;
    for (const QString& folder : folders)
        expected << QDir::toNativeSeparators(root + QLatin1Char('/') + folder);
    QCOMPARE(StationFolders(QDir::toNativeSeparators(root), type, QStringLiteral("S0'1")),
             expected);

    CreateStationFolders(settings, QStringLiteral("S0'1"));
    // A second run leaves the existing folders alone.
    CreateStationFolders(settings, QStringLiteral("S0'1"));
    QStringList made;
    for (const QString& sub : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        made << sub;
    QCOMPARE(made, QStringList{type});
    for (const QString& folder : expected)
        QVERIFY2(QFileInfo(folder).isDir(), qPrintable(folder));
    const QStringList typeFolders =
        QDir(root + QLatin1Char('/') + type).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(typeFolders.contains(QStringLiteral("Received")), type == QLatin1String("ACCPAC"));
}

void TestStationJobs::linkFolderOnASystemWithoutDrives_data() {
    QTest::addColumn<QByteArray>("general");
    QTest::addColumn<QString>("refusedFolder"); // empty: made below the program folder
    QTest::newRow("missing: below the program folder") << QByteArray() << QString();
    QTest::newRow("Windows default stored")
        << QByteArray("LEDVORA_PATH=C:\\QmxSys\\Office\\DB\\Ledvora\r\n")
        << "C:\\QmxSys\\Office\\DB\\Ledvora";
    QTest::newRow("drive without a separator")
        << QByteArray("LEDVORA_PATH=d:Ledvora\r\n") << "d:Ledvora";
    QTest::newRow("network share")
        << QByteArray("LEDVORA_PATH=\\\\server\\share\r\n") << "\\\\server\\share";
}

// No folder may be made with a drive in its name: relative to the working folder it would land
// there as "C:\QmxSys\...". A missing key means the installation's own folder instead.
void TestStationJobs::linkFolderOnASystemWithoutDrives() {
#ifdef Q_OS_WIN
    QSKIP("drive letters exist here");
#endif
    QFETCH(QByteArray, general);
    QFETCH(QString, refusedFolder);
    TestContext context;
    const QString working = QDir::currentPath();
    QVERIFY(QDir::setCurrent(context.folder()));
    const auto back = qScopeGuard([&] { QDir::setCurrent(working); });
    QFile file(context.path("Ledvora.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[GENERAL]\r\nACCOUNT_TYPE=SQLACC\r\n" + general);
    file.close();
    const SettingsFile settings;

    if (refusedFolder.isEmpty()) {
        CreateStationFolders(settings, QStringLiteral("S001"));
        QVERIFY(QFileInfo(context.path("Db/Ledvora/SQLACC/Out/S001/Process")).isDir());
        QVERIFY(QFileInfo(context.path("Db/Ledvora/SQLACC/Out/S001/Resume")).isDir());
    } else {
        try {
            CreateStationFolders(settings, QStringLiteral("S001"));
            QFAIL("a folder on a Windows drive was not refused");
        } catch (const AppError& error) {
            const QString first = StationFolders(refusedFolder, "SQLACC", "S001").first();
            QCOMPARE(error.message(),
                     "Cannot create " + first + "\r\nThe accounting link folder \"" +
                         refusedFolder +
                         "\" (GENERAL/LEDVORA_PATH in Ledvora.ini) names a Windows drive, which "
                         "this system does not have: set the Accounting Link Path in Preferences.");
        }
    }
    QCOMPARE(QDir(context.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             refusedFolder.isEmpty() ? QStringList({"Db", "Ledvora.ini"})
                                     : QStringList{"Ledvora.ini"});
}

void TestStationJobs::folderThatCannotBeCreated() {
    TestContext context;
    const QString root = context.path(QStringLiteral("Link"));
    SettingsFile settings;
    settings.write(Keys::General::LedvoraPath, root);
    settings.write(Keys::General::AccountType, QStringLiteral("ACCPAC"));
    QVERIFY(QDir().mkpath(root + QStringLiteral("/ACCPAC")));
    QFile blocker(root + QStringLiteral("/ACCPAC/Out"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    try {
        CreateStationFolders(settings, QStringLiteral("S001"));
        QFAIL("a file in the way must stop the folders");
    } catch (const AppError& error) {
        QCOMPARE(error.message(),
                 QStringLiteral("Cannot create ") +
                     QDir::toNativeSeparators(root + QStringLiteral("/ACCPAC/Out/S001/Process/")));
    }
    // The folders made before the failing one stay.
    QVERIFY(QFileInfo(root + QStringLiteral("/ACCPAC/Updated")).isDir());
}

QTEST_GUILESS_MAIN(TestStationJobs)
#include "test_station_jobs.moc"
