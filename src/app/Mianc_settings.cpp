// TForm2: the serial port list ComboBox5 and the trigger rows of the
// controller settings panel GroupBox10.
#include <QComboBox>
#include <QDateEdit>
#include <QSignalBlocker>

#include "Mianc.h"
#include "link/controller_settings.h"
#include "link/serial_ports.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

constexpr char kTriggerColumns[kTriggerLists] = {'A', 'B', 'C', 'D', 'E'};
constexpr int kTriggerCondition = 0;  // the A list of a row
constexpr int kTriggerRelease = 4;    // the E list of a row

}  // namespace

// List list (0..4: A..E) of trigger row row (0..5), ComBoxA1 .. ComBoxE6.
QComboBox* TForm2::TriggerList(int row, int list) const {
  return findChild<QComboBox*>(
      QStringLiteral("ComBox%1%2").arg(QChar(kTriggerColumns[list])).arg(row + 1));
}

// BitBtn2Click and start-up: the system's serial devices, the first one
// selected, and the virtual controller after them; "not Find" where there is
// no serial device.
void TForm2::ListPorts() {
  QComboBox* ports = ui_->ComboBox5;
  const QSignalBlocker quiet(ports);
  ports->clear();
  for (const SerialPortInfo& port : ListSerialPorts()) {
    ports->addItem(QString::fromStdString(port.device));
    ports->setItemData(ports->count() - 1, QString::fromStdString(port.description),
                       Qt::ToolTipRole);
  }
  const bool found = ports->count() > 0;
  AddVirtualEntry();
  if (found) {
    ports->setCurrentIndex(0);
    return;
  }
  const NoPortNotice notice = NoPortNoticeFor(languageMode.textVariant);
  if (!notice.label13.empty()) ui_->Label13->setText(QString::fromStdString(notice.label13));
  if (!notice.comboBox5.empty()) ports->setEditText(QString::fromStdString(notice.comboBox5));
}

// What the settings panel's lists show.
SettingsPanel TForm2::ReadSettingsPanel() const {
  SettingsPanel panel;
  panel.comboBoxAA = ui_->ComboBoxAA->currentIndex();
  panel.comboBoxAB = ui_->ComboBoxAB->currentIndex();
  panel.comboBoxAC = ui_->ComboBoxAC->currentIndex();
  panel.comboBox14 = ui_->ComboBox14->currentIndex();
  for (int row = 0; row < kTriggerRows; ++row) {
    for (int list = 0; list < kTriggerLists; ++list) {
      panel.row[row][list] = TriggerList(row, list)->currentIndex();
    }
  }
  return panel;
}

void TForm2::ShowTriggerRows(const SettingsPanel& panel) {
  for (int row = 0; row < kTriggerRows; ++row) {
    for (int list = 0; list < kTriggerLists; ++list) {
      TriggerList(row, list)->setCurrentIndex(panel.row[row][list]);
    }
  }
}

// Start-up: every trigger row list with nothing selected takes its first
// item, then the release rule runs once.
void TForm2::InitTriggerControls() {
  SettingsPanel panel = ReadSettingsPanel();
  DefaultTriggerRows(panel);
  ShowTriggerRows(panel);
  ComBoxAChange();
}

// The release rule (ComBoxA1Change .. ComBoxA6Change): a row whose trigger is
// the key mode has no release action of its own.
void TForm2::ComBoxAChange() {
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
void TForm2::Button11Click() {
  for (int row = 0; row < kTriggerRows; ++row)
    TriggerList(row, kTriggerCondition)->setCurrentIndex(0);
  ComBoxAChange();
}

void TForm2::ConnectSettings() {
  // The countdown end date starts at today, a day count of 0.
  ui_->DateTimePicker1->setDate(QDate::currentDate());
  connect(ui_->BitBtn2, &QPushButton::clicked, this, [this] { ListPorts(); });
  connect(ui_->Button11, &QPushButton::clicked, this, [this] { Button11Click(); });
  connect(ui_->Button6, &QPushButton::clicked, ui_->GroupBox10, &QWidget::hide);
  for (int row = 0; row < kTriggerRows; ++row) {
    connect(TriggerList(row, kTriggerCondition), &QComboBox::activated, this,
            [this] { ComBoxAChange(); });
  }
}

}  // namespace vqled
