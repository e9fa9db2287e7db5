#include "link/controller_link.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "link_fakes.h"

namespace vqled {
namespace {

using test::Bytes;
using test::FakeHost;
using test::FakePort;
using test::PortScript;

class LinkTest : public ::testing::Test {
 protected:
  LinkTest() : image(std::make_unique<ImageBuffer>()) {
    profile.modelIndex = 5;  // VQ-M05: canonical images, 7 areas
    profile.valueKind = VALUE_KIND_BYTE;
    profile.blockSize = 4;
    profile.areaCount = 7;
    link = std::make_unique<ControllerLink>(host, std::make_unique<FakePort>(port), store, profile,
                                            *image, [this](int area, ImageBuffer& buffer) {
                                              encodedAreas.push_back(area);
                                              if (!encodeResult.ok) return encodeResult;
                                              for (int i = 0; i < imageLength; ++i)
                                                buffer.entry[i] = static_cast<uint8_t>(0x10 + i);
                                              buffer.imageLast = imageLength - 1;
                                              buffer.frameCountHigh = 0x12;
                                              buffer.frameCountLow = 0x34;
                                              return Outcome::Ok();
                                            });
  }

  void Reply(Bytes bytes) { link->HandleReply(bytes.data(), static_cast<int>(bytes.size())); }
  void FireTimer1() {
    ASSERT_TRUE(host.Timer1().running);
    link->Timer1Timer();
  }
  const Bytes& LastWrite() const { return port.written.back(); }
  int Writes() const { return static_cast<int>(port.written.size()); }
  bool Enabled(LinkControl control) const { return host.controlEnabled[control]; }
  // Probe once, answer it and the erase: block 0 is out.
  void ProbeAndErase() {
    FireTimer1();
    Reply({0x8F});
    Reply({0x3C});
  }
  // Acknowledge blocks until the end-of-data command goes out.
  void AckAllBlocks(uint8_t ack = 0xAE) {
    for (int guard = 0; guard < 1000 && !link->lastBlockSent(); ++guard) Reply({ack});
    Reply({ack});
  }
  void ExpectIdle() {
    EXPECT_FALSE(link->port().IsOpen());
    EXPECT_FALSE(host.lampBusy);
    EXPECT_EQ(host.progress.back(), 0);
    EXPECT_TRUE(Enabled(CONTROL_COMBOBOX5));
    EXPECT_TRUE(Enabled(CONTROL_BITBTN7));
    EXPECT_TRUE(Enabled(CONTROL_EDITING_GROUPS));
    EXPECT_FALSE(host.Timer1().running);
    EXPECT_FALSE(host.Timer5().running);
  }

  PatternStore store;
  ModelProfile profile;
  std::unique_ptr<ImageBuffer> image;
  FakeHost host;
  PortScript port;
  std::unique_ptr<ControllerLink> link;
  std::vector<int> encodedAreas;
  Outcome encodeResult;
  int imageLength = 10;
};

TEST_F(LinkTest, CurrentAreaDownloadRunsProbeEraseBlocksEndAndFinish) {
  store.currentArea = 2;
  link->BitBtn7Click(5);
  EXPECT_EQ(store.playSettings[2].loopCount, 5);
  EXPECT_EQ(encodedAreas, std::vector<int>{2});
  EXPECT_EQ(port.device, "COM8");
  EXPECT_EQ(host.log, std::vector<std::string>{});  // cleared after the port line
  EXPECT_EQ(host.areaLabel, "2");
  EXPECT_TRUE(host.lampBusy);
  EXPECT_FALSE(Enabled(CONTROL_EDITING_GROUPS));
  EXPECT_FALSE(Enabled(CONTROL_BITBTN7));
  EXPECT_FALSE(Enabled(CONTROL_COMBOBOX5));
  EXPECT_EQ(host.Timer1().intervalMs, 1000);
  EXPECT_EQ(host.Status().en, "start send....");
  EXPECT_EQ(Writes(), 0);  // the first probe waits one interval

  FireTimer1();
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0x7F, 0x02, 0x55}));
  EXPECT_EQ(host.Status().en, "open timeout1");
  EXPECT_EQ(host.Status().zh, "超时开启1");

  Reply({0x8F});
  EXPECT_FALSE(host.Timer1().running);
  EXPECT_TRUE(host.Timer5().running);
  EXPECT_EQ(host.Status().zh, "检测到控制器 删除原花样");
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0x9F, 0x02, 0x55}));
  EXPECT_EQ(host.lastReply, "8F ");

  Reply({0x3C});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0x00, 0x04, 0x10, 0x11, 0x12, 0x13, 0x55}));
  EXPECT_EQ(host.Status().en, "del old run ,setart send");
  Reply({0xAE});
  EXPECT_EQ(host.progress.back(), 8 * 100 / 9);
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0x00, 0x04, 0x14, 0x15, 0x16, 0x17, 0x55}));
  Reply({0xAE});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0x00, 0x02, 0x18, 0x19, 0x55}));
  EXPECT_EQ(host.progress.back(), 100);  // 12 / 9 shows as full
  Reply({0xAE});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0xDF, 0x02, 0x55}));
  Reply({0xDD});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0xEE, 0x02, 0x55}));
  EXPECT_EQ(host.Status().en, "Send OK !!!!");
  // CMD_FINISH left the port before the close purged it.
  ASSERT_EQ(port.closedAfter.size(), 1u);
  ASSERT_FALSE(port.drainedAfter.empty());
  EXPECT_EQ(port.drainedAfter.back(), Writes());
  EXPECT_EQ(port.closedAfter.back(), Writes());
  ExpectIdle();
  EXPECT_EQ(host.stops, 1);
}

