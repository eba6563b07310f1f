#include "app/ui/maintenance_grid.h"

#include "core/app_context.h"
#include "data/dataset_model.h"
#include "data/table.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>

#include <numeric>

namespace {

// Cell text of a read-only grid: greyed, yet readable on the white cells.
QColor readOnlyTextColour(const QPalette& palette) {
    return palette.color(QPalette::Disabled, QPalette::Text).darker(140);
}

const QColor WriteModeTextColour = Qt::blue;

// The narrowest a description is made so that the code column fits beside it, in characters.
constexpr int NarrowestDescriptionChars = 12;
// What the fixed columns leave of the grid's width at least, for the code column.
constexpr int CodeColumnRoom = 80;

void styleTitles(QHeaderView* header) {
    header->setDefaultAlignment(Qt::Alignment(QFlag(Qt::AlignCenter | Qt::TextWordWrap)));
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    const QColor tipColour = QToolTip::palette().color(QPalette::ToolTipBase);
    const QColor tipText = QToolTip::palette().color(QPalette::ToolTipText);
    // Titles are buttons on the info-tip colour, tall enough for two lines.
    header->setStyleSheet(
        QStringLiteral("QHeaderView::section { background-color: %1; color: %2; padding: 2px 4px;"
                       " border: 1px solid #a0a0a0; border-top-color: #ffffff;"
                       " border-left-color: #ffffff; }"
                       "QHeaderView::section:pressed { background-color: %3; }")
            .arg(tipColour.name(), tipText.name(), tipColour.darker(115).name()));
    const int lines = 2;
    header->setFixedHeight(lines * header->fontMetrics().lineSpacing() + 10);
}

} // namespace

MaintenanceGrid::MaintenanceGrid(const MaintenanceGridLayout& gridLayout, Table* table,
                                 QWidget* parent)
    : QTableView(parent), gridLayout_(gridLayout), table_(table) {
    setObjectName(QLatin1String(gridLayout.gridName));
    ApplyMaintenanceColumns(*table, gridLayout);
    model_ = new DatasetModel(table, this);
    setModel(model_);

    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    styleTitles(horizontalHeader());
    // The code column, the last, takes the width the fixed ones leave.
    horizontalHeader()->setStretchLastSection(true);

    // The fixed columns: a second view of the same model and selection over the left edge.
    fixed_ = new QTableView(this);
    fixed_->setObjectName(QLatin1String(gridLayout.gridName) + QStringLiteral("Fixed"));
    fixed_->setModel(model_);
    fixed_->setSelectionModel(selectionModel());
    fixed_->setFocusPolicy(Qt::NoFocus);
    fixed_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    fixed_->verticalHeader()->hide();
    fixed_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    fixed_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    fixed_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    fixed_->setWordWrap(false);
    fixed_->setFrameShape(QFrame::NoFrame);
    fixed_->setStyleSheet(QStringLiteral("QTableView { border-right: 1px solid #808080; }"));
    styleTitles(fixed_->horizontalHeader());
    viewport()->stackUnder(fixed_);

    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, fixed_->verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(fixed_->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) {
                if (column < MaintenanceFixedColumns) {
                    fixed_->setColumnWidth(column, size);
                    placeFixedColumns();
                }
            });
    // The fixed columns are widened on their own titles, which lie over the grid's.
    connect(fixed_->horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int size) { fixedColumnResized(column, size); });
    for (QHeaderView* header : {horizontalHeader(), fixed_->horizontalHeader()})
        connect(header, &QHeaderView::sectionClicked, this,
                [this](int column) { emit titleButtonClick(model_->fieldAt(column)); });

    // Re-reading the table (a new order) resets the model, and with it the columns.
    connect(model_, &QAbstractItemModel::modelReset, this, &MaintenanceGrid::configureColumns);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                // The cursor never rests in a fixed column.
                if (current.isValid() && current.column() < MaintenanceFixedColumns) {
                    setCurrentIndex(model_->index(current.row(), codeColumn()));
                    return;
                }
                rowLeft(current);
            });
    connect(model_, &DatasetModel::postFailed, this, &MaintenanceGrid::postRefused);

    configureColumns();
    setReadOnly(true);
}

int MaintenanceGrid::codeColumn() const {
    return MaintenanceFixedColumns;
}

int MaintenanceGrid::fixedWidth() const {
    int width = 0;
    for (int column = 0; column < MaintenanceFixedColumns; ++column)
        width += columnWidth(column);
    return width;
}

void MaintenanceGrid::configureColumns() {
    for (int column = 0; column < model_->columnCount(); ++column)
        fixed_->setColumnHidden(column, column >= MaintenanceFixedColumns);
    if (contentWidths_.isEmpty()) {
        // Until the grid is on the screen: the widths of the layout.
        const QScopedValueRollback<bool> ours(settingWidths_, true);
        const int digit = fontMetrics().horizontalAdvance(QLatin1Char('0'));
        for (int column = 0; column < model_->columnCount(); ++column) {
            const int width = gridLayout_.columns.at(column).widthChars * digit + 10;
            setColumnWidth(column, width);
            fixed_->setColumnWidth(column, width);
        }
    }
    placeFixedColumns();
    showSortOrder();
    // The grid's cursor follows the table's.
    const int row = table_ ? table_->recNo() : -1;
    if (row >= 0 && row < model_->rowCount())
        setCurrentIndex(model_->index(row, codeColumn()));
}

