#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/value_forms.h"
#include "tests/support/test_context.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

Q_DECLARE_METATYPE(SettingKey)

namespace {

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<unreadable>";
    return file.readAll();
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void settingsFileLivesInTheProgramFolder();
    void keysReadTheirDefaultsAndStoredValues_data();
    void keysReadTheirDefaultsAndStoredValues();
    void flags_data();
    void flags();
    void boolKeys();
    void keyFromTheSectionOfTheAccountType_data();
    void keyFromTheSectionOfTheAccountType();
    void writtenKeyIsSeenByTheNextReadOfAnotherObject();
    void writingOneTypeSectionLeavesTheOthersAlone();
    void refusedWriteNamesTheSettingsFile();

    void toIntStrict_data();
    void toIntStrict();
    void yearFirstDate_data();
    void yearFirstDate();
    void dayFirstDate_data();
    void dayFirstDate();
    void datesAreWrittenWithTwoDigits();
};

void TestSettings::settingsFileLivesInTheProgramFolder() {
    TestContext context;
    QCOMPARE(SettingsFile::defaultPath(), context.folder() + "/Ledvora.ini");

    SettingsFile settings;
    settings.write(Keys::Layout::ToolBar, Keys::Layout::ToolBarLeft);

    QCOMPARE(readBytes(context.path("Ledvora.ini")), QByteArray("[LAYOUT]\r\nTOOL_BAR=LEFT\r\n"));
}

// Each row names the key's section and name as the file spells them, so a key declared with the
// wrong spelling, or an alternative default that points at another key, reads the wrong value.
void TestSettings::keysReadTheirDefaultsAndStoredValues_data() {
    QTest::addColumn<SettingKey>("key");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expectedDefault");

    using namespace Keys;
    QTest::newRow("account type") << General::AccountType << "GENERAL"
                                  << "ACCOUNT_TYPE"
                                  << "";
    QTest::newRow("account type, export") << General::AccountTypeForExport << "GENERAL"
                                          << "ACCOUNT_TYPE"
                                          << "SQLACC";
    QTest::newRow("link folder") << General::LedvoraPath << "GENERAL"
                                 << "LEDVORA_PATH"
                                 << "C:\\QmxSys\\Office\\DB\\Ledvora";
    QTest::newRow("link folder, stored or not") << General::LedvoraPathUnset << "GENERAL"
                                                << "LEDVORA_PATH"
                                                << "";
    QTest::newRow("changed days") << General::ChangedDays << "GENERAL"
                                  << "CHANGED_DAYS"
                                  << "0";
    QTest::newRow("gst start") << General::GstStartDate << "GENERAL"
                               << "GSTSTARTDATE"
                               << "2015/4/1";
    QTest::newRow("gst start, search") << General::GstStartDateInSearch << "GENERAL"
                                       << "GSTSTARTDATE"
                                       << "2015/04/1";
    QTest::newRow("export mode") << General::ExportMode << "GENERAL"
                                 << "EXPORT_MODE"
                                 << "0";
    QTest::newRow("station log size") << General::StationLogFileSize << "GENERAL"
                                      << "STATIONLOG_FILESIZE"
                                      << "0";
    QTest::newRow("tool bar") << Layout::ToolBar << "LAYOUT"
                              << "TOOL_BAR"
                              << "TOP";
    QTest::newRow("view style") << Layout::ViewStyle << "LAYOUT"
                                << "VIEW_STYLE"
                                << "DETAILS";
    QTest::newRow("last import") << History::LastImport << "HISTORY"
                                 << "LAST_IMPORT"
                                 << "";
    QTest::newRow("ubs closing date") << Ubs::ClosingDate << "UBS"
                                      << "CLOSING_DATE"
                                      << "";
    QTest::newRow("ubs closing period") << Ubs::ClosingPeriod << "UBS"
                                        << "CLOSING_PERIOD"
                                        << "12";
    QTest::newRow("autocount payment term") << AutoCount::PaymentTerm << "AUTOCOUNT"
                                            << "PAYMENT_TERM"
                                            << "C.O.D.";
    QTest::newRow("acctrak21 sundry") << AccTrak21::SundryAccount << "ACCTRAK21"
                                      << "SUNDRY_ACCOUNT"
                                      << "P160";
    QTest::newRow("accpac item price") << AccPac::ItemPrice << "ACCPAC"
                                       << "ITEM_PRICE"
                                       << "ICPrice.csv";
    QTest::newRow("package user") << SqlAcc::UserLogin << "SQLACC"
                                  << "USERLOGIN"
                                  << "ADMIN";
    QTest::newRow("package password") << SqlAcc::Password << "SQLACC"
                                      << "PASSWORD"
                                      << "ADMIN";
    QTest::newRow("dcf") << SqlAcc::Dcf << "SQLACC"
                         << "DCF"
                         << "C:\\Program Files\\eStream\\SQLAccounting\\Share\\DEFAULT.DCF";
    QTest::newRow("package database") << SqlAcc::SalesTransaction << "SQLACC"
                                      << "SALES_TRANSACTION"
                                      << "ACC-0001.FDB";
    QTest::newRow("payment term") << SqlAcc::PaymentTerm << "SQLACC"
                                  << "PAYMENT_TERM"
                                  << "C.O.D";
    QTest::newRow("payment account") << SqlAcc::PaymentAccount << "SQLACC"
                                     << "PAYMENT_ACCOUNT"
                                     << "320-000";
    QTest::newRow("purchase return account") << SqlAcc::PurchaseReturnAccount << "SQLACC"
                                             << "PURCHASE_RETURN_ACCOUNT"
                                             << "612-000";
    QTest::newRow("item description") << SqlAcc::ItemDesc << "SQLACC"
                                      << "ITEM_DESC"
                                      << "Product Item";
    QTest::newRow("emas transfer") << Emas::TransferAccount << "EMAS"
                                   << "TRANSFER_ACCOUNT"
                                   << "50000/01";
}

