#pragma once

#include <QDialog>

// "Please Wait..." while the main window is built: centred on the screen, a fixed border and a
// title bar without buttons.
class TfrmStartLoad : public QDialog {
    Q_OBJECT
public:
    explicit TfrmStartLoad(QWidget* parent = nullptr);

    // Shows the window and paints it at once, before the event loop runs.
    void showNow();
};
