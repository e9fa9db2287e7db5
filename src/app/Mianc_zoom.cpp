// TForm2: the zoom items of the grid's popup menu RightMenu. They zoom the
// grid's frame columns and channel rows, which changes nothing stored; their
// shortcuts work wherever the focus is in the window.
#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include "Mianc.h"
#include "application.h"
#include "string_grid.h"

namespace vqled {

namespace {

struct ZoomItem {
  const char* name;
  void (TForm2::*handler)();
  QKeySequence::StandardKey standardKey;  // UnknownKey: only the keys below
  const char* keys;                       // "" when none
};

const ZoomItem kZoomItems[] = {
    {"ZoomIn1", &TForm2::ZoomIn1Click, QKeySequence::ZoomIn, "Ctrl+="},
    {"ZoomOut1", &TForm2::ZoomOut1Click, QKeySequence::ZoomOut, ""},
    {"ZoomReset1", &TForm2::ZoomReset1Click, QKeySequence::UnknownKey, "Ctrl+0"},
    {"FitArea1", &TForm2::FitArea1Click, QKeySequence::UnknownKey, ""},
    {"FitSelection1", &TForm2::FitSelection1Click, QKeySequence::UnknownKey, ""},
};

// The last frame column of the current area with a lit channel cell; 0 when
// none is lit.
int LastLitFrameColumn(const PatternStore& store) {
  for (int column = std::min(store.gridColumnCount, kColumnsPerArea) - 1;
       column >= kFirstFrameColumn; --column) {
    for (int row = kHeaderRows; row < std::min(store.gridRowCount, kRowsPerArea); ++row) {
      if (store.Cell(store.currentArea, row, column) != 0) return column;
    }
  }
  return 0;
}

}  // namespace

void TForm2::CreateZoomItems() {
  RightMenu->addSeparator();
  for (const ZoomItem& zoom : kZoomItems) {
    QAction* item = RightMenu->addAction(QString());
    item->setObjectName(QString::fromLatin1(zoom.name));
    QList<QKeySequence> keys;
    if (zoom.standardKey != QKeySequence::UnknownKey)
      keys = QKeySequence::keyBindings(zoom.standardKey);
    if (*zoom.keys != '\0') keys << QKeySequence(QString::fromLatin1(zoom.keys));
    item->setShortcuts(keys);
    item->setShortcutContext(Qt::WindowShortcut);
    addAction(item);  // the shortcut works while the menu is closed
    connect(item, &QAction::triggered, this,
            [this, handler = zoom.handler] { RunHandler([&] { (this->*handler)(); }); });
  }
}

void TForm2::ZoomIn1Click() {
  StringGrid1->zoomIn();
}

void TForm2::ZoomOut1Click() {
  StringGrid1->zoomOut();
}

void TForm2::ZoomReset1Click() {
  StringGrid1->setZoom(100);
}

// The area's frames up to the last lit one (all of the grid's when none is
// lit) and the time rows and channel rows fill the grid.
void TForm2::FitArea1Click() {
  const PatternStore& store = document_.store();
  const int last = LastLitFrameColumn(store);
  StringGrid1->fitCells({kFirstFrameColumn, StringGrid::kFixedRows,
                         last > 0 ? last : StringGrid1->columnCount() - 1,
                         StringGrid1->rowCount() - 1});
}

void TForm2::FitSelection1Click() {
  const GridCellRect selection = StringGrid1->selection();
  if (selection.left <= selection.right && selection.top <= selection.bottom) {
    StringGrid1->fitCells(selection);
  }
}

}  // namespace vqled
