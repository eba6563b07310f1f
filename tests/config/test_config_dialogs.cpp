// The station properties and preferences windows on a real installation, where the window logic
// matters: Apply's checks and messages, what Cancel, OK and the close box keep, the page tree,
// the type list. With ZANTRO_SCREENSHOT_DIR set, the windows are also saved as pictures there.
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "config/ui/optional_date_edit.h"
#include "config/ui/preferences_dialog.h"
#include "config/ui/properties_dialog.h"
#include "config/value_forms.h"
#include "data/dm_polling.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <functional>

namespace {

const char kNotFound[] = "Station Code Not Found !\r\nPlease key in the valid station code.";
const char kDuplicate[] = "Station Code Found !\r\nPlease key in the others station code.";

void saveScreenshot(QWidget* window, const QString& name) {
    const QString folder = qEnvironmentVariable("ZANTRO_SCREENSHOT_DIR");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QCoreApplication::processEvents();
    window->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

template <typename T> T* child(QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QLatin1String(name));
    if (!found)
        qWarning("no child %s", name);
    return found;
}

void click(QWidget* window, const char* button) {
    QTest::mouseClick(child<QPushButton>(window, button), Qt::LeftButton);
}

QStringList treeNodes(QWidget* window) {
    QStringList nodes;
    auto* tree = child<QTreeWidget>(window, "TreeView1");
    for (int i = 0; i < tree->topLevelItemCount(); ++i)
        nodes << tree->topLevelItem(i)->text(0);
    return nodes;
}

} // namespace

class TestConfigDialogs : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void addStationWithUntouchedOptions();
    void applyRefusesAStoreCode_data();
    void applyRefusesAStoreCode();
    void okAfterARefusal_data();
    void okAfterARefusal();
    void closeBoxDiscardsTheNewStation();
    void unknownStoreOfAnEditedStationCancelsTheEdit();
    void folderThatCannotBeCreatedKeepsTheJobs();
    void jobWriteErrorKeepsTheJobs();
    void staysOnItsStationAfterTheListIsRebuilt();
    void pageTreeByAccountType_data();
    void pageTreeByAccountType();
    void optionColumnsKeepTheirWidths();

    void typeListIgnoresTypedCharacters();
    void typeListLockedOnceAStationHasJobs();
    void accPacIsShownAndKept();
    void eInvoiceBoxBesideThePostingCodes();
    void badClosingDateShowsBlankAndIsKept();
    void accountingYearFollowsThePeriod();
    void limitedFieldsKeepLongerStoredTexts();
    void cancelWritesNothingAndTheListIsRebuilt();
    void firstOkKeepsWhatThePostingReads();
    void unicodeSettingsFileStaysUnicode();

private:
    // Runs `work` while the station window is shown modally, then closes it if still open.
    void openStation(TdlgProperties::Mode mode, const std::function<void(TdlgProperties*)>& work);
    void runSql(const QString& alias, const QString& sql);
    QString jobs(const QString& store);
    int stationCount();
    void writeSettings(const QByteArray& general);

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmPolling> polling;
    int stationsChanged = 0;
};

void TestConfigDialogs::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    runSql("ZantSys",
           "INSERT INTO MAS_REGION (M_CODE, M_DESC) VALUES ('NORTH', 'Northern Region')");
    runSql("ZantSys",
           "INSERT INTO MAS_STORETYPE (M_CODE, M_DESC) VALUES ('OUTLET', 'Retail Outlet')");
    runSql("ZantSys", "INSERT INTO MAS_STORE (M_CODE, M_DESC, M_ODESC, M_REGION, M_TYPE) VALUES "
                      "('S001', 'Main Street', 'Jalan Utama', 'NORTH', 'OUTLET')");
    runSql("ZantSys", "INSERT INTO MAS_STORE (M_CODE, M_DESC, M_ODESC, M_REGION, M_TYPE) VALUES "
                      "('S002', 'Harbour Mall', 'Pusat Pelabuhan', 'NORTH', 'OUTLET')");
    runSql("ZantStk", "INSERT INTO ACC_STATION (P_STORE, P_ACTIVE) VALUES ('S002', 'T')");
    writeSettings("ACCOUNT_TYPE=SQLACC\r\n");
    polling = std::make_unique<TdmPolling>();
    dmPolling = polling.get();
    stationsChanged = 0;
}

void TestConfigDialogs::cleanup() {
    dmPolling = nullptr;
    polling.reset();
    context.reset();
}

