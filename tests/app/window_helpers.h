#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

// Runs `action` on the first modal window that opens (the login dialog, a properties window)
// and stops watching; also closes a modal window still open after `limitMs`, so a test that
// opens one by mistake fails instead of hanging.
class ModalWatcher : public QObject {
public:
    explicit ModalWatcher(std::function<void(QWidget*)> action, int limitMs = 10000)
        : action_(std::move(action)) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, this, [this] { poll(); });
        timer_.start();
        limit_.setSingleShot(true);
        QObject::connect(&limit_, &QTimer::timeout, this, [this] {
            if (QWidget* modal = QApplication::activeModalWidget())
                modal->close();
        });
        limit_.start(limitMs);
    }

    // The class of the modal window seen, empty when none opened.
    QString seenClass;

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer_.stop();
        seenClass = QLatin1String(modal->metaObject()->className());
        action_(modal);
    }

    std::function<void(QWidget*)> action_;
    QTimer timer_;
    QTimer limit_;
};
