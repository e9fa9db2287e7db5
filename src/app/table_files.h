// The table file commands above the .VQD export button: the menu button
// TableBtn ("CSV/PNG") with four items that export the current area as CSV
// or PNG and import one into it. The TForm2 handlers are in table_files.cpp.
#pragma once

class QAction;
class QPushButton;
class QWidget;

namespace vqled {

struct TableFileControls {
  QPushButton* button;  // TableBtn
  QAction* csvOut;      // TableCsvOut
  QAction* csvIn;       // TableCsvIn
  QAction* pngOut;      // TablePngOut
  QAction* pngIn;       // TablePngIn
};

// Makes the button above the .VQD export button exportButton, with its
// menu; the captions come from the caption table.
TableFileControls CreateTableFileControls(QWidget* form, QPushButton* exportButton);

}  // namespace vqled
