#include "login/ui/password_dialog.h"

#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/app_error.h"
#include "data/activity_log.h"
#include "data/dm_mm_group_access.h"
#include "data/dm_mm_user.h"
#include "login/database_mode_text.h"
#include "login/login_check.h"
#include "login/program_version.h"
#include "login/ui/program_icon.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QValidator>

TdlgPassword* dlgPassword = nullptr;

namespace {

// Turns letters into capitals as they are typed.
class UpperCaseValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        input = input.toUpper();
        return Acceptable;
    }
};

constexpr int PictureWidth = 96;
constexpr int PictureHeight = 112;

QLineEdit* readOnlyBox(const char* name, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setObjectName(QLatin1String(name));
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    // Greyed like the dialog, so the boxes read as information rather than input.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    box->setPalette(palette);
    return box;
}

// A grey outline of a person, shown in the picture frame of a user without a photo.
QPixmap noPhotoPicture(const QSize& size) {
    QPixmap pixmap(size);
    pixmap.fill(QColor(0xe4, 0xe7, 0xeb));
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0xa8, 0xb0, 0xba));
    const qreal w = size.width();
    const qreal h = size.height();
    painter.drawEllipse(QPointF(w / 2, h * 0.36), w * 0.2, w * 0.2);
    QPainterPath shoulders;
    shoulders.addRoundedRect(QRectF(w * 0.16, h * 0.6, w * 0.68, h * 0.5), w * 0.3, w * 0.3);
    painter.drawPath(shoulders);
    return pixmap;
}

