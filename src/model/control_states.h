// The shown, enabled and checked states a model gives the controls of the
// main form. Every application of a profile first sets the common states,
// then the model's catalogue row changes some of them; the result names each
// control by its form name so the window can find it by object name and the
// popup items N7 and N8 by theirs.
#pragma once

#include <cstdint>
#include <optional>

namespace vqled {

enum ControlProperty : int8_t { CONTROL_SHOWN, CONTROL_ENABLED, CONTROL_CHECKED };

struct ControlSetting {
  const char* control;
  ControlProperty property;
  bool value;
};

// Every control state the rules mention, in the order of the common states.
constexpr int kControlSettingCount = 43;

struct ControlStates {
  ControlSetting settings[kControlSettingCount];

  const ControlSetting* begin() const { return settings; }
  const ControlSetting* end() const { return settings + kControlSettingCount; }
  // The state of one control, empty when the rules do not mention it.
  std::optional<bool> Value(const char* control, ControlProperty property) const;
};

// The final control states for a model index (any index outside 0..28 gives
// the states for no item selected).
ControlStates ResolveControlStates(int modelIndex);

}  // namespace vqled
