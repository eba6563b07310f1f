#include "config/ui/option_page.h"

#include <QAbstractButton>
#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStandardItemModel>
#include <QVBoxLayout>
#include <qdrawutil.h>

namespace {

constexpr int kRowHeight = 26;

// A row panel whose inner bevel is raised or flat. The bevel is painted over a fixed one-pixel
// margin, so the controls stay under their columns whichever panel is raised.
class RowPanel : public QFrame {
public:
    explicit RowPanel(QWidget* parent) : QFrame(parent) { setContentsMargins(1, 1, 1, 1); }
    void setRaised(bool raised) {
        if (raised == raised_)
            return;
        raised_ = raised;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (!raised_)
            return;
        QPainter painter(this);
        qDrawShadePanel(&painter, rect(), palette(), false, 1);
    }

private:
    bool raised_ = false;
};

} // namespace

OptionPage::OptionPage(const QString& pageName, const QString& headerName,
                       const QStringList& optionCaptions, QWidget* parent)
    : QScrollArea(parent) {
    setObjectName(pageName);
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);

    body_ = new QWidget;
    auto* layout = new QVBoxLayout(body_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* model = new QStandardItemModel(0, 5, this);
    model->setHorizontalHeaderLabels(QStringList{QStringLiteral("Transmission Options")} +
                                     optionCaptions);
    header_ = new QHeaderView(Qt::Horizontal, body_);
    header_->setObjectName(headerName);
    header_->setModel(model);
    header_->setSectionsClickable(true);
    header_->setHighlightSections(false);
    header_->setStretchLastSection(false);
    header_->setDefaultAlignment(Qt::AlignCenter);
    header_->setFixedWidth(kCaptionWidth + 4 * kOptionWidth);
    header_->setFixedHeight(header_->sizeHint().height());
    KeepColumnWidths();
    layout->addWidget(header_);
    layout->addSpacing(4);
    layout->addStretch(1);
    setWidget(body_);
}

QFrame* OptionPage::addRow(const QString& panelName, const QString& caption,
                           const std::array<QAbstractButton*, 4>& controls) {
    auto* panel = new RowPanel(body_);
    panel->setObjectName(panelName);
    panel->setFixedSize(kCaptionWidth + 4 * kOptionWidth, kRowHeight);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    auto* label = new QLabel(caption, panel);
    label->setFixedWidth(kCaptionWidth - 1); // less the bevel's margin on the left
    label->setIndent(8);
    row->addWidget(label);
    for (QAbstractButton* control : controls) {
        auto* cell = new QWidget(panel);
        cell->setFixedWidth(kOptionWidth);
        auto* cellLayout = new QHBoxLayout(cell);
        cellLayout->setContentsMargins(0, 0, 0, 0);
        if (control) {
            control->setParent(cell);
            cellLayout->addWidget(control, 0, Qt::AlignCenter);
        }
        row->addWidget(cell);
    }
    row->addStretch(1);
    panel->setMouseTracking(true);
    panel->installEventFilter(this);

    auto* layout = static_cast<QVBoxLayout*>(body_->layout());
    layout->insertWidget(layout->count() - 1, panel);
    rows_.append(panel);
    return panel;
}

void OptionPage::KeepColumnWidths() {
    if (header_->sectionSize(0) != kCaptionWidth)
        header_->resizeSection(0, kCaptionWidth);
    for (int column = 1; column <= 4; ++column)
        if (header_->sectionSize(column) != kOptionWidth)
            header_->resizeSection(column, kOptionWidth);
}

void OptionPage::HighlightRow(QFrame* panel) {
    for (QFrame* row : rows_)
        static_cast<RowPanel*>(row)->setRaised(row == panel);
}

bool OptionPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        if (auto* panel = qobject_cast<QFrame*>(watched); panel && rows_.contains(panel))
            HighlightRow(panel);
    }
    return QScrollArea::eventFilter(watched, event);
}