void TestConfigDialogs::writeSettings(const QByteArray& general) {
    QDir().mkpath(context->path("Link"));
    QFile file(context->path("Ledvora.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[GENERAL]\r\nLEDVORA_PATH=" + context->path("Link").toLocal8Bit() + "\r\n" +
               general);
}

void TestConfigDialogs::runSql(const QString& alias, const QString& sql) {
    DbConnection connection(QStringLiteral("Setup"), alias);
    connection.execute(sql);
}

QString TestConfigDialogs::jobs(const QString& store) {
    DbConnection connection(QStringLiteral("Check"), QStringLiteral("ZantStk"));
    return SelectValue(connection,
                       "SELECT LIST(P_FILE || '=' || P_STATUS, ' ') FROM (SELECT P_FILE, P_STATUS "
                       "FROM ACC_STATION_JOB WHERE P_STORE = '" +
                           store + "' ORDER BY P_FILE)")
        .toString();
}

int TestConfigDialogs::stationCount() {
    DbConnection connection(QStringLiteral("Check"), QStringLiteral("ZantStk"));
    return SelectValue(connection, "SELECT COUNT(*) FROM ACC_STATION").toInt();
}

void TestConfigDialogs::openStation(TdlgProperties::Mode mode,
                                    const std::function<void(TdlgProperties*)>& work) {
    auto* dialog = new TdlgProperties(nullptr);
    QPointer<TdlgProperties> alive(dialog);
    connect(dialog, &TdlgProperties::stationsChanged, this, [this] { ++stationsChanged; });
    QTimer::singleShot(0, dialog, [&] {
        work(dialog);
        if (alive && alive->isVisible())
            alive->reject();
    });
    dialog->OpenStation(mode);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY2(alive.isNull(), "the window frees itself when closed");
}

void TestConfigDialogs::addStationWithUntouchedOptions() {
    openStation(TdlgProperties::Mode::Add, [this](TdlgProperties* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Station Properties - Add"));
        auto* code = child<QComboBox>(dialog, "wwDBLookupCombo1");
        QVERIFY(code->isEnabled());
        QCOMPARE(child<QComboBox>(dialog, "wwDBComboBox1")->currentText(), QStringLiteral("Yes"));
        QTest::keyClicks(code->lineEdit(), "S001");
        QCOMPARE(code->currentText(), QStringLiteral("S001"));
        QCOMPARE(child<QComboBox>(dialog, "wwDBLookupCombo2")->currentText(),
                 QStringLiteral("Main Street"));
        QCOMPARE(child<QLineEdit>(dialog, "wwDBEdit3")->text(), QStringLiteral("Jalan Utama"));
        QCOMPARE(child<QLineEdit>(dialog, "wwDBEdit1")->text(), QStringLiteral("Northern Region"));
        QCOMPARE(child<QLineEdit>(dialog, "wwDBEdit2")->text(), QStringLiteral("Retail Outlet"));
        // The boxes looked up from the store are read-only and greyed, not white like a field
        // to type in.
        for (const char* name : {"wwDBEdit1", "wwDBEdit2", "wwDBEdit3"}) {
            auto* box = child<QLineEdit>(dialog, name);
            QVERIFY2(box->isReadOnly(), name);
            QCOMPARE(box->palette().color(QPalette::Base), box->palette().color(QPalette::Window));
        }
        // A new station's options: None ticked on every document row, nothing else.
        QVERIFY(child<QCheckBox>(dialog, "chkS_None")->isChecked());
        QVERIFY(!child<QCheckBox>(dialog, "chkS_Manual")->isChecked());
        QVERIFY(!child<QCheckBox>(dialog, "chkS_Schedule")->isEnabled());
        saveScreenshot(dialog, "properties-add-general");
        auto* tree = child<QTreeWidget>(dialog, "TreeView1");
        tree->setCurrentItem(tree->topLevelItem(2));
        QTest::keyClick(tree, Qt::Key_Return);
        QVERIFY(child<QScrollArea>(dialog, "sbAPEntry")->isVisible());
        QVERIFY(!child<QScrollArea>(dialog, "sbGeneral")->isVisible());
        QTest::mouseMove(child<QWidget>(dialog, "pnlReturnOutwards"));
        saveScreenshot(dialog, "properties-add-stock-ap");
        click(dialog, "BitBtn1");
        QVERIFY(!dialog->isVisible());
    });
    QCOMPARE(jobs("S001"), QStringLiteral("DELIVE=N RECEIV=N RETURN=N SLSTRN=N TRNOUT=N"));
    DbConnection stk(QStringLiteral("Check"), QStringLiteral("ZantStk"));
    QCOMPARE(SelectValue(stk, "SELECT P_ACTIVE FROM ACC_STATION WHERE P_STORE = 'S001'").toString(),
             QStringLiteral("T"));
    QVERIFY(QFileInfo(context->path("Link/SQLACC/Out/S001/Process")).isDir());
    QVERIFY(QFileInfo(context->path("Link/SQLACC/Out/S001/Resume")).isDir());
    QCOMPARE(stationsChanged, 1);
}

void TestConfigDialogs::applyRefusesAStoreCode_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a store") << "S999" << kNotFound;
    QTest::newRow("with a quote") << "S0'1" << kNotFound;
    QTest::newRow("leading blank") << " S001" << kNotFound;
    QTest::newRow("blank inside") << "S0 1" << kNotFound;
    QTest::newRow("lower case") << "s001" << kNotFound;
    QTest::newRow("store that already has a station") << "S002" << kDuplicate;
}

