// The preferences window's loading and Apply as plain code, on a temporary settings file.
#include "config/accounting_year.h"
#include "config/preference_values.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "core/app_error.h"
#include "core/profile_file.h"
#include "tests/support/test_context.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTest>

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

// The lines of one section of an INI text, header included.
QByteArrayList sectionLines(const QByteArray& ini, const QByteArray& section) {
    QByteArrayList lines;
    bool inside = false;
    for (const QByteArray& line : ini.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith('['))
            inside = trimmed == '[' + section + ']';
        if (inside && !trimmed.isEmpty())
            lines << trimmed;
    }
    return lines;
}

struct Panels {
    QList<QPair<int, QString>> shown;
    StatusPanelSink sink() {
        return [this](int panel, const QString& text) { shown.append({panel, text}); };
    }
};

} // namespace

class TestPreferences : public QObject {
    Q_OBJECT
private slots:
    void firstUseWithoutSettingsFile();
    void emptyFolderIsReplacedOnOpening();
    void exportMode_data();
    void exportMode();
    void applyWritesOnlyTheSelectedTypeSection_data();
    void applyWritesOnlyTheSelectedTypeSection();
    void storedValuesThatDoNotConvert();
    void enteredValuesReplaceBadOnes();
    void accPacIsKept();
    void folderQuestion_data();
    void folderQuestion();
    void folderThatCannotBeCreatedWritesNothing();
    void folderOnAWindowsDriveIsRefused();
    void accountingYear_data();
    void accountingYear();
};

void TestPreferences::firstUseWithoutSettingsFile() {
    TestContext context;
    SettingsFile settings;
    const PreferenceValues values = LoadPreferences(settings);

    const QString folder = QDir::toNativeSeparators(context.folder() + "/Db/Ledvora");
    QCOMPARE(readBytes(settings.path()),
             "[GENERAL]\r\nLEDVORA_PATH=" + folder.toLocal8Bit() + "\r\n");
    QCOMPARE(values.ledvoraPath, folder);
    // CLOSING_DATE has no default, so its absence is reported; nothing else is.
    QCOMPARE(
        context.messages->texts(),
        QStringList{"'' is not a valid date\r\nClosing Date on the UBS page ([UBS] CLOSING_DATE)"});
    QVERIFY(!values.ubsClosingDate);
    QCOMPARE(values.gstStartDate, QDate(2015, 4, 1));
    QCOMPARE(values.ubsStartingPeriod, 1);
    QCOMPARE(values.ubsClosingPeriod, 12);
    QCOMPARE(values.accountType, AccountTypeEntry::None);
    // The posting's defaults, shown as they are posted.
    QCOMPARE(values.text(Keys::SqlAcc::PaymentAccount), QStringLiteral("320-000"));
    QCOMPARE(values.text(Keys::SqlAcc::PaymentTerm), QStringLiteral("C.O.D"));
    QCOMPARE(values.text(Keys::SqlAcc::Dcf),
             QStringLiteral("C:\\Program Files\\eStream\\SQLAccounting\\Share\\DEFAULT.DCF"));
    QVERIFY(values.exportByItem);
    QCOMPARE(values.text(Keys::AccTrak21::SundryAccount), QStringLiteral("P160"));
    QCOMPARE(values.changedDays, QStringLiteral("0"));

    PreferenceValues chosen = values;
    chosen.accountType = AccountTypeEntry::SqlAcc;
    QVERIFY(QDir().mkpath(folder));
    Panels panels;
    ApplyPreferences(settings, chosen, panels.sink());
    const QByteArray ini = readBytes(settings.path());
    QCOMPARE(
        sectionLines(ini, "GENERAL"),
        (QByteArrayList{"[GENERAL]", "LEDVORA_PATH=" + folder.toLocal8Bit(), "CHANGED_DAYS=0",
                        "GSTSTARTDATE=2015/04/01", "FOREIGN_CURRENCY=N", "EXPORT_TO_DESP=N",
                        "EXPORT_TO_PROJNO=N", "EXPORT_TO_BILLNO=N", "EXPORT_MODE=0",
                        "ACCOUNT_TYPE=SQLACC", "LEDVORALOG_FILESIZE=0", "STATIONLOG_FILESIZE=0"}));
    QCOMPARE(sectionLines(ini, "CONFIRMATION").size(), 6);
    QCOMPARE(sectionLines(ini, "SQLACC").size(), 18);
    QVERIFY(sectionLines(ini, "SQLACC").contains("PAYMENT_ACCOUNT=320-000"));
    QVERIFY(sectionLines(ini, "SQLACC").contains("EINVOICE=N"));
    for (const QByteArray other : {"UBS", "AUTOCOUNT", "ACCTRAK21", "ACCPAC", "EMAS"})
        QVERIFY2(sectionLines(ini, other).isEmpty(), other.constData());
    QCOMPARE(panels.shown,
             (QList<QPair<int, QString>>{{3, "Accounting Link Path : " + folder.toUpper()},
                                         {2, "Type : SQL Accounting"}}));
}

