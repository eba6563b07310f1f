#pragma once

#include <QString>
#include <array>

class Dataset;
class Table;

// The maintenance grids over the customer, supplier and payment masters. Each shows the code,
// the two descriptions and the account code that the export needs; the first three columns are
// fixed and never edited, so in write mode the account code is the one column edited.

struct MaintenanceColumn {
    const char* field;
    int widthChars;
    const char* title;
};

struct MaintenanceGridLayout {
    const char* gridName;  // wwDBGrid1 ...
    const char* tableName; // MAS_CUSTOMER ...
    const char* codeField; // the editable account-code column
    std::array<MaintenanceColumn, 4> columns;
};

inline constexpr int MaintenanceFixedColumns = 3;

inline constexpr MaintenanceGridLayout CustomerGridLayout{"wwDBGrid1",
                                                          "MAS_CUSTOMER",
                                                          "M_DEBTOR",
                                                          {{{"M_CODE", 15, "Customer Code"},
                                                            {"M_DESC", 40, "Description"},
                                                            {"M_ODESC", 40, "Other Description"},
                                                            {"M_DEBTOR", 13, "A/R Debtor"}}}};

inline constexpr MaintenanceGridLayout SupplierGridLayout{"wwDBGrid2",
                                                          "MAS_SUPPLIER",
                                                          "M_CREDITOR",
                                                          {{{"M_CODE", 15, "Supplier Code"},
                                                            {"M_DESC", 40, "Description"},
                                                            {"M_ODESC", 40, "Other Description"},
                                                            {"M_CREDITOR", 13, "A/P Creditor"}}}};

inline constexpr MaintenanceGridLayout PaymentGridLayout{"wwDBGrid3",
                                                         "MAS_PAYMENT",
                                                         "M_GLCODE",
                                                         {{{"M_CODE", 15, "Payment Code"},
                                                           {"M_DESC", 40, "Description"},
                                                           {"M_ODESC", 40, "Other Description"},
                                                           {"M_GLCODE", 13, "GL Code"}}}};

// Gives the dataset the grid's columns: the four fields in order with their titles and widths,
// the first three read-only.
void ApplyMaintenanceColumns(Dataset& dataset, const MaintenanceGridLayout& gridLayout);

// True when the table is ordered by the grid's editable code column (its index field names are
// exactly that name). Write mode is refused then: an edit would move the row under the cursor.
bool SortedByCodeColumn(const Table& table, const MaintenanceGridLayout& gridLayout);

// The refusal shown when write mode is asked for while a table is ordered by its code column.
inline constexpr char WriteModeDeniedMessage[] =
    "Write Mode Denied !\r\nCannot use edit fields as a index.";

// A click on the title of `field`: orders the table by that field, except by the code column
// while the grid can be edited (the order then stays as it was); then re-reads the table.
void SortByTitle(Table& table, const MaintenanceGridLayout& gridLayout, const QString& field,
                 bool gridReadOnly);
