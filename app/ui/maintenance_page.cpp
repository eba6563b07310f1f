#include "app/ui/maintenance_page.h"

#include "app/maintenance_grids.h"
#include "app/ui/maintenance_grid.h"
#include "core/app_context.h"
#include "data/table.h"

#include <QCheckBox>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QWidget* sheet(QTabWidget* pages, const char* name, const QString& caption) {
    auto* page = new QWidget(pages);
    page->setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(2, 2, 2, 2);
    pages->addTab(page, caption);
    return page;
}

} // namespace

MaintenancePage::MaintenancePage(QWidget* parent) : QWidget(parent) {
    PageControl2 = new QTabWidget(this);
    PageControl2->setObjectName(QStringLiteral("PageControl2"));
    PageControl2->setTabPosition(QTabWidget::South);
    TabSheet5 = sheet(PageControl2, "TabSheet5", QStringLiteral("Customer"));
    TabSheet6 = sheet(PageControl2, "TabSheet6", QStringLiteral(" Supplier "));
    TabSheet7 = sheet(PageControl2, "TabSheet7", QStringLiteral("Payment"));
    PageControl2->setTabVisible(PageControl2->indexOf(TabSheet7), false);

    CheckBox1 = new QCheckBox(QStringLiteral("Write-able Data Maintenance"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(PageControl2, 1);
    layout->addWidget(CheckBox1);
}

MaintenanceGrid* MaintenancePage::addGrid(QWidget* sheet, const MaintenanceGridLayout& gridLayout,
                                          Table& table) {
    auto* grid = new MaintenanceGrid(gridLayout, &table, sheet);
    sheet->layout()->addWidget(grid);
    return grid;
}

void MaintenancePage::attachTables(Table& customers, Table& suppliers, Table& payments) {
    wwDBGrid1 = addGrid(TabSheet5, CustomerGridLayout, customers);
    wwDBGrid2 = addGrid(TabSheet6, SupplierGridLayout, suppliers);
    wwDBGrid3 = addGrid(TabSheet7, PaymentGridLayout, payments);
}

QList<MaintenanceGrid*> MaintenancePage::grids() const {
    QList<MaintenanceGrid*> all;
    for (MaintenanceGrid* grid : {wwDBGrid1, wwDBGrid2, wwDBGrid3})
        if (grid)
            all << grid;
    return all;
}

bool MaintenancePage::isWriteMode() const {
    for (MaintenanceGrid* grid : grids())
        if (!grid->isReadOnly())
            return true;
    return false;
}

void MaintenancePage::ToolButton4Click() {
    // Setting the box here must not count as the user's click.
    const QSignalBlocker quiet(CheckBox1);
    CheckBox1->setChecked(false);
    if (!isWriteMode()) {
        for (MaintenanceGrid* grid : grids()) {
            if (SortedByCodeColumn(*grid->table(), grid->gridLayout())) {
                Messages().error(QLatin1String(WriteModeDeniedMessage));
                return;
            }
        }
        for (MaintenanceGrid* grid : grids())
            grid->setReadOnly(false);
        CheckBox1->setChecked(true);
    } else {
        for (MaintenanceGrid* grid : grids())
            grid->setReadOnly(true);
    }
}

void MaintenancePage::titleButtonClick(MaintenanceGrid* grid, const QString& field) {
    SortByTitle(*grid->table(), grid->gridLayout(), field, grid->isReadOnly());
}