void TestConfigDialogs::applyRefusesAStoreCode() {
    QFETCH(QString, code);
    QFETCH(QString, message);
    openStation(TdlgProperties::Mode::Add, [&](TdlgProperties* dialog) {
        child<QComboBox>(dialog, "wwDBLookupCombo1")->setEditText(code);
        click(dialog, "bbtnApply");
        QCOMPARE(context->messages->texts(), QStringList{message});
        QVERIFY(context->messages->shown.first().kind == MessageKind::Error);
        // The window stays open with the new station still pending for correction.
        QVERIFY(dialog->isVisible());
        QVERIFY(dmPolling->tblStation.state() == Dataset::State::Insert);
        QVERIFY(child<QComboBox>(dialog, "wwDBLookupCombo1")->isEnabled());
        child<QComboBox>(dialog, "wwDBLookupCombo1")->setEditText(QStringLiteral("S001"));
        click(dialog, "BitBtn2");
    });
    QVERIFY(dmPolling->tblStation.state() == Dataset::State::Browse);
    QCOMPARE(stationCount(), 1);
    QCOMPARE(stationsChanged, 0);
}

void TestConfigDialogs::okAfterARefusal_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("staysOpen");
    QTest::newRow("not found: the new station is discarded and the window closes")
        << "S0'1" << false;
    QTest::newRow("duplicate: the window stays open") << "S002" << true;
}

void TestConfigDialogs::okAfterARefusal() {
    QFETCH(QString, code);
    QFETCH(bool, staysOpen);
    openStation(TdlgProperties::Mode::Add, [&](TdlgProperties* dialog) {
        child<QComboBox>(dialog, "wwDBLookupCombo1")->setEditText(code);
        click(dialog, "BitBtn1");
        QCOMPARE(context->messages->shown.size(), 1);
        QCOMPARE(dialog->isVisible(), staysOpen);
        QCOMPARE(dmPolling->tblStation.state() == Dataset::State::Insert, staysOpen);
    });
    QCOMPARE(stationCount(), 1);
    QCOMPARE(dmPolling->tblStation.recordCount(), 1);
}

void TestConfigDialogs::closeBoxDiscardsTheNewStation() {
    openStation(TdlgProperties::Mode::Add, [](TdlgProperties* dialog) {
        child<QComboBox>(dialog, "wwDBLookupCombo1")->setEditText(QStringLiteral("S001"));
        dialog->close();
    });
    QVERIFY(dmPolling->tblStation.state() == Dataset::State::Browse);
    // Leaving the row would have posted a pending insert; nothing is stored.
    dmPolling->tblStation.first();
    QCOMPARE(stationCount(), 1);
}

void TestConfigDialogs::unknownStoreOfAnEditedStationCancelsTheEdit() {
    runSql("ZantStk", "INSERT INTO ACC_STATION (P_STORE, P_ACTIVE) VALUES ('S404', 'T')");
    dmPolling->tblStation.refresh();
    QVERIFY(dmPolling->tblStation.locate(QStringLiteral("P_STORE"), QStringLiteral("S404")));
    openStation(TdlgProperties::Mode::Properties, [this](TdlgProperties* dialog) {
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Station Properties"));
        QVERIFY(!child<QComboBox>(dialog, "wwDBLookupCombo1")->isEnabled());
        QCOMPARE(child<QComboBox>(dialog, "wwDBLookupCombo2")->currentText(), QString());
        auto* active = child<QComboBox>(dialog, "wwDBComboBox1");
        active->setCurrentIndex(1);
        emit active->activated(1);
        QVERIFY(dmPolling->tblStation.state() == Dataset::State::Edit);
        click(dialog, "bbtnApply");
        QCOMPARE(context->messages->texts(), QStringList{kNotFound});
        QVERIFY(dialog->isVisible());
        QVERIFY(dmPolling->tblStation.state() == Dataset::State::Browse);
        QCOMPARE(active->currentText(), QStringLiteral("Yes"));
    });
    QCOMPARE(jobs("S404"), QString());
}

