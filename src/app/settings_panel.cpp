#include "settings_panel.h"

#include <QComboBox>
#include <QDateEdit>
#include <QPushButton>

#include "ui_Mianc.h"

namespace vqled {

namespace {

constexpr char kTriggerColumns[kTriggerLists] = {'A', 'B', 'C', 'D', 'E'};
constexpr int kTriggerCondition = 0;  // the A list of a row
constexpr int kTriggerRelease = 4;    // the E list of a row

}  // namespace

QComboBox* TriggerSettingsPanel::TriggerList(int row, int list) const {
  return window_.findChild<QComboBox*>(
      QStringLiteral("ComBox%1%2").arg(QChar(kTriggerColumns[list])).arg(row + 1));
}

SettingsPanel TriggerSettingsPanel::ReadSettingsPanel() const {
  SettingsPanel panel;
  panel.comboBoxAA = ui_.ComboBoxAA->currentIndex();
  panel.comboBoxAB = ui_.ComboBoxAB->currentIndex();
  panel.comboBoxAC = ui_.ComboBoxAC->currentIndex();
  panel.comboBox14 = ui_.ComboBox14->currentIndex();
  for (int row = 0; row < kTriggerRows; ++row) {
    for (int list = 0; list < kTriggerLists; ++list) {
      panel.row[row][list] = TriggerList(row, list)->currentIndex();
    }
  }
  return panel;
}

void TriggerSettingsPanel::ShowTriggerRows(const SettingsPanel& panel) {
  for (int row = 0; row < kTriggerRows; ++row) {
    for (int list = 0; list < kTriggerLists; ++list) {
      TriggerList(row, list)->setCurrentIndex(panel.row[row][list]);
    }
  }
}

void TriggerSettingsPanel::InitTriggerControls() {
  SettingsPanel panel = ReadSettingsPanel();
  DefaultTriggerRows(panel);
  ShowTriggerRows(panel);
  ComBoxAChange();
}

// The release rule (ComBoxA1Change .. ComBoxA6Change): a row whose trigger is
// the key mode has no release action of its own.
void TriggerSettingsPanel::ComBoxAChange() {
  SettingsPanel panel = ReadSettingsPanel();
  bool releaseEnabled[kTriggerRows];
  ApplyReleaseRule(panel, releaseEnabled);
  for (int row = 0; row < kTriggerRows; ++row) {
    QComboBox* release = TriggerList(row, kTriggerRelease);
    release->setCurrentIndex(panel.row[row][kTriggerRelease]);
    release->setEnabled(releaseEnabled[row]);
  }
}

// Button11Click "全部不启用": no trigger row is enabled.
void TriggerSettingsPanel::Button11Click() {
  for (int row = 0; row < kTriggerRows; ++row)
    TriggerList(row, kTriggerCondition)->setCurrentIndex(0);
  ComBoxAChange();
}

void TriggerSettingsPanel::Connect() {
  // The countdown end date starts at today, a day count of 0.
  ui_.DateTimePicker1->setDate(QDate::currentDate());
  QObject::connect(ui_.Button11, &QPushButton::clicked, &window_, [this] { Button11Click(); });
  QObject::connect(ui_.Button6, &QPushButton::clicked, ui_.GroupBox10, &QWidget::hide);
  for (int row = 0; row < kTriggerRows; ++row) {
    QObject::connect(TriggerList(row, kTriggerCondition), &QComboBox::activated, &window_,
                     [this] { ComBoxAChange(); });
  }
}

}  // namespace vqled
