#pragma once

#include <QScrollArea>

#include <array>

class QAbstractButton;
class QFrame;
class QHeaderView;

// A page of transmission options in the station window: a header control whose first column
// reads "Transmission Options" and whose four option columns stand over the controls of each
// row panel below it. The columns are 215 and 78 wide; the window's resize handlers keep them so.
class OptionPage : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int kCaptionWidth = 215;
    static constexpr int kOptionWidth = 78;

    // pageName and headerName are the designer names of the page box and its header control.
    OptionPage(const QString& pageName, const QString& headerName,
               const QStringList& optionCaptions, QWidget* parent = nullptr);

    QHeaderView* header() const { return header_; }

    // Adds a row panel: its caption, then one control per option column (null leaves the column
    // empty). The panel is highlighted while the mouse is over it.
    QFrame* addRow(const QString& panelName, const QString& caption,
                   const std::array<QAbstractButton*, 4>& controls);
    const QList<QFrame*>& rows() const { return rows_; }

    // Puts the column widths back to 215 and 78.
    void KeepColumnWidths();
    // Raises the bevel of `panel` and flattens that of every other row panel.
    void HighlightRow(QFrame* panel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QHeaderView* header_;
    QWidget* body_;
    QList<QFrame*> rows_;
};
