// The built-in virtual controller: a vqled-sim controller run inside the
// editor on a pseudo-terminal, so a user without hardware can download areas,
// sync the clock and send settings, and then watch on the preview lamps what
// the controller received. It is offered in the port list as an entry of its
// own ("虚拟控制器 (VQ-M13)"); the controller emulates the model selected when a
// transaction opens the port.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "model/text.h"
#include "sim/sim_controller.h"

namespace vqled {

class VirtualController {
 public:
  VirtualController();
  ~VirtualController();
  VirtualController(const VirtualController&) = delete;
  VirtualController& operator=(const VirtualController&) = delete;

  // The port-list entry for a model, in both text variants.
  static Text EntryText(int modelIndex);
  // Whether a port text names the virtual controller, in either variant and
  // for any model (Config.ini may keep the entry of an earlier model).
  static bool IsEntry(std::string_view portText);

  // Makes a controller of the model serve a pseudo-terminal and gives the
  // device the host is to open. A running controller of the same model is
  // kept with what it received; one of another model, or one whose serving
  // ended, is replaced. Fails with the reason when no pseudo-terminal opens.
  Outcome Attach(int modelIndex, std::string& device);
  // Faults the next controller injects; stops the running one so that the
  // next Attach starts with them.
  void SetFaults(const SimFaults& faults);

  // The running (or last) controller; nullptr before the first Attach.
  const SimController* controller() const { return sim_.get(); }

 private:
  std::unique_ptr<SimController> sim_;
  int modelIndex_ = -1;
  SimFaults faults_;
};

}  // namespace vqled
