#pragma once

#include "config/settings_keys.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QSplitter;
class QWidget;

// Sizes as the layout keys hold them: whole numbers joined by commas ("1000,640"). Empty when
// the text is not `count` numbers, each at least `minimum`.
std::optional<QList<int>> ParseLayoutSizes(const QString& text, int count, int minimum);
QString LayoutSizesText(const QList<int>& sizes);

// Keeps a window's size and the positions of its splitters in [LAYOUT] of the settings file
// between runs. The stored sizes are applied when the keeper is made (at the end of the window's
// construction; a size beyond the screen is cut to it, a missing or unreadable one leaves the
// design size). When the window is hidden, which closing it does, the sizes the user changed
// while it was open are written back; a window nobody resized writes nothing.
class WindowLayoutKeeper : public QObject {
public:
    WindowLayoutKeeper(QWidget* window, const SettingKey& sizeKey);

    // Also keeps the splitter's parts, restored at once.
    void keepSplitter(QSplitter* splitter, const SettingKey& key);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Kept {
        SettingKey key;
        QString shown; // the text of the sizes once the window was on the screen
    };
    QString sizeText() const;
    QString splitterText(int index) const;
    void takeShownSizes();
    void saveChangedSizes();

    QWidget* window_;
    Kept size_;
    QList<QPointer<QSplitter>> splitters_;
    QList<Kept> splitterKeys_;
    bool shownTaken_ = false;
};