bool isEnterKey(QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

TdlgPassword::TdlgPassword(LoginState& state, QWidget* parent) : QDialog(parent), state_(state) {
    setObjectName(QStringLiteral("dlgPassword"));
    buildControls();
    FormCreate();
    dlgPassword = this;
}

TdlgPassword::~TdlgPassword() {
    FormClose();
}

void TdlgPassword::buildControls() {
    setWindowTitle(QLatin1String(LoginDialogCaption));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    // Banner: program name and version.
    auto* banner = new QWidget(this);
    banner->setObjectName(QStringLiteral("pnlBanner"));
    banner->setAutoFillBackground(true);
    QPalette bannerPalette = banner->palette();
    bannerPalette.setColor(QPalette::Window, QColor(0x1f, 0x3a, 0x5f));
    bannerPalette.setColor(QPalette::WindowText, Qt::white);
    banner->setPalette(bannerPalette);
    auto* bannerIcon = new QLabel(banner);
    bannerIcon->setPixmap(ProgramIcon().pixmap(32, 32));
    auto* bannerTitle = new QLabel(QStringLiteral("Zantro POS Accounting Link"), banner);
    QFont titleFont = bannerTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.35);
    titleFont.setBold(true);
    bannerTitle->setFont(titleFont);
    auto* versionCaption = new QLabel(QStringLiteral("Version"), banner);
    Label13 = new QLabel(banner);
    Label13->setObjectName(QStringLiteral("Label13"));
    auto* bannerLayout = new QHBoxLayout(banner);
    bannerLayout->setContentsMargins(12, 10, 12, 10);
    bannerLayout->addWidget(bannerIcon);
    bannerLayout->addWidget(bannerTitle, 1);
    bannerLayout->addWidget(versionCaption);
    bannerLayout->addWidget(Label13);

    // The user's picture keeps its place while hidden, so the boxes do not jump.
    auto* pictureFrame = new QWidget(this);
    pictureFrame->setFixedSize(PictureWidth, PictureHeight);
    DBImage1 = new QLabel(pictureFrame);
    DBImage1->setObjectName(QStringLiteral("DBImage1"));
    DBImage1->setGeometry(0, 0, PictureWidth, PictureHeight);
    DBImage1->setFrameShape(QFrame::StyledPanel);
    DBImage1->setFrameShadow(QFrame::Sunken);
    DBImage1->setAlignment(Qt::AlignCenter);
    DBImage1->setScaledContents(true);
    DBImage1->hide();

    edtLogInUser = new QLineEdit(this);
    edtLogInUser->setObjectName(QStringLiteral("edtLogInUser"));
    edtLogInUser->setMaxLength(6);
    edtLogInUser->setValidator(new UpperCaseValidator(edtLogInUser));
    edtLogInUser->installEventFilter(this);
    edtLogInUser->setMaximumWidth(110);

    Label14 = new QLabel(QStringLiteral("Non Active"), this);
    Label14->setObjectName(QStringLiteral("Label14"));
    QFont warningFont = Label14->font();
    warningFont.setBold(true);
    Label14->setFont(warningFont);
    QPalette warningPalette = Label14->palette();
    warningPalette.setColor(QPalette::WindowText, QColor(0xc0, 0x10, 0x10));
    Label14->setPalette(warningPalette);
    Label14->hide();
    auto* codeRow = new QHBoxLayout;
    codeRow->addWidget(edtLogInUser);
    codeRow->addWidget(Label14);
    codeRow->addStretch(1);

    edtLogInPassword = new QLineEdit(this);
    edtLogInPassword->setObjectName(QStringLiteral("edtLogInPassword"));
    edtLogInPassword->setMaxLength(30);
    edtLogInPassword->setEchoMode(QLineEdit::Password);
    edtLogInPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    edtLogInPassword->setValidator(new UpperCaseValidator(edtLogInPassword));
    edtLogInPassword->installEventFilter(this);

    edtLogInDate = readOnlyBox("edtLogInDate", this);
    edtLogInTime = readOnlyBox("edtLogInTime", this);
    edtDatabase = readOnlyBox("edtDatabase", this);

    auto* fields = new QFormLayout;
    fields->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    fields->setHorizontalSpacing(10);
    fields->addRow(QStringLiteral("Code"), codeRow);
    fields->addRow(QStringLiteral("Password"), edtLogInPassword);
    fields->addRow(QStringLiteral("Date"), edtLogInDate);
    fields->addRow(QStringLiteral("Time"), edtLogInTime);
    fields->addRow(QStringLiteral("Database"), edtDatabase);

    auto* body = new QHBoxLayout;
    body->setContentsMargins(14, 14, 14, 4);
    body->setSpacing(14);
    body->addWidget(pictureFrame, 0, Qt::AlignTop);
    body->addLayout(fields, 1);

    bbtnOK = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"),
                             this);
    bbtnOK->setObjectName(QStringLiteral("bbtnOK"));
    bbtnOK->setDefault(true);
    bbtnCancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                                 QStringLiteral("Cancel"), this);
    bbtnCancel->setObjectName(QStringLiteral("bbtnCancel"));
    bbtnCancel->setAutoDefault(false);
    // The keys of the two buttons: Enter logs in, Esc cancels.
    bbtnOK->setToolTip(QStringLiteral("OK (%1)").arg(
        QKeySequence(Qt::Key_Return).toString(QKeySequence::NativeText)));
    bbtnCancel->setToolTip(
        QStringLiteral("Cancel (%1)")
            .arg(QKeySequence(Qt::Key_Escape).toString(QKeySequence::NativeText)));
    connect(bbtnOK, &QPushButton::clicked, this, &TdlgPassword::bbtnOKClick);
    connect(bbtnCancel, &QPushButton::clicked, this, &TdlgPassword::bbtnCancelClick);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(14, 4, 14, 14);
    buttons->addStretch(1);
    buttons->addWidget(bbtnOK);
    buttons->addWidget(bbtnCancel);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(banner);
    layout->addLayout(body);
    layout->addSpacing(8);
    layout->addWidget(line);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    edtLogInPassword->setMinimumWidth(240);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);
    connect(Timer1, &QTimer::timeout, this, &TdlgPassword::Timer1Timer);
}

void TdlgPassword::FormCreate() {
    saved_ = state_.identity;
    Label13->setText(QLatin1String(ProgramVersion));
    userModule_ = std::make_unique<TdmMMUser>();
    dmMMUser = userModule_.get();
    Timer1->start();
}

