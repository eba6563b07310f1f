#include "config/ui/dialog_buttons.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace {

QPushButton* button(QWidget* dialog, const char* caption, const char* name) {
    auto* made = new QPushButton(QString::fromLatin1(caption), dialog);
    made->setObjectName(QString::fromLatin1(name));
    return made;
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
    return buttons;
}
