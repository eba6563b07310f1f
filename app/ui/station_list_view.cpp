#include "app/ui/station_list_view.h"

#include "login/ui/program_icon.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QListView>
#include <QStandardItemModel>
#include <QStyle>
#include <QTreeView>

namespace {

const char* const ColumnTitles[] = {"Store",       "Description", "Last Export",
                                    "Last Import", "Active",      "Export"};
constexpr int ColumnCount = 6;
const int ColumnWidths[ColumnCount] = {80, 260, 170, 170, 70, 90};

// Keeps the selection in its active colours when the list loses the focus.
void keepSelectionVisible(QAbstractItemView* view) {
    QPalette palette = view->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    view->setPalette(palette);
}

void makeReadOnlyRowList(QAbstractItemView* view) {
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    keepSelectionVisible(view);
}

} // namespace

StationListView::StationListView(QWidget* parent)
    : QStackedWidget(parent), model_(new QStandardItemModel(0, ColumnCount, this)) {
    QStringList titles;
    for (const char* title : ColumnTitles)
        titles << QLatin1String(title);
    model_->setHorizontalHeaderLabels(titles);
    selection_ = new QItemSelectionModel(model_, this);

    report_ = new QTreeView(this);
    report_->setObjectName(QStringLiteral("lvStoreReport"));
    report_->setModel(model_);
    report_->setSelectionModel(selection_);
    report_->setRootIsDecorated(false);
    report_->setItemsExpandable(false);
    report_->setUniformRowHeights(true);
    report_->setSortingEnabled(false);
    report_->setAlternatingRowColors(true);
    report_->header()->setSectionsClickable(false);
    report_->header()->setSectionsMovable(false);
    // The columns the user can widen; the last takes what is left.
    report_->header()->setSectionResizeMode(QHeaderView::Interactive);
    report_->header()->setStretchLastSection(true);
    report_->setWordWrap(false);
    for (int i = 0; i < ColumnCount; ++i)
        report_->setColumnWidth(i, ColumnWidths[i]);
    makeReadOnlyRowList(report_);

    icons_ = new QListView(this);
    icons_->setObjectName(QStringLiteral("lvStoreIcons"));
    icons_->setModel(model_);
    icons_->setSelectionModel(selection_);
    icons_->setModelColumn(0);
    icons_->setMovement(QListView::Static);
    icons_->setResizeMode(QListView::Adjust);
    icons_->setWrapping(true);
    makeReadOnlyRowList(icons_);

    addWidget(report_);
    addWidget(icons_);
    for (QAbstractItemView* view :
         {static_cast<QAbstractItemView*>(report_), static_cast<QAbstractItemView*>(icons_)}) {
        view->installEventFilter(this);
        connect(view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
            if (index.isValid())
                emit rowDoubleClicked();
        });
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this, [this, view](const QPoint& at) {
            emit contextMenuAsked(view->viewport()->mapToGlobal(at));
        });
    }
    connect(selection_, &QItemSelectionModel::selectionChanged, this, [this] {
        const QString caption = selectedCaption();
        if (!caption.isNull())
            emit rowSelected(caption);
    });
    setViewStyle(StationViewStyle::Details);
}

void StationListView::setRows(const QList<StationListRow>& rows) {
    clear();
    const QIcon icon = ProgramIcon();
    for (const StationListRow& row : rows) {
        QList<QStandardItem*> items;
        for (const QString& text :
             {row.Store, row.Description, row.LastExport, row.LastImport, row.Active, row.Export})
            items << new QStandardItem(text);
        items.first()->setIcon(icon);
        if (row.Export != QLatin1String("O.K."))
            items.last()->setForeground(QColor(0xb0, 0x30, 0x00));
        model_->appendRow(items);
    }
    // A column grows to its longest text; a width the user gave it otherwise stays.
    for (int i = 0; i < ColumnCount - 1; ++i)
        report_->setColumnWidth(
            i, qMax(report_->columnWidth(i),
                    static_cast<QAbstractItemView*>(report_)->sizeHintForColumn(i)));
}

void StationListView::clear() {
    selection_->clear();
    model_->removeRows(0, model_->rowCount());
}

int StationListView::rowCount() const {
    return model_->rowCount();
}

QString StationListView::text(int row, int column) const {
    return model_->index(row, column).data().toString();
}

QStringList StationListView::columnTitles() const {
    QStringList titles;
    for (int i = 0; i < ColumnCount; ++i)
        titles << model_->headerData(i, Qt::Horizontal).toString();
    return titles;
}

QString StationListView::selectedCaption() const {
    const QModelIndexList rows = selection_->selectedRows(0);
    if (rows.isEmpty())
        return QString();
    return rows.first().data().toString();
}

void StationListView::selectRow(int row) {
    const QModelIndex index = model_->index(row, 0);
    selection_->setCurrentIndex(index,
                                QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

QAbstractItemView* StationListView::currentView() const {
    return style_ == StationViewStyle::Details ? static_cast<QAbstractItemView*>(report_)
                                               : static_cast<QAbstractItemView*>(icons_);
}

void StationListView::setViewStyle(StationViewStyle style) {
    style_ = style;
    const int small = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
    const int large = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    switch (style) {
    case StationViewStyle::Large:
        icons_->setViewMode(QListView::IconMode);
        icons_->setFlow(QListView::LeftToRight);
        icons_->setIconSize(QSize(large, large));
        icons_->setGridSize(QSize(large * 3, large * 2 + 8));
        icons_->setSpacing(0);
        break;
    case StationViewStyle::Small:
        icons_->setViewMode(QListView::ListMode);
        icons_->setFlow(QListView::LeftToRight);
        icons_->setIconSize(QSize(small, small));
        icons_->setGridSize(QSize(small * 8, small + 10));
        break;
    case StationViewStyle::List:
        icons_->setViewMode(QListView::ListMode);
        icons_->setFlow(QListView::TopToBottom);
        icons_->setIconSize(QSize(small, small));
        icons_->setGridSize(QSize(small * 8, small + 10));
        break;
    case StationViewStyle::Details:
        break;
    }
    // setViewMode resets these.
    icons_->setMovement(QListView::Static);
    icons_->setWrapping(true);
    icons_->setResizeMode(QListView::Adjust);
    const bool focused = currentWidget() && currentWidget()->hasFocus();
    setCurrentWidget(currentView());
    if (focused)
        currentView()->setFocus();
}

bool StationListView::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == report_ || watched == icons_) && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit enterPressed();
            return true;
        }
    }
    return QStackedWidget::eventFilter(watched, event);
}
