// The window's port list ComboBox5 and its "Find" button: the list comes
// from a port source (libudev, or the folder of device links that
// VQLED_PORT_DIR names) and follows adapters that are plugged in or pulled
// out; "Find" probes every port without blocking the window and selects the
// first that a controller answered on.
#pragma once

#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "link/port_finder.h"
#include "link/port_source.h"
#include "ui/captions.h"

class QPushButton;
class QSocketNotifier;
class QTimer;
class QWidget;

namespace Ui {
class TForm2;
}

namespace vqled {

class PortList {
 public:
  // The environment variable naming a folder of device links (as
  // /dev/serial/by-id) that the window lists in place of the system's ports.
  static constexpr const char* kPortDirVariable = "VQLED_PORT_DIR";

  PortList(QWidget& window, Ui::TForm2& ui, const LanguageMode& language,
           std::function<void()> addVirtualEntry);
  PortList(const PortList&) = delete;
  PortList& operator=(const PortList&) = delete;
  ~PortList();  // waits for a search still running

  QPushButton* findButton() const { return findButton_; }

  // BitBtn2Click and start-up: the ports, the first one selected, and the
  // virtual controller after them; "not Find" where there is no port.
  void ListPorts();
  // "查找": probes every port; the answer comes back to the window's thread.
  void BitBtnFindClick();
  // A search may start only while the port list is free (no transaction).
  void SetSearchAllowed(bool allowed);

 private:
  std::vector<PortRecord> Ports();
  void FillList(bool keepSelection);
  void WatchPorts();
  void PortsChanged();
  void FindDone(std::vector<PortAnswer> answers);
  void SetStatus(const Text& text);

  QWidget& window_;
  Ui::TForm2& ui_;
  const LanguageMode& language_;
  std::function<void()> addVirtualEntry_;
  std::unique_ptr<PortSource> source_;  // none where libudev cannot be used
  QSocketNotifier* notifier_ = nullptr;
  QTimer* rescan_ = nullptr;
  QPushButton* findButton_ = nullptr;
  bool searchAllowed_ = true;
  std::thread search_;
};

}  // namespace vqled
