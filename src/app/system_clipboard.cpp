#include "system_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <algorithm>

namespace vqled {

AreaTable CopiedBlock(const PatternStore& store, const EditorClipboard& clip,
                      const GridCellRect& rect) {
  AreaTable block;
  const bool single = clip.clipLastColumn == 0 && clip.clipLastRow == 0;
  block.rows = single ? 1 : clip.clipLastRow + 1;
  block.columns = single ? 1 : clip.clipLastColumn + 1;
  block.cells.reserve(static_cast<size_t>(block.rows) * block.columns);
  for (int m = 0; m < block.rows; ++m) {
    for (int k = 0; k < block.columns; ++k) {
      block.cells.push_back(single ? clip.clipValue : clip.clipBuffer[m][k]);
    }
  }
  const FrameTimes& times = store.frameTime[store.currentArea];
  for (int k = 0; k < block.columns; ++k) {
    const int column = std::min(rect.left + k, kColumnsPerArea - 1);
    block.times.push_back({times.timeValue[column], times.timeType[column]});
  }
  return block;
}

void SystemClipboard::Put(const AreaTable& block) {
  lastBlock_ = QByteArray::fromStdString(WriteBlockText(block));
  lastText_ = QString::fromStdString(WriteTabText(block));
  auto* data = new QMimeData;
  data->setData(QString::fromLatin1(kBlockMimeType), lastBlock_);
  data->setText(lastText_);
  QGuiApplication::clipboard()->setMimeData(data);
}

bool SystemClipboard::HoldsForeignBlock() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  if (data == nullptr) return false;
  const QString mime = QString::fromLatin1(kBlockMimeType);
  if (data->hasFormat(mime)) return data->data(mime) != lastBlock_;
  return data->hasText() && !data->text().isEmpty() && data->text() != lastText_;
}

TableParse SystemClipboard::Take() const {
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  const QString mime = QString::fromLatin1(kBlockMimeType);
  if (data != nullptr && data->hasFormat(mime)) {
    return ParseBlockText(data->data(mime).toStdString());
  }
  return ParseTabText(data != nullptr ? data->text().toStdString() : std::string());
}

}  // namespace vqled
