#include "app/ui/summaries_page.h"

#include "core/app_context.h"

#include <QApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QTreeWidget* stationList(const char* name, const QStringList& columns, QWidget* parent) {
    auto* list = new QTreeWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setColumnCount(int(columns.size()));
    list->setHeaderLabels(columns);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setSortingEnabled(false);
    list->setUniformRowHeights(true);
    list->header()->setSectionsClickable(false);
    list->header()->setStretchLastSection(true);
    return list;
}

QListWidget* fileList(const char* name, QWidget* parent) {
    auto* list = new QListWidget(parent);
    list->setObjectName(QLatin1String(name));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    return list;
}

QLabel* header(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignCenter);
    label->setFrameStyle(QFrame::Panel | QFrame::Raised);
    return label;
}

// Two lists side by side, each below its header.
QWidget* listPair(QLabel* firstHeader, QListWidget* first, QLabel* secondHeader,
                  QListWidget* second, QWidget* parent) {
    auto* page = new QWidget(parent);
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(4, 4, 4, 4);
    firstHeader->setParent(page);
    first->setParent(page);
    secondHeader->setParent(page);
    second->setParent(page);
    grid->addWidget(firstHeader, 0, 0);
    grid->addWidget(first, 1, 0);
    grid->addWidget(secondHeader, 0, 1);
    grid->addWidget(second, 1, 1);
    return page;
}

} // namespace

SummariesPage::SummariesPage(QWidget* parent) : QWidget(parent) {
    lvProOut =
        stationList("lvProOut", {QStringLiteral("Store"), QStringLiteral("Description")}, this);
    lvProOut->setColumnWidth(0, 90);
    lvProIn = stationList("lvProIn",
                          {QStringLiteral("Import Store"), QStringLiteral("File-01"),
                           QStringLiteral("File-02"), QStringLiteral("File-03"),
                           QStringLiteral("File-04")},
                          this);
    lvProIn->hide();

    PageControl3 = new QTabWidget(this);
    PageControl3->setObjectName(QStringLiteral("PageControl3"));
    FileListBox1 = fileList("FileListBox1", this);
    FileListBox2 = fileList("FileListBox2", this);
    FileListBox3 = fileList("FileListBox3", this);
    FileListBox4 = fileList("FileListBox4", this);
    Header1 = header("Header1", this);
    Header2 = header("Header2", this);
    Header3 = header("Header3", this);
    Header4 = header("Header4", this);
    Header2->setText(QLatin1String(ResumeHeader));
    Header4->setText(QLatin1String(SentHeader));
    PageControl3->addTab(listPair(Header1, FileListBox1, Header3, FileListBox3, PageControl3),
                         QStringLiteral("Import"));
    PageControl3->addTab(listPair(Header2, FileListBox2, Header4, FileListBox4, PageControl3),
                         QStringLiteral("Export"));
    PageControl3->hide();

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(lvProOut, 1);
    layout->addWidget(lvProIn, 1);
    layout->addWidget(PageControl3, 1);

    // Every click re-reads the folders, also on the station already selected (files may have
    // come meanwhile); a selection moved with the keys does too. A click that also moves the
    // selection reads them once, when the button is released.
    connect(lvProOut, &QTreeWidget::itemClicked, this, &SummariesPage::lvProOutClick);
    connect(lvProOut, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (QApplication::mouseButtons() == Qt::NoButton)
            emit lvProOutClick();
    });
}

void SummariesPage::fillStations(Dataset& stations) {
    lvProOut->clear();
    lvProIn->clear();
    for (const SummaryStation& station : ReadSummaryStations(stations)) {
        lvProIn->addTopLevelItem(new QTreeWidgetItem({station.store, station.description}));
        lvProOut->addTopLevelItem(new QTreeWidgetItem({station.store, station.description}));
    }
}

std::optional<QString> SummariesPage::selectedStation() const {
    const QList<QTreeWidgetItem*> selected = lvProOut->selectedItems();
    if (selected.isEmpty())
        return std::nullopt;
    return selected.first()->text(0);
}

QString SummariesPage::folderOf(const QListWidget* list) const {
    return list->property("folder").toString();
}

void SummariesPage::showFiles(QListWidget* list, const QString& folder) {
    list->setProperty("folder", folder);
    list->clear();
    list->addItems(CsvFileNames(folder));
}

SummaryFolders SummariesPage::ShowSummaryFolders(const SettingsFile& settings) {
    const SummaryFolders folders =
        ChooseSummaryFolders(settings, ProgramFolder(), selectedStation());
    Header1->setText(folders.receivedHeader);
    Header3->setText(folders.updatedHeader);
    showFiles(FileListBox1, folders.received);
    showFiles(FileListBox2, folders.resume);
    showFiles(FileListBox3, folders.updated);
    showFiles(FileListBox4, folders.sent);
    return folders;
}