void TestPreferences::emptyFolderIsReplacedOnOpening() {
    TestContext context;
    writeBytes(context.path("Ledvora.ini"), "[GENERAL]\r\nLEDVORA_PATH=\r\nCHANGED_DAYS=7x\r\n");
    SettingsFile settings;
    const PreferenceValues values = LoadPreferences(settings);
    QCOMPARE(settings.read(Keys::General::LedvoraPath),
             QDir::toNativeSeparators(context.folder() + "/Db/Ledvora"));
    QCOMPARE(values.ledvoraPath, settings.read(Keys::General::LedvoraPath));
    // The hidden days field keeps its text, whatever it is.
    QCOMPARE(values.changedDays, QStringLiteral("7x"));
}

void TestPreferences::exportMode_data() {
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<bool>("byItem");
    QTest::addColumn<QString>("written");
    QTest::newRow("missing is By Item") << QByteArray() << true << "0";
    QTest::newRow("0 is By Item") << QByteArray("EXPORT_MODE=0\r\n") << true << "0";
    QTest::newRow("empty") << QByteArray("EXPORT_MODE=\r\n") << false << "1";
    QTest::newRow("anything else") << QByteArray("EXPORT_MODE=2\r\n") << false << "1";
}

void TestPreferences::exportMode() {
    QFETCH(QByteArray, stored);
    QFETCH(bool, byItem);
    QFETCH(QString, written);
    TestContext context;
    writeBytes(context.path("Ledvora.ini"),
               "[GENERAL]\r\nLEDVORA_PATH=" + context.folder().toLocal8Bit() + "\r\n" + stored);
    SettingsFile settings;
    const PreferenceValues values = LoadPreferences(settings);
    QCOMPARE(values.exportByItem, byItem);
    ApplyPreferences(settings, values, Panels().sink());
    QCOMPARE(settings.read(Keys::General::ExportMode), written);
}

void TestPreferences::applyWritesOnlyTheSelectedTypeSection_data() {
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("typeCode");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArrayList>("expectedLines");
    QTest::newRow("SQL Accounting, login upper-cased")
        << int(AccountTypeEntry::SqlAcc) << "SQLACC" << QByteArray("SQLACC")
        << QByteArrayList{"[SQLACC]",
                          "SALES_TRANSACTION=ACC-0001.FDB",
                          "USERLOGIN=MANAGER",
                          "PASSWORD=SECRET",
                          "DCF=C:\\Program Files\\eStream\\SQLAccounting\\Share\\DEFAULT.DCF",
                          "CUSTOMER_ACCOUNT=300-000",
                          "SUPPLIER_ACCOUNT=400-000",
                          "AREA_CODE=----",
                          "AGENT_CODE=----",
                          "PAYMENT_TERM=C.O.D",
                          "CURRENCY_CODE=----",
                          "SALES_ACCOUNT=500-000",
                          "PURCHASE_ACCOUNT=610-000",
                          "SALES_CN_ACCOUNT=510-000",
                          "PURCHASE_RETURN_ACCOUNT=612-000",
                          "PAYMENT_ACCOUNT=320-000",
                          "TARIFF_CODE=",
                          "EINVOICE=N"};
    QTest::newRow("AccTrack21") << int(AccountTypeEntry::AccTrak21) << "ACCTRAK21"
                                << QByteArray("ACCTRAK21")
                                << QByteArrayList{"[ACCTRAK21]",
                                                  "DEBTOR=Customer.txt",
                                                  "CREDITOR=Vendor.txt",
                                                  "DEBTOR_ACCOUNT=BA3005",
                                                  "CREDITOR_ACCOUNT=BL1005",
                                                  "PAYMENT_TERM=C.O.D.",
                                                  "SUSPEND_ACCOUNT=BA9999",
                                                  "SUNDRY_ACCOUNT=P160",
                                                  "SALES_ACCOUNT=PT2005",
                                                  "PURCHASE_ACCOUNT=PU2005",
                                                  "SALES_TRANSACTION=GLPost9.dbf",
                                                  "; a comment"};
    QTest::newRow("UBS, with its year") << int(AccountTypeEntry::Ubs) << "UBS" << QByteArray("UBS")
                                        << QByteArrayList{"[UBS]",
                                                          "SALES_ACCOUNT=5000/000",
                                                          "CLOSING_DATE=31/12/2020",
                                                          "SALES_TRANSACTION=GLPost9.dbf",
                                                          "PURCHASE_ACCOUNT=6000/000",
                                                          "SUSPEND_ACCOUNT=3000/999",
                                                          "SUNDRY_ACCOUNT=5300/999",
                                                          "STARTING_PERIOD=1",
                                                          "CLOSING_PERIOD=18",
                                                          "INCLUDE_REMARK=1"};
    QTest::newRow("Emas") << int(AccountTypeEntry::Emas) << "EMAS" << QByteArray("EMAS")
                          << QByteArrayList{"[EMAS]",
                                            "SALES_ACCOUNT=own emas",
                                            "INTERMEDIATE_FILE=glpost9_emas.dbf",
                                            "SUSPEND_ACCOUNT=20000/02",
                                            "SUNDRY_ACCOUNT=20000/03",
                                            "CUSTOMER_ACCOUNT=30000/01",
                                            "SUPPLIER_ACCOUNT=40000/01",
                                            "TRANSFER_ACCOUNT=50000/01"};
    QTest::newRow("no entry: empty type, no section")
        << int(AccountTypeEntry::None) << "" << QByteArray("SQLACC") << QByteArrayList{};
}

