#include "config/ui/dialog_buttons.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QPushButton>

namespace {

QPushButton* button(QWidget* dialog, const char* caption, const char* name) {
    auto* made = new QPushButton(QString::fromLatin1(caption), dialog);
    made->setObjectName(QString::fromLatin1(name));
    return made;
}

void tipWithKey(QPushButton* button, const QKeySequence& key) {
    QString caption = button->text();
    caption.remove(QLatin1Char('&'));
    button->setToolTip(
        QStringLiteral("%1 (%2)").arg(caption, key.toString(QKeySequence::NativeText)));
}

} // namespace

DialogButtons MakeOkCancelApplyButtons(QWidget* dialog) {
    DialogButtons buttons;
    buttons.ok = button(dialog, "&OK", "BitBtn1");
    buttons.ok->setDefault(true);
    buttons.cancel = button(dialog, "&Cancel", "BitBtn2");
    buttons.apply = button(dialog, "&Apply", "bbtnApply");
    buttons.row = new QHBoxLayout;
    buttons.row->addStretch(1);
    buttons.row->addWidget(buttons.ok);
    buttons.row->addWidget(buttons.cancel);
    buttons.row->addWidget(buttons.apply);
    NameDialogKeys(buttons.ok, buttons.cancel);
    tipWithKey(buttons.apply, QKeySequence(Qt::ALT | Qt::Key_A));
    return buttons;
}

void NameDialogKeys(QPushButton* defaultButton, QPushButton* cancelButton) {
    tipWithKey(defaultButton, QKeySequence(Qt::Key_Return));
    tipWithKey(cancelButton, QKeySequence(Qt::Key_Escape));
}
