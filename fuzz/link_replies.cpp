// Drives the controller link with arbitrary replies, timer ticks and starts:
// whatever a controller answers, every frame the link writes is a whole frame
// that fits its buffer, and nothing reads or writes outside the image.
//
// The store, the image buffer and the profiles of the 30 model rows are set
// up once; each input gets a fresh link, host and port script (a few small
// objects) on those buffers and frees them at its end, so inputs stay
// independent and cheap, and libFuzzer sees no input keep memory.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>

#include "link/controller_link.h"
#include "link_fakes.h"
#include "model/model_selection.h"

namespace {

using vqled::test::FakeHost;
using vqled::test::FakePort;
using vqled::test::PortScript;

constexpr int kModelRows = 30;  // the 29 models and the row for no model selected

struct Reader {
  const uint8_t* data;
  size_t size;
  size_t at = 0;
  bool More() const { return at < size; }
  uint8_t Next() { return at < size ? data[at++] : 0; }
};

// What every input starts from: the areas empty, each model's profile as
// ComboBox6Change leaves it.
struct Bench {
  Bench() {
    vqled::AreaControls controls;
    for (int model = 0; model < kModelRows; ++model) {
      vqled::SelectModel(profiles[model], *store, controls, model);
    }
    for (int area = 0; area < vqled::kAreaCount; ++area) {
      startPlay[area] = store->playSettings[area];
    }
    // The encoder is a stand-in, so the store only has to be measured: a grid
    // of one channel and one frame keeps ComputeAreaLength to a few cells.
    store->gridRowCount = vqled::kHeaderRows + 1;
    store->gridColumnCount = vqled::kFirstFrameColumn + 1;
  }

  // A link on the shared buffers for the model row, every state fresh.
  vqled::ControllerLink& Open(int model, int imageLength) {
    profile = profiles[model];
    for (int area = 0; area < vqled::kAreaCount; ++area) {
      store->playSettings[area] = startPlay[area];
    }
    store->currentArea = 0;
    length = imageLength;
    link.emplace(host, std::make_unique<FakePort>(script), *store, profile, *image,
                 [this](int, vqled::ImageBuffer& buffer) {
                   std::memset(buffer.entry, 0x5A, static_cast<size_t>(length));
                   buffer.imageLast = length - 1;
                   return vqled::Outcome::Ok();
                 });
    return *link;
  }

  // Frees what the input's link, host and port script hold.
  void Close() {
    link.reset();
    host = FakeHost();
    script = PortScript();
  }

  std::unique_ptr<vqled::PatternStore> store = std::make_unique<vqled::PatternStore>();
  std::unique_ptr<vqled::ImageBuffer> image = std::make_unique<vqled::ImageBuffer>();
  vqled::ModelProfile profiles[kModelRows];
  vqled::PlaySettings startPlay[vqled::kAreaCount] = {};
  vqled::ModelProfile profile;
  FakeHost host;
  PortScript script;
  int length = 1;
  std::optional<vqled::ControllerLink> link;
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
  static Bench* bench = new Bench();
  if (size < 2) return 0;
  Reader in{data, size};
  const int model = in.Next() % kModelRows;
  const int imageLength = 1 + in.Next() * 41;  // encoders always write a header
  vqled::ControllerLink& link = bench->Open(model, imageLength);
  FakeHost& host = bench->host;
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
  for (const auto& frame : bench->script.written) {
    if (!WholeFrame(frame)) __builtin_trap();
  }
  bench->Close();
  return 0;
}
