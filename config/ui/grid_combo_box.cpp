#include "config/ui/grid_combo_box.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTreeView>

GridComboBox::GridComboBox(QWidget* parent) : QComboBox(parent), grid_(new QTreeView(this)) {
    grid_->setRootIsDecorated(false);
    grid_->setItemsExpandable(false);
    grid_->setAllColumnsShowFocus(true);
    grid_->setUniformRowHeights(true);
    grid_->setWordWrap(false);
    grid_->setTextElideMode(Qt::ElideRight);
    grid_->header()->setStretchLastSection(true);
    grid_->header()->setSectionResizeMode(QHeaderView::Interactive);
    setView(grid_);
}

int GridComboBox::listWidth() const {
    QHeaderView* header = grid_->header();
    int width = 0;
    for (int column = 0; column < header->count(); ++column) {
        if (grid_->isColumnHidden(column))
            continue;
        const int content =
            qMax(static_cast<const QAbstractItemView*>(grid_)->sizeHintForColumn(column),
                 header->sectionSizeHint(column));
        width += content;
    }
    return width + 2 * grid_->frameWidth() +
           style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_) + 4;
}

void GridComboBox::showPopup() {
    // The rows may have changed since the last opening: the columns follow them.
    if (model()) {
        QHeaderView* header = grid_->header();
        for (int column = 0; column < header->count(); ++column)
            header->resizeSection(
                column, qMax(static_cast<QAbstractItemView*>(grid_)->sizeHintForColumn(column),
                             header->sectionSizeHint(column)));
        grid_->setMinimumWidth(listWidth());
    }
    QComboBox::showPopup();
}
