// TForm2: the serial port list ComboBox5 and the trigger rows of the
// controller settings panel GroupBox10.
#include <QComboBox>
#include <QSignalBlocker>

#include "Mianc.h"
#include "link/controller_settings.h"
#include "link/serial_ports.h"
#include "ui_Mianc.h"

namespace vqled {

namespace {

// The A (trigger condition) and E (on trigger release) lists of row n (0..5).
QComboBox* TriggerList(const QWidget& form, char column, int row) {
  return form.findChild<QComboBox*>(QStringLiteral("ComBox%1%2").arg(QChar(column)).arg(row + 1));
}

constexpr char kTriggerColumns[kTriggerLists] = {'A', 'B', 'C', 'D', 'E'};
constexpr int kKeyMode = 3;  // "按键模式(先闭后断)"

}  // namespace

// BitBtn2Click and start-up: the system's serial devices, the first one
// selected; "not Find" where there is none.
void TForm2::ListPorts() {
  QComboBox* ports = ui_->ComboBox5;
  const QSignalBlocker quiet(ports);
  ports->clear();
  for (const SerialPortInfo& port : ListSerialPorts()) {
    ports->addItem(QString::fromStdString(port.device));
    ports->setItemData(ports->count() - 1, QString::fromStdString(port.description),
                       Qt::ToolTipRole);
  }
  if (ports->count() > 0) {
    ports->setCurrentIndex(0);
    return;
  }
  const NoPortNotice notice = NoPortNoticeFor(languageMode.textVariant);
  if (!notice.label13.empty()) ui_->Label13->setText(QString::fromStdString(notice.label13));
  if (!notice.comboBox5.empty()) ports->setEditText(QString::fromStdString(notice.comboBox5));
}

// Start-up: every trigger row list with nothing selected takes its first
// item, then the release rule runs once.
void TForm2::InitTriggerControls() {
  SettingsPanel panel;
  for (int row = 0; row < kTriggerRows; ++row) {
    for (int list = 0; list < kTriggerLists; ++list) {
      panel.row[row][list] = TriggerList(*this, kTriggerColumns[list], row)->currentIndex();
    }
  }
  DefaultTriggerRows(panel);
  for (int row = 0; row < kTriggerRows; ++row) {
    for (int list = 0; list < kTriggerLists; ++list) {
      TriggerList(*this, kTriggerColumns[list], row)->setCurrentIndex(panel.row[row][list]);
    }
  }
  ComBoxAChange();
}

// The release rule (ComBoxA1Change .. ComBoxA6Change): a row whose trigger is
// the key mode has no release action of its own.
void TForm2::ComBoxAChange() {
  for (int row = 0; row < kTriggerRows; ++row) {
    QComboBox* release = TriggerList(*this, 'E', row);
    const bool keyMode = TriggerList(*this, 'A', row)->currentIndex() == kKeyMode;
    if (keyMode) release->setCurrentIndex(0);
    release->setEnabled(!keyMode);
  }
}

// Button11Click "全部不启用": no trigger row is enabled.
void TForm2::Button11Click() {
  for (int row = 0; row < kTriggerRows; ++row) TriggerList(*this, 'A', row)->setCurrentIndex(0);
  ComBoxAChange();
}

void TForm2::ConnectSettings() {
  connect(ui_->BitBtn2, &QPushButton::clicked, this, [this] { ListPorts(); });
  connect(ui_->Button11, &QPushButton::clicked, this, [this] { Button11Click(); });
  connect(ui_->Button6, &QPushButton::clicked, ui_->GroupBox10, &QWidget::hide);
  for (int row = 0; row < kTriggerRows; ++row) {
    connect(TriggerList(*this, 'A', row), &QComboBox::activated, this, [this] { ComBoxAChange(); });
  }
}

}  // namespace vqled
