#pragma once

#include <QString>

#include <functional>

class QWidget;
class TWSpeedButton;
struct CsvTable;

// Saving a view's table for spreadsheets: the user picks the file (a save
// dialog offering "suggestedName"), the table is written atomically. An empty
// name cancels. A file that cannot be written throws AppError with the reason.
// Returns the name written, or empty when cancelled.
QString SaveSpreadsheet(QWidget *parent, const CsvTable &table, const QString &suggestedName);

// Replaces the file dialog (tests and scripted runs give the name); an empty
// function restores the dialog. The chooser gets the suggested name.
using SpreadsheetFileChooser = std::function<QString(QWidget *parent, const QString &suggestedName)>;
void SetSpreadsheetFileChooser(SpreadsheetFileChooser chooser);

// The key that saves a view's table for spreadsheets (Ctrl+E) and the key that
// opens the chart of the year (Ctrl+G), with the hints their buttons show.
inline constexpr int kSpreadsheetKey = 0x04000000 | 'E'; // Qt::CTRL | Qt::Key_E
inline constexpr int kChartKey = 0x04000000 | 'G'; // Qt::CTRL | Qt::Key_G
QString SpreadsheetButtonHint();

// A text button "CSV" for a window's tool strip at (x, 6), 31 pixels high,
// that also answers Ctrl+E anywhere in `window`.
TWSpeedButton *SpreadsheetButton(QWidget *toolStrip, QWidget *window, int x);
