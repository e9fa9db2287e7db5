// Playing back on the preview lamps what the built-in virtual controller
// received: its stored image decoded into a scratch store and stepped with
// the preview's rules.
#pragma once

#include "model/pattern_store.h"
#include "model/text.h"
#include "sim/virtual_controller.h"
#include "ui/preview_player.h"

namespace vqled {

// What the virtual controller received, decoded into a scratch store of its
// own (the user's areas stay untouched) and stepped with the preview's rules.
struct VirtualPlayback {
  PatternStore store;  // area 0 holds the played image; mapped lazily
  PreviewPlayer player;
  int area = -1;  // the controller's area being played
};

// Loads the controller's image of `area` into playback (or, when it has none
// of that area, its image of the lowest area it has) and starts the player.
// Only the canonical layout (HasCanonicalImage) is decoded; anything else,
// no image, or an image that does not read back is refused with a message.
Outcome LoadPlayback(const VirtualController& controller, int valueKind, int area,
                     VirtualPlayback& playback);

}  // namespace vqled
