#pragma once

#include <QTextStream>

class Table;

// Prints the rows of an export view as the grid shows them: the view's columns under their
// labels, the tick as [x] or [ ], dates dd/MM/yyyy and amounts #,##0.00 (right-aligned), then
// the line "Total Record: " and the number of rows.
//
// The rows are read from the database as the view would read them, twice (once for the column
// widths, once to print) in one transaction, and never held: printing a search that found a
// million documents takes no more memory than printing one.
void PrintWorkTableRows(QTextStream& out, Table& view);