TEST_F(LinkTest, ImageSplitsIntoBlocksWithTheLastMarked) {
  struct Case {
    int length;
    std::vector<int> frameLengths;  // data frames, 4 framing bytes each
  } const cases[] = {
      {8, {8, 8}},     // two full blocks, the second last
      {9, {8, 8, 5}},  // a last block of one byte
      {1, {5}},        // a one-byte image (imageLast 0)
  };
  for (const Case& c : cases) {
    port.written.clear();
    imageLength = c.length;
    link->BitBtn7Click(0);
    ProbeAndErase();
    AckAllBlocks(0xAA);
    std::vector<int> lengths;
    for (size_t i = 2; i + 1 < port.written.size(); ++i) {
      lengths.push_back(static_cast<int>(port.written[i].size()));
    }
    EXPECT_EQ(lengths, c.frameLengths) << c.length;
    EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0xDD, 0x00, 0x55})) << c.length;
    EXPECT_EQ(host.progress[host.progress.size() - 1], 100) << c.length;
  }
}

TEST_F(LinkTest, RepliesAreActedOnOnlyUnderTheirCondition) {
  Reply({0x8F});  // nothing started: only logged
  EXPECT_EQ(Writes(), 0);
  EXPECT_EQ(host.log.back(), "8F ");

  link->BitBtn7Click(0);
  FireTimer1();
  Reply({0x9E});  // an erase reply while probing is still awaited: block 0 goes out
  EXPECT_EQ(Writes(), 2);
  Reply({0x7F, 0x8F});  // several replies in a chunk: the first byte counts
  EXPECT_EQ(host.Status().en, "connt ok !");
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0x9F, 0x00, 0x55}));
  Reply({0x8F});  // a second presence reply is ignored
  EXPECT_EQ(Writes(), 3);
  Reply({0x9E});
  Reply({0x3C});  // block 0 again: no acknowledgement came in between
  EXPECT_EQ(port.written[3], port.written[4]);
  EXPECT_EQ(port.written[1], port.written[4]);
  Reply({0x3C});  // the erase is no longer awaited
  Reply({0x12});  // unknown: logged only
  EXPECT_EQ(Writes(), 5);
  EXPECT_EQ(host.log.back(), "12 ");
  Reply({});
  EXPECT_EQ(host.log.back(), "");
}

