#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class SettingsFile;

// "Import": shows the date of the last import; OK runs the import, which records today's date,
// limits the station table to the active stations while the window is open and writes a start
// and an end line to the polling log. OK can be pressed once per window.
//
// Create it with new: like every window of the program it frees itself when it closes. Its
// destruction tells the main window, which rebuilds its station list and log tree, and after a
// run shows its summaries.
class TdlgProcessIn : public QDialog {
    Q_OBJECT
public:
    // `settings` is the main window's settings file, which outlives the window.
    TdlgProcessIn(SettingsFile& settings, QWidget* parent);
    ~TdlgProcessIn() override;

    // Set once OK has been pressed.
    bool Imported = false;

signals:
    // The window is being destroyed (FormDestroy); `imported` tells whether OK was pressed.
    void formDestroyed(bool imported);

public slots:
    void BitBtn2Click(); // OK: the run
    void BitBtn1Click(); // Cancel
    // The body of the run: resets the gauges and writes the two polling-log lines.
    void StartProcessIn();
    // Closing in any way lifts the station filter first (FormClose).
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void run();
    QLabel* valueLabel(const char* name);

    SettingsFile& settings_;
    bool shown_ = false;
    bool closed_ = false;

    QLabel* lblStation = nullptr;
    QLabel* lblCategory = nullptr;
    QLabel* lblFiles = nullptr;
    QLabel* lblDesc = nullptr;
    QLabel* lblDateTime = nullptr;
    QLabel* lblStatus = nullptr;
    QProgressBar* Gauge1 = nullptr;
    QProgressBar* Gauge2 = nullptr;
    QPushButton* BitBtn2 = nullptr; // OK
    QPushButton* BitBtn1 = nullptr; // Cancel
};
