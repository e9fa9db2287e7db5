// Drives the controller link with arbitrary replies, timer ticks and starts:
// whatever a controller answers, every frame the link writes is a whole frame
// that fits its buffer, and nothing reads or writes outside the image.
//
// The store, the image buffer, the profiles of the 30 model rows, the host and
// the port script are set up once. Each input gets a fresh link (one small
// port object) on them, and the host and script are reset to their fresh
// state keeping their lists' capacity, so inputs stay independent and cheap.
// Frames are checked as they are written; the host keeps only the latest of
// each history.
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

bool WholeFrame(const uint8_t* frame, int length) {
  // An acknowledgement of a block never sent moves past the image: that block
  // goes out empty (AA 00 00 55), as the controller's own protocol has it.
  if (length < 4 || length > vqled::kDataFrameCapacity || frame[0] != 0xAA) return false;
  const bool endDate = length == 11 && frame[7] == 0x55;  // three zero bytes follow
  return endDate || frame[length - 1] == 0x55;
}

// The image length an input's second byte asks for: encoders always write a
// header byte.
constexpr int ImageLength(uint8_t byte) {
  return 1 + byte * 41;
}
constexpr int kLongestImage = ImageLength(0xFF);
constexpr uint8_t kImageByte = 0x5A;

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
    // Only the settings image overwrites the image (its head); the rest
    // never changes.
    std::memset(image->entry, kImageByte, kLongestImage);
    host.historyKept = false;
    script.checkFrame = [](const uint8_t* frame, int length) {
      if (!WholeFrame(frame, length)) __builtin_trap();
    };
  }

  // A link on the shared buffers for the model row, every state fresh.
  vqled::ControllerLink& Open(int model, int imageLength) {
    profile = profiles[model];
    for (int area = 0; area < vqled::kAreaCount; ++area) {
      store->playSettings[area] = startPlay[area];
    }
    store->currentArea = 0;
    // A settings or clock transaction may send from the image before any
    // area is encoded: every input starts from the same image, never from
    // what an earlier input left there.
    SetImage(-1);
    length = imageLength;
    link.emplace(host, std::make_unique<FakePort>(script), *store, profile, *image,
                 [this](int, vqled::ImageBuffer&) {
                   SetImage(length - 1);
                   return vqled::Outcome::Ok();
                 });
    return *link;
  }

  // The stand-in encoder's image: kImageByte up to imageLast.
  void SetImage(int imageLast) {
    std::memset(image->entry, kImageByte, vqled::kSettingsImageLength);
    image->imageLast = imageLast;
  }

  void Close() {
    link.reset();
    host.Reset();
    script.Reset();
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Bench* bench = new Bench();
  if (size < 2) return 0;
  Reader in{data, size};
  const int model = in.Next() % kModelRows;
  const int imageLength = ImageLength(in.Next());
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
  bench->Close();
  return 0;
}
