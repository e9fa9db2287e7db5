// TForm2: the preview of the current area on the lamps of Panel1 (the
// preview panel), stepped by Timer3; BitBtn1 "预览" starts and stops it.
// PreviewWindowBtn "预览窗口" opens the preview window of the whole model.
#include <QPushButton>
#include <QTimer>

#include "Mianc.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

void TForm2::CreatePreviewLamps() {
  preview_->CreateLamps();
}

void TForm2::ConnectPreview() {
  connect(ui_->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
  connect(preview_->timer(), &QTimer::timeout, this, [this] { Timer3Timer(); });
  preview_->ConnectWindow(languageMode,
                          [this](int column) { StringGrid1->scrollToCell(column, 0); });
  connect(preview_->windowButton(), &QPushButton::clicked, this,
          [this] { PreviewWindowBtnClick(); });
}

void TForm2::PreviewWindowBtnClick() {
  preview_->OpenWindow();
}

void TForm2::BitBtn1Click() {
  preview_->Toggle();
}

void TForm2::Timer3Timer() {
  preview_->Tick();
}

}  // namespace vqled
