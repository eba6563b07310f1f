#pragma once

class QHBoxLayout;
class QPushButton;
class QWidget;

// The OK, Cancel and Apply buttons of the settings dialogs (object names BitBtn1, BitBtn2 and
// bbtnApply, OK the default), right-aligned in one row, each tip naming its key: Enter for OK,
// Esc for Cancel, Alt and the underlined letter for Apply.
struct DialogButtons {
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* apply = nullptr;
    QHBoxLayout* row = nullptr;
};
DialogButtons MakeOkCancelApplyButtons(QWidget* dialog);

// Tips naming the keys of a dialog's default button (Enter) and its Cancel button (Esc).
void NameDialogKeys(QPushButton* defaultButton, QPushButton* cancelButton);