void TestPreferences::applyWritesOnlyTheSelectedTypeSection() {
    QFETCH(int, entry);
    QFETCH(QString, typeCode);
    QFETCH(QByteArray, section);
    QFETCH(QByteArrayList, expectedLines);
    TestContext context;
    // Every other section holds something of its own that Apply must leave exactly as it is.
    const QByteArray others = "[UBS]\r\nSALES_ACCOUNT=own ubs\r\nCLOSING_DATE=31/12/2020\r\n"
                              "[AUTOCOUNT]\r\nINVOICE=own inv\r\n"
                              "[ACCTRAK21]\r\n; a comment\r\n"
                              "[ACCPAC]\r\nITEM_MASTER=own.csv\r\n"
                              "[EMAS]\r\nSALES_ACCOUNT=own emas\r\n";
    writeBytes(context.path("Ledvora.ini"),
               "[GENERAL]\r\nLEDVORA_PATH=" + context.folder().toLocal8Bit() +
                   "\r\nACCOUNT_TYPE=sqlacc\r\n" + others);
    SettingsFile settings;
    PreferenceValues values = LoadPreferences(settings);
    QCOMPARE(values.accountType, AccountTypeEntry::None); // type codes are exact
    values.accountType = AccountTypeEntry(entry);
    values.setText(Keys::SqlAcc::UserLogin, "manager");
    values.setText(Keys::SqlAcc::Password, "Secret");
    values.setText(Keys::Ubs::SalesAccount, "5000/000");
    values.ubsClosingPeriod = 18;
    values.ubsIncludeRemark = true;
    ApplyPreferences(settings, values, Panels().sink());

    const QByteArray before = others;
    const QByteArray after = readBytes(settings.path());
    QCOMPARE(settings.read(Keys::General::AccountType), typeCode);
    QCOMPARE(sectionLines(after, section), expectedLines);
    for (const QByteArray other : {"UBS", "AUTOCOUNT", "ACCTRAK21", "ACCPAC", "EMAS"}) {
        if (other != section)
            QCOMPARE(sectionLines(after, other), sectionLines(before, other));
    }
}

