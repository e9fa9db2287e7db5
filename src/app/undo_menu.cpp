#include "undo_menu.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QShortcut>
#include <QWidget>

namespace vqled {
namespace {

// Simplified Chinese, Traditional Chinese, English; the menu commands as
// their items are captioned.
constexpr const char* kStepNames[STEP_KIND_COUNT][3] = {
    {"单击单元格", "單擊單元格", "Cell click"},
    {"输入数值", "輸入數值", "Value entry"},
    {"帧时间", "幀時間", "Frame time"},
    {"默认时间设置", "默認時間設置", "Run time setup"},
    {"循环设置", "循環設置", "Play settings"},
    {"添加一列", "添加壹列", "Add a column"},
    {"删除一列", "刪除壹列", "Delete a column"},
    {"填充选中", "填充選中", "Fill selected"},
    {"粘贴", "粘貼", "Paste"},
    {"删除选中", "刪除選中", "Delete selected"},
    {"一列变化", "一列變化", "Series changes"},
    {"一行变化", "一行變化", "Line changes"},
    {"粘贴一路", "粘貼一路", "Paste the line"},
    {"流水叠加", "流水疊加", "Flow superposition"},
    {"流水", "流水", "Flow"},
    {"清除当前", "清除當前", "Clear current"},
    {"清除全部", "清除全部", "Clear all"},
    {"导入单区花样", "導入單區花樣", "Import one area"},
    {"导入全区花样", "導入全區花樣", "Import all areas"},
    {"百分比值改为100", "百分比值改為100", "Percent values set to 100"},
    {"导入表格/图片", "導入表格/圖片", "Import CSV/PNG"},
};

constexpr const char* kUndoCaption[3] = {"撤销", "復原", "Undo"};
constexpr const char* kRedoCaption[3] = {"重做", "重做", "Redo"};

// "Undo Fill selected", or "Undo" alone with no step.
void ShowItem(QAction* item, const char* const (&verb)[3], const HistoryStep* step,
              Language language) {
  QString text = QString::fromUtf8(verb[language]);
  if (step != nullptr) text += QLatin1Char(' ') + StepName(step->kind, language);
  item->setText(text);
  item->setEnabled(step != nullptr);
}

}  // namespace

QString StepName(StepKind kind, Language language) {
  if (kind < 0 || kind >= STEP_KIND_COUNT) return {};
  return QString::fromUtf8(kStepNames[kind][language]);
}

UndoMenu::UndoMenu(QWidget* window, QMenu* menu, const History& history, std::function<void()> undo,
                   std::function<void()> redo)
    : QObject(window), history_(history) {
  QAction* first = menu->actions().isEmpty() ? nullptr : menu->actions().first();
  undoItem_ = new QAction(menu);
  undoItem_->setObjectName(QStringLiteral("UndoItem"));
  redoItem_ = new QAction(menu);
  redoItem_->setObjectName(QStringLiteral("RedoItem"));
  // The items show the keys; the window's shortcuts below take them.
  undoItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
  redoItem_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z));
  for (QAction* item : {undoItem_, redoItem_}) {
    item->setShortcutContext(Qt::WidgetShortcut);
    item->setShortcutVisibleInContextMenu(true);
  }
  menu->insertAction(first, undoItem_);
  menu->insertAction(first, redoItem_);
  menu->insertSeparator(first);
  connect(undoItem_, &QAction::triggered, this, undo);
  connect(redoItem_, &QAction::triggered, this, redo);
  connect(menu, &QMenu::aboutToShow, this, &UndoMenu::Refresh);
  // The keys work wherever the window has the focus, whether or not the menu
  // was shown since the last change; with nothing to undo they do nothing.
  const QKeySequence undoKeys[] = {QKeySequence(Qt::CTRL | Qt::Key_Z)};
  const QKeySequence redoKeys[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z),
                                   QKeySequence(Qt::CTRL | Qt::Key_Y)};
  for (const QKeySequence& keys : undoKeys)
    connect(new QShortcut(keys, window), &QShortcut::activated, this, undo);
  for (const QKeySequence& keys : redoKeys)
    connect(new QShortcut(keys, window), &QShortcut::activated, this, redo);
  Refresh();
}

void UndoMenu::SetLanguage(Language language) {
  language_ = language;
  Refresh();
}

void UndoMenu::Refresh() {
  ShowItem(undoItem_, kUndoCaption, history_.NextUndo(), language_);
  ShowItem(redoItem_, kRedoCaption, history_.NextRedo(), language_);
}

}  // namespace vqled