void TestSettings::keysReadTheirDefaultsAndStoredValues() {
    QFETCH(SettingKey, key);
    QFETCH(QString, section);
    QFETCH(QString, name);
    QFETCH(QString, expectedDefault);
    TestContext context;
    SettingsFile settings;

    QCOMPARE(settings.read(key), expectedDefault);
    QCOMPARE(settings.read(key, "caller's own"), QString("caller's own"));

    writeBytes(settings.path(),
               "[" + section.toLatin1() + "]\r\n" + name.toLatin1() + "=stored\r\n");
    QCOMPARE(settings.read(key), QString("stored"));
    QCOMPARE(settings.read(key, "caller's own"), QString("stored"));

    // Present but empty: empty, not the default.
    writeBytes(settings.path(), "[" + section.toLatin1() + "]\r\n" + name.toLatin1() + "=\r\n");
    QCOMPARE(settings.read(key, "caller's own"), QString());
}

void TestSettings::flags_data() {
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("set");

    QTest::newRow("Y") << QByteArray("CONFIRM_REMOVE=Y") << true;
    QTest::newRow("lower-case y") << QByteArray("CONFIRM_REMOVE=y") << true;
    QTest::newRow("blanks around") << QByteArray("confirm_remove = y ") << true;
    QTest::newRow("N") << QByteArray("CONFIRM_REMOVE=N") << false;
    QTest::newRow("YES is not Y") << QByteArray("CONFIRM_REMOVE=YES") << false;
    QTest::newRow("1 is not Y") << QByteArray("CONFIRM_REMOVE=1") << false;
    QTest::newRow("empty") << QByteArray("CONFIRM_REMOVE=") << false;
    QTest::newRow("missing") << QByteArray() << false;
}

void TestSettings::flags() {
    QFETCH(QByteArray, line);
    QFETCH(bool, set);
    TestContext context;
    SettingsFile settings;
    writeBytes(settings.path(), "[CONFIRMATION]\r\n" + line + "\r\nCONFIRM_EXPORT=Y\r\n");

    QCOMPARE(settings.readFlag(Keys::Confirmation::ConfirmRemove), set);

    settings.writeFlag(Keys::Confirmation::ConfirmRemove, !set);
    QCOMPARE(settings.readFlag(Keys::Confirmation::ConfirmRemove), !set);
    QVERIFY(readBytes(settings.path())
                .contains(set ? "\r\nCONFIRM_REMOVE=N\r\n" : "\r\nCONFIRM_REMOVE=Y\r\n"));
    QVERIFY(settings.readFlag(Keys::Confirmation::ConfirmExport));
}

void TestSettings::boolKeys() {
    TestContext context;
    SettingsFile settings;
    QCOMPARE(settings.readBool(Keys::Ubs::IncludeRemark), false);

    settings.writeBool(Keys::Ubs::IncludeRemark, true);

    QCOMPARE(readBytes(settings.path()), QByteArray("[UBS]\r\nINCLUDE_REMARK=1\r\n"));
    QCOMPARE(settings.readBool(Keys::Ubs::IncludeRemark), true);
    QCOMPARE(settings.readBool(Keys::AutoCount::IncludeRemark), false);
}

