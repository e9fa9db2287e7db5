// TForm2: the preview of the current area on the 72 lamps of Panel1,
// stepped by Timer3 every 100 ms (BitBtn1 "预览" starts and stops it).
#include <QTimer>

#include "Mianc.h"
#include "editor/commands.h"
#include "shape.h"
#include "ui/preview_player.h"
#include "ui_Mianc.h"

namespace vqled {

static_assert(kPreviewLamps == kPreviewLampCount, "one lamp per previewed channel");

void TForm2::ConnectPreview() {
  preview_ = {new PreviewPlayer(), [](PreviewPlayer* player) { delete player; }};
  connect(form()->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(Timer3, &QTimer::timeout, this, [this] { Timer3Timer(); });
}

void TForm2::BitBtn1Click() {
  if (TogglePreview(*preview_, store)) {
    Timer3->start(kPreviewTickMs);
  } else {
    Timer3->stop();
  }
}

void TForm2::Timer3Timer() {
  int shades[kPreviewLampCount];
  if (!PreviewTick(*preview_, store, shades)) return;
  for (int k = 0; k < kPreviewLampCount; ++k) previewLamps[k]->setBrushColor(LampColour(shades[k]));
}

}  // namespace vqled