TEST_F(LinkTest, ShortAndLongCommandFamilies) {
  profile.valueKind = VALUE_KIND_BIT;
  link->BitBtn7Click(0);
  ProbeAndErase();
  EXPECT_EQ(port.written[0], (Bytes{0xAA, 0xBB, 0x01, 0x7F, 0x55}));
  EXPECT_EQ(port.written[1], (Bytes{0xAA, 0xBB, 0x01, 0x9F, 0x55}));
  EXPECT_EQ(port.written[2], (Bytes{0xAA, 0xBB, 0x04, 0x10, 0x11, 0x12, 0x13, 0x55}));

  port.written.clear();
  profile.valueKind = VALUE_KIND_PERCENT_MARK;
  profile.longCommandFrames = true;  // VQ-M20, VQ-M24
  store.currentArea = 1;
  link->BitBtn7Click(0);
  ProbeAndErase();
  EXPECT_EQ(port.written[0], (Bytes{0xAA, 0xCC, 0x04, 0x7F, 0x01, 0x12, 0x34, 0x55}));
  EXPECT_EQ(port.written[1], (Bytes{0xAA, 0xCC, 0x04, 0x9F, 0x01, 0x12, 0x34, 0x55}));
  EXPECT_EQ(port.written[2], (Bytes{0xAA, 0x00, 0x04, 0x10, 0x11, 0x12, 0x13, 0x55}));
}

TEST_F(LinkTest, ElevenProbesWithoutAnswerGiveUp) {
  link->BitBtn7Click(0);
  for (int i = 0; i < 11; ++i) FireTimer1();
  EXPECT_EQ(Writes(), 11);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].en, "Not Find pls check connt");
  EXPECT_EQ(host.messages[0].zh, "沒有檢測到控制器，請確認硬體連接");
  EXPECT_EQ(host.captions[0].en, "ERR");
  EXPECT_EQ(host.captions[0].zh, "出錯");
  EXPECT_EQ(host.Status().en, "Not Find pls check connt");
  EXPECT_EQ(link->probeCount(), 0);
  ExpectIdle();
  Reply({0x8F});  // after the give-up replies are ignored
  EXPECT_EQ(Writes(), 11);
}

TEST_F(LinkTest, WatchdogEndsAfterMoreThanThreeSilentSeconds) {
  link->BitBtn7Click(0);
  FireTimer1();
  Reply({0x8F});
  host.seconds += 3;
  link->Timer5Timer();
  EXPECT_TRUE(link->port().IsOpen());
  Reply({0x3C});  // progress re-arms the watchdog
  host.seconds += 3;
  link->Timer5Timer();
  EXPECT_TRUE(link->port().IsOpen());
  host.seconds += 1;
  link->Timer5Timer();
  EXPECT_EQ(host.Status().en, "send  timeout。Pls Re send！");
  EXPECT_TRUE(Enabled(CONTROL_BITBTN5));
  ExpectIdle();
}

TEST_F(LinkTest, AllAreasChainEachAreaAsItsOwnTransaction) {
  profile.areaCount = 3;
  link->BitBtn5Click();
  EXPECT_EQ(host.statuses.front().en, "All Send");
  for (int area = 0; area < 3; ++area) {
    EXPECT_EQ(port.opens, area + 1);
    EXPECT_EQ(host.Timer1().intervalMs, 1000);
    ProbeAndErase();
    EXPECT_EQ(port.written[port.written.size() - 3],
              (Bytes{0xAA, 0xCC, 0x02, 0x7F, static_cast<uint8_t>(area), 0x55}));
    AckAllBlocks();
    Reply({0xDD});
  }
  EXPECT_EQ(encodedAreas, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0xEE, 0x02, 0x55}));
  EXPECT_EQ(host.Status().en, "Send OK !!!!");
  EXPECT_EQ(host.stops, 1);
  ExpectIdle();
}

TEST_F(LinkTest, AllAreasOnASingleAreaModelSendsAreaZeroThenFinishes) {
  profile.areaCount = 0;
  link->BitBtn5Click();
  ProbeAndErase();
  AckAllBlocks();
  Reply({0xDD});
  EXPECT_EQ(encodedAreas, std::vector<int>{0});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0xEE, 0x00, 0x55}));
}

TEST_F(LinkTest, ReceiveErrorRestartsTheAreaInAllAreasMode) {
  link->BitBtn5Click();
  ProbeAndErase();
  Reply({0xAE});
  Reply({0xAE});  // block 2 out, prevBlockIndex 1
  Reply({0xFE});
  const size_t n = host.statuses.size();
  ASSERT_GE(n, 6u);  // then the restart's own texts: area, one send twice, start send
  EXPECT_EQ(host.statuses[n - 6].en, "send err pls resending...");
  EXPECT_EQ(host.statuses[n - 6].zh, "下位机接收错误重发中...");
  EXPECT_EQ(host.statuses[n - 5].en, "1");
  EXPECT_EQ(port.opens, 2);
  EXPECT_EQ(encodedAreas, (std::vector<int>{0, 0}));
  EXPECT_TRUE(host.Timer1().running);
  EXPECT_TRUE(host.Timer5().running);
  EXPECT_EQ(link->blockIndex(), 0);
  ProbeAndErase();
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0x00, 0x04, 0x10, 0x11, 0x12, 0x13, 0x55}));
}

