#pragma once

#include <QComboBox>
#include <QWidget>
#include <functional>

class LogTree;
class QLabel;
class QPushButton;
class QSplitter;
class QTreeWidget;
class SettingsFile;

// The station box of the log page: a drop-down of the stations of tblStation showing their
// store codes, read afresh each time it drops down.
class StationLookupCombo : public QComboBox {
    Q_OBJECT
public:
    explicit StationLookupCombo(QWidget* parent = nullptr);
    void showPopup() override;
    // Fills the list from tblStation, keeping the chosen code when it is still there.
    void fillFromStations();
};

// The log page of the main window (TabSheet2): the program log and one station's log, each as a
// tree built from the lines' tags, with a Clear button each and the size check of both logs.
// The routines raise their errors (a log that cannot be read, a size limit that is not a whole
// number) to the caller; the main window's handlers of the buttons and the box show them.
class LogPage : public QWidget {
    Q_OBJECT
public:
    // `settings` gives the main window's settings file while it is open.
    LogPage(std::function<SettingsFile*()> settings, QWidget* parent = nullptr);

    // The size check of the program log.
    void SizeTvLog();
    // Rebuilds tvLog from the program log; what was read before an error stays in the tree.
    void ShowTvLog();
    // Rebuilds tvStationLog from the log of the station in the box, then checks its size.
    void ShowTvStationLog();
    void BitBtn1Click();
    void BitBtn2Click();
    void wwDBLookupCombo1CloseUp();

    QTreeWidget* tvLog = nullptr;
    QTreeWidget* tvStationLog = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    StationLookupCombo* wwDBLookupCombo1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    static void showTree(QTreeWidget* tree, const LogTree& log);
    QString stationLogPath() const;
    SettingsFile& settings() const;
    // tvLog takes half of the height left after the two panels, less one pixel.
    void fitTrees();

    std::function<SettingsFile*()> settings_;
    QWidget* Panel1 = nullptr;
    QWidget* Panel2 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QSplitter* Splitter1 = nullptr;
    bool splitterMoved_ = false;
};
