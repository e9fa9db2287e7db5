#include "port_list.h"

#include <QComboBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdlib>
#include <stdexcept>

#include "application.h"
#include "link/serial_ports.h"
#include "panel_text.h"
#include "ui_Mianc.h"

namespace vqled {
namespace {

// Wide enough for "Find" and "查找".
constexpr int kFindButtonWidth = 44;

std::unique_ptr<PortSource> MakeWindowPortSource() {
  const char* folder = std::getenv(PortList::kPortDirVariable);
  if (folder != nullptr && *folder != '\0') return MakeFolderPortSource(folder);
  try {
    return MakeSystemPortSource();
  } catch (const std::runtime_error&) {
    return nullptr;  // the list is then read from the device tree, on request only
  }
}

Text SearchOutcome(const std::vector<PortAnswer>& answers) {
  const PortAnswer* first = FirstAnswered(answers);
  const std::string searched = std::to_string(answers.size());
  if (first == nullptr)
    return {"没有找到控制器（查找了 " + searched + " 个串口）",
            "No controller answered (" + searched +
                (answers.size() == 1 ? " serial port" : " serial ports") + " searched)"};
  int answered = 0;
  for (const PortAnswer& answer : answers) answered += answer.result == FIND_ANSWERED;
  Text found = DescribeAnswer(*first);
  found = {"找到控制器：" + found.zh, "Found: " + found.en};
  if (answered > 1) {
    found.zh += "（共 " + std::to_string(answered) + " 个控制器应答）";
    found.en += " (" + std::to_string(answered) + " controllers answered)";
  }
  return found;
}

}  // namespace

PortList::PortList(QWidget& window, Ui::TForm2& ui, const LanguageMode& language,
                   std::function<void()> addVirtualEntry)
    : window_(window),
      ui_(ui),
      language_(language),
      addVirtualEntry_(std::move(addVirtualEntry)),
      source_(MakeWindowPortSource()) {
  // At the end of the progress bar's row, left of the port list's refresh.
  QProgressBar* bar = ui_.cxProgressBar1;
  const QRect place = bar->geometry();
  bar->setGeometry(place.adjusted(0, 0, -(kFindButtonWidth + 4), 0));
  findButton_ = new QPushButton(bar->parentWidget());
  findButton_->setObjectName(QStringLiteral("BitBtnFind"));
  // Between the status line above and the port list below.
  const int top = ui_.Label13->geometry().bottom() + 1;
  findButton_->setGeometry(place.right() - kFindButtonWidth + 1, top, kFindButtonWidth,
                           ui_.ComboBox5->y() - 2 - top);
  findButton_->setText(QStringLiteral("查找"));
  findButton_->show();
  WatchPorts();
}

PortList::~PortList() {
  if (search_.joinable()) search_.join();
}

// The source tells of a change through its descriptor; the timer rescans at
// its pace for what no notification tells (a device gone behind its link).
void PortList::WatchPorts() {
  if (!source_) return;
  source_->StartWatch();
  if (source_->WatchFd() >= 0) {
    notifier_ = new QSocketNotifier(source_->WatchFd(), QSocketNotifier::Read, &window_);
    QObject::connect(notifier_, &QSocketNotifier::activated, &window_, [this] { PortsChanged(); });
  }
  rescan_ = new QTimer(&window_);
  rescan_->setObjectName(QStringLiteral("portRescanTimer"));
  QObject::connect(rescan_, &QTimer::timeout, &window_, [this] { PortsChanged(); });
  rescan_->start(source_->RescanMs());
}

void PortList::PortsChanged() {
  if (!source_->WaitChanges(0).empty()) FillList(true);
}

// The ports, then their stable /dev/serial/by-id names.
std::vector<PortRecord> PortList::Ports() {
  if (source_) return source_->List();
  std::vector<PortRecord> ports;
  for (SerialPortInfo& port : ListSerialPorts())
    ports.push_back({std::move(port.device), "", "", "", std::move(port.description)});
  return ports;
}

void PortList::ListPorts() {
  FillList(false);
}

// Refills ComboBox5. With keepSelection, a port that stays listed stays
// selected and a port text the user typed stays; only a selected port that
// went gives way to the first port.
void PortList::FillList(bool keepSelection) {
  QComboBox* ports = ui_.ComboBox5;
  const QString chosen = ports->currentText();
  const bool chosenWasListed = ports->findText(chosen) >= 0;
  const QSignalBlocker quiet(ports);
  ports->clear();
  const std::vector<PortRecord> records = Ports();
  for (const PortRecord& port : records) {
    ports->addItem(QString::fromStdString(port.device));
    ports->setItemData(ports->count() - 1, QString::fromStdString(port.description),
                       Qt::ToolTipRole);
  }
  for (const PortRecord& port : records)
    if (!port.byId.empty()) ports->addItem(QString::fromStdString(port.byId));
  const bool found = ports->count() > 0;
  addVirtualEntry_();
  if (keepSelection) {
    const int index = ports->findText(chosen);
    if (index >= 0) return ports->setCurrentIndex(index);
    if (!chosenWasListed) return ports->setEditText(chosen);
  }
  if (found) return ports->setCurrentIndex(0);
  const NoPortNotice notice = NoPortNoticeFor(language_.textVariant);
  if (!notice.label13.empty()) ui_.Label13->setText(QString::fromStdString(notice.label13));
  if (!notice.comboBox5.empty()) ports->setEditText(QString::fromStdString(notice.comboBox5));
}

// The probes run on a thread of their own for up to two seconds; the answers
// come back as a queued call on the window's thread.
void PortList::BitBtnFindClick() {
  if (!searchAllowed_ || search_.joinable()) return;
  std::vector<PortRecord> candidates = FindCandidates(Ports());
  const int model = ui_.ComboBox6->currentIndex();
  findButton_->setEnabled(false);
  SetStatus({"正在查找控制器…", "Searching for the controller..."});
  search_ = std::thread([this, candidates = std::move(candidates), model] {
    std::vector<PortAnswer> answers = FindControllers(candidates, model);
    QMetaObject::invokeMethod(
        &window_,
        [this, answers = std::move(answers)]() mutable {
          RunHandler([&] { FindDone(std::move(answers)); });
        },
        Qt::QueuedConnection);
  });
}

void PortList::FindDone(std::vector<PortAnswer> answers) {
  search_.join();
  findButton_->setEnabled(searchAllowed_);
  for (const PortAnswer& answer : answers)
    ui_.Memo1->appendPlainText(InLanguage(DescribeAnswer(answer), language_));
  SetStatus(SearchOutcome(answers));
  const PortAnswer* first = FirstAnswered(answers);
  if (first == nullptr || !searchAllowed_) return;
  const QString device = QString::fromStdString(first->port.device);
  const int index = ui_.ComboBox5->findText(device);
  if (index >= 0) {
    ui_.ComboBox5->setCurrentIndex(index);
  } else {
    ui_.ComboBox5->setEditText(device);
  }
}

void PortList::SetSearchAllowed(bool allowed) {
  searchAllowed_ = allowed;
  findButton_->setEnabled(allowed && !search_.joinable());
}

void PortList::SetStatus(const Text& text) {
  ui_.Label13->setText(InLanguage(text, language_));
}

}  // namespace vqled
