#include "app/ui/close_on_stop_signal.h"

#include "core/stop_signals.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTimer>

namespace {

constexpr int kCheckMs = 100;

// The answer a person would give to get out of the box: Cancel, OK or No.
void dismiss(QWidget* modal) {
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

bool isRunWindow(QWidget* widget) {
    return qobject_cast<QMessageBox*>(widget) || qobject_cast<QProgressDialog*>(widget);
}

} // namespace

void CloseOnStopSignal(QObject* owner, std::function<void()> exit) {
    auto* timer = new QTimer(owner);
    timer->setInterval(kCheckMs);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, exit = std::move(exit)] {
        if (!StopSignals::Requested())
            return;
        QWidget* modal = QApplication::activeModalWidget();
        if (StopAtSafePoint::active()) {
            // An export is under way: its own windows only; it stops after the document in hand.
            if (modal && isRunWindow(modal))
                dismiss(modal);
            return;
        }
        if (modal) {
            dismiss(modal);
            return;
        }
        timer->stop();
        exit();
    });
    timer->start();
}