void TdlgPassword::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormShow();
}

void TdlgPassword::FormShow() {
    edtLogInUser->setFocus();
    edtDatabase->setText(DatabaseModeText(state_.DatabaseMode, state_.DatabaseServer));
}

void TdlgPassword::Timer1Timer() {
    const QDateTime now = Now();
    // The day name is always the English one, whatever the regional settings say.
    edtLogInDate->setText(ShortDateText(now.date()) + QStringLiteral("  ") +
                          QLocale::c().dayName(now.date().dayOfWeek(), QLocale::LongFormat));
    edtLogInTime->setText(LongTimeText(now.time()));
}

bool TdlgPassword::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edtLogInUser) {
        if (isEnterKey(event)) {
            edtLogInPassword->setFocus();
            return true;
        }
        if (event->type() == QEvent::FocusOut)
            edtLogInUserExit();
    } else if (watched == edtLogInPassword && isEnterKey(event)) {
        bbtnOK->click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TdlgPassword::edtLogInUserExit() {
    if (!dmMMUser)
        return;
    RunGuarded([this] {
        Table& users = dmMMUser->tblMMUser;
        if (users.locate(QStringLiteral("M_CODE"), edtLogInUser->text())) {
            showUserPicture();
            Label14->setVisible(users.field(QStringLiteral("M_ACTIVE")).asString() !=
                                QLatin1String("T"));
        } else {
            DBImage1->hide();
            Label14->hide();
        }
    });
}

void TdlgPassword::showUserPicture() {
    QPixmap picture;
    const QVariant photo = dmMMUser->tblMMUser.value(QStringLiteral("M_PHOTO"));
    if (!photo.isNull())
        picture.loadFromData(photo.toByteArray());
    DBImage1->setPixmap(picture.isNull() ? noPhotoPicture(DBImage1->size()) : picture);
    DBImage1->show();
}

void TdlgPassword::restoreSavedIdentity() {
    state_.identity = saved_;
}

// A refused attempt: the identity is put back and the user starts again at the code.
void TdlgPassword::refuse() {
    restoreSavedIdentity();
    edtLogInUser->setFocus();
}

void TdlgPassword::bbtnOKClick() {
    RunGuarded([this] {
        if (!dmMMGroupAccess || !dmMMUser)
            throw AppError(QStringLiteral("The user tables are not open."));
        const LoginAttempt attempt =
            CheckLogin(dmMMUser->tblMMUser, dmMMGroupAccess->qryCheck, edtLogInUser->text(),
                       edtLogInPassword->text(), state_.CurrentTimeCode);
        if (attempt.hoursRead) {
            state_.LoginTimeFrom = attempt.loginTimeFrom;
            state_.LoginTimeTo = attempt.loginTimeTo;
        }
        if (!attempt.accepted()) {
            if (!attempt.message.isEmpty())
                Messages().show(attempt.messageKind, attempt.message);
            if (attempt.outcome == LoginOutcome::Inactive)
                edtLogInUser->setFocus();
            else
                refuse();
            return;
        }
        state_.identity = attempt.identity;
        LoadUserQueries(*dmMMGroupAccess, state_.identity);
        accept();
    });
    if (result() != QDialog::Accepted)
        return;
    // The login has succeeded whatever happens here: a log error is only shown.
    const QString userCode = state_.identity.UserCode;
    RunGuarded([&] { LogLoginActivity(userCode); });
}

void TdlgPassword::bbtnCancelClick() {
    reject();
}

void TdlgPassword::reject() {
    restoreSavedIdentity();
    QDialog::reject();
}

void TdlgPassword::done(int result) {
    if (result != QDialog::Accepted)
        restoreSavedIdentity();
    QDialog::done(result);
    FormClose();
}

void TdlgPassword::FormClose() {
    if (closed_)
        return;
    closed_ = true;
    Timer1->stop();
    if (dmMMUser == userModule_.get())
        dmMMUser = nullptr;
    userModule_.reset();
    if (dlgPassword == this)
        dlgPassword = nullptr;
}