TEST_F(LinkTest, TimeOutOfARestartedAreaStopsItsProbing) {
  link->BitBtn5Click();
  ProbeAndErase();
  Reply({0xFE});  // area 0 again: probing, with the watchdog running
  host.seconds += 4;
  link->Timer5Timer();
  EXPECT_EQ(host.Status().en, "send  timeout。Pls Re send！");
  ExpectIdle();  // no probe is left to report the controller missing later
}

TEST_F(LinkTest, ReceiveErrorOfOneAreaWaitsForTheWatchdog) {
  link->BitBtn7Click(0);
  ProbeAndErase();
  const int writes = Writes();
  Reply({0xFE});
  EXPECT_EQ(Writes(), writes);
  EXPECT_EQ(port.opens, 1);
  EXPECT_TRUE(host.Timer5().running);
  host.seconds += 4;
  link->Timer5Timer();
  EXPECT_EQ(host.Status().en, "send  timeout。Pls Re send！");
}

TEST_F(LinkTest, SendErrorGivesEditingBackAndLeavesTheEndToTheWatchdog) {
  link->BitBtn7Click(0);
  ProbeAndErase();
  Reply({0xFF});
  EXPECT_EQ(host.Status().en, "send err pls resend");
  EXPECT_EQ(host.Status().zh, "FF  花样发送出错，请重新发送");
  EXPECT_TRUE(Enabled(CONTROL_COMBOBOX5));
  EXPECT_TRUE(Enabled(CONTROL_EDITING_GROUPS));
  EXPECT_FALSE(Enabled(CONTROL_BITBTN7));
  EXPECT_TRUE(link->port().IsOpen());
  EXPECT_EQ(link->blockIndex(), 0);
  EXPECT_TRUE(host.Timer5().running);
  host.seconds += 4;
  link->Timer5Timer();
  ExpectIdle();
}

TEST_F(LinkTest, ReturnErrorClosesThePort) {
  link->BitBtn7Click(0);
  ProbeAndErase();
  Reply({0x55});
  EXPECT_FALSE(link->port().IsOpen());
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.captions[0].zh, "返回出错");
  EXPECT_FALSE(host.messages[0].en.empty());
}

TEST_F(LinkTest, WrongModelReplySwitchesToVQM28AndLeavesThePortOpen) {
  link->BitBtn7Click(0);
  FireTimer1();
  Reply({0x7E, 0x01, 0x00});
  EXPECT_EQ(host.Status().zh, "控制器型号错误请重新发送！");
  EXPECT_EQ(host.modelSwitches, 1);
  EXPECT_FALSE(host.Timer1().running);
  EXPECT_FALSE(host.Timer5().running);
  EXPECT_TRUE(Enabled(CONTROL_BITBTN7));
  EXPECT_TRUE(Enabled(CONTROL_BITBTN5));
  EXPECT_TRUE(Enabled(CONTROL_COMBOBOX5));
  EXPECT_TRUE(link->port().IsOpen());
  EXPECT_EQ(Writes(), 1);
  EXPECT_EQ(profile.blockSize, 4);
  EXPECT_EQ(host.stops, 1);
}

TEST_F(LinkTest, VQM28ReplyReplacesTheBlockSize) {
  profile.modelIndex = kModelVQM28;
  imageLength = 300;
  link->BitBtn7Click(0);
  FireTimer1();
  Reply({0x7E, 0x01, 0x00});
  EXPECT_EQ(profile.blockSize, 256);
  EXPECT_EQ(host.Status().zh, "连接成功准备檫除原花样分区！");
  EXPECT_TRUE(host.Timer5().running);
  EXPECT_FALSE(host.Timer1().running);
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0x9F, 0x00, 0x55}));
  Reply({0x3C});
  EXPECT_EQ(LastWrite().size(), 260u);
  EXPECT_EQ(Bytes(LastWrite().begin(), LastWrite().begin() + 3), (Bytes{0xAA, 0x01, 0x00}));
}

