#pragma once

#include "export/einvoice_check.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// "e-Invoice month check": the month-end check of the consolidated e-invoice for a month chosen
// by the bookkeeper (as `zantro-batch einvoice-check` prints it): per store the days not all
// posted, the receipts above RM10,000, the receipt numbers missing within a counter-day, and the
// days left until the seventh of the next month. Works on the data module dmPolling, which must
// exist.
class TdlgEInvoiceCheck : public QDialog {
    Q_OBJECT
public:
    explicit TdlgEInvoiceCheck(QWidget* parent = nullptr);

    // Checks the month chosen and shows the result.
    void btnCheckClick();
    void setMonth(const QDate& month);
    const EInvoiceMonthCheck& lastCheck() const { return check_; }

private:
    QDateEdit* dtpMonth = nullptr;
    QPushButton* btnCheck = nullptr;
    QLabel* lblResult = nullptr;
    QPlainTextEdit* memCheck = nullptr;
    QPushButton* btnClose = nullptr;
    EInvoiceMonthCheck check_;
};
