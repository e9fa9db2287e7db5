#include "grid_keys.h"

#include <QAction>
#include <QKeyEvent>
#include <QMenu>

#include "application.h"
#include "document/document.h"
#include "entry_panel.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

struct KeyMove {
  int key;
  CursorMove plain;
  CursorMove withControl;
};
constexpr KeyMove kKeyMoves[] = {{Qt::Key_Left, MOVE_LEFT, MOVE_USED_LEFT},
                                 {Qt::Key_Right, MOVE_RIGHT, MOVE_USED_RIGHT},
                                 {Qt::Key_Up, MOVE_UP, MOVE_USED_UP},
                                 {Qt::Key_Down, MOVE_DOWN, MOVE_USED_DOWN},
                                 {Qt::Key_PageUp, MOVE_PAGE_UP, MOVE_PAGE_UP},
                                 {Qt::Key_PageDown, MOVE_PAGE_DOWN, MOVE_PAGE_DOWN},
                                 {Qt::Key_Home, MOVE_HOME, MOVE_FIRST},
                                 {Qt::Key_End, MOVE_END, MOVE_LAST_USED}};

// The shortcuts of the menu items; the first of each is shown in the menu.
// Ctrl+Plus, Ctrl+Minus and Ctrl+0 zoom the grid, so deleting a column is
// Ctrl+Delete.
struct ItemKeys {
  const char* item;
  QKeySequence first;
  QKeySequence second;
};

bool IsDigitText(const QString& text) {
  return text.size() == 1 && text[0] >= QLatin1Char('0') && text[0] <= QLatin1Char('9');
}

bool IsKeyPress(const QEvent* event, int key) {
  return event->type() == QEvent::KeyPress && static_cast<const QKeyEvent*>(event)->key() == key;
}

}  // namespace

GridKeys::GridKeys(QWidget* form, Ui::TForm2& ui, StringGrid* grid, QMenu* menu, EntryPanel& entry,
                   Document& document)
    : ui_(ui), grid_(grid), entry_(entry), document_(document) {
  grid_->setFocusPolicy(Qt::StrongFocus);
  for (QObject* watched :
       {static_cast<QObject*>(grid_), static_cast<QObject*>(ui_.HYEdit),
        static_cast<QObject*>(ui_.TimeComb), static_cast<QObject*>(ui_.TimeComb2)}) {
    watched->installEventFilter(this);
  }
  connect(grid_, &StringGrid::gridMouseRelease, this,
          [this](Qt::MouseButton, QPoint viewportPos, QPoint) { FollowRelease(viewportPos); });
  connect(ui_.HYEdit, &QLineEdit::returnPressed, this, [this] { EntryStored(); });
  for (QComboBox* list : {ui_.TimeComb, ui_.TimeComb2}) {
    connect(list, &QComboBox::activated, this, [this] { ReturnToGrid(); });
  }
  BindShortcuts(form, menu);
}

void GridKeys::BindShortcuts(QWidget* form, QMenu* menu) {
  const ItemKeys items[] = {
      {"N3", QKeySequence(Qt::CTRL | Qt::Key_C), {}},
      {"N6", QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::Key_Delete)},
      {"N5", QKeySequence(Qt::CTRL | Qt::Key_V), {}},
      {"N4", QKeySequence(Qt::CTRL | Qt::Key_D), {}},
      {"N1", QKeySequence(Qt::Key_Insert), {}},
      {"N2", QKeySequence(Qt::CTRL | Qt::Key_Delete), {}}};
  for (const ItemKeys& keys : items) {
    QAction* item = menu->findChild<QAction*>(QString::fromLatin1(keys.item));
    QList<QKeySequence> sequences{keys.first};
    if (!keys.second.isEmpty()) sequences.append(keys.second);
    item->setShortcuts(sequences);
    item->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    grid_->addAction(item);
  }
  auto* saveAll = new QAction(form);
  saveAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
  saveAll->setShortcutContext(Qt::WindowShortcut);
  form->addAction(saveAll);
  connect(saveAll, &QAction::triggered, ui_.BitBtn6, &QPushButton::click);
}