TEST_F(LinkTest, VQM28BlockSizeOutsideTheFrameEndsTheTransaction) {
  profile.modelIndex = kModelVQM28;
  const Bytes replies[] = {{0x7E, 0x00, 0x00}, {0x7E, 0x07, 0xFC}, {0x7E, 0xFF, 0xFF}};
  for (const Bytes& reply : replies) {
    port.written.clear();
    host.messages.clear();
    link->BitBtn7Click(0);
    FireTimer1();
    Reply(reply);
    EXPECT_EQ(Writes(), 1) << "no erase after a refused block size";
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_NE(host.messages[0].en.find("block size"), std::string::npos);
    EXPECT_FALSE(host.messages[0].zh.empty());
    EXPECT_EQ(profile.blockSize, 4);
    ExpectIdle();
  }
}

// The three bytes of a VQ-M28 presence reply may come in separate reads; the
// block size is taken only once all three are there.
TEST_F(LinkTest, VQM28ReplySplitAcrossReadsIsActedOnWhole) {
  profile.modelIndex = kModelVQM28;
  imageLength = 400;
  const std::vector<Bytes> splits[] = {
      {{0x7E, 0x01}, {0x2C}},
      {{0x7E}, {0x01, 0x2C}},
      {{0x7E}, {0x01}, {0x2C, 0x8F}},  // what follows the reply in its last read is not a reply
  };
  for (const std::vector<Bytes>& reads : splits) {
    port.written.clear();
    profile.blockSize = 4;
    link->BitBtn7Click(0);
    FireTimer1();
    for (const Bytes& read : reads) port.pendingReads.push_back(read);
    for (size_t i = 0; i + 1 < reads.size(); ++i) {
      link->OnCommReceive(7);
      EXPECT_EQ(Writes(), 1) << "nothing sent on a partial reply";
      EXPECT_FALSE(host.Timer1().running) << "the controller has answered: no more probes";
      EXPECT_TRUE(host.Timer5().running);
    }
    link->OnCommReceive(7);
    EXPECT_EQ(profile.blockSize, 300);
    EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0x9F, 0x00, 0x55}));
    EXPECT_EQ(host.Status().zh, "连接成功准备檫除原花样分区！");
    Reply({0x3C});
    EXPECT_EQ(LastWrite().size(), 304u);
    EXPECT_EQ(Bytes(LastWrite().begin(), LastWrite().begin() + 3), (Bytes{0xAA, 0x01, 0x2C}));
    host.seconds += 4;
    link->Timer5Timer();
  }
}

TEST_F(LinkTest, VQM28ReplyThatNeverCompletesIsRefusedByName) {
  profile.modelIndex = kModelVQM28;
  link->BitBtn7Click(0);
  FireTimer1();
  Reply({0x7E, 0x01});
  host.seconds += 3;
  link->Timer5Timer();
  EXPECT_TRUE(host.messages.empty());  // still within the watchdog's limit
  host.seconds += 1;
  link->Timer5Timer();
  EXPECT_EQ(Writes(), 1);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].en,
            "the controller's reply 7E 01 ended before its block size came; nothing was sent");
  EXPECT_EQ(host.messages[0].zh, "控制器的应答 7E 01 不完整，缺少数据块大小，未发送");
  EXPECT_EQ(profile.blockSize, 4);
  EXPECT_TRUE(Enabled(CONTROL_BITBTN5));
  ExpectIdle();
  Reply({0x2C});  // too late: the transaction has ended
  EXPECT_EQ(Writes(), 1);
}

// On another model the switch waits for the whole reply too, so that its
// size bytes are not taken for replies of their own (0xAA: a block ack).
TEST_F(LinkTest, WrongModelReplySplitAcrossReadsSwitchesOnce) {
  link->BitBtn7Click(0);
  FireTimer1();
  Reply({0x7E});
  EXPECT_EQ(host.modelSwitches, 0);
  Reply({0x01, 0xAA});
  EXPECT_EQ(host.modelSwitches, 1);
  EXPECT_EQ(Writes(), 1);
  Reply({0xAA});
  EXPECT_EQ(Writes(), 2) << "a reply after the whole 0x7E is acted on again";
}