void TestPreferences::storedValuesThatDoNotConvert() {
    TestContext context;
    const QByteArray ini = "[GENERAL]\r\nLEDVORA_PATH=" + context.folder().toLocal8Bit() +
                           "\r\nGSTSTARTDATE=soon\r\nACCOUNT_TYPE=UBS\r\n"
                           "LEDVORALOG_FILESIZE=64\r\n"
                           "[UBS]\r\nCLOSING_DATE=31/02/2020\r\nSTARTING_PERIOD=one\r\n"
                           "CLOSING_PERIOD=18\r\nSALES_ACCOUNT=5001\r\n";
    writeBytes(context.path("Ledvora.ini"), ini);
    SettingsFile settings;
    const PreferenceValues values = LoadPreferences(settings);

    // Each message names the field and the key it belongs to.
    QCOMPARE(context.messages->texts(),
             (QStringList{"Invalid variant type conversion\r\n"
                          "GST Start Date on the General page ([GENERAL] GSTSTARTDATE)",
                          "'31/02/2020' is not a valid date\r\n"
                          "Closing Date on the UBS page ([UBS] CLOSING_DATE)",
                          "'one' is not a valid integer value\r\n"
                          "Starting Period on the UBS page ([UBS] STARTING_PERIOD)"}));
    QVERIFY(context.messages->shown.first().kind == MessageKind::Error);
    // The keys after each bad one are still loaded.
    QVERIFY(!values.gstStartDate && !values.ubsClosingDate && !values.ubsStartingPeriod);
    QCOMPARE(values.ubsClosingPeriod, 18);
    QCOMPARE(values.text(Keys::Ubs::SalesAccount), QStringLiteral("5001"));
    QCOMPARE(values.accountType, AccountTypeEntry::Ubs);
    QCOMPARE(values.ledvoraLogFileSize, QStringLiteral("64"));

    // Apply writes everything else but leaves the bad texts as they are stored.
    ApplyPreferences(settings, values, Panels().sink());
    QCOMPARE(settings.read(Keys::General::GstStartDate), QStringLiteral("soon"));
    QCOMPARE(settings.read(Keys::Ubs::ClosingDate), QStringLiteral("31/02/2020"));
    QCOMPARE(settings.read(Keys::Ubs::StartingPeriod), QStringLiteral("one"));
    QCOMPARE(settings.read(Keys::Ubs::ClosingPeriod), QStringLiteral("18"));
    QCOMPARE(settings.read(Keys::General::ExportMode), QStringLiteral("0"));
}

void TestPreferences::enteredValuesReplaceBadOnes() {
    TestContext context;
    writeBytes(context.path("Ledvora.ini"),
               "[GENERAL]\r\nLEDVORA_PATH=" + context.folder().toLocal8Bit() +
                   "\r\nGSTSTARTDATE=2015/13/01\r\n[UBS]\r\nSTARTING_PERIOD=\r\n");
    SettingsFile settings;
    PreferenceValues values = LoadPreferences(settings);
    QCOMPARE(
        context.messages->texts(),
        (QStringList{"Invalid variant type conversion\r\n"
                     "GST Start Date on the General page ([GENERAL] GSTSTARTDATE)",
                     "'' is not a valid date\r\nClosing Date on the UBS page ([UBS] CLOSING_DATE)",
                     "'' is not a valid integer value\r\n"
                     "Starting Period on the UBS page ([UBS] STARTING_PERIOD)"}));
    values.gstStartDate = QDate(2016, 7, 4);
    values.ubsClosingDate = QDate(2020, 6, 30);
    values.ubsStartingPeriod = 7;
    values.accountType = AccountTypeEntry::Ubs;
    ApplyPreferences(settings, values, Panels().sink());
    QCOMPARE(settings.read(Keys::General::GstStartDate), QStringLiteral("2016/07/04"));
    QCOMPARE(settings.read(Keys::Ubs::ClosingDate), QStringLiteral("30/06/2020"));
    QCOMPARE(settings.read(Keys::Ubs::StartingPeriod), QStringLiteral("7"));
}

void TestPreferences::accPacIsKept() {
    TestContext context;
    const QByteArray accPac = "[ACCPAC]\r\nITEM_MASTER=Items.csv\r\n";
    writeBytes(context.path("Ledvora.ini"),
               "[GENERAL]\r\nLEDVORA_PATH=" + context.folder().toLocal8Bit() +
                   "\r\nACCOUNT_TYPE=ACCPAC\r\n" + accPac);
    SettingsFile settings;
    const PreferenceValues values = LoadPreferences(settings);
    QCOMPARE(values.accountType, AccountTypeEntry::AccPac);
    QCOMPARE(values.text(Keys::AccPac::ItemMaster), QStringLiteral("Items.csv"));
    QCOMPARE(values.text(Keys::AccPac::ItemPrice), QStringLiteral("ICPrice.csv"));
    Panels panels;
    ApplyPreferences(settings, values, panels.sink());
    QCOMPARE(settings.read(Keys::General::AccountType), QStringLiteral("ACCPAC"));
    QCOMPARE(sectionLines(readBytes(settings.path()), "ACCPAC"), sectionLines(accPac, "ACCPAC"));
    QCOMPARE(panels.shown.last(), (QPair<int, QString>{2, "Type : ACCPAC"}));
}

void TestPreferences::folderQuestion_data() {
    QTest::addColumn<bool>("answerYes");
    QTest::newRow("Yes creates the folder") << true;
    QTest::newRow("No writes every key without it") << false;
}

