// The login dialog on a real user table: every outcome of OK, the identity it saves and puts
// back, the boxes it keeps, and the "Login" line of the activity log.
#include "data/activity_log.h"
#include "data/connection.h"
#include "data/dm_mm_group_access.h"
#include "data/dm_mm_user.h"
#include "data/query.h"
#include "login/login_check.h"
#include "login/time_code.h"
#include "login/ui/password_dialog.h"
#include "tests/support/test_context.h"
#include "tests/support/test_databases.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const char InvalidText[] = "Invalid User Code or Password !\r\nPlease try again.";
const char TimeText[] = "Access Denied !\r\nUser was not allow to entry this section (TIME).";
const char LevelText[] = "Access Denied !\r\nUser was not allow to entry this section (LEVEL).";

const LoginIdentity PreviousIdentity{QStringLiteral("PREV"), QStringLiteral("Previous user"),
                                     QStringLiteral("PGRP"), QStringLiteral("PPW")};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(bytes);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestLoginDialog : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void outcomesOfOk_data();
    void outcomesOfOk();
    void acceptedLoginLoadsUserQueriesAndWritesTheLogLine();
    void refusedLoginThenCloseBoxLeavesNobodyLoggedIn();
    void cancelAfterRefusalPutsTheSavedIdentityBack();
    void logFolderThatCannotBeMadeIsShownAndTheLoginCompletes();
    void typedTextIsUpperCaseAndLimited();
    void enterKeysAndTheNonActiveLabel();
    void dateTimeAndDatabaseBoxes();

private:
    QLineEdit* edit(TdlgPassword& dialog, const char* name) {
        return dialog.findChild<QLineEdit*>(QLatin1String(name));
    }
    void tryLogin(TdlgPassword& dialog, const QString& code, const QString& password) {
        edit(dialog, "edtLogInUser")->clear();
        edit(dialog, "edtLogInPassword")->clear();
        QTest::keyClicks(edit(dialog, "edtLogInUser"), code);
        QTest::keyClicks(edit(dialog, "edtLogInPassword"), password);
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("bbtnOK")), Qt::LeftButton);
    }

    std::unique_ptr<TestContext> context;
    std::unique_ptr<TdmMMGroupAccess> groupAccess;
    LoginState state;
};

void TestLoginDialog::init() {
    context = std::make_unique<TestContext>();
    TestDatabases::CreateInstallation(context->folder());
    writeFile(context->path(QStringLiteral("Register.ini")),
              "[DATABASE]\r\nDEFAULT_SERVER=C\r\nDATABASE_SERVER=LOCAL\r\n"
              "[REPORT]\r\nSTOCKW_LOG=1\r\n");
    {
        DbConnection app(QStringLiteral("Setup"), QStringLiteral("ZantApp"));
        const QString insert = QStringLiteral(
            "INSERT INTO MAS_USER (M_CODE, M_DESC, M_USERGROUP, M_PASSWORD, M_ACTIVE, M_DATEFROM, "
            "M_DATETO) VALUES (%1)");
        for (const char* values :
             {"'ADMIN', 'Administrator', 'ADM', 'SECRET', 'T', '2020-01-01 08:00:00', "
              "'2020-01-01 17:00:00'",
              "'LOWER', 'Lower case password', 'ADM', 'secret', 'T', '2020-01-01 00:00:00', "
              "'2020-01-01 23:59:00'",
              "'NOPW', 'No password', 'ADM', NULL, 'T', '2020-01-01 00:00:00', "
              "'2020-01-01 23:59:00'",
              "'IDLE', 'Inactive user', 'ADM', 'SECRET', 'F', '2020-01-01 00:00:00', "
              "'2020-01-01 23:59:00'",
              "'GUEST', 'Guest', 'GST', 'SECRET', 'T', '2020-01-01 00:00:00', "
              "'2020-01-01 23:59:00'",
              "'NIGHT', 'Night shift', 'ADM', 'SECRET', 'T', '2020-01-01 22:00:00', "
              "'2020-01-02 06:00:00'",
              "'NONAME', NULL, 'ADM', 'SECRET', 'T', '2020-01-01 00:00:00', NULL",
              "'O''NEI', 'Quote in code', 'O''GRP', 'SECRET', 'T', '2020-01-01 00:00:00', "
              "'2020-01-01 23:59:00'"})
            app.execute(insert.arg(QLatin1String(values)));
        DbConnection sys(QStringLiteral("Setup"), QStringLiteral("ZantSys"));
        sys.execute(QStringLiteral("INSERT INTO MAS_USERGROUP (M_CODE, M_DESC) VALUES ('ADM', "
                                   "'Administrators')"));
        sys.execute(QStringLiteral("INSERT INTO MAS_USERGROUP (M_CODE, M_DESC) VALUES ('GST', "
                                   "'Guests')"));
        sys.execute(QStringLiteral(
            "INSERT INTO MAS_USERGROUPACCESS (M_CODE, M_ACCESS) VALUES ('ADM', 'ACCTLI')"));
        sys.execute(QStringLiteral(
            "INSERT INTO MAS_USERGROUPACCESS (M_CODE, M_ACCESS) VALUES ('O''GRP', 'ACCTLI')"));
        sys.execute(QStringLiteral(
            "INSERT INTO MAS_USERGROUPACCESS (M_CODE, M_ACCESS) VALUES ('GST', 'STOCK')"));
    }
    groupAccess = std::make_unique<TdmMMGroupAccess>();
    dmMMGroupAccess = groupAccess.get();
    state = LoginState{};
    state.identity = PreviousIdentity;
    state.CurrentTimeCode = TimeCode(QTime(10, 15));
    state.DatabaseMode = QStringLiteral("C");
    state.DatabaseServer = QStringLiteral("LOCAL");
}

