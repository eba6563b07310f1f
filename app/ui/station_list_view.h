#pragma once

#include "app/layout_keys.h"
#include "app/station_list_rows.h"

#include <QStackedWidget>

class QAbstractItemView;
class QListView;
class QStandardItemModel;
class QTreeView;
class QItemSelectionModel;

// The station list: read-only, one row per station, whole rows selected, the selection kept
// visible without the focus, no sorting. It has the four view styles of a list view: large
// icons, small icons and list (the store codes with an icon) and details (the six columns).
// Both forms show one model and one selection, so switching keeps the selected station.
class StationListView : public QStackedWidget {
    Q_OBJECT
public:
    explicit StationListView(QWidget* parent = nullptr);

    void setRows(const QList<StationListRow>& rows);
    void clear();
    int rowCount() const;
    // Text of a column (0 Store ... 5 Export) of a row.
    QString text(int row, int column) const;
    QStringList columnTitles() const;

    StationViewStyle viewStyle() const { return style_; }
    void setViewStyle(StationViewStyle style);

    // The caption (store code) of the selected row, empty when none is selected.
    QString selectedCaption() const;
    void selectRow(int row);

    QTreeView* reportView() const { return report_; }
    QListView* iconView() const { return icons_; }
    // The view of the current style.
    QAbstractItemView* currentView() const;

signals:
    // A row became selected; its caption is the store code.
    void rowSelected(const QString& caption);
    void enterPressed();
    void rowDoubleClicked();
    // A right click (or the menu key) asks for the list's menu at this place on the screen.
    void contextMenuAsked(const QPoint& globalPosition);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QStandardItemModel* model_;
    QItemSelectionModel* selection_;
    QTreeView* report_;
    QListView* icons_;
    StationViewStyle style_ = StationViewStyle::Details;
};