void TestPreferences::folderQuestion() {
    QFETCH(bool, answerYes);
    TestContext context;
    context.messages->answers = {answerYes ? MessageAnswer::Yes : MessageAnswer::No};
    SettingsFile settings;
    PreferenceValues values = LoadPreferences(settings);
    context.messages->shown.clear();
    values.ledvoraPath = QDir::toNativeSeparators(context.folder() + "/New/Link");
    ApplyPreferences(settings, values, Panels().sink());

    QCOMPARE(context.messages->texts(),
             QStringList{"Directory Not Found !\r\nAre you sure to create new directory ?"});
    QVERIFY(context.messages->shown.first().kind == MessageKind::Confirmation);
    QCOMPARE(QFileInfo(values.ledvoraPath).isDir(), answerYes);
    QCOMPARE(settings.read(Keys::General::LedvoraPath), values.ledvoraPath);
    QCOMPARE(settings.read(Keys::General::StationLogFileSize), QStringLiteral("0"));
}

void TestPreferences::folderThatCannotBeCreatedWritesNothing() {
    TestContext context;
    context.messages->answers = {MessageAnswer::Yes};
    SettingsFile settings;
    PreferenceValues values = LoadPreferences(settings);
    const QByteArray before = readBytes(settings.path());
    writeBytes(context.path("file"), "x");
    values.ledvoraPath = QDir::toNativeSeparators(context.path("file") + "/Link");
    try {
        ApplyPreferences(settings, values, Panels().sink());
        QFAIL("the folder cannot be made under a file");
    } catch (const AppError& error) {
        QCOMPARE(error.message(), "Cannot create " + values.ledvoraPath);
    }
    QCOMPARE(readBytes(settings.path()), before);
}

// Made here, the folder would be created under the working folder with the drive in its name.
void TestPreferences::folderOnAWindowsDriveIsRefused() {
#ifdef Q_OS_WIN
    QSKIP("drive letters exist here");
#endif
    TestContext context;
    context.messages->answers = {MessageAnswer::Yes};
    const QString working = QDir::currentPath();
    QVERIFY(QDir::setCurrent(context.folder()));
    const auto back = qScopeGuard([&] { QDir::setCurrent(working); });
    SettingsFile settings;
    PreferenceValues values = LoadPreferences(settings);
    context.messages->shown.clear();
    const QByteArray before = readBytes(settings.path());
    values.ledvoraPath = "C:\\QmxSys\\Office\\DB\\Ledvora";
    try {
        ApplyPreferences(settings, values, Panels().sink());
        QFAIL("a folder on a Windows drive was not refused");
    } catch (const AppError& error) {
        QVERIFY2(error.message().startsWith("Cannot create C:\\QmxSys\\Office\\DB\\Ledvora\r\n"),
                 qPrintable(error.message()));
    }
    QVERIFY(context.messages->texts().isEmpty()); // nothing asked: it cannot be made
    QCOMPARE(readBytes(settings.path()), before);
    QCOMPARE(QDir(context.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"Ledvora.ini"});
}

void TestPreferences::accountingYear_data() {
    QTest::addColumn<QDate>("closing");
    QTest::addColumn<int>("period");
    QTest::addColumn<QDate>("monthEnd");
    QTest::addColumn<QDate>("firstDay");
    QTest::addColumn<QDate>("lastDay");
    QTest::newRow("15/12/2000, period 12") << QDate(2000, 12, 15) << 12 << QDate(2000, 12, 31)
                                           << QDate(2001, 1, 1) << QDate(2001, 12, 31);
    QTest::newRow("28/02/2001, period 18") << QDate(2001, 2, 28) << 18 << QDate(2001, 2, 28)
                                           << QDate(2001, 3, 1) << QDate(2002, 8, 31);
    QTest::newRow("leap February, period 1")
        << QDate(2004, 2, 10) << 1 << QDate(2004, 2, 29) << QDate(2004, 3, 1) << QDate(2004, 3, 31);
    QTest::newRow("into the second year after") << QDate(2001, 11, 2) << 18 << QDate(2001, 11, 30)
                                                << QDate(2001, 12, 1) << QDate(2003, 5, 31);
    QTest::newRow("within the year")
        << QDate(2010, 3, 31) << 6 << QDate(2010, 3, 31) << QDate(2010, 4, 1) << QDate(2010, 9, 30);
}

void TestPreferences::accountingYear() {
    QFETCH(QDate, closing);
    QFETCH(int, period);
    QFETCH(QDate, monthEnd);
    QFETCH(QDate, firstDay);
    QFETCH(QDate, lastDay);
    const AccountingYear year = ComputeAccountingYear(closing, period);
    QCOMPARE(year.closingDate, monthEnd);
    QCOMPARE(year.firstDay, firstDay);
    QCOMPARE(year.lastDayOfPeriod, lastDay);
}

QTEST_GUILESS_MAIN(TestPreferences)
#include "test_preferences.moc"
