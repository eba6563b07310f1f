#pragma once

#include <QComboBox>

class QTreeView;

// A drop-down box whose list is a grid of columns, as the store boxes show a store's code,
// description and other description: the list opens as wide as its columns need (each as wide as
// its title and its values, on one line), so the descriptions are neither wrapped nor cut.
class GridComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit GridComboBox(QWidget* parent = nullptr);

    QTreeView* gridView() const { return grid_; }
    // The width the open list takes: its columns, its frame and a scroll bar.
    int listWidth() const;

    void showPopup() override;

private:
    QTreeView* grid_;
};