void TestLoginDialog::cleanup() {
    dmMMGroupAccess = nullptr;
    groupAccess.reset();
    context.reset();
}

void TestLoginDialog::outcomesOfOk_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QTime>("now");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kind");
    const int error = int(MessageKind::Error);
    const int information = int(MessageKind::Information);
    const QTime morning(10, 15);
    QTest::newRow("accepted, typed in lower case") << "admin"
                                                   << "secret" << morning << true << "" << 0;
    QTest::newRow("17:00 is inside the hours") << "ADMIN"
                                               << "SECRET" << QTime(17, 0) << true << "" << 0;
    QTest::newRow("no password stored, none typed") << "NOPW"
                                                    << "" << morning << true << "" << 0;
    QTest::newRow("code with a quote") << "O'NEI"
                                       << "SECRET" << morning << true << "" << 0;
    QTest::newRow("wrong password") << "ADMIN"
                                    << "SECRE" << morning << false << InvalidText << error;
    QTest::newRow("unknown code") << "NOBODY"
                                  << "SECRET" << morning << false << InvalidText << error;
    QTest::newRow("stored lower-case password never matches")
        << "LOWER"
        << "secret" << morning << false << InvalidText << error;
    QTest::newRow("inactive: refused silently") << "IDLE"
                                                << "SECRET" << morning << false << "" << 0;
    QTest::newRow("17:01 is after the hours")
        << "ADMIN"
        << "SECRET" << QTime(17, 1) << false << TimeText << information;
    QTest::newRow("07:59 is before the hours")
        << "ADMIN"
        << "SECRET" << QTime(7, 59) << false << TimeText << information;
    QTest::newRow("hours across midnight")
        << "NIGHT"
        << "SECRET" << QTime(23, 30) << false << TimeText << information;
    QTest::newRow("group without the right")
        << "GUEST"
        << "SECRET" << morning << false << LevelText << information;
    QTest::newRow("incomplete user row")
        << "NONAME"
        << "SECRET" << morning << false
        << "Incomplete User Record !\r\nPlease define the user name, login time to of user "
           "NONAME before logging in."
        << error;
}

