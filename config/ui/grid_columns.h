#pragma once

class QTableView;

// The column rules of the program's grids: text on one line (a code such as
// "400-MEGAWHOLESALE01" is never wrapped at its hyphen), widths the user can drag, the last
// column taking the width that is left.
void SetUpGridColumns(QTableView* grid);

// Makes every column as wide as its title and its widest value, none wider than `maximum`
// pixels (a longer description is cut with an ellipsis and can be widened by hand). The last
// column then stretches beyond that when there is room.
void FitColumnsToContent(QTableView* grid, int maximum);
