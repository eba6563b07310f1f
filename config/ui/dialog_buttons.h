#pragma once

class QHBoxLayout;
class QPushButton;
class QWidget;

// The OK, Cancel and Apply buttons of the settings dialogs (object names BitBtn1, BitBtn2 and
// bbtnApply, OK the default), right-aligned in one row.
struct DialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* apply = nullptr;
    QHBoxLayout* row = nullptr;
};
DialogButtons MakeOkCancelApplyButtons(QWidget* dialog);