void TestConfigDialogs::folderThatCannotBeCreatedKeepsTheJobs() {
    runSql("ZantStk", "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_STATUS) "
                      "VALUES ('S002', 'SLSTRN', 'M')");
    QFile blocker(context->path("Link/SQLACC"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    dmPolling->tblStation.first();
    openStation(TdlgProperties::Mode::Properties, [this](TdlgProperties* dialog) {
        auto* active = child<QComboBox>(dialog, "wwDBComboBox1");
        active->setCurrentIndex(1);
        emit active->activated(1);
        QTest::mouseClick(child<QCheckBox>(dialog, "chkS_Manual"), Qt::LeftButton); // disabled
        child<QHeaderView>(dialog, "hcSalesTrans")->sectionClicked(1);
        click(dialog, "bbtnApply");
        QCOMPARE(context->messages->texts(),
                 QStringList{"Cannot create " + QDir::toNativeSeparators(context->path(
                                                    "Link/SQLACC/Out/S002/Process/"))});
        QVERIFY(dialog->isVisible());
    });
    // The station row was stored; its jobs are as they were.
    DbConnection stk(QStringLiteral("Check"), QStringLiteral("ZantStk"));
    QCOMPARE(SelectValue(stk, "SELECT P_ACTIVE FROM ACC_STATION WHERE P_STORE = 'S002'").toString(),
             QStringLiteral("F"));
    QCOMPARE(jobs("S002"), QStringLiteral("SLSTRN=M"));
    QCOMPARE(stationsChanged, 1); // the list is rebuilt when the window closes
}

void TestConfigDialogs::jobWriteErrorKeepsTheJobs() {
    runSql("ZantStk", "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_STATUS) "
                      "VALUES ('S002', 'DELIVE', 'M')");
    // The table may not be altered while the data module holds it open.
    dmPolling = nullptr;
    polling.reset();
    runSql("ZantStk", "ALTER TABLE ACC_STATION_JOB ADD CONSTRAINT NO_RETURN_JOB "
                      "CHECK (P_FILE <> 'RETURN')");
    polling = std::make_unique<TdmPolling>();
    dmPolling = polling.get();
    openStation(TdlgProperties::Mode::Properties, [this](TdlgProperties* dialog) {
        QVERIFY(child<QCheckBox>(dialog, "chkDO_Manual")->isChecked());
        click(dialog, "BitBtn1");
        QCOMPARE(context->messages->shown.size(), 1);
        QVERIFY2(context->messages->texts().first().contains("NO_RETURN_JOB"),
                 qPrintable(context->messages->texts().first()));
        QVERIFY(dialog->isVisible());
    });
    QCOMPARE(jobs("S002"), QStringLiteral("DELIVE=M"));
}

void TestConfigDialogs::staysOnItsStationAfterTheListIsRebuilt() {
    runSql("ZantStk", "INSERT INTO ACC_STATION (P_STORE, P_ACTIVE) VALUES ('S001', 'T')");
    dmPolling->tblStation.refresh();
    QVERIFY(dmPolling->tblStation.locate(QStringLiteral("P_STORE"), QStringLiteral("S002")));
    openStation(TdlgProperties::Mode::Properties, [this](TdlgProperties* dialog) {
        // The main window's ListStation leaves the station table on its first station.
        connect(dialog, &TdlgProperties::stationsChanged, this,
                [] { dmPolling->tblStation.first(); });
        auto* header = child<QHeaderView>(dialog, "hcSalesTrans");
        header->sectionClicked(1);
        click(dialog, "bbtnApply");
        QCOMPARE(child<QComboBox>(dialog, "wwDBLookupCombo1")->currentText(),
                 QStringLiteral("S002"));
        header->sectionClicked(4);
        click(dialog, "BitBtn1");
    });
    QVERIFY(context->messages->shown.isEmpty());
    QCOMPARE(jobs("S002"), QStringLiteral("DELIVE=N RECEIV=N RETURN=N SLSTRN=MS TRNOUT=N"));
    QCOMPARE(jobs("S001"), QString());
    QCOMPARE(stationsChanged, 2);
}

void TestConfigDialogs::pageTreeByAccountType_data() {
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QStringList>("nodes");
    const QStringList full{"General", "Stock AR Entry", "Stock AP Entry", "Sales Transaction"};
    QTest::newRow("UBS") << QByteArray("UBS") << full;
    QTest::newRow("AUTOCOUNT") << QByteArray("AUTOCOUNT") << full;
    QTest::newRow("SQLACC") << QByteArray("SQLACC") << full;
    QTest::newRow("EMAS") << QByteArray("EMAS") << full;
    QTest::newRow("ACCPAC") << QByteArray("ACCPAC") << QStringList{"General", "Sales Transaction"};
    QTest::newRow("ACCTRAK21") << QByteArray("ACCTRAK21") << QStringList{"General"};
    QTest::newRow("lower case") << QByteArray("sqlacc") << QStringList{"General"};
}

void TestConfigDialogs::pageTreeByAccountType() {
    QFETCH(QByteArray, type);
    QFETCH(QStringList, nodes);
    writeSettings("ACCOUNT_TYPE=" + type + "\r\n");
    dmPolling->tblStation.first();
    openStation(TdlgProperties::Mode::Properties, [&](TdlgProperties* dialog) {
        QCOMPARE(treeNodes(dialog), nodes);
        auto* tree = child<QTreeWidget>(dialog, "TreeView1");
        QTreeWidgetItem* last = tree->topLevelItem(tree->topLevelItemCount() - 1);
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                          tree->visualItemRect(last).center());
        const char* page = nodes.size() == 1 ? "sbGeneral" : "sbSalesTrans";
        for (const char* name : {"sbGeneral", "sbDataEntry", "sbCustProfile", "sbAREntry",
                                 "sbAPEntry", "sbSalesTrans"})
            QCOMPARE(child<QWidget>(dialog, name)->isVisible(), qstrcmp(name, page) == 0);
        if (type == "SQLACC") {
            child<QCheckBox>(dialog, "chkS_None")->click();
            saveScreenshot(dialog, "properties-sales-transaction");
        }
    });
}

void TestConfigDialogs::optionColumnsKeepTheirWidths() {
    dmPolling->tblStation.first();
    openStation(TdlgProperties::Mode::Properties, [](TdlgProperties* dialog) {
        for (const char* name :
             {"hcDataEntry", "hcCustProfile", "hcAREntry", "hcAPEntry", "hcSalesTrans"}) {
            auto* header = child<QHeaderView>(dialog, name);
            QCOMPARE(header->model()->headerData(0, Qt::Horizontal).toString(),
                     QStringLiteral("Transmission Options"));
            header->resizeSection(0, 300);
            header->resizeSection(3, 20);
            QCOMPARE(header->sectionSize(0), 215);
            for (int column = 1; column <= 4; ++column)
                QCOMPARE(header->sectionSize(column), 78);
        }
        QVERIFY(child<QWidget>(dialog, "RadioButton64")->isHidden());
        QVERIFY(child<QWidget>(dialog, "RadioButton104")->isHidden());
        QVERIFY(child<QWidget>(dialog, "chkT_None")->parentWidget()->parentWidget()->isHidden());
    });
}

void TestConfigDialogs::typeListIgnoresTypedCharacters() {
    auto* dialog = new TdlgPreferences(nullptr);
    dialog->show();
    auto* types = child<QComboBox>(dialog, "cbAccType");
    QVERIFY(types->isEnabled());
    QCOMPARE(types->count(), 5);
    QCOMPARE(types->currentText(), QStringLiteral("SQL Accounting"));
    QCOMPARE(child<QStackedWidget>(dialog, "PageControl5")->currentWidget()->objectName(),
             QStringLiteral("TabSheet16"));
    QTest::keyClicks(types, "eAU");
    QCOMPARE(types->currentIndex(), 2);
    QTest::keyClick(types, Qt::Key_Down);
    QCOMPARE(types->currentText(), QStringLiteral("AccTrack21"));
    QCOMPARE(child<QStackedWidget>(dialog, "PageControl5")->currentWidget()->objectName(),
             QStringLiteral("TabSheet17"));
    auto* pages = child<QTabWidget>(dialog, "PageControl1");
    QVERIFY(!pages->isTabVisible(1) && !pages->isTabVisible(2));
    saveScreenshot(dialog, "preferences-general");
    pages->setCurrentIndex(3);
    for (int index : {2, 0, 1, 3, 4}) {
        types->setCurrentIndex(index);
        saveScreenshot(dialog, "preferences-type-" + types->currentText().toLower().remove(' '));
    }
    delete dialog;
}

void TestConfigDialogs::typeListLockedOnceAStationHasJobs() {
    runSql("ZantStk", "INSERT INTO ACC_STATION_JOB (P_STORE, P_FILE, P_STATUS) "
                      "VALUES ('S002', 'SLSTRN', 'N')");
    auto* dialog = new TdlgPreferences(nullptr);
    dialog->show();
    QVERIFY(!child<QComboBox>(dialog, "cbAccType")->isEnabled());
    delete dialog;
}

void TestConfigDialogs::accPacIsShownAndKept() {
    writeSettings("ACCOUNT_TYPE=ACCPAC\r\n[ACCPAC]\r\nITEM_MASTER=Items.csv\r\n");
    auto* dialog = new TdlgPreferences(nullptr);
    QList<QPair<int, QString>> panels;
    connect(dialog, &TdlgPreferences::statusPanelChanged, this,
            [&](int panel, const QString& text) {
                panels.append({panel, text});
            });
    dialog->show();
    auto* types = child<QComboBox>(dialog, "cbAccType");
    QCOMPARE(types->currentText(), QStringLiteral("ACCPAC"));
    QCOMPARE(child<QStackedWidget>(dialog, "PageControl5")->currentWidget()->objectName(),
             QStringLiteral("TabSheetAccPac"));
    auto* shown = child<QLineEdit>(dialog, "edtAccPacItemMaster");
    QCOMPARE(shown->text(), QStringLiteral("Items.csv"));
    QVERIFY(shown->isReadOnly());
    QCOMPARE(child<QLineEdit>(dialog, "Edit26")->text(), QStringLiteral("Items.csv"));
    click(dialog, "bbtnApply");
    QCOMPARE(SettingsFile().read(Keys::General::AccountType), QStringLiteral("ACCPAC"));
    QCOMPARE(panels.last(), (QPair<int, QString>{2, "Type : ACCPAC"}));
    // Another entry replaces it.
    types->setCurrentIndex(0);
    click(dialog, "bbtnApply");
    QCOMPARE(SettingsFile().read(Keys::General::AccountType), QStringLiteral("UBS"));
    delete dialog;
}

// EINVOICE is a flag of the SQL Accounting page: "y" counts as set, and Apply writes "Y" or "N".
void TestConfigDialogs::eInvoiceBoxBesideThePostingCodes() {
    writeSettings("ACCOUNT_TYPE=SQLACC\r\n[SQLACC]\r\nEINVOICE=y\r\n");
    auto* dialog = new TdlgPreferences(nullptr);
    dialog->show();
    auto* box = child<QCheckBox>(dialog, "cbEInvoice");
    QVERIFY(child<QWidget>(dialog, "TabSheet16")->isAncestorOf(box));
    QVERIFY(box->isChecked());
    box->setChecked(false);
    click(dialog, "bbtnApply");
    QCOMPARE(SettingsFile().read(Keys::SqlAcc::EInvoice), QStringLiteral("N"));
    box->setChecked(true);
    click(dialog, "bbtnApply");
    QCOMPARE(SettingsFile().read(Keys::SqlAcc::EInvoice), QStringLiteral("Y"));
    delete dialog;
}

void TestConfigDialogs::badClosingDateShowsBlankAndIsKept() {
    writeSettings("ACCOUNT_TYPE=UBS\r\n[UBS]\r\nCLOSING_DATE=31/13/2020\r\nCLOSING_PERIOD=x\r\n");
    auto* dialog = new TdlgPreferences(nullptr);
    QCOMPARE(context->messages->texts(),
             (QStringList{"'31/13/2020' is not a valid date\r\n"
                          "Closing Date on the UBS page ([UBS] CLOSING_DATE)",
                          "'x' is not a valid integer value\r\n"
                          "Closing Period on the UBS page ([UBS] CLOSING_PERIOD)"}));
    dialog->show();
    auto* closing = child<OptionalDateEdit>(dialog, "DateTimePicker1");
    QVERIFY(closing->isBlank());
    QVERIFY(child<OptionalDateEdit>(dialog, "DateTimePicker2")->isBlank());
    QCOMPARE(child<QSpinBox>(dialog, "SpinEdit2")->text().trimmed(), QString());
    QCOMPARE(child<QSpinBox>(dialog, "SpinEdit1")->value(), 1);
    child<QTabWidget>(dialog, "PageControl1")->setCurrentIndex(3);
    saveScreenshot(dialog, "preferences-type-ubs-bad-values");
    click(dialog, "bbtnApply");
    SettingsFile settings;
    QCOMPARE(settings.read(Keys::Ubs::ClosingDate), QStringLiteral("31/13/2020"));
    QCOMPARE(settings.read(Keys::Ubs::ClosingPeriod), QStringLiteral("x"));
    QCOMPARE(settings.read(Keys::Ubs::StartingPeriod), QStringLiteral("1"));

    closing->setDate(QDate(2021, 6, 30));
    child<QSpinBox>(dialog, "SpinEdit2")->setValue(12);
    click(dialog, "bbtnApply");
    QCOMPARE(settings.read(Keys::Ubs::ClosingDate), QStringLiteral("30/06/2021"));
    QCOMPARE(settings.read(Keys::Ubs::ClosingPeriod), QStringLiteral("12"));
    delete dialog;
}

void TestConfigDialogs::accountingYearFollowsThePeriod() {
    writeSettings("ACCOUNT_TYPE=UBS\r\n[UBS]\r\nCLOSING_DATE=15/12/2000\r\nCLOSING_PERIOD=12\r\n");
    auto* dialog = new TdlgPreferences(nullptr);
    dialog->show();
    auto date = [&](const char* name) { return child<OptionalDateEdit>(dialog, name)->date(); };
    QCOMPARE(date("DateTimePicker1"), QDate(2000, 12, 31));
    QCOMPARE(date("DateTimePicker2"), QDate(2001, 1, 1));
    QCOMPARE(date("DateTimePicker3"), QDate(2001, 12, 31));
    child<QSpinBox>(dialog, "SpinEdit2")->setValue(18);
    QCOMPARE(date("DateTimePicker3"), QDate(2002, 6, 30));
    // The starting period takes no part.
    child<QSpinBox>(dialog, "SpinEdit1")->setValue(5);
    QCOMPARE(date("DateTimePicker3"), QDate(2002, 6, 30));
    child<QTabWidget>(dialog, "PageControl1")->setCurrentIndex(3);
    saveScreenshot(dialog, "preferences-type-ubs");
    delete dialog;
}

void TestConfigDialogs::limitedFieldsKeepLongerStoredTexts() {
    writeSettings("ACCOUNT_TYPE=EMAS\r\nLEDVORALOG_FILESIZE=20480\r\n");
    auto* dialog = new TdlgPreferences(nullptr);
    dialog->show();
    // Emas fields take at most 8 typed characters, but the default file name is longer.
    auto* file = child<QLineEdit>(dialog, "edtEMAS_INTERMEDIATE_FILE");
    QCOMPARE(file->text(), QStringLiteral("glpost9_emas.dbf"));
    file->setFocus();
    file->end(false);
    QTest::keyClicks(file, "x");
    QCOMPARE(file->text(), QStringLiteral("glpost9_emas.dbf"));
    QTest::keyClick(file, Qt::Key_Backspace);
    QCOMPARE(file->text(), QStringLiteral("glpost9_emas.db"));
    auto* sales = child<QLineEdit>(dialog, "edtEMAS_SALES_ACCOUNT");
    sales->clear();
    QTest::keyClicks(sales, "123456789");
    QCOMPARE(sales->text(), QStringLiteral("12345678"));
    click(dialog, "bbtnApply");
    SettingsFile settings;
    QCOMPARE(settings.read(Keys::Emas::IntermediateFile), QStringLiteral("glpost9_emas.db"));
    QCOMPARE(settings.read(Keys::Emas::SalesAccount), QStringLiteral("12345678"));
    // The hidden log size is written back whole.
    QCOMPARE(settings.read(Keys::General::LedvoraLogFileSize), QStringLiteral("20480"));
    delete dialog;
}

void TestConfigDialogs::cancelWritesNothingAndTheListIsRebuilt() {
    const QByteArray before = [&] {
        auto* dialog = new TdlgPreferences(nullptr); // writes nothing: the folder is stored
        delete dialog;
        QFile file(context->path("Ledvora.ini"));
        file.open(QIODevice::ReadOnly);
        return file.readAll();
    }();
    auto* dialog = new TdlgPreferences(nullptr);
    QPointer<TdlgPreferences> alive(dialog);
    connect(dialog, &TdlgPreferences::stationsChanged, this, [this] { ++stationsChanged; });
    dialog->show();
    child<QLineEdit>(dialog, "Edit48")->setText("SOMEONE");
    click(dialog, "BitBtn2");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(alive.isNull());
    QCOMPARE(stationsChanged, 1);
    QFile file(context->path("Ledvora.ini"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
}

// On a file without the package's keys the window shows the defaults the posting reads, so its
// first OK stores the very values that were posted before.
void TestConfigDialogs::firstOkKeepsWhatThePostingReads() {
    namespace S = Keys::SqlAcc;
    const QList<SettingKey> postingKeys{Keys::General::ExportMode,
                                        Keys::General::AccountType,
                                        S::UserLogin,
                                        S::Password,
                                        S::Dcf,
                                        S::SalesTransaction,
                                        S::CustomerAccount,
                                        S::SupplierAccount,
                                        S::AreaCode,
                                        S::AgentCode,
                                        S::PaymentTerm,
                                        S::CurrencyCode,
                                        S::SalesAccount,
                                        S::SalesCnAccount,
                                        S::PurchaseAccount,
                                        S::PurchaseReturnAccount,
                                        S::PaymentAccount};
    const auto posted = [&] {
        const SettingsFile settings;
        QStringList values;
        for (const SettingKey& key : postingKeys)
            values << QLatin1String(key.name) + QLatin1Char('=') + settings.read(key);
        // Stored with two-digit month and day: the same date as the default's text.
        values << parseYearFirstDate(settings.read(Keys::General::GstStartDateInSearch))
                      ->toString(Qt::ISODate);
        return values;
    };
    const QStringList before = posted();

    auto* dialog = new TdlgPreferences(nullptr);
    dialog->show();
    QCOMPARE(child<QLineEdit>(dialog, "edtSQLACC_PAYMENT_ACCOUNT")->text(), "320-000");
    QCOMPARE(child<QLineEdit>(dialog, "edtSQLACC_PAYMENT_TERM")->text(), "C.O.D");
    QCOMPARE(child<QLineEdit>(dialog, "FilenameEdit1")->text(),
             "C:\\Program Files\\eStream\\SQLAccounting\\Share\\DEFAULT.DCF");
    QVERIFY(child<QRadioButton>(dialog, "rbtnByItem")->isChecked());
    click(dialog, "BitBtn1");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QCOMPARE(posted(), before);
    // The keys are stored now, so the posting no longer depends on its defaults.
    QCOMPARE(SettingsFile().read(S::PaymentAccount, "missing"), "320-000");
}

// Saved as "Unicode" by an editor, the file shows its values and is written back in UTF-16.
void TestConfigDialogs::unicodeSettingsFileStaysUnicode() {
    const QString text = "[GENERAL]\r\nLEDVORA_PATH=" + context->path("Link") +
                         "\r\nACCOUNT_TYPE=SQLACC\r\n[SQLACC]\r\nPAYMENT_TERM=30 DAYS\r\n";
    QFile file(context->path("Ledvora.ini"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("\xFF\xFE");
    file.write(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    file.close();

    auto* dialog = new TdlgPreferences(nullptr);
    dialog->show();
    QCOMPARE(child<QLineEdit>(dialog, "edtSQLACC_PAYMENT_TERM")->text(), "30 DAYS");
    child<QLineEdit>(dialog, "edtSQLACC_SALES_ACCOUNT")
        ->setText(QString::fromUtf8("500-\u20AC\u6771"));
    click(dialog, "BitBtn1");
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("\xFF\xFE"));
    const QString written = QString::fromUtf16(
        reinterpret_cast<const char16_t*>(bytes.constData() + 2), (bytes.size() - 2) / 2);
    QVERIFY2(written.startsWith(text.left(text.indexOf("[SQLACC]"))), qPrintable(written));
    QVERIFY2(written.contains(QString::fromUtf8("\r\nSALES_ACCOUNT=500-\u20AC\u6771\r\n")),
             qPrintable(written));
    QVERIFY(written.contains("\r\nPAYMENT_TERM=30 DAYS\r\n"));
    const SettingsFile settings;
    QCOMPARE(settings.read(Keys::SqlAcc::SalesAccount), QString::fromUtf8("500-\u20AC\u6771"));
    QCOMPARE(settings.read(Keys::SqlAcc::PaymentTerm), "30 DAYS");
}

QTEST_MAIN(TestConfigDialogs)
#include "test_config_dialogs.moc"
