#include "app/ui/log_page.h"

#include "app/log_size_check.h"
#include "app/log_tree.h"
#include "config/settings_file.h"
#include "config/settings_keys.h"
#include "core/app_context.h"
#include "core/app_error.h"
#include "data/dm_polling.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QSplitter>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char ClearQuestion[] = "Are You Sure To Clear ?";

QTreeWidget* logTree(const char* name, QWidget* parent) {
    auto* tree = new QTreeWidget(parent);
    tree->setObjectName(QLatin1String(name));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setUniformRowHeights(true);
    tree->setTextElideMode(Qt::ElideRight);
    return tree;
}

QPushButton* clearButton(const char* name, QWidget* parent) {
    auto* button = new QPushButton(QStringLiteral("Clear"), parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(button->style()->standardIcon(QStyle::SP_DialogDiscardButton));
    return button;
}

QLabel* panelLabel(const char* name, const QString& caption, QWidget* parent) {
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QLatin1String(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QWidget* panel(const char* name, QWidget* parent) {
    auto* widget = new QWidget(parent);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

StationLookupCombo::StationLookupCombo(QWidget* parent) : QComboBox(parent) {
    setMinimumContentsLength(6);
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

void StationLookupCombo::fillFromStations() {
    const QString chosen = currentText();
    clear();
    if (dmPolling) {
        Table& stations = dmPolling->tblStation;
        for (int row = 0; row < stations.recordCount(); ++row)
            addItem(stations.valueAt(row, QStringLiteral("P_STORE")).toString());
    }
    setCurrentIndex(findText(chosen));
}

void StationLookupCombo::showPopup() {
    fillFromStations();
    QComboBox::showPopup();
}

LogPage::LogPage(std::function<SettingsFile*()> settings, QWidget* parent)
    : QWidget(parent), settings_(std::move(settings)) {
    Splitter1 = new QSplitter(Qt::Vertical, this);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);

    auto* top = new QWidget(Splitter1);
    Panel1 = panel("Panel1", top);
    Label1 = panelLabel("Label1", QStringLiteral("Accounting Link Log"), Panel1);
    BitBtn1 = clearButton("BitBtn1", Panel1);
    auto* panel1Layout = new QHBoxLayout(Panel1);
    panel1Layout->setContentsMargins(6, 4, 6, 4);
    panel1Layout->addWidget(Label1);
    panel1Layout->addStretch(1);
    panel1Layout->addWidget(BitBtn1);
    tvLog = logTree("tvLog", top);
    auto* topLayout = new QVBoxLayout(top);
    topLayout->setContentsMargins(0, 0, 0, 0);
    topLayout->setSpacing(0);
    topLayout->addWidget(Panel1);
    topLayout->addWidget(tvLog, 1);

    auto* bottom = new QWidget(Splitter1);
    Panel2 = panel("Panel2", bottom);
    Label2 = panelLabel("Label2", QStringLiteral("Station Log"), Panel2);
    wwDBLookupCombo1 = new StationLookupCombo(Panel2);
    wwDBLookupCombo1->setObjectName(QStringLiteral("wwDBLookupCombo1"));
    BitBtn2 = clearButton("BitBtn2", Panel2);
    auto* panel2Layout = new QHBoxLayout(Panel2);
    panel2Layout->setContentsMargins(6, 4, 6, 4);
    panel2Layout->addWidget(Label2);
    panel2Layout->addSpacing(12);
    panel2Layout->addWidget(wwDBLookupCombo1);
    panel2Layout->addStretch(1);
    panel2Layout->addWidget(BitBtn2);
    tvStationLog = logTree("tvStationLog", bottom);
    auto* bottomLayout = new QVBoxLayout(bottom);
    bottomLayout->setContentsMargins(0, 0, 0, 0);
    bottomLayout->setSpacing(0);
    bottomLayout->addWidget(Panel2);
    bottomLayout->addWidget(tvStationLog, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Splitter1);
    connect(Splitter1, &QSplitter::splitterMoved, this, [this] { splitterMoved_ = true; });
}

SettingsFile& LogPage::settings() const {
    SettingsFile* file = settings_ ? settings_() : nullptr;
    if (!file)
        throw AppError(QStringLiteral("The settings file is not open."));
    return *file;
}

QString LogPage::stationLogPath() const {
    return StationLogPath(ProgramFolder(), wwDBLookupCombo1->currentText());
}

void LogPage::showTree(QTreeWidget* tree, const LogTree& log) {
    QList<QTreeWidgetItem*> items;
    QList<QTreeWidgetItem*> topLevel;
    items.reserve(log.nodes().size());
    for (const LogNode& node : log.nodes()) {
        auto* item =
            node.parent < 0 ? new QTreeWidgetItem : new QTreeWidgetItem(items.at(node.parent));
        item->setText(0, node.text);
        items.append(item);
        if (node.parent < 0)
            topLevel.append(item);
    }
    tree->addTopLevelItems(topLevel);
}

void LogPage::SizeTvLog() {
    CheckLogSize(ProgramLogPath(ProgramFolder()), settings(), Keys::General::LedvoraLogFileSize);
}

void LogPage::ShowTvLog() {
    tvLog->clear();
    LogTree log;
    // The nodes read before a read error are shown as well.
    const auto show = qScopeGuard([&] { showTree(tvLog, log); });
    ReadLogFile(ProgramLogPath(ProgramFolder()), log);
}

void LogPage::ShowTvStationLog() {
    tvStationLog->clear();
    LogTree log;
    bool exists = false;
    {
        const auto show = qScopeGuard([&] { showTree(tvStationLog, log); });
        exists = ReadLogFile(stationLogPath(), log);
    }
    // The tree keeps what was read, also when the file is deleted now.
    if (exists)
        CheckLogSize(stationLogPath(), settings(), Keys::General::StationLogFileSize);
}

void LogPage::BitBtn1Click() {
    if (!Messages().confirm(QLatin1String(ClearQuestion)))
        return;
    QFile::remove(ProgramLogPath(ProgramFolder()));
    ShowTvLog();
}

void LogPage::BitBtn2Click() {
    if (!Messages().confirm(QLatin1String(ClearQuestion)))
        return;
    QFile::remove(stationLogPath());
    ShowTvStationLog();
}

void LogPage::wwDBLookupCombo1CloseUp() {
    ShowTvStationLog();
}

void LogPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Until the user moves the splitter, the two trees share the page evenly.
    if (!splitterMoved_ && height() > 0)
        fitTrees();
}

void LogPage::fitTrees() {
    const int panelHeight = Panel1->sizeHint().height();
    const int treeHeight = (height() - 2 * panelHeight) / 2 - 1;
    const int topHeight = panelHeight + qMax(0, treeHeight);
    Splitter1->setSizes({topHeight, qMax(0, height() - topHeight - Splitter1->handleWidth())});
}