// RPL_STORED counts only after the end-of-data command: earlier it is logged
// and the transaction carries on to its own end.
TEST_F(LinkTest, StoredReplyBeforeTheEndOfDataIsOnlyLogged) {
  const struct {
    const char* state;
    int blocksAcked;  // -1 probing, 0 erasing (probe answered), 1.. blocks acknowledged
  } cases[] = {{"probing", -1}, {"erasing", 0}, {"blocks", 1}};
  for (const auto& c : cases) {
    port.written.clear();
    host.statuses.clear();
    link->BitBtn7Click(0);
    FireTimer1();
    if (c.blocksAcked >= 0) Reply({0x8F});
    for (int i = 0; i < c.blocksAcked; ++i) Reply(i == 0 ? Bytes{0x3C} : Bytes{0xAE});
    const int writes = Writes();
    Reply({0xDD});
    EXPECT_EQ(host.log.back(), "DD ") << c.state;
    EXPECT_EQ(Writes(), writes) << c.state << ": no finish";
    EXPECT_FALSE(host.HasStatus("Send OK !!!!")) << c.state;
    EXPECT_TRUE(link->port().IsOpen()) << c.state;
    if (c.blocksAcked < 0) Reply({0x8F});
    if (c.blocksAcked < 1) Reply({0x3C});
    AckAllBlocks();
    Reply({0xDD});
    EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0xEE, 0x00, 0x55})) << c.state;
    EXPECT_EQ(host.Status().en, "Send OK !!!!") << c.state;
    ExpectIdle();
  }
}

TEST_F(LinkTest, EncoderFailureGivesTheControlsBackAndClosesThePort) {
  encodeResult = Outcome::Fail({"循环次数不是数字", "loop count is not a number"});
  link->BitBtn7Click(0);
  EXPECT_EQ(Writes(), 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].en, "loop count is not a number");
  ExpectIdle();
}

TEST_F(LinkTest, FailedOpenShowsTheMessageAndGivesEditingBack) {
  port.failOpen = true;
  port.openUserMessage = {"串口被占用", "the port is busy"};
  link->BitBtn7Click(0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].en, "open serial port err the port is busy");
  EXPECT_EQ(host.messages[0].zh, "打开串口出错，确认是否占用或重复打开该串口：串口被占用");
  EXPECT_EQ(host.captions[0].en, "serial port");
  EXPECT_EQ(host.captions[0].zh, "串口出错");
  EXPECT_TRUE(Enabled(CONTROL_EDITING_GROUPS));
  EXPECT_FALSE(host.lampBusy);
  EXPECT_FALSE(host.Timer1().running);
  EXPECT_TRUE(encodedAreas.empty());
  EXPECT_EQ(host.stops, 1);

  port.openUserMessage = {};
  host.messages.clear();
  link->BitBtn18Click();
  EXPECT_EQ(host.messages.at(0).en, "open serial port err ");
}

TEST_F(LinkTest, VanishedPortEndsTheTransactionWithItsMessage) {
  link->BitBtn7Click(0);
  FireTimer1();
  Reply({0x8F});
  port.failWrite = true;
  Reply({0x3C});
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].en, "the device has gone");  // the port layer's own message
  EXPECT_EQ(host.messages[0].zh, "设备已断开");
  ExpectIdle();

  port.failWrite = false;
  link->BitBtn7Click(0);
  FireTimer1();
  port.failRead = true;
  link->OnCommReceive(7);
  EXPECT_EQ(host.Status().en,
            "serial port COM8 failed: COMM_ASSERT(IsOpen()) failed; SerialComm(418); ");
  EXPECT_EQ(host.Status().zh, "串口 COM8 出错：COMM_ASSERT(IsOpen()) failed; SerialComm(418); ");
  ExpectIdle();
}

// The finish and the controller-type frame must leave the port before it
// closes; a port that does not send them is reported instead of success.
TEST_F(LinkTest, FinishThatDoesNotLeaveThePortIsReportedNotSuccess) {
  link->BitBtn7Click(0);
  ProbeAndErase();
  AckAllBlocks();
  port.failDrain = true;
  Reply({0xDD});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0xEE, 0x00, 0x55}));
  EXPECT_FALSE(host.HasStatus("Send OK !!!!"));
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].en, "the port does not take the data");
  ExpectIdle();

  link->BitBtn16Click(false);
  EXPECT_FALSE(host.HasStatus("setup send ok "));
  EXPECT_EQ(host.messages.size(), 2u);
  EXPECT_FALSE(link->port().IsOpen());
}

