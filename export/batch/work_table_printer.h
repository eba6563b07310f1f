#pragma once

#include <QTextStream>

class Dataset;

// Prints the rows of an export view as the grid shows them: the view's columns under their
// labels, the tick as [x] or [ ], dates dd/MM/yyyy and amounts #,##0.00 (right-aligned), then
// the line "Total Record: " and the number of rows.
void PrintWorkTableRows(QTextStream& out, const Dataset& view);