void TestLoginDialog::outcomesOfOk() {
    QFETCH(QString, code);
    QFETCH(QString, password);
    QFETCH(QTime, now);
    QFETCH(bool, accepted);
    QFETCH(QString, message);
    QFETCH(int, kind);
    state.CurrentTimeCode = TimeCode(now);
    TdlgPassword dialog(state);
    dialog.show();
    tryLogin(dialog, code, password);

    QCOMPARE(context->messages->texts(), message.isEmpty() ? QStringList() : QStringList{message});
    if (!message.isEmpty())
        QCOMPARE(int(context->messages->shown.first().kind), kind);
    QCOMPARE(dialog.isVisible(), !accepted);
    QCOMPARE(dialog.result() == QDialog::Accepted, accepted);
    if (accepted) {
        QCOMPARE(state.identity.UserCode, code.toUpper());
        QVERIFY(dmMMUser == nullptr); // freed with the closed dialog
    } else {
        QCOMPARE(state.identity.UserCode, PreviousIdentity.UserCode);
        QCOMPARE(state.identity.UserName, PreviousIdentity.UserName);
        QCOMPARE(state.identity.UserGroup, PreviousIdentity.UserGroup);
        QCOMPARE(state.identity.UserPassword, PreviousIdentity.UserPassword);
    }
}

void TestLoginDialog::acceptedLoginLoadsUserQueriesAndWritesTheLogLine() {
    TdlgPassword dialog(state);
    dialog.show();
    tryLogin(dialog, QStringLiteral("ADMIN"), QStringLiteral("SECRET"));
    QVERIFY(context->messages->texts().isEmpty());
    QCOMPARE(state.identity.UserCode, QStringLiteral("ADMIN"));
    QCOMPARE(state.identity.UserName, QStringLiteral("Administrator"));
    QCOMPARE(state.identity.UserGroup, QStringLiteral("ADM"));
    QCOMPARE(state.identity.UserPassword, QStringLiteral("SECRET"));
    QCOMPARE(state.LoginTimeFrom, 1810);
    QCOMPARE(state.LoginTimeTo, 2710);

    QCOMPARE(groupAccess->qryUser.sql(),
             QStringLiteral("Select * From MAS_User Where M_Code='ADMIN'"));
    QCOMPARE(groupAccess->qryUser.recordCount(), 1);
    QCOMPARE(groupAccess->qryUserLink.sql(),
             QStringLiteral("Select * From MAS_User_Link Where M_User='ADMIN'"));
    QVERIFY(groupAccess->qryUserLink.isActive());
    QCOMPARE(groupAccess->qryUserGroup.sql(),
             QStringLiteral("Select * From MAS_UserGroup Where M_Code='ADM'"));
    QCOMPARE(groupAccess->qryUserGroup.field("M_DESC").asString(),
             QStringLiteral("Administrators"));

    QCOMPARE(readFile(context->path(QStringLiteral("Log/Stock/2024/03/Stock-20240305.000"))),
             QByteArray("10:15:02 [ADMIN.] Please type in your ID and password.......... : "
                        "{Login     } # \n"));
}

void TestLoginDialog::refusedLoginThenCloseBoxLeavesNobodyLoggedIn() {
    state.identity = LoginIdentity{};
    state.CurrentTimeCode = TimeCode(QTime(17, 1));
    TdlgPassword dialog(state);
    dialog.show();
    tryLogin(dialog, QStringLiteral("ADMIN"), QStringLiteral("SECRET"));
    QCOMPARE(context->messages->texts(), QStringList{TimeText});
    // The refused attempt still read the user's hours.
    QCOMPARE(state.LoginTimeFrom, 1810);
    QVERIFY(dialog.isVisible());
    dialog.close();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(state.identity.UserCode.isEmpty());
    QVERIFY(dmMMUser == nullptr);
    QVERIFY(!QFile::exists(context->path(QStringLiteral("Log/Stock"))));
}

void TestLoginDialog::cancelAfterRefusalPutsTheSavedIdentityBack() {
    TdlgPassword dialog(state);
    dialog.show();
    tryLogin(dialog, QStringLiteral("GUEST"), QStringLiteral("SECRET"));
    QCOMPARE(context->messages->texts(), QStringList{LevelText});
    // Esc is the cancel button.
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(state.identity.UserCode, PreviousIdentity.UserCode);
    QCOMPARE(state.identity.UserGroup, PreviousIdentity.UserGroup);
}

