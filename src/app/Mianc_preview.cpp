// TForm2: the preview of the current area on the lamps of Panel1 (the
// preview panel), stepped by Timer3; BitBtn1 "预览" starts and stops it.
#include <QPushButton>
#include <QTimer>

#include "Mianc.h"
#include "ui_Mianc.h"

namespace vqled {

void TForm2::CreatePreviewLamps() {
  preview_->CreateLamps();
}

void TForm2::ConnectPreview() {
  connect(ui_->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(preview_->timer(), &QTimer::timeout, this, [this] { Timer3Timer(); });
}

void TForm2::BitBtn1Click() {
  preview_->Toggle();
}

void TForm2::Timer3Timer() {
  preview_->Tick();
}

}  // namespace vqled