bool GridKeys::eventFilter(QObject* watched, QEvent* event) {
  if (watched == grid_) {
    if (event->type() == QEvent::KeyPress) return GridKeyPress(*static_cast<QKeyEvent*>(event));
    // The frame shows where the keys act once the grid has the focus; the
    // pointer state and the view stay as they are until a key moves.
    if (event->type() == QEvent::FocusIn) {
      ClampCursor(cursor_, document_.store());
      grid_->setCursorCell(cursor_.cell.column, cursor_.cell.row);
    }
    return false;
  }
  if (!IsKeyPress(event, Qt::Key_Escape)) return false;
  if (watched == ui_.HYEdit) {
    entry_.CancelEntry();
  } else {
    static_cast<QWidget*>(watched)->hide();
  }
  ReturnToGrid();
  return true;
}

bool GridKeys::GridKeyPress(const QKeyEvent& key) {
  if (MoveKey(key)) return true;
  const Qt::KeyboardModifiers held = key.modifiers() & ~Qt::KeypadModifier;
  if (held & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  ClampCursor(cursor_, document_.store());
  const GridCell cell = cursor_.cell;
  switch (key.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F2:
    case Qt::Key_Space: {
      const bool openEntry = key.key() != Qt::Key_Space;
      RunHandler([&] { entry_.KeyClick(cell, openEntry); });
      return true;
    }
    case Qt::Key_Escape:
      cursor_.anchor = cell;
      ShowCursor();
      return true;
    default:
      break;
  }
  if (!IsDigitText(key.text())) return false;
  if (cell.row >= kFirstChannelRow && OpensValueEntry(document_.profile().valueKind)) {
    ShowCursor();
    entry_.OpenTypedEntry(cell, key.text());
  }
  return true;
}

bool GridKeys::MoveKey(const QKeyEvent& key) {
  const Qt::KeyboardModifiers held = key.modifiers() & ~Qt::KeypadModifier;
  if (held & (Qt::AltModifier | Qt::MetaModifier)) return false;
  for (const KeyMove& move : kKeyMoves) {
    if (move.key != key.key()) continue;
    Move(held & Qt::ControlModifier ? move.withControl : move.plain,
         (held & Qt::ShiftModifier) != 0);
    return true;
  }
  return false;
}

void GridKeys::Move(CursorMove move, bool extend) {
  ClampCursor(cursor_, document_.store());
  MoveCursor(cursor_, document_.store(), move, extend, PageRows());
  ShowCursor();
}

// The cursor as the grid shows it: its frame, the range highlight, in view,
// and the pointer state a click or drag over the same cells leaves.
void GridKeys::ShowCursor() {
  ClampCursor(cursor_, document_.store());
  const GridCell cell = cursor_.cell;
  grid_->setCursorCell(cell.column, cell.row);
  grid_->setSelection(CursorSelection(cursor_));
  grid_->scrollToCell(cell.column, cell.row);
  entry_.PointAt(cursor_.anchor, cell);
}

// A release on a cell the cursor can stand on brings the cursor there; a
// drag over channel rows leaves its press cell as the anchor, so Shift goes
// on from the dragged range.
void GridKeys::FollowRelease(QPoint viewportPos) {
  const GridCell cell = grid_->cellAt(viewportPos);
  if (!IsCursorCell(document_.store(), cell)) return;
  const GridCell press = entry_.pointer.pressCell;
  const bool range = cell.row >= kFirstChannelRow && press.row >= kFirstChannelRow &&
                     IsCursorCell(document_.store(), press);
  cursor_.cell = cell;
  cursor_.anchor = range ? press : cell;
  grid_->setCursorCell(cell.column, cell.row);
}

// Enter in the value box: once the number is stored (the box has closed),
// the cursor moves down from the cell the box was on.
void GridKeys::EntryStored() {
  if (ui_.HYEdit->isVisible()) return;
  if (entry_.pointer.editCell == cursor_.cell) Move(MOVE_DOWN, false);
  ReturnToGrid();
}

void GridKeys::ReturnToGrid() {
  grid_->setFocus(Qt::OtherFocusReason);
}

// A page is the channel rows in view, less one so that a row stays in sight.
int GridKeys::PageRows() const {
  const int rowHeight = std::max(1, grid_->rowHeight(kFirstChannelRow));
  return std::max(1, grid_->viewport()->height() / rowHeight - 2);
}

}  // namespace vqled
