// TForm2's downloads ("当前区发送", "全区发送") and the settings, clock,
// end-date and controller-type commands: the link panel runs them and shows
// every effect of a transaction on the window; the handlers here forward to
// it. The serial port's watch thread only posts a queued call; all link
// logic runs on the user-interface thread.
#include <QTimer>

#include "Mianc.h"
#include "application.h"
#include "files/download_image.h"
#include "link_panel.h"
#include "port_list.h"
#include "settings_panel.h"
#include "string_grid.h"
#include "ui_Mianc.h"

namespace vqled {

void TForm2::CreateLink() {
  LinkPanelWindow hooks;
  hooks.switchToModelVQM28 = [this] { SwitchToModelVQM28(); };
  hooks.writeConfig = [this] { return WriteConfig(); };
  hooks.virtualDevice = [this] { return VirtualDevice(); };
  hooks.addVirtualEntry = [this] { AddVirtualEntry(); };
  hooks.showAreaOfAreas = [this](int area) { ShowAreaOfAreas(area); };
  hooks.downloadControls = [this] { return CurrentDownloadControls(); };
  linkPanel_ = std::make_unique<LinkPanel>(*this, *ui_, *StringGrid1, *Timer1, *Timer5, document_,
                                           languageMode, std::move(hooks));
  link_ = &linkPanel_->link();
  settingsPanel_ = std::make_unique<TriggerSettingsPanel>(*this, *ui_);
  connect(Timer1, &QTimer::timeout, this, [this] { RunHandler([this] { link_->Timer1Timer(); }); });
  connect(Timer5, &QTimer::timeout, this, [this] { RunHandler([this] { link_->Timer5Timer(); }); });
  connect(DataTime, &QTimer::timeout, this, [this] { DataTimeTimer(); });
  connect(ui_->BitBtn7, &QPushButton::clicked, this,
          [this] { RunHandler([this] { BitBtn7Click(); }); });
  connect(ui_->BitBtn5, &QPushButton::clicked, this,
          [this] { RunHandler([this] { link_->BitBtn5Click(); }); });
  connect(ui_->Button5, &QPushButton::clicked, this,
          [this] { RunHandler([this] { Button5Click(); }); });
  connect(ui_->BitBtn18, &QPushButton::clicked, this,
          [this] { RunHandler([this] { link_->BitBtn18Click(); }); });
  connect(ui_->BitBtn19, &QPushButton::clicked, this,
          [this] { RunHandler([this] { link_->BitBtn19Click(); }); });
  connect(linkPanel_->portList().findButton(), &QPushButton::clicked, this,
          [this] { RunHandler([this] { linkPanel_->portList().BitBtnFindClick(); }); });
  connect(ui_->BitBtn16, &QPushButton::clicked, this,
          [this] { RunHandler([this] { link_->BitBtn16Click(ui_->RadioButton5->isChecked()); }); });
}

DownloadControls TForm2::CurrentDownloadControls() const {
  DownloadControls controls = DownloadControlsFromArea(ReadAreaControls(), CurrentHeaderControls());
  QComboBox* const groups[] = {ui_->ComboBox9, ui_->ComboBox10, ui_->ComboBox11, ui_->ComboBox12};
  int* const indexes[] = {&controls.comboBox9Index, &controls.comboBox10Index,
                          &controls.comboBox11Index, &controls.comboBox12Index};
  for (int i = 0; i < 4; ++i) *indexes[i] = groups[i]->currentIndex();
  controls.checkBox4 = ui_->CheckBox4->isChecked();
  return controls;
}

// Selects VQ-M28 in ComboBox6 and applies its profile and grid layout, as a
// controller that answers as a VQ-M28 asks.
void TForm2::SwitchToModelVQM28() {
  {
    const QSignalBlocker quiet(ui_->ComboBox6);
    ui_->ComboBox6->setCurrentIndex(kModelVQM28);
  }
  LayoutGrid(ApplyModelProfile());
}

void TForm2::BitBtn7Click() {
  linkPanel_->BitBtn7Click();
}

void TForm2::Button5Click() {
  linkPanel_->Button5Click(*settingsPanel_);
}

void TForm2::DataTimeTimer() {
  linkPanel_->DataTimeTimer();
}

}  // namespace vqled