void MaintenanceGrid::fitColumns() {
    if (!isVisible() || viewport()->width() <= CodeColumnRoom)
        return;
    const QScopedValueRollback<bool> ours(settingWidths_, true);
    if (contentWidths_.isEmpty()) {
        for (int column = 0; column < model_->columnCount(); ++column) {
            resizeColumnToContents(column);
            contentWidths_ << qMax(columnWidth(column),
                                   horizontalHeader()->sectionSizeHint(column));
        }
    }
    // Once the user has set a width by hand, the widths are the user's.
    if (userSized_)
        return;
    // The code column must be in view: the descriptions give up width for it, down to a
    // readable minimum, and take it back when the grid grows again.
    QList<int> widths = contentWidths_.mid(0, MaintenanceFixedColumns);
    const int narrowest = NarrowestDescriptionChars * fontMetrics().averageCharWidth();
    int excess = std::accumulate(widths.begin(), widths.end(), 0) +
                 contentWidths_.value(codeColumn()) - viewport()->width();
    for (int column = MaintenanceFixedColumns - 1; column >= 1 && excess > 0; --column) {
        const int narrower = qMax(qMin(narrowest, widths[column]), widths[column] - excess);
        excess -= widths[column] - narrower;
        widths[column] = narrower;
    }
    for (int column = 0; column < MaintenanceFixedColumns; ++column) {
        setColumnWidth(column, widths[column]);
        fixed_->setColumnWidth(column, widths[column]);
    }
    placeFixedColumns();
}

void MaintenanceGrid::fixedColumnResized(int column, int size) {
    if (column >= MaintenanceFixedColumns || columnWidth(column) == size)
        return;
    if (!settingWidths_)
        userSized_ = true;
    // Widening a fixed column never pushes the code column out of the grid.
    const int others = fixedWidth() - columnWidth(column);
    const int widest = qMax(20, viewport()->width() - CodeColumnRoom - others);
    if (size > widest) {
        fixed_->setColumnWidth(column, widest);
        return;
    }
    setColumnWidth(column, size);
}

void MaintenanceGrid::showSortOrder() {
    // The arrow stands on the column the table is ordered by; none in the table's key order.
    const int column = table_ ? model_->columnOf(table_->indexFieldNames()) : -1;
    for (QHeaderView* header : {horizontalHeader(), fixed_->horizontalHeader()})
        header->setSortIndicator(column, Qt::AscendingOrder);
}

void MaintenanceGrid::placeFixedColumns() {
    fixed_->setGeometry(frameWidth(), frameWidth(), fixedWidth() + 1,
                        viewport()->height() + horizontalHeader()->height());
}

void MaintenanceGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fitColumns();
    placeFixedColumns();
}

void MaintenanceGrid::showEvent(QShowEvent* event) {
    QTableView::showEvent(event);
    // Once the page's layout has given the grid its size.
    QTimer::singleShot(0, this, &MaintenanceGrid::fitColumns);
}

void MaintenanceGrid::updateGeometries() {
    QTableView::updateGeometries();
    if (fixed_)
        placeFixedColumns();
}

QModelIndex MaintenanceGrid::moveCursor(CursorAction cursorAction,
                                        Qt::KeyboardModifiers modifiers) {
    QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    if (current.isValid() && current.column() < MaintenanceFixedColumns)
        current = model_->index(current.row(), codeColumn());
    return current;
}

void MaintenanceGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // A cell of a fixed column is always in view; scrolling to it would slide the other columns
    // under the fixed ones.
    if (index.column() >= MaintenanceFixedColumns)
        QTableView::scrollTo(index, hint);
    const QRect cell = visualRect(index);
    if (index.column() >= MaintenanceFixedColumns && cell.left() < fixedWidth())
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + cell.left() -
                                        fixedWidth());
}

void MaintenanceGrid::moveToNextCell() {
    const QModelIndex current = currentIndex();
    if (!current.isValid())
        return;
    QModelIndex next = model_->index(current.row(), current.column() + 1);
    if (!next.isValid())
        next = model_->index(current.row() + 1, codeColumn());
    if (next.isValid())
        setCurrentIndex(next);
}

void MaintenanceGrid::keyPressEvent(QKeyEvent* event) {
    if (state() != EditingState) {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            moveToNextCell();
            return;
        }
        if (event->key() == Qt::Key_Escape && table_ && table_->state() == Dataset::State::Edit) {
            table_->cancel();
            return;
        }
    }
    QTableView::keyPressEvent(event);
}

void MaintenanceGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    // Enter in a cell editor keeps the value and moves on, as Tab does.
    if (hint == QAbstractItemDelegate::SubmitModelCache) {
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
        moveToNextCell();
        return;
    }
    QTableView::closeEditor(editor, hint);
}

bool MaintenanceGrid::isReadOnly() const {
    return model_->isReadOnly();
}

void MaintenanceGrid::setReadOnly(bool readOnly) {
    model_->setReadOnly(readOnly);
    applyTextColour();
}

void MaintenanceGrid::applyTextColour() {
    for (QTableView* view : {static_cast<QTableView*>(this), fixed_}) {
        QPalette colours = view->palette();
        const QColor text =
            isReadOnly() ? readOnlyTextColour(QApplication::palette()) : WriteModeTextColour;
        colours.setColor(QPalette::Active, QPalette::Text, text);
        colours.setColor(QPalette::Inactive, QPalette::Text, text);
        view->setPalette(colours);
    }
}

void MaintenanceGrid::rowLeft(const QModelIndex& current) {
    // Moving to another row posts the row left; staying on the row does nothing.
    if (current.isValid())
        model_->setCurrentRow(current.row());
}

void MaintenanceGrid::postRefused(const QString& message) {
    Messages().error(message);
    // Back to the row that stays in edit, once the move that was refused has finished.
    QTimer::singleShot(0, this, [this] {
        const int row = table_ ? table_->recNo() : -1;
        if (row >= 0 && row < model_->rowCount())
            setCurrentIndex(model_->index(row, codeColumn()));
    });
}
