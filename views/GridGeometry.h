#pragma once

#include <span>

class QTableWidget;
class QWidget;

// The geometry of the program's string grids: every row and every column is
// followed by a one-pixel line, and the grid has a single border. The grids
// are sized to these figures, and labels are aligned to their columns.
namespace GridGeometry {

inline constexpr int kRowHeight = 20;

// Height that shows `rows` rows of `rowHeight` with their lines and the border.
int Height(int rows, int rowHeight = kRowHeight);

// Width that shows every column with its line and the border.
int Width(std::span<const int> columnWidths);

// Offset of `column`'s left edge from the grid's left edge: the widths of the
// preceding columns with their lines.
int ColumnOffset(std::span<const int> columnWidths, int column);

// Horizontal place of a cell text: left with a 2 px margin, centred, or right
// with a 4 px margin; never left of the cell's left edge.
enum class Align { Left, Centre, Right };
int TextX(Align align, int cellLeft, int cellWidth, int textWidth);

// Vertical place of a cell text: centred in the row, halves rounded toward zero.
int TextY(int cellTop, int rowHeight, int textHeight);

// Width of the system's scroll bar (its arrow button), by which a grid that
// may scroll is widened.
int ScrollBarWidth(const QWidget *widget);

// Gives a grid the columns, row height, room for the lines (drawn by the
// grid's TGridCellDelegate) and the border above: no headers,
// fixed sections, no editing, whole-row selection, no horizontal scroll bar.
void Apply(QTableWidget &grid, std::span<const int> columnWidths, int rowHeight = kRowHeight);

} // namespace GridGeometry
