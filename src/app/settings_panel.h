// The trigger rows of the controller settings panel GroupBox10: the five
// lists of each of the six rows, what they show, and the release rule that
// runs when a row's trigger condition changes.
#pragma once

#include "link/controller_settings.h"

class QComboBox;
class QWidget;

namespace Ui {
class TForm2;
}

namespace vqled {

class TriggerSettingsPanel {
 public:
  TriggerSettingsPanel(QWidget& window, Ui::TForm2& ui) : window_(window), ui_(ui) {}

  // List list (0..4: A..E) of trigger row row (0..5), ComBoxA1 .. ComBoxE6.
  QComboBox* TriggerList(int row, int list) const;
  // What the panel's lists show.
  SettingsPanel ReadSettingsPanel() const;
  void ShowTriggerRows(const SettingsPanel& panel);
  // Start-up: every trigger row list with nothing selected takes its first
  // item, then the release rule runs once.
  void InitTriggerControls();
  void ComBoxAChange();
  void Button11Click();
  // The end date, the "全部不启用" and close buttons and the trigger lists.
  void Connect();

 private:
  QWidget& window_;
  Ui::TForm2& ui_;
};

}  // namespace vqled
