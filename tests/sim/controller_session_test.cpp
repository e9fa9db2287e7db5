#include "sim/controller_session.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "host_bytes.h"
#include "model/model_catalogue.h"
#include "sim/frame_reader.h"
#include "sim/sim_options.h"

namespace vqled {
namespace {

// A controller of one model fed with raw host bytes; returns what it answers.
class Controller {
 public:
  explicit Controller(const char* model, SimReplies replies = {}, SimFaults faults = {})
      : session(CatalogueProfile(ModelIndexByName(model)), replies, faults) {}

  Bytes Send(const Bytes& stream) {
    Bytes answer;
    for (uint8_t byte : stream) {
      const ReaderEvent event = reader.Push(byte);
      if (event.kind != EVENT_FRAME) continue;
      last = session.OnFrame(DecodeHostFrame(event.form, event.bytes, event.length));
      answer.insert(answer.end(), last.bytes, last.bytes + last.count);
    }
    return answer;
  }

  ControllerSession session;
  FrameReader reader;
  SimReply last;
};

TEST(ControllerSession, DownloadOfOneAreaInFullAndShortBlocks) {
  Controller vq05("VQ-M05");  // value kind 3, blocks of 512
  EXPECT_EQ(vq05.Send(Cmd(0x7F, 2)), Bytes{0x8F});
  EXPECT_EQ(vq05.Send(Cmd(0x9F, 2)), Bytes{0x3C});
  EXPECT_EQ(vq05.Send(SizedBlock(Counting(512))), Bytes{0xAA});
  EXPECT_EQ(vq05.Send(SizedBlock(Counting(3, 7))), Bytes{0xAA});
  EXPECT_FALSE(vq05.session.Image(2)->complete);
  EXPECT_EQ(vq05.Send(Cmd(0xDD, 2)), Bytes{0xDD});
  EXPECT_EQ(vq05.last.stored, 2);
  EXPECT_EQ(vq05.Send(Cmd(0xEE, 2)), Bytes{});

  const SimImage image = *vq05.session.Image(2);
  EXPECT_TRUE(image.complete);
  Bytes expected = Counting(512);
  for (uint8_t byte : Counting(3, 7)) expected.push_back(byte);
  EXPECT_EQ(image.bytes, expected);
  EXPECT_FALSE(vq05.session.Image(0).has_value());
  const SimStats& stats = vq05.session.Stats();
  EXPECT_EQ(stats.errors, 0);
  EXPECT_EQ(stats.blocks, 2);
  EXPECT_EQ(stats.imagesStored, 1);
  EXPECT_EQ(stats.finishes, 1);
  EXPECT_EQ(stats.transactionsEnded, 1);
}

TEST(ControllerSession, ChosenRepliesAndTheEndCodeThatMustFollowThem) {
  SimReplies replies;
  replies.present = 0x7F;
  replies.erased = 0x9E;
  replies.blockAck = 0xAE;
  Controller vq09("VQ-M09", replies);  // value kind 7, blocks of 200
  EXPECT_EQ(vq09.Send(Cmd(0x7F, 0)), Bytes{0x7F});
  EXPECT_EQ(vq09.Send(Cmd(0x9F, 0)), Bytes{0x9E});
  EXPECT_EQ(vq09.Send(SizedBlock(Counting(200))), Bytes{0xAE});
  EXPECT_EQ(vq09.Send(Cmd(0xDD, 0)), Bytes{0xFE});  // after AE the host ends with DF
  EXPECT_EQ(vq09.session.Stats().errors, 1);
  EXPECT_EQ(vq09.Send(Cmd(0xDF, 0)), Bytes{0xDD});
  // An image of exactly one full block ends with that block marked last.
  EXPECT_EQ(vq09.session.Image(0)->bytes.size(), 200u);
}

TEST(ControllerSession, ShortFramesOfValueKindsZeroAndTwo) {
  Controller vq01("VQ-M01");  // value kind 0, blocks of 32, no value byte
  EXPECT_EQ(vq01.Send({0xAA, 0xBB, 0x01, 0x7F, 0x55}), Bytes{0x8F});
  EXPECT_EQ(vq01.Send({0xAA, 0xBB, 0x01, 0x9F, 0x55}), Bytes{0x3C});
  EXPECT_EQ(vq01.Send(ShortBlock(Counting(32))), Bytes{0xAA});
  // After a full block, AA BB 01 x 55 is a one-byte last block unless x ends the data.
  EXPECT_EQ(vq01.Send({0xAA, 0xBB, 0x01, 0x9F, 0x55}), Bytes{0xAA});
  // After a short block it can only be a command.
  EXPECT_EQ(vq01.Send({0xAA, 0xBB, 0x01, 0xDD, 0x55}), Bytes{0xDD});
  Bytes expected = Counting(32);
  expected.push_back(0x9F);
  EXPECT_EQ(vq01.session.Image(0)->bytes, expected);

  Controller vq00("VQ-M00");  // value kind 2: a full last block, then the end of data
  vq00.Send({0xAA, 0xBB, 0x01, 0x7F, 0x55});
  vq00.Send({0xAA, 0xBB, 0x01, 0x9F, 0x55});
  EXPECT_EQ(vq00.Send(ShortBlock(Counting(70))), Bytes{0xAA});
  EXPECT_EQ(vq00.Send({0xAA, 0xBB, 0x01, 0xDD, 0x55}), Bytes{0xDD});
  EXPECT_EQ(vq00.session.Image(0)->bytes.size(), 70u);
  EXPECT_EQ(vq00.session.Stats().errors, 0);
}

TEST(ControllerSession, Vqm28ReportsItsBlockSizeAndHoldsTheHostToIt) {
  Controller vq28("VQ-M28");
  EXPECT_EQ(vq28.Send(Cmd(0x7F, 0)), (Bytes{0x7E, 0x01, 0xF4}));  // 500

  SimReplies replies;
  replies.reportedBlockSize = 100;
  Controller small("VQ-M28", replies);
  EXPECT_EQ(small.Send(Cmd(0x7F, 10)), (Bytes{0x7E, 0x00, 0x64}));
  EXPECT_EQ(small.Send(Cmd(0x9F, 10)), Bytes{0x3C});
  EXPECT_EQ(small.Send(SizedBlock(Counting(101))), Bytes{0xFE});
  EXPECT_EQ(small.Send(SizedBlock(Counting(100))), Bytes{0xAA});
  EXPECT_EQ(small.session.Stats().errors, 1);
  // The settings probe of VQ-M28 is answered as present.
  EXPECT_EQ(small.Send({0xAA, 0xCD, 0x01, 0x3F, 0x55}), Bytes{0x8F});
}

TEST(ControllerSession, LongCommandFramesCarryTheImagesFrameCount) {
  Controller vq20("VQ-M20");  // value kind 7, long command frames, blocks of 1000
  const Bytes header = {0x00, 0x20, 0x0B, 0xB8, 0x00};  // N 32, F 3000
  EXPECT_EQ(vq20.Send({0xAA, 0xCC, 0x04, 0x7F, 0x01, 0x0B, 0xB8, 0x55}), Bytes{0x8F});
  EXPECT_EQ(vq20.Send({0xAA, 0xCC, 0x04, 0x9F, 0x01, 0x0B, 0xB8, 0x55}), Bytes{0x3C});
  EXPECT_EQ(vq20.session.Image(1)->frameCount, 3000);
  EXPECT_EQ(vq20.Send(SizedBlock(header)), Bytes{0xAA});
  EXPECT_EQ(vq20.Send({0xAA, 0xCC, 0x04, 0xDD, 0x01, 0x0B, 0xB7, 0x55}), Bytes{0xFE});
  EXPECT_EQ(vq20.session.Stats().errors, 1);
  EXPECT_EQ(vq20.Send({0xAA, 0xCC, 0x04, 0xDD, 0x01, 0x0B, 0xB8, 0x55}), Bytes{0xDD});
}

TEST(ControllerSession, FramesThatDoNotFitTheModelOrTheMomentAreRefused) {
  struct Case {
    const char* what;
    const char* model;
    Bytes before;
    Bytes frame;
    Bytes answer;
  };
  const Bytes probe = Cmd(0x7F, 0);
  const Bytes erase = Cmd(0x9F, 0);
  const Bytes eraseShort = {0xAA, 0xBB, 0x01, 0x9F, 0x55};
  const Case cases[] = {
      {"short command on value kind 3", "VQ-M05", {}, {0xAA, 0xBB, 0x01, 0x7F, 0x55}, {}},
      {"counted command on value kind 0", "VQ-M02", {}, probe, {}},
      {"long command on a short-command model",
       "VQ-M05",
       {},
       {0xAA, 0xCC, 0x04, 0x7F, 0x00, 0x00, 0x00, 0x55},
       {}},
      {"short command on a long-command model", "VQ-M24", {}, probe, {}},
      {"sized block on value kind 2", "VQ-M06", eraseShort, SizedBlock(Counting(4)), {0xFE}},
      {"block longer than the block size", "VQ-M09", erase, SizedBlock(Counting(201)), {0xFE}},
      {"block without an erase", "VQ-M05", probe, SizedBlock(Counting(4)), {}},
      {"settings block in a download",
       "VQ-M25",
       erase,
       {0xAA, 0xCD, 0x02, 0xCF, 0x01, 0x55},
       {0xFE}},
      {"end of data without blocks", "VQ-M05", erase, Cmd(0xDD, 0), {0xFE}},
      {"end of data for another area", "VQ-M05", {}, Cmd(0xDD, 3), {}},
      {"finish before the data was stored", "VQ-M05", erase, Cmd(0xEE, 0), {0xFE}},
      {"unknown command", "VQ-M05", {}, Cmd(0x12, 0), {}},
      {"erase of area 21", "VQ-M05", probe, Cmd(0x9F, 20), {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Controller controller(c.model);
    controller.Send(c.before);
    const int errorsBefore = controller.session.Stats().errors;
    EXPECT_EQ(controller.Send(c.frame), c.answer);
    const bool refused = c.answer.empty() || c.answer[0] == 0xFE;
    EXPECT_EQ(controller.session.Stats().errors, errorsBefore + (refused ? 1 : 0));
  }
  Controller vq09("VQ-M09");
  vq09.Send(Cmd(0x9F, 0));
  EXPECT_EQ(vq09.Send(SizedBlock(Counting(1))), Bytes{0xAA});
  EXPECT_EQ(vq09.Send(SizedBlock(Counting(1))), Bytes{0xFE});  // nothing follows a short block
}

TEST(ControllerSession, SettingsImageClockEndDateAndControllerType) {
  Controller vq25("VQ-M25");
  EXPECT_EQ(vq25.Send({0xAA, 0xCD, 0x01, 0x3F, 0x55}), Bytes{0x8F});
  EXPECT_EQ(vq25.Send({0xAA, 0xCD, 0x01, 0x9F, 0x55}), Bytes{0x3C});
  Bytes settings = {0xAA, 0xCD, 0x29, 0xCF, 0xAB};
  for (uint8_t byte : Counting(39, 1)) settings.push_back(byte);
  settings.push_back(0x55);
  EXPECT_EQ(vq25.Send(settings), Bytes{0xAA});
  EXPECT_EQ(vq25.Send({0xAA, 0xCD, 0x01, 0xDD, 0x55}), Bytes{0xDD});
  EXPECT_EQ(vq25.last.stored, -1);
  EXPECT_EQ(vq25.Send({0xAA, 0xCD, 0x01, 0xEE, 0x55}), Bytes{});
  const SimReceived received = vq25.session.Received();
  ASSERT_TRUE(received.settings.has_value());
  EXPECT_TRUE(received.settings->complete);
  EXPECT_EQ(received.settings->bytes.size(), 40u);
  EXPECT_EQ(received.settings->bytes[0], 0xAB);
  EXPECT_FALSE(vq25.session.Image(0).has_value());

  EXPECT_EQ(vq25.Send(Cmd(0x4F, 0)), Bytes{0x4E});
  EXPECT_EQ(vq25.Send({0xAA, 0xCC, 0x07, 0x4E, 24, 2, 20, 13, 5, 9, 0x55}), Bytes{0x4D});
  EXPECT_EQ(vq25.Send(Cmd(0x5F, 0)), Bytes{0x5E});
  EXPECT_EQ(vq25.Send({0xAA, 0xCC, 0x04, 0x5E, 24, 3, 1, 0x55, 0x00, 0x00, 0x00}), Bytes{0x5D});
  EXPECT_EQ(vq25.Send({0xAA, 0xCC, 0x05, 0xAA, 0xBB, 0xCC, 0xDD, 0xFF, 0x55}), Bytes{});
  const SimReceived more = vq25.session.Received();
  EXPECT_EQ(Bytes(more.clock, more.clock + 6), (Bytes{24, 2, 20, 13, 5, 9}));
  EXPECT_EQ(Bytes(more.endDate, more.endDate + 3), (Bytes{24, 3, 1}));
  EXPECT_EQ(more.controllerType, 0xFF);
  EXPECT_EQ(vq25.session.Stats().transactionsEnded, 4);
  EXPECT_EQ(vq25.session.Stats().errors, 0);
}

TEST(ControllerSession, InjectedFaults) {
  const Bytes probe = Cmd(0x7F, 0);
  const Bytes erase = Cmd(0x9F, 0);
  const Bytes block = SizedBlock(Counting(512));
  struct Case {
    const char* what;
    SimFaults faults;
    Bytes answers;  // to probe, erase, block
  };
  SimFaults silent;
  silent.silent = true;
  SimFaults afterTwo;
  afterTwo.silentAfterFrame = 2;
  SimFaults garbage;
  garbage.garbageAtFrame = 1;
  SimFaults sendError;
  sendError.blockFaultIndex = 0;
  sendError.blockFaultReply = 0xFF;
  SimFaults wrongModel;
  wrongModel.wrongModel = true;
  const Case cases[] = {
      {"silent", silent, {}},
      {"silent after frame 2", afterTwo, {0x8F, 0x3C}},
      {"garbage on frame 1", garbage, {0x13, 0x37, 0xC0, 0x01, 0x2A, 0x99, 0x6B, 0x00, 0x3C, 0xAA}},
      {"FF on block 0", sendError, {0x8F, 0x3C, 0xFF}},
      {"7E on another model", wrongModel, {0x7E, 0x02, 0x00, 0x3C, 0xAA}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Controller vq05("VQ-M05", {}, c.faults);
    Bytes answers;
    for (const Bytes& frame : {probe, erase, block}) {
      for (uint8_t byte : vq05.Send(frame)) answers.push_back(byte);
    }
    EXPECT_EQ(answers, c.answers);
  }

  SimFaults receiveError;
  receiveError.blockFaultIndex = 1;
  Controller vq05("VQ-M05", {}, receiveError);
  vq05.Send(probe);
  vq05.Send(erase);
  EXPECT_EQ(vq05.Send(block), Bytes{0xAA});
  EXPECT_EQ(vq05.Send(block), Bytes{0xFE});  // dropped, once
  EXPECT_EQ(vq05.Send(block), Bytes{0xAA});
  EXPECT_EQ(vq05.session.Image(0)->bytes.size(), 1024u);

  SimFaults hangUp;
  hangUp.hangUpAtFrame = 2;
  Controller line("VQ-M05", {}, hangUp);
  EXPECT_EQ(line.Send(probe), Bytes{0x8F});
  EXPECT_EQ(line.Send(erase), Bytes{});
  EXPECT_TRUE(line.last.hangUp);
}

TEST(ControllerSession, HostClosingTheLineEndsTheTransaction) {
  Controller vq05("VQ-M05");
  vq05.Send(Cmd(0x7F, 0));
  vq05.Send(Cmd(0x9F, 0));
  vq05.Send(SizedBlock(Counting(512)));
  vq05.session.OnLineClosed();
  EXPECT_EQ(vq05.Send(SizedBlock(Counting(512))), Bytes{});
  EXPECT_FALSE(vq05.session.Image(0)->complete);
  EXPECT_EQ(vq05.session.Image(0)->bytes.size(), 512u);
  // A bad frame while blocks are due is answered FE; at other moments only counted.
  EXPECT_EQ(vq05.session.OnBadFrame(BAD_INCOMPLETE).count, 0);
  vq05.Send(Cmd(0x7F, 0));
  vq05.Send(Cmd(0x9F, 0));
  const SimReply reply = vq05.session.OnBadFrame(BAD_NO_END);
  ASSERT_EQ(reply.count, 1);
  EXPECT_EQ(reply.bytes[0], 0xFE);
}

// Streams of random bytes, and of real frames with random bytes flipped, as
// a broken host or a noisy line sends them: every event stays inside its
// bounds and the controller never answers more than one reply per event.
TEST(ControllerSession, SurvivesRandomAndCorruptedStreams) {
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    return static_cast<uint8_t>(seed >> 24);
  };
  const Bytes good = [] {
    Bytes stream = Cmd(0x7F, 0);
    for (const Bytes& frame : {Cmd(0x9F, 0), SizedBlock(Counting(512)), SizedBlock(Counting(9)),
                               Cmd(0xDD, 0), Cmd(0xEE, 0)}) {
      stream.insert(stream.end(), frame.begin(), frame.end());
    }
    return stream;
  }();
  for (const char* model : {"VQ-M01", "VQ-M05", "VQ-M20", "VQ-M28"}) {
    for (int round = 0; round < 100; ++round) {
      Bytes stream = good;
      for (uint8_t& byte : stream) {
        if (round % 2 == 0 || next() < 8) byte = next();
      }
      FrameReader reader;
      ControllerSession session(CatalogueProfile(ModelIndexByName(model)), {}, {});
      for (uint8_t byte : stream) {
        const ReaderEvent event = reader.Push(byte);
        ASSERT_LE(event.length, kMaxFrameBytes);
        if (event.kind == EVENT_FRAME) {
          ASSERT_EQ(event.bytes[0], 0xAA);
          ASSERT_EQ(event.bytes[event.length - 1], 0x55);
          const SimReply reply =
              session.OnFrame(DecodeHostFrame(event.form, event.bytes, event.length));
          ASSERT_LE(reply.count, 3);
        } else if (event.kind == EVENT_BAD) {
          ASSERT_LE(session.OnBadFrame(event.reason).count, 1);
        }
      }
      for (int area = 0; area < kAreaCount; ++area) {
        if (const std::optional<SimImage> image = session.Image(area)) {
          ASSERT_LE(image->bytes.size(), stream.size());
        }
      }
    }
  }
}

}  // namespace
}  // namespace vqled