void TestSettings::keyFromTheSectionOfTheAccountType_data() {
    QTest::addColumn<QByteArray>("typeLine");
    QTest::addColumn<bool>("exportDefault");
    QTest::addColumn<QString>("customerAccount");

    QTest::newRow("SQLACC") << QByteArray("ACCOUNT_TYPE=SQLACC") << true << "301-000";
    QTest::newRow("EMAS") << QByteArray("ACCOUNT_TYPE=EMAS") << true << "30000/09";
    QTest::newRow("section without the key") << QByteArray("ACCOUNT_TYPE=UBS") << true << "300-000";
    QTest::newRow("missing type, export default") << QByteArray() << true << "301-000";
    QTest::newRow("missing type, empty default") << QByteArray() << false << "300-000";
    // An empty type is stored, so the export default does not apply to it.
    QTest::newRow("empty type") << QByteArray("ACCOUNT_TYPE=") << true << "300-000";
}

void TestSettings::keyFromTheSectionOfTheAccountType() {
    QFETCH(QByteArray, typeLine);
    QFETCH(bool, exportDefault);
    QFETCH(QString, customerAccount);
    TestContext context;
    SettingsFile settings;
    writeBytes(settings.path(), "[GENERAL]\r\n" + typeLine +
                                    "\r\n\r\n[SQLACC]\r\nCUSTOMER_ACCOUNT=301-000\r\n\r\n"
                                    "[UBS]\r\nSALES_ACCOUNT=5000/001\r\n\r\n"
                                    "[EMAS]\r\nCUSTOMER_ACCOUNT=30000/09\r\n");

    const SettingKey type =
        exportDefault ? Keys::General::AccountTypeForExport : Keys::General::AccountType;
    QCOMPARE(settings.readFromTypeSection(type, Keys::SqlAcc::CustomerAccount), customerAccount);
}

// The windows share one object while the posting code opens its own on the same file; neither
// may hold on to an old value.
void TestSettings::writtenKeyIsSeenByTheNextReadOfAnotherObject() {
    TestContext context;
    SettingsFile window;
    SettingsFile posting;
    QCOMPARE(posting.read(Keys::General::ExportMode), QString("0"));

    window.write(Keys::General::ExportMode, Keys::General::ExportModeBySummary);
    QCOMPARE(posting.read(Keys::General::ExportMode), QString("1"));

    window.write(Keys::General::GstStartDate, formatYearFirstDate(QDate(2016, 1, 5)));
    QCOMPARE(parseYearFirstDate(posting.read(Keys::General::GstStartDateInSearch)),
             QDate(2016, 1, 5));
}

void TestSettings::writingOneTypeSectionLeavesTheOthersAlone() {
    TestContext context;
    const QByteArray others = "; edited by hand\r\n[UBS]\r\nSALES_ACCOUNT=5000/001\r\n"
                              "INCLUDE_REMARK=1\r\n\r\n";
    const QByteArray sqlAcc = "[sqlacc]\r\nPAYMENT_TERM = 'C.O.D' \r\n\r\n";
    const QByteArray after = "[EMAS]\r\nSALES_ACCOUNT=20000/09\r\nX-Custom=kept\r\n";
    SettingsFile settings;
    writeBytes(settings.path(), others + sqlAcc + after);

    settings.write(Keys::SqlAcc::SalesTransaction, "ACC-0002.FDB");
    settings.write(Keys::SqlAcc::PaymentTerm, "30 DAYS");
    settings.write(Keys::SqlAcc::SalesAccount, "500-001");

    QCOMPARE(readBytes(settings.path()),
             others +
                 "[sqlacc]\r\nPAYMENT_TERM=30 DAYS\r\nSALES_TRANSACTION=ACC-0002.FDB\r\n"
                 "SALES_ACCOUNT=500-001\r\n\r\n" +
                 after);
    QCOMPARE(settings.read(Keys::Ubs::SalesAccount), QString("5000/001"));
    QCOMPARE(settings.read(Keys::Emas::SalesAccount), QString("20000/09"));
}

