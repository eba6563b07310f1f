#include "config/ui/window_layout.h"

#include "config/settings_file.h"

#include <QEvent>
#include <QScreen>
#include <QSplitter>
#include <QStringList>
#include <QTimer>
#include <QWidget>

std::optional<QList<int>> ParseLayoutSizes(const QString& text, int count, int minimum) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != count)
        return std::nullopt;
    QList<int> sizes;
    for (const QString& part : parts) {
        bool ok = false;
        const int size = part.trimmed().toInt(&ok);
        if (!ok || size < minimum)
            return std::nullopt;
        sizes << size;
    }
    return sizes;
}

QString LayoutSizesText(const QList<int>& sizes) {
    QStringList parts;
    for (int size : sizes)
        parts << QString::number(size);
    return parts.join(QLatin1Char(','));
}

WindowLayoutKeeper::WindowLayoutKeeper(QWidget* window, const SettingKey& sizeKey)
    : QObject(window), window_(window), size_{sizeKey, QString()} {
    const SettingsFile settings;
    if (const auto stored = ParseLayoutSizes(settings.read(sizeKey), 2, 1)) {
        QSize size(stored->at(0), stored->at(1));
        if (const QScreen* screen = window->screen())
            size = size.boundedTo(screen->availableGeometry().size());
        window->resize(size.expandedTo(window->minimumSizeHint()));
    }
    window->installEventFilter(this);
}

void WindowLayoutKeeper::keepSplitter(QSplitter* splitter, const SettingKey& key) {
    const SettingsFile settings;
    if (const auto stored = ParseLayoutSizes(settings.read(key), splitter->count(), 0))
        splitter->setSizes(*stored);
    splitters_ << splitter;
    splitterKeys_ << Kept{key, QString()};
}

QString WindowLayoutKeeper::sizeText() const {
    return LayoutSizesText({window_->width(), window_->height()});
}

QString WindowLayoutKeeper::splitterText(int index) const {
    const QSplitter* splitter = splitters_.at(index);
    return splitter ? LayoutSizesText(splitter->sizes()) : QString();
}

bool WindowLayoutKeeper::eventFilter(QObject* watched, QEvent* event) {
    if (watched == window_) {
        // The sizes are taken once the window's layout has placed everything.
        if (event->type() == QEvent::Show && !shownTaken_)
            QTimer::singleShot(0, this, &WindowLayoutKeeper::takeShownSizes);
        else if (event->type() == QEvent::Hide)
            saveChangedSizes();
    }
    return QObject::eventFilter(watched, event);
}

void WindowLayoutKeeper::takeShownSizes() {
    if (!window_->isVisible())
        return;
    size_.shown = sizeText();
    for (int i = 0; i < splitterKeys_.size(); ++i)
        splitterKeys_[i].shown = splitterText(i);
    shownTaken_ = true;
}

void WindowLayoutKeeper::saveChangedSizes() {
    if (!shownTaken_)
        return;
    // The sizes are a convenience: a settings file that cannot be written must not stop the
    // window from closing, nor ask the user about it at every close.
    try {
        SettingsFile settings;
        if (sizeText() != size_.shown) {
            settings.write(size_.key, sizeText());
            size_.shown = sizeText();
        }
        for (int i = 0; i < splitterKeys_.size(); ++i) {
            const QString text = splitterText(i);
            if (!text.isEmpty() && text != splitterKeys_.at(i).shown) {
                settings.write(splitterKeys_.at(i).key, text);
                splitterKeys_[i].shown = text;
            }
        }
    } catch (...) {
    }
}
