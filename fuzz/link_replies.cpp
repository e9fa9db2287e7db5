// Drives the controller link with arbitrary replies, timer ticks and starts:
// whatever a controller answers, every frame the link writes is a whole frame
// that fits its buffer, and nothing reads or writes outside the image.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "link/controller_link.h"
#include "link_fakes.h"
#include "model/model_selection.h"

namespace {

using vqled::test::FakeHost;
using vqled::test::FakePort;
using vqled::test::PortScript;

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool More() const { return at < size; }
  uint8_t Next() { return at < size ? data[at++] : 0; }
};

void Start(vqled::ControllerLink& link, uint8_t which) {
  vqled::SettingsPanel panel;
  switch (which % 6) {
    case 0:
      link.BitBtn7Click(which);
      break;
    case 1:
      link.BitBtn5Click();
      break;
    case 2:
      link.Button5Click(panel);
      break;
    case 3:
      link.BitBtn18Click();
      break;
    case 4:
      link.BitBtn19Click();
      break;
    default:
      link.BitBtn16Click(which & 0x80);
      break;
  }
}

bool WholeFrame(const vqled::test::Bytes& frame) {
  // An acknowledgement of a block never sent moves past the image: that block
  // goes out empty (AA 00 00 55), as the controller's own protocol has it.
  if (frame.size() < 4 || frame.size() > vqled::kDataFrameCapacity || frame[0] != 0xAA) {
    return false;
  }
  const bool endDate = frame.size() == 11 && frame[7] == 0x55;  // three zero bytes follow
  return endDate || frame.back() == 0x55;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static auto* store = new vqled::PatternStore();
  static auto* image = new vqled::ImageBuffer();
  if (size < 2) return 0;
  Reader in{data, size};
  vqled::ModelProfile profile;
  vqled::AreaControls controls;
  vqled::SelectModel(profile, *store, controls, in.Next() % 30);
  const int imageLength = 1 + in.Next() * 41;  // encoders always write a header
  FakeHost host;
  PortScript script;
  vqled::ControllerLink link(host, std::make_unique<FakePort>(script), *store, profile, *image,
                             [imageLength](int, vqled::ImageBuffer& buffer) {
                               for (int i = 0; i < imageLength; ++i) buffer.entry[i] = 0x5A;
                               buffer.imageLast = imageLength - 1;
                               return vqled::Outcome::Ok();
                             });
  while (in.More()) {
    const uint8_t op = in.Next();
    if (op < 0x10) {
      Start(link, in.Next());
    } else if (op < 0x30) {
      if (host.Timer1().running) link.Timer1Timer();
    } else if (op < 0x40) {
      host.seconds += op & 0x07;
      if (host.Timer5().running) link.Timer5Timer();
    } else {
      uint8_t chunk[vqled::kMaxReplyChunk + 1] = {};
      int count = 0;
      const int length = 1 + op % vqled::kMaxReplyChunk;
      while (count < length && in.More()) chunk[count++] = in.Next();
      link.HandleReply(chunk, count);
    }
  }
  for (const auto& frame : script.written) {
    if (!WholeFrame(frame)) __builtin_trap();
  }
  return 0;
}
