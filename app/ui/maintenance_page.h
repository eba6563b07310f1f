#pragma once

#include <QWidget>

class MaintenanceGrid;
class QCheckBox;
class QTabWidget;
class Table;
struct MaintenanceGridLayout;

// The maintenance page of the main window (TabSheet4): the customer, supplier and payment grids
// on tabs at the bottom, and the write-mode check box. The grids open read-only; write mode makes
// all three editable, except while a table is ordered by its editable code column.
class MaintenancePage : public QWidget {
    Q_OBJECT
public:
    explicit MaintenancePage(QWidget* parent = nullptr);

    // Puts the grids on the master tables (once the data module is open).
    void attachTables(Table& customers, Table& suppliers, Table& payments);

    bool isWriteMode() const;
    // Toggles read and write mode; write mode is refused with a message while a table is
    // ordered by its code column. The check box ends ticked only in write mode.
    void ToolButton4Click();
    // A title click of one grid: orders its table by the column (see SortByTitle).
    void titleButtonClick(MaintenanceGrid* grid, const QString& field);

    QTabWidget* PageControl2 = nullptr;
    QWidget* TabSheet5 = nullptr;
    QWidget* TabSheet6 = nullptr;
    QWidget* TabSheet7 = nullptr;
    MaintenanceGrid* wwDBGrid1 = nullptr;
    MaintenanceGrid* wwDBGrid2 = nullptr;
    MaintenanceGrid* wwDBGrid3 = nullptr;
    QCheckBox* CheckBox1 = nullptr;

private:
    MaintenanceGrid* addGrid(QWidget* sheet, const MaintenanceGridLayout& gridLayout, Table& table);
    QList<MaintenanceGrid*> grids() const;
};