void TestLoginDialog::logFolderThatCannotBeMadeIsShownAndTheLoginCompletes() {
    // A file where the log root should be: no folder can be made below it.
    writeFile(context->path(QStringLiteral("blocker")), "x");
    writeFile(context->path(QStringLiteral("Register.ini")),
              "[REPORT]\r\nSTOCKW_LOG=1\r\nLOG=" + context->path("blocker").toLocal8Bit() + "\r\n");
    groupAccess->DataModuleCreate();
    TdlgPassword dialog(state);
    dialog.show();
    tryLogin(dialog, QStringLiteral("ADMIN"), QStringLiteral("SECRET"));
    QCOMPARE(context->messages->texts(),
             QStringList{QStringLiteral("Cannot create ") + context->path("blocker") +
                         QStringLiteral("/Stock/2024/03/")});
    QCOMPARE(int(context->messages->shown.first().kind), int(MessageKind::Error));
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(state.identity.UserCode, QStringLiteral("ADMIN"));
}

void TestLoginDialog::typedTextIsUpperCaseAndLimited() {
    TdlgPassword dialog(state);
    dialog.show();
    QTest::keyClicks(edit(dialog, "edtLogInUser"), QStringLiteral("admin123"));
    QCOMPARE(edit(dialog, "edtLogInUser")->text(), QStringLiteral("ADMIN1"));
    QLineEdit* password = edit(dialog, "edtLogInPassword");
    QTest::keyClicks(password, QString(35, QLatin1Char('x')));
    QCOMPARE(password->text(), QString(30, QLatin1Char('X')));
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Please type in your ID and password"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("Label13"))->text(), QStringLiteral("1.20"));
}

void TestLoginDialog::enterKeysAndTheNonActiveLabel() {
    TdlgPassword dialog(state);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QLineEdit* code = edit(dialog, "edtLogInUser");
    QLineEdit* password = edit(dialog, "edtLogInPassword");
    auto* nonActive = dialog.findChild<QLabel*>(QStringLiteral("Label14"));
    auto* picture = dialog.findChild<QLabel*>(QStringLiteral("DBImage1"));
    QCOMPARE(QApplication::focusWidget(), code);
    QVERIFY(nonActive->isHidden() && picture->isHidden());

    QTest::keyClicks(code, QStringLiteral("IDLE"));
    QTest::keyClick(code, Qt::Key_Return); // moves on; leaving the box looks the user up
    QCOMPARE(QApplication::focusWidget(), password);
    QVERIFY(nonActive->isVisible());
    QVERIFY(picture->isVisible());

    code->setFocus();
    code->setText(QStringLiteral("ADMIN"));
    password->setFocus();
    QVERIFY(nonActive->isHidden());
    QVERIFY(picture->isVisible());

    code->setFocus();
    code->setText(QStringLiteral("NOBODY"));
    password->setFocus();
    QVERIFY(nonActive->isHidden() && picture->isHidden());

    // Enter in the password box presses OK.
    code->setText(QStringLiteral("ADMIN"));
    QTest::keyClicks(password, QStringLiteral("SECRET"));
    QTest::keyClick(password, Qt::Key_Return);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(state.identity.UserCode, QStringLiteral("ADMIN"));
}

void TestLoginDialog::dateTimeAndDatabaseBoxes() {
    TdlgPassword dialog(state);
    QLineEdit* date = edit(dialog, "edtLogInDate");
    QLineEdit* time = edit(dialog, "edtLogInTime");
    QVERIFY(date->text().isEmpty() && time->text().isEmpty());
    dialog.show();
    QCOMPARE(edit(dialog, "edtDatabase")->text(), QStringLiteral("[ Local Server ]  C-Mode GDB"));
    QTRY_COMPARE_WITH_TIMEOUT(date->text(), QStringLiteral("05/03/2024  Tuesday"), 2500);
    QCOMPARE(time->text(), QStringLiteral("10:15:02"));
    context->clock->advanceSeconds(3600);
    QTRY_COMPARE_WITH_TIMEOUT(time->text(), QStringLiteral("11:15:02"), 2500);
}

QTEST_MAIN(TestLoginDialog)
#include "test_login_dialog.moc"