TEST_F(LinkTest, ReceiveNotificationsReadTheReplyOnTheirOwnPort) {
  link->BitBtn7Click(0);
  ASSERT_TRUE(port.notify);
  port.notify(7);  // the watch thread only posts
  EXPECT_EQ(host.posted, std::vector<uint32_t>{7});
  FireTimer1();
  port.pendingReads.push_back({0x8F});
  link->OnCommReceive(3);  // another port's notification
  EXPECT_EQ(port.pendingReads.size(), 1u);
  link->OnCommReceive(7);
  EXPECT_EQ(host.lastReply, "8F ");
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0x9F, 0x00, 0x55}));
}

TEST_F(LinkTest, DebugImageSendsNothingAndGivesTheControlsBack) {
  host.debugImage = true;
  link->BitBtn7Click(0);
  EXPECT_EQ(encodedAreas, std::vector<int>{0});
  EXPECT_EQ(Writes(), 0);
  EXPECT_FALSE(host.Timer1().running);
  EXPECT_TRUE(Enabled(CONTROL_EDITING_GROUPS));
  EXPECT_TRUE(Enabled(CONTROL_BITBTN7));
  EXPECT_FALSE(host.lampBusy);
  Reply({0x8F});
  EXPECT_EQ(Writes(), 0);
}

TEST_F(LinkTest, SettingsImageGoesOutInOneSettingsFrame) {
  profile.blockSize = 300;
  SettingsPanel panel;
  panel.comboBoxAC = 20;
  link->Button5Click(panel);
  EXPECT_EQ(host.configSaves, 1);
  EXPECT_EQ(host.Timer1().intervalMs, 500);
  EXPECT_TRUE(Enabled(CONTROL_EDITING_GROUPS));
  ProbeAndErase();
  EXPECT_EQ(port.written[0], (Bytes{0xAA, 0xCD, 0x01, 0x3F, 0x55}));
  EXPECT_EQ(port.written[1], (Bytes{0xAA, 0xCD, 0x01, 0x9F, 0x55}));
  Bytes frame = {0xAA, 0xCD, 0x29, 0xCF, 0xAB, 0xFF, 0xFF, 20, 0xFF};
  frame.resize(4 + 40, 0x00);
  frame.push_back(0x55);
  EXPECT_EQ(port.written[2], frame);
  Reply({0xAE});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCD, 0x01, 0xDF, 0x55}));
  Reply({0xDD});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCD, 0x01, 0xEE, 0x55}));
  EXPECT_EQ(host.Status().en, "Send OK !!!!");
}

TEST_F(LinkTest, SettingsTransactionAfterAnUnfinishedAllAreasRunDoesNotChain) {
  link->BitBtn5Click();
  ProbeAndErase();
  host.seconds += 4;
  link->Timer5Timer();  // all-areas run ended by time-out in area 0
  profile.blockSize = 300;
  SettingsPanel panel;
  link->Button5Click(panel);
  ProbeAndErase();
  Reply({0xAE});
  Reply({0xDD});
  EXPECT_EQ(encodedAreas, std::vector<int>{0});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCD, 0x01, 0xEE, 0x55}));
}

TEST_F(LinkTest, OpeningLogsThePortNumberOrDevice) {
  const struct {
    const char* portText;
    const char* logLine;
  } cases[] = {{"COM8", "8"},
               {"/dev/ttyUSB0", "/dev/ttyUSB0"},
               {"COM99999999999999999999", "COM99999999999999999999"}};
  for (const auto& c : cases) {
    host.portText = c.portText;
    link->BitBtn18Click();
    EXPECT_EQ(host.log, std::vector<std::string>{c.logLine});
    EXPECT_EQ(port.device, c.portText);
  }
}

TEST_F(LinkTest, ClockTransactionSendsTheTimeOfSending) {
  link->BitBtn18Click();
  EXPECT_EQ(host.Timer1().intervalMs, 500);
  FireTimer1();
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0x4F, 0x00, 0x55}));
  host.now.second = 7;
  Reply({0x4E});
  EXPECT_EQ(host.Status().en, "cheked OK");
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x07, 0x4E, 24, 2, 20, 13, 45, 7, 0x55}));
  Reply({0x4D});
  EXPECT_EQ(host.Status().en, "Syn Time Send OK !!!!");
  ExpectIdle();
}

