// The demo installation posted through the strict stand-in package: every kind of document, in
// both export modes, under a build before 860 and one from 860 on. The package refuses nothing but
// the demo's deliberate documents of a party no master holds, and every document read back from
// the package totals what its source says, to the cent.
#include "config/settings_file.h"
#include "core/app_context.h"
#include "data/dm_polling.h"
#include "demo/demo_installation.h"
#include "demo/demo_options.h"
#include "export/document_search.h"
#include "export/export_run.h"
#include "export/master_export.h"
#include "export/module_codes.h"
#include "sqlacc/sqlacc_login.h"
#include "standin/package_setup.h"
#include "standin/standin_package.h"
#include "tests/support/test_context.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

namespace {

// Copies a folder with everything below it.
bool copyFolder(const QString& from, const QString& to) {
    if (!QDir().mkpath(to))
        return false;
    const QDir source(from);
    for (const QFileInfo& entry :
         source.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden)) {
        const QString target = to + QLatin1Char('/') + entry.fileName();
        if (entry.isDir() ? !copyFolder(entry.absoluteFilePath(), target)
                          : !QFile::copy(entry.absoluteFilePath(), target))
            return false;
    }
    return true;
}

} // namespace

class TestDemoPosting : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyKindPostsWithThePackagesOwnTotals_data();
    void everyKindPostsWithThePackagesOwnTotals();

private:
    std::unique_ptr<TestContext> context;
    QString demoFolder;
};

void TestDemoPosting::initTestCase() {
    context = std::make_unique<TestContext>();
    DemoOptions options;
    options.folder = context->path("demo");
    options.receipts = 200;
    options.stockDocuments = 60;
    options.receivableDocuments = 40;
    demoFolder = CreateDemoInstallation(options).folder;
    UseStandinPackage();
}

void TestDemoPosting::cleanupTestCase() {
    ReleaseBizApp();
    AppContext::instance().setProgramFolder(context->folder());
    context.reset();
}

void TestDemoPosting::everyKindPostsWithThePackagesOwnTotals_data() {
    QTest::addColumn<QString>("exportMode");
    QTest::addColumn<QString>("build");
    for (const char* build : {PackageBuildBeforeBooleans, DefaultPackageBuild})
        for (const char* mode : {"0", "1"})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(
                QLatin1String(*mode == '0' ? "By Item" : "By Summary"), QLatin1String(build))))
                << QString::fromLatin1(mode) << QString::fromLatin1(build);
}

void TestDemoPosting::everyKindPostsWithThePackagesOwnTotals() {
    QFETCH(QString, exportMode);
    QFETCH(QString, build);
    // A copy of the demo for each case, its settings pointing at the copy.
    const QString folder =
        context->path(QStringLiteral("case-%1-%2").arg(exportMode, build.section('.', -1)));
    QVERIFY(copyFolder(demoFolder, folder));
    AppContext::instance().setProgramFolder(folder);
    SettingsFile settings;
    settings.writeString("GENERAL", "EXPORT_MODE", exportMode);
    settings.writeString("SQLACC", "DCF", folder + "/Package/DEFAULT.DCF");
    SetPackageDcfValue(folder + "/Package/DEFAULT.DCF", "BUILD", build);

    StandinPackage& package = UseStandinPackage();
    const int logins = package.logins();
    TdmPolling data(TdmPolling::OpenMode::ConnectionsOnly);
    DocumentSearch search(data, settings);
    const auto yes = [](const QString&) { return true; };
    for (const char* master :
         {ModuleCodes::Supplier, ModuleCodes::Customer, ModuleCodes::StockItem})
        QCOMPARE(ExportSUPP_CUST_STOCK(data, settings, QLatin1String(master), false, yes).outcome,
                 MasterExportOutcome::Completed);

    // The demo's deliberate refusals: documents of a customer or supplier no master holds, whose
    // party code is therefore empty.
    static const QRegularExpression deliberate(QStringLiteral(
        "^(SL_IV|SL_CN|PH_PI|PH_SC): (customer|supplier) code \"\" does not exist$"));
    QStringList counts;
    for (const QString& kind : TransactionCodes()) {
        const int found = IsReceivableCode(kind)
                              ? search.SearchReceivables(kind, ReceivableSearchFilter{})
                              : search.SearchStockDocuments(kind, StockSearchFilter{});
        search.TickAll(kind, true);
        const ExportRunSummary summary =
            ExportRun(data, settings, {QString(), "TEST", true}).Run(kind);
        QVERIFY2(found > 0 && summary.posted > 0, qPrintable(kind));
        QCOMPARE(summary.handled(), found);
        for (const ExportRefusal& refusal : summary.refusals)
            QVERIFY2(deliberate.match(refusal.message).hasMatch(),
                     qPrintable(refusal.documentNumber + ": " + refusal.message));
        for (const ExportRefusal& difference : summary.differences)
            QVERIFY2(false, qPrintable(difference.documentNumber + ": " + difference.message));
        QCOMPARE(summary.packageBuild, build);
        counts << QStringLiteral("%1 %2 posted/%3 refused")
                      .arg(kind)
                      .arg(summary.posted)
                      .arg(summary.refused);
    }
    // One login for each master export and each kind's run; none for anything else.
    QCOMPARE(package.logins() - logins, 3 + int(TransactionCodes().size()));
    QCOMPARE(package.openBusinessObjects(), 0);
    qInfo("%s", qPrintable(counts.join(QStringLiteral(", "))));
}

QTEST_GUILESS_MAIN(TestDemoPosting)
#include "test_demo_posting.moc"
