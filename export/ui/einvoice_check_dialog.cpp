#include "export/ui/einvoice_check_dialog.h"

#include "core/action_guard.h"
#include "core/app_context.h"
#include "core/app_error.h"
#include "data/dm_polling.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TdlgEInvoiceCheck::TdlgEInvoiceCheck(QWidget* parent) : QDialog(parent) {
    if (!dmPolling)
        throw AppError(QStringLiteral("The e-invoice month check needs the data module "
                                      "dmPolling."));
    setObjectName(QStringLiteral("dlgEInvoiceCheck"));
    setWindowTitle(QStringLiteral("e-Invoice month check"));

    dtpMonth = new QDateEdit;
    dtpMonth->setObjectName(QStringLiteral("dtpMonth"));
    dtpMonth->setDisplayFormat(QStringLiteral("yyyy/MM"));
    // Up to the seventh the month before is the one still due; after it, the month in hand.
    const QDate today = Now().date();
    setMonth(today.day() <= 7 ? today.addMonths(-1) : today);
    btnCheck = new QPushButton(QStringLiteral("&Check"));
    btnCheck->setObjectName(QStringLiteral("btnCheck"));
    btnCheck->setDefault(true);
    connect(btnCheck, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { btnCheckClick(); }); });

    lblResult = new QLabel;
    lblResult->setObjectName(QStringLiteral("lblResult"));
    lblResult->setWordWrap(true);
    memCheck = new QPlainTextEdit;
    memCheck->setObjectName(QStringLiteral("memCheck"));
    memCheck->setReadOnly(true);
    memCheck->setLineWrapMode(QPlainTextEdit::NoWrap);
    memCheck->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    btnClose = new QPushButton(QStringLiteral("C&lose"));
    btnClose->setObjectName(QStringLiteral("btnClose"));
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Month :")));
    top->addWidget(dtpMonth);
    top->addWidget(btnCheck);
    top->addStretch(1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(btnClose);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lblResult);
    layout->addWidget(memCheck, 1);
    layout->addLayout(bottom);
    resize(760, 480);
}

void TdlgEInvoiceCheck::setMonth(const QDate& month) {
    dtpMonth->setDate(QDate(month.year(), month.month(), 1));
}

void TdlgEInvoiceCheck::btnCheckClick() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct RestoreCursor {
        ~RestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restore;
    memCheck->clear();
    lblResult->clear();
    check_ = CheckEInvoiceMonth(dmPolling->dbStk, dtpMonth->date(), Now().date());
    memCheck->setPlainText(EInvoiceCheckText(check_));
    lblResult->setText(check_.complete()
                           ? QStringLiteral("The month is complete.")
                           : QStringLiteral("The month is not complete: %1 point(s) to put right "
                                            "before the consolidated e-invoice is due.")
                                 .arg(check_.problems()));
}
