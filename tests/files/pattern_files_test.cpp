#include "files/pattern_files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "byte_text.h"
#include "folder_names.h"
#include "fresh_store.h"
#include "ordinary_user.h"
#include "scratch_dir.h"

namespace vqled {
namespace {

using Bytes = std::vector<uint8_t>;

using test::Slurp;

void Put(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

class PatternFilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    PrepareFreshStore(store, 8);
    dir = scratch.path().string();
    controls.comboBox6Index = 28;
  }
  std::string Path(const char* name) const { return dir + "/" + name; }
  std::vector<std::string> Names() const { return FolderNames(dir); }

  PatternStore store;
  ModelProfile profile;
  HeaderControls controls;
  std::unique_ptr<ImageBuffer> image = std::make_unique<ImageBuffer>();
  EncodeContext context{profile, controls, *image};
  test::ScratchDir scratch{"files"};
  std::string dir;
};

// Header of a fresh area with 8 channels and F 0 (start-up default times).
const Bytes kEmptyHeader = {0,    8,    0, 0,    0x03, 0xE8, 0,    0x03, 0x20, 0,
                            0x02, 0x58, 0, 0x01, 0x90, 0,    0x00, 0xC8, 0,    1,
                            1,    0,    0, 0,    0,    0,    0,    0,    0,    0};

TEST_F(PatternFilesTest, ResumeFileOfEmptyAreasIsTwentyHeaders) {
  SaveLog log;
  ASSERT_TRUE(SaveResumeFile(store, context, Path("tempRGB.bin"), &log).ok);
  const Bytes bytes = Slurp(Path("tempRGB.bin"));
  ASSERT_EQ(bytes.size(), 600u);
  for (int a = 0; a < kAreaCount; ++a) {
    EXPECT_EQ(Bytes(bytes.begin() + 30 * a, bytes.begin() + 30 * (a + 1)), kEmptyHeader);
  }
  ASSERT_EQ(log.count, 20);
  EXPECT_EQ(log.line[19].imageLast, 29);
  EXPECT_EQ(log.line[19].firstByte, 0);
}

TEST_F(PatternFilesTest, AledRoundTripsEveryArea) {
  for (int a = 0; a < kAreaCount; ++a) {
    store.Cell(a, 3 + a % 8, 2 + a) = 10 + a;
    store.defaultTime[a][2] = {7 + a, 1};
    store.playSettings[a] = {2, 30 + a, a % 2, 2};
  }
  ASSERT_TRUE(SaveAllAreas(store, context, Path("p.Aled"), nullptr).ok);
  PatternStore back;
  PrepareFreshStore(back, 8);
  ASSERT_TRUE(ImportAllAreas(back, Path("p.Aled")).ok);
  for (int a = 0; a < kAreaCount; ++a) {
    EXPECT_EQ(back.Cell(a, 3 + a % 8, 2 + a), 10 + a);
    EXPECT_EQ(back.defaultTime[a][2].value, 7 + a);
    EXPECT_EQ(back.defaultTime[a][2].unit, 1);
    EXPECT_EQ(back.playSettings[a].loopCount, 30 + a);
    EXPECT_EQ(back.playSettings[a].enabled, a % 2);
    EXPECT_EQ(back.playSettings[a].endMode, 0);  // an import keeps the area's own
  }
}

TEST_F(PatternFilesTest, LedAndExportOfAnEmptyCurrentArea) {
  store.Cell(5, 3, 2) = 1;  // another area holds data
  store.currentArea = 0;
  ASSERT_TRUE(SaveCurrentArea(store, context, 2, LoopCountEntry::FromText("12"), Path("a.led")).ok);
  ASSERT_TRUE(ExportCurrentArea(store, context, LoopCountEntry::FromValue(12), Path("a.VQD")).ok);
  Bytes header = kEmptyHeader;
  header[22] = 12;  // the loop count just stored
  Bytes led = {28, 2};
  led.insert(led.end(), header.begin(), header.end());
  EXPECT_EQ(Slurp(Path("a.led")), led);
  EXPECT_EQ(Slurp(Path("a.VQD")), header);
  EXPECT_EQ(store.playSettings[0].loopCount, 12);
}

TEST_F(PatternFilesTest, NothingToSaveRefusesEverySave) {
  EXPECT_FALSE(SaveAllAreas(store, context, Path("p.Aled"), nullptr).ok);
  EXPECT_FALSE(SaveCurrentArea(store, context, 0, LoopCountEntry::FromValue(1), Path("a.led")).ok);
  const Outcome exported =
      ExportCurrentArea(store, context, LoopCountEntry::FromValue(1), Path("a.VQD"));
  EXPECT_EQ(exported.message.en, "没有花样内容");
  EXPECT_EQ(access(Path("p.Aled").c_str(), F_OK), -1);
  EXPECT_EQ(access(Path("a.led").c_str(), F_OK), -1);
  const SaveRefusal all = CheckContentToSave(store, SAVE_ALL_AREAS);
  EXPECT_EQ(all.text.zh, "沒有花樣發送");
  EXPECT_EQ(all.caption.en, "No Data");
  EXPECT_EQ(CheckContentToSave(store, SAVE_CURRENT_AREA).caption.en, "保存出错");
}

TEST_F(PatternFilesTest, BadLoopCountLeavesTheFileAndTheArea) {
  store.Cell(0, 3, 2) = 1;
  store.playSettings[0].loopCount = 4;
  Put(Path("a.led"), {1, 2, 3});
  for (const char* text : {"", "abc", "12x", "99999999999"}) {
    const Outcome outcome =
        SaveCurrentArea(store, context, 0, LoopCountEntry::FromText(text), Path("a.led"));
    EXPECT_FALSE(outcome.ok) << text;
    EXPECT_EQ(outcome.message.en, "'" + std::string(text) + "' is not a valid integer value");
    EXPECT_FALSE(
        ExportCurrentArea(store, context, LoopCountEntry::FromText(text), Path("a.VQD")).ok);
  }
  EXPECT_EQ(Slurp(Path("a.led")), (Bytes{1, 2, 3}));
  EXPECT_EQ(access(Path("a.VQD").c_str(), F_OK), -1);
  EXPECT_EQ(store.playSettings[0].loopCount, 4);
}

// A write that fails half-way (here: the file-size limit, as a full disk)
// keeps the previous file whole and leaves no temporary file behind.
TEST_F(PatternFilesTest, FailedWriteKeepsThePreviousFile) {
  store.Cell(0, 3, 200) = 1;  // an image of 30 + 199 * 11 bytes
  const Bytes old = {9, 9, 9};
  Put(Path("p.Aled"), old);
  signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  getrlimit(RLIMIT_FSIZE, &saved);
  rlimit small = saved;
  small.rlim_cur = 1000;
  setrlimit(RLIMIT_FSIZE, &small);
  const Outcome outcome = SaveAllAreas(store, context, Path("p.Aled"), nullptr);
  setrlimit(RLIMIT_FSIZE, &saved);
  EXPECT_FALSE(outcome.ok);
  EXPECT_NE(outcome.message.en.find(Path("p.Aled")), std::string::npos);
  EXPECT_NE(outcome.message.zh.find(Path("p.Aled")), std::string::npos);
  EXPECT_EQ(Slurp(Path("p.Aled")), old);
  EXPECT_EQ(std::system(("test $(ls -A " + dir + " | wc -l) -eq 1").c_str()), 0);
}

TEST_F(PatternFilesTest, UnwritableAndUnreadablePathsAreReported) {
  store.Cell(0, 3, 2) = 1;
  const std::string nowhere = Path("missing/p.Aled");
  const Outcome saved = SaveAllAreas(store, context, nowhere, nullptr);
  EXPECT_FALSE(saved.ok);
  EXPECT_NE(saved.message.en.find(nowhere), std::string::npos);
  const Outcome imported = ImportAllAreas(store, nowhere);
  EXPECT_FALSE(imported.ok);
  EXPECT_NE(imported.message.en.find(nowhere), std::string::npos);
  EXPECT_FALSE(ImportSingleArea(store, nowhere).ok);
  // Nothing but a regular file is read: no endless device, no FIFO without a writer.
  ASSERT_EQ(mkfifo(Path("fifo.Aled").c_str(), 0600), 0);
  for (const std::string& odd : {dir, std::string("/dev/zero"), Path("fifo.Aled")}) {
    const Outcome outcome = ImportAllAreas(store, odd);
    EXPECT_EQ(outcome.message.en, "Cannot read " + odd + ": not a regular file");
  }
}

TEST_F(PatternFilesTest, MissingResumeFileLeavesTheFreshAreas) {
  store.Cell(3, 3, 2) = 8;
  const ResumeLoad loaded = LoadResumeFile(store, Path("tempRGB.bin"));
  EXPECT_TRUE(loaded.outcome.ok);
  EXPECT_TRUE(loaded.outcome.message.empty());
  EXPECT_FALSE(loaded.keepFile);
  EXPECT_EQ(store.Cell(3, 3, 2), 8);
  EXPECT_EQ(Names(), std::vector<std::string>{});
}

// A resume file not read whole is copied beside it, under the name the
// message gives, before anything can write it; the leading whole areas are
// restored.
TEST_F(PatternFilesTest, ResumeFileReadInPartIsKeptBesideIt) {
  Bytes loop12 = kEmptyHeader;
  loop12[22] = 12;  // area 1 loops 12 times
  Bytes file = loop12;
  for (int a = 1; a < 19; ++a) file.insert(file.end(), kEmptyHeader.begin(), kEmptyHeader.end());
  file.insert(file.end(), kEmptyHeader.begin(), kEmptyHeader.end() - 3);  // area 20: 27 bytes
  const Bytes refused = {0, 8, 0, 1, 0x03};                               // F 1, but no frame
  for (const Bytes& bytes : {file, refused}) {
    PrepareFreshStore(store, 8);
    std::system(("rm -f " + dir + "/*").c_str());
    Put(Path("tempRGB.bin"), bytes);
    const ResumeLoad loaded = LoadResumeFile(store, Path("tempRGB.bin"));
    ASSERT_EQ(Names().size(), 2u);
    const std::string kept = Path(Names()[1].c_str());  // after "tempRGB.bin"
    EXPECT_EQ(kept.rfind(Path("tempRGB.bin.refused-"), 0), 0u) << kept;
    EXPECT_EQ(Slurp(kept), bytes);
    EXPECT_FALSE(loaded.keepFile);
    const std::string& en = loaded.outcome.message.en;
    EXPECT_NE(en.find(". The file's bytes were kept as " + kept + "."), std::string::npos) << en;
    EXPECT_NE(loaded.outcome.message.zh.find("文件原有内容已另存为 " + kept + "。"),
              std::string::npos);
    EXPECT_EQ(store.playSettings[0].loopCount, bytes == file ? 12 : 0);
    EXPECT_EQ(loaded.outcome.ok, bytes == file);
  }
  // The close then writes the areas; the copy keeps the file as it was.
  SaveLog log;
  ASSERT_TRUE(SaveResumeFile(store, context, Path("tempRGB.bin"), &log).ok);
  EXPECT_EQ(Slurp(Path("tempRGB.bin")).size(), 600u);
}

// An ordinary user whose resume file cannot be copied (its folder is not
// writable) or cannot be read at all is told the file will be left alone.
TEST_F(PatternFilesTest, ResumeFileThatCannotBeKeptIsLeftForTheClose) {
  const Bytes cut = {0, 8, 0, 1, 0x03};
  for (mode_t mode : {0666, 0}) {
    Put(Path("tempRGB.bin"), cut);
    chmod(Path("tempRGB.bin").c_str(), mode);
    std::string skipped;
    const bool held = RunAsOrdinaryUser(
        dir,
        [&] {
          const ResumeLoad loaded = LoadResumeFile(store, Path("tempRGB.bin"));
          return loaded.keepFile && !loaded.outcome.ok &&
                 loaded.outcome.message.en.find(Path("tempRGB.bin") +
                                                " will not be overwritten at closing") !=
                     std::string::npos &&
                 loaded.outcome.message.zh.find("关闭程序时不会覆盖 " + Path("tempRGB.bin")) !=
                     std::string::npos;
        },
        skipped);
    if (!skipped.empty()) GTEST_SKIP() << skipped;
    EXPECT_TRUE(held) << mode;
    EXPECT_EQ(Names(), std::vector<std::string>{"tempRGB.bin"});
  }
}

TEST_F(PatternFilesTest, SavedModeOfTheTargetIsKept) {
  store.Cell(0, 3, 2) = 1;
  Put(Path("p.Aled"), {1});
  chmod(Path("p.Aled").c_str(), 0640);
  ASSERT_TRUE(SaveAllAreas(store, context, Path("p.Aled"), nullptr).ok);
  struct stat info {};
  stat(Path("p.Aled").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(PatternFilesTest, SavingThroughALinkReplacesTheFileItNames) {
  store.Cell(0, 3, 2) = 1;
  Put(Path("real.Aled"), {1});
  ASSERT_EQ(symlink("real.Aled", Path("link.Aled").c_str()), 0);
  ASSERT_TRUE(SaveAllAreas(store, context, Path("link.Aled"), nullptr).ok);
  struct stat info {};
  ASSERT_EQ(lstat(Path("link.Aled").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ(Slurp(Path("real.Aled")).size(), 30u * 20u + 11u);
}

// A .VQD holds one image and no index bytes; its first byte is N's high byte.
TEST_F(PatternFilesTest, ExportFileIsReadIntoTheCurrentArea) {
  store.currentArea = 3;
  store.Cell(3, 4, 5) = 9;
  Bytes vqd(30, 0);
  vqd[1] = 1, vqd[3] = 2;                            // N 1, F 2
  vqd.insert(vqd.end(), {0, 5, 1, 40, 0, 2, 0, 7});  // 5 ms, cell 40; default time 2, cell 7
  const Outcome cut = ReadExportFile(store, vqd.data(), vqd.size() - 1, "a.VQD");
  EXPECT_EQ(cut.message.en,
            "The file a.VQD cannot be read: the image announces 38 bytes but only 37 remain; no "
            "area was changed");
  EXPECT_EQ(store.Cell(3, 4, 5), 9);
  ASSERT_TRUE(ReadExportFile(store, vqd.data(), vqd.size(), "a.VQD").ok);
  EXPECT_EQ(store.Cell(3, 3, 2), 40);
  EXPECT_EQ(store.Cell(3, 3, 3), 7);
  EXPECT_EQ(store.frameTime[3].timeValue[2], 5);
  EXPECT_EQ(store.frameTime[3].timeType[2], 1);
  EXPECT_EQ(store.frameTime[3].timeValue[3], 2);
  EXPECT_EQ(store.Cell(3, 4, 5), 0);  // the area was cleared first
}

TEST(PatternFileNames, ExtensionsAndExportName) {
  EXPECT_EQ(ReplaceExtension("/d/pattern.txt", ".Aled"), "/d/pattern.Aled");
  EXPECT_EQ(ReplaceExtension("/d.x/pattern", ".led"), "/d.x/pattern.led");
  EXPECT_EQ(ReplaceExtension("a.b.c", ".VQD"), "a.b.VQD");
  EXPECT_EQ(ExportProposedName(21, 4), "EXP_5");
  EXPECT_EQ(ExportProposedName(20, 4), "");
  EXPECT_EQ(PatternFileKindOf("/d/tempRGB.bin"), FILE_RESUME);
  EXPECT_EQ(PatternFileKindOf("/d/x.bin"), FILE_ALL_AREAS);
  EXPECT_EQ(PatternFileKindOf("p.Aled"), FILE_ALL_AREAS);
  EXPECT_EQ(PatternFileKindOf("p.LED"), FILE_SINGLE_AREA);
  EXPECT_EQ(PatternFileKindOf("/a.led/p"), FILE_ALL_AREAS);
  EXPECT_EQ(PatternFileKindOf("EXP_1.VQD"), FILE_EXPORT);
}

TEST(PatternFileImages, LocatedByKind) {
  Bytes header(30, 0);
  header[1] = 1, header[3] = 2;  // N 1, F 2: 38 bytes
  header.resize(38);
  Bytes led = {0, 0};
  led.insert(led.end(), header.begin(), header.end());
  ImageOffsets images;
  ASSERT_TRUE(LocateImages(led.data(), led.size(), FILE_SINGLE_AREA, "a.led", images).ok);
  EXPECT_EQ(images.count, 1);
  EXPECT_EQ(images.offset[0], 2u);
  ASSERT_TRUE(LocateImages(header.data(), header.size(), FILE_EXPORT, "a.VQD", images).ok);
  EXPECT_EQ(images.offset[0], 0u);
  const Outcome cut = LocateImages(header.data(), 37, FILE_EXPORT, "a.VQD", images);
  EXPECT_EQ(cut.message.en,
            "The file a.VQD cannot be read: the image announces 38 bytes but only 37 remain; no "
            "area was changed");
}

}  // namespace
}  // namespace vqled
