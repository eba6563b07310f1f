#include "app/ui/splash_window.h"

#include "login/ui/program_icon.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>

TfrmStartLoad::TfrmStartLoad(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmStartLoad"));
    setWindowTitle(QStringLiteral("Zantro POS Accounting Link"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("Image1"));
    icon->setPixmap(ProgramIcon().pixmap(48, 48));
    auto* text = new QLabel(QStringLiteral("Please Wait..."), this);
    text->setObjectName(QStringLiteral("Label1"));
    QFont font = text->font();
    font.setPointSizeF(font.pointSizeF() * 1.4);
    font.setBold(true);
    text->setFont(font);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(28, 22, 40, 22);
    layout->setSpacing(18);
    layout->addWidget(icon);
    layout->addWidget(text);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmStartLoad::showNow() {
    adjustSize();
    if (const QScreen* screen = QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    show();
    repaint();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
