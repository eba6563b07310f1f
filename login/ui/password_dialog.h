#pragma once

#include "login/login_identity.h"

#include <QDialog>
#include <memory>

class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class TdmMMUser;

// The login dialog: the user code and password of MAS_USER, the checks of the login in their
// order, and on acceptance the identity, the user queries and the "Login" activity line. It works
// on the main window's login state: the identity it finds there is saved when it opens and put
// back on every way out but an accepted login. Only an accepted login closes it by itself.
// Needs dmMMGroupAccess; creates dmMMUser for its lifetime.
class TdlgPassword : public QDialog {
    Q_OBJECT
public:
    TdlgPassword(LoginState& state, QWidget* parent = nullptr);
    ~TdlgPassword() override;

    // Handlers, named after their control and event.
    void FormShow();
    void Timer1Timer();
    void edtLogInUserExit();
    void bbtnOKClick();
    void bbtnCancelClick();

    void done(int result) override;
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormClose();
    void buildControls();
    void restoreSavedIdentity();
    void refuse();
    void showUserPicture();

    LoginState& state_;
    LoginIdentity saved_;
    std::unique_ptr<TdmMMUser> userModule_;
    bool closed_ = false;

    QLineEdit* edtLogInUser = nullptr;
    QLineEdit* edtLogInPassword = nullptr;
    QLineEdit* edtLogInDate = nullptr;
    QLineEdit* edtLogInTime = nullptr;
    QLineEdit* edtDatabase = nullptr;
    QLabel* Label13 = nullptr;
    QLabel* Label14 = nullptr;
    QLabel* DBImage1 = nullptr;
    QPushButton* bbtnOK = nullptr;
    QPushButton* bbtnCancel = nullptr;
    QTimer* Timer1 = nullptr;
};

// The open login dialog, or null.
extern TdlgPassword* dlgPassword;
