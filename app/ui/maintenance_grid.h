#pragma once

#include "app/maintenance_grids.h"
#include "data/table.h"

#include <QPointer>
#include <QTableView>

class DatasetModel;

// One maintenance grid (wwDBGrid1..3) over a master table: the four columns of its layout with
// their titles, the first three fixed at the left (they do not scroll and are never edited, so
// the cursor always stands in the code column), titles as buttons on two lines with an arrow on
// the column the table is ordered by, Enter moving to the next cell, Esc giving up the row's
// edit. The columns open as wide as their titles and values, the descriptions narrowed when the
// editable code column would not fit beside them; the user can widen any of them, and the code
// column takes the width left. Leaving a changed row posts it; a post the database refuses is
// shown with the engine's text and the cursor goes back to the row, which stays in edit.
class MaintenanceGrid : public QTableView {
    Q_OBJECT
public:
    MaintenanceGrid(const MaintenanceGridLayout& gridLayout, Table* table,
                    QWidget* parent = nullptr);

    const MaintenanceGridLayout& gridLayout() const { return gridLayout_; }
    Table* table() const { return table_.data(); }
    DatasetModel* datasetModel() const { return model_; }
    // The view that shows the fixed columns over the left edge.
    QTableView* fixedColumnsView() const { return fixed_; }

    // Read-only (the state at start, text greyed) or editable (text blue).
    bool isReadOnly() const;
    void setReadOnly(bool readOnly);

signals:
    // A column title was clicked; `field` is the column's field name.
    void titleButtonClick(const QString& field);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;
    void updateGeometries() override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void configureColumns();
    // Sizes the columns to their content, the descriptions narrowed as far as the code column
    // needs to be in view (until the user sets a width by hand).
    void fitColumns();
    void showSortOrder();
    void fixedColumnResized(int column, int size);
    void placeFixedColumns();
    void applyTextColour();
    int codeColumn() const;
    int fixedWidth() const;
    void moveToNextCell();
    void rowLeft(const QModelIndex& current);
    void postRefused(const QString& message);

    MaintenanceGridLayout gridLayout_;
    // Freed with the data module before the grid when the main window closes.
    QPointer<Table> table_;
    DatasetModel* model_ = nullptr;
    QTableView* fixed_ = nullptr;
    // The widths of the columns' titles and values, taken when the grid is first on the screen.
    QList<int> contentWidths_;
    bool userSized_ = false;
    bool settingWidths_ = false; // a width set by the grid itself, not by the user
};
