// The system clipboard beside the editor's own: a copy puts the block there
// as tab-separated text (for spreadsheets) and as the editor's block text
// with its frame times (for another editor window). A paste takes the system
// clipboard only when it changed after this window's last copy, the block
// text first, else the text; otherwise the editor's own clipboard pastes as
// it always did.
#pragma once

#include <QByteArray>
#include <QString>

#include "editor/commands.h"
#include "files/area_table.h"

namespace vqled {

// The block the last copy left in the editor's clipboard (a single cell, or
// the copied rectangle), with the frame times of the columns it came from.
AreaTable CopiedBlock(const PatternStore& store, const EditorClipboard& clip,
                      const GridCellRect& rect);

class SystemClipboard {
 public:
  // Puts the block on the system clipboard in both forms.
  void Put(const AreaTable& block);
  // Whether the system clipboard holds a block or text that this window did
  // not put there.
  bool HoldsForeignBlock() const;
  // The system clipboard's block text, else its text, parsed whole.
  TableParse Take() const;

 private:
  QByteArray lastBlock_;
  QString lastText_;
};

}  // namespace vqled