void TestSettings::refusedWriteNamesTheSettingsFile() {
    TestContext context;
    AppContext::instance().setProgramFolder(context.path("Missing Folder"));
    SettingsFile settings;

    try {
        settings.write(Keys::General::LedvoraPath, "C:\\Ledvora");
        QFAIL("the write was not refused");
    } catch (const SettingsWriteError& error) {
        QCOMPARE(error.message(), "Unable to write to " + QDir::toNativeSeparators(context.path(
                                                              "Missing Folder/Ledvora.ini")));
    }
    // Reading still works and gives the defaults.
    QCOMPARE(settings.read(Keys::General::LedvoraPath), QString("C:\\QmxSys\\Office\\DB\\Ledvora"));
}

void TestSettings::toIntStrict_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<int>("value");

    QTest::newRow("zero") << "0" << true << 0;
    QTest::newRow("digits") << "30" << true << 30;
    QTest::newRow("leading zeros") << "007" << true << 7;
    QTest::newRow("minus") << "-5" << true << -5;
    QTest::newRow("plus") << "+5" << true << 5;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << int(-2147483647 - 1);
    QTest::newRow("too large") << "2147483648" << false << 0;
    QTest::newRow("empty") << "" << false << 0;
    QTest::newRow("leading blank") << " 5" << false << 0;
    QTest::newRow("trailing blank") << "5 " << false << 0;
    QTest::newRow("trailing newline") << "5\n" << false << 0;
    QTest::newRow("sign alone") << "-" << false << 0;
    QTest::newRow("decimal") << "1.5" << false << 0;
    QTest::newRow("letters after digits") << "12a" << false << 0;
    QTest::newRow("other script's digits") << QString::fromUtf8("\u0663") << false << 0;
}

void TestSettings::toIntStrict() {
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(int, value);

    const std::optional<int> result = ::toIntStrict(text);
    QCOMPARE(result.has_value(), valid);
    if (valid)
        QCOMPARE(*result, value);
}

void TestSettings::yearFirstDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: not a date

    QTest::newRow("one-digit month and day") << "2015/4/1" << QDate(2015, 4, 1);
    QTest::newRow("two-digit month and day") << "2015/04/01" << QDate(2015, 4, 1);
    QTest::newRow("search default")
        << Keys::General::GstStartDateInSearch.defaultValue << QDate(2015, 4, 1);
    QTest::newRow("preferences default")
        << Keys::General::GstStartDate.defaultValue << QDate(2015, 4, 1);
    QTest::newRow("leap day") << "2024/2/29" << QDate(2024, 2, 29);
    QTest::newRow("no leap day") << "2023/02/29" << QDate();
    QTest::newRow("month 13") << "2015/13/01" << QDate();
    QTest::newRow("day 0") << "2015/04/00" << QDate();
    QTest::newRow("dashes") << "2015-04-01" << QDate();
    QTest::newRow("two-digit year") << "15/4/1" << QDate();
    QTest::newRow("day first") << "01/04/2015" << QDate();
    QTest::newRow("three-digit month") << "2015/004/01" << QDate();
    QTest::newRow("trailing text") << "2015/4/1x" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestSettings::yearFirstDate() {
    QFETCH(QString, text);
    QFETCH(QDate, date);

    QCOMPARE(parseYearFirstDate(text).value_or(QDate()), date);
}

void TestSettings::dayFirstDate_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: not a date

    QTest::newRow("two-digit day and month") << "01/04/2015" << QDate(2015, 4, 1);
    QTest::newRow("one-digit day and month") << "1/4/2015" << QDate(2015, 4, 1);
    QTest::newRow("day above 12") << "31/12/2000" << QDate(2000, 12, 31);
    QTest::newRow("april 31") << "31/04/2015" << QDate();
    QTest::newRow("year first") << "2015/04/01" << QDate();
    QTest::newRow("dashes") << "01-04-2015" << QDate();
    QTest::newRow("two-digit year") << "1/4/15" << QDate();
    QTest::newRow("empty") << "" << QDate();
}

void TestSettings::dayFirstDate() {
    QFETCH(QString, text);
    QFETCH(QDate, date);

    QCOMPARE(parseDayFirstDate(text).value_or(QDate()), date);
}

// Both forms are written with two-digit day and month, and read back to the same day.
void TestSettings::datesAreWrittenWithTwoDigits() {
    const QDate firstOfApril(2015, 4, 1);
    QCOMPARE(formatYearFirstDate(firstOfApril), QString("2015/04/01"));
    QCOMPARE(formatDayFirstDate(firstOfApril), QString("01/04/2015"));
    QCOMPARE(parseYearFirstDate(formatYearFirstDate(firstOfApril)), firstOfApril);
    QCOMPARE(parseDayFirstDate(formatDayFirstDate(firstOfApril)), firstOfApril);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