TEST_F(LinkTest, EndDateIsSentOnlyForADayCountOfZeroOrMore) {
  EXPECT_STREQ(link->dayCountText(), "00");  // before the clock first ran
  host.endDate = {2024, 2, 19};
  link->DataTimeTimer();
  EXPECT_EQ(host.clockText, "2024-02-20 13:45:59");
  EXPECT_EQ(host.dayCount, "-1");
  link->BitBtn19Click();
  EXPECT_EQ(port.opens, 0);
  ASSERT_EQ(host.messages.size(), 1u);
  EXPECT_EQ(host.messages[0].zh, "间隔天数小于0天不符合大于等于0天的要求！");
  EXPECT_EQ(host.captions[0].en, "error");

  host.endDate = {2024, 2, 20};
  link->DataTimeTimer();
  EXPECT_EQ(host.dayCount, "0");
  link->BitBtn19Click();
  FireTimer1();
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x02, 0x5F, 0x00, 0x55}));
  Reply({0x5E});
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x04, 0x5E, 24, 2, 20, 0x55, 0, 0, 0}));
  Reply({0x5D});
  EXPECT_EQ(host.Status().en, "Set End Date Send OK !!!!");
  ExpectIdle();
}

TEST_F(LinkTest, ControllerTypeFrameLeavesBeforeTheClose) {
  link->BitBtn16Click(true);
  ASSERT_EQ(Writes(), 1);
  EXPECT_EQ(LastWrite(), (Bytes{0xAA, 0xCC, 0x05, 0xAA, 0xBB, 0xCC, 0xDD, 0xFF, 0x55}));
  EXPECT_EQ(port.drainedAfter, std::vector<int>{1});
  EXPECT_EQ(port.closedAfter, std::vector<int>{1});
  EXPECT_EQ(host.Status().en, "setup send ok ");
  EXPECT_FALSE(host.lampBusy);
  Reply({0x8F});  // no reply is acted on
  EXPECT_EQ(Writes(), 1);
}

// Busy spans a whole transaction, from the start through probing and blocks
// to its end, for downloads and settings alike; a debug image, a give-up or
// a time-out leave the link idle.
TEST_F(LinkTest, BusyFromTheStartOfATransactionToItsEnd) {
  EXPECT_FALSE(link->Busy());
  link->BitBtn7Click(0);
  EXPECT_TRUE(link->Busy());
  ProbeAndErase();
  EXPECT_TRUE(link->Busy());
  AckAllBlocks();
  EXPECT_TRUE(link->Busy());  // the end-of-data command awaits its reply
  Reply({0xDD});
  EXPECT_FALSE(link->Busy());

  link->BitBtn5Click();
  for (int i = 0; i < 11; ++i) FireTimer1();
  EXPECT_FALSE(link->Busy());

  SettingsPanel panel;
  link->Button5Click(panel);
  ProbeAndErase();
  EXPECT_TRUE(link->Busy());
  host.seconds += 4;
  link->Timer5Timer();
  EXPECT_FALSE(link->Busy());

  host.debugImage = true;
  link->BitBtn7Click(0);
  EXPECT_FALSE(link->Busy());
}

// Each role goes to the object given for it: the clock and the settings
// here come from a second host, the texts still to the first.
TEST(LinkHostRoles, EachRoleIsAskedOfItsOwnObject) {
  FakeHost shown;
  FakeHost timeAndSettings;
  timeAndSettings.now = {2031, 7, 4, 9, 8, 7};
  timeAndSettings.endDate = {2031, 7, 9, 0, 0, 0};
  PortScript script;
  auto store = std::make_unique<PatternStore>();
  ModelProfile profile;
  auto image = std::make_unique<ImageBuffer>();
  ControllerLink link({shown, shown, shown, shown, timeAndSettings, timeAndSettings},
                      std::make_unique<FakePort>(script), *store, profile, *image,
                      [](int, ImageBuffer&) { return Outcome::Ok(); });
  link.DataTimeTimer();
  EXPECT_EQ(shown.clockText, "2031-07-04 09:08:07");
  EXPECT_EQ(shown.dayCount, "5");
  EXPECT_TRUE(timeAndSettings.clockText.empty());
}

}  // namespace
}  // namespace vqled
