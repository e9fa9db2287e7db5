// TForm2: the serial port list ComboBox5 and the trigger rows of the
// controller settings panel GroupBox10, forwarded to their panels.
#include <QPushButton>

#include "Mianc.h"
#include "link_panel.h"
#include "settings_panel.h"
#include "ui_Mianc.h"

namespace vqled {

void TForm2::ListPorts() {
  linkPanel_->ListPorts();
}

void TForm2::InitTriggerControls() {
  settingsPanel_->InitTriggerControls();
}

void TForm2::ComBoxAChange() {
  settingsPanel_->ComBoxAChange();
}

void TForm2::Button11Click() {
  settingsPanel_->Button11Click();
}

void TForm2::ConnectSettings() {
  connect(ui_->BitBtn2, &QPushButton::clicked, this, [this] { ListPorts(); });
  settingsPanel_->Connect();
}

}  // namespace vqled
