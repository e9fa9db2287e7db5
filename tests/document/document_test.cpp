#include "document/document.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "model/model_catalogue.h"
#include "scratch_dir.h"

namespace vqled {
namespace {

constexpr int kM00 = 0;   // VQ-M00: one area, no controller list, 4 channels
constexpr int kM05 = 5;   // VQ-M05: area tabs, a controller list, 3 channels
constexpr int kM28 = 28;  // VQ-M28: 20 area tabs, 6 channels

void Dirty(PatternStore& store, int area) {
  store.Cell(area, kHeaderRows, 2) = 77;
  store.defaultTime[area][0] = {5, TIME_UNIT_S};
  store.playSettings[area] = {LOOP_COUNT, 9, 0, 2};
}

TEST(Document, StartupResetEmptiesEveryAreaWithTheStartupTimes) {
  Document doc;
  for (int a = 0; a < kAreaCount; ++a) Dirty(doc.store(), a);
  doc.ResetStartupAreas();
  const int32_t times[kDefaultTimeCount] = {1000, 800, 600, 400, 200};
  for (int a = 0; a < kAreaCount; ++a) {
    SCOPED_TRACE(a);
    EXPECT_EQ(doc.store().Cell(a, kHeaderRows, 2), 0);
    for (int k = 0; k < kDefaultTimeCount; ++k)
      EXPECT_EQ(doc.store().defaultTime[a][k].value, times[k]);
    EXPECT_EQ(doc.store().playSettings[a].loopMode, LOOP_FOREVER);
    EXPECT_EQ(doc.store().playSettings[a].loopCount, 0);
    EXPECT_EQ(doc.store().playSettings[a].enabled, 1);
  }
}

// The model selection with a controller count: the count holds only where
// the model has a count list, and the grid shows all controllers' channels.
TEST(Document, ModelSelectionTakesTheControllerCountWhereTheModelListsIt) {
  struct Case {
    int model;
    int count;
    int controllers;
    int channels;
    int tabs;
  };
  const Case cases[] = {{kM05, 4, 4, 12, CatalogueRow(kM05).tabCaptions->count},
                        {kM00, 4, 1, 4, 1},
                        {kM28, 1, 1, 6, 20}};
  for (const Case& c : cases) {
    SCOPED_TRACE(CatalogueRow(c.model).name);
    Document doc;
    doc.ResetStartupAreas();
    doc.store().currentArea = 3;
    doc.SelectModel(c.model, c.count);
    EXPECT_EQ(doc.modelIndex(), c.model);
    EXPECT_EQ(doc.controllerCount(), c.controllers);
    EXPECT_EQ(doc.store().gridRowCount, c.channels + kHeaderRows);
    EXPECT_EQ(doc.store().currentArea, 0);
    EXPECT_EQ(doc.AreaTabCount(), c.tabs);
    EXPECT_TRUE(doc.AreaExists(c.tabs - 1));
    EXPECT_FALSE(doc.AreaExists(c.tabs));
    EXPECT_EQ(doc.header().comboBox6Index, c.model);
    EXPECT_TRUE(doc.header().radioButton6);
  }
}

// ComboBox4Change's steps: the typed count is limited to 1..20, a text that
// is no number fails and keeps the count and the grid in force.
TEST(Document, ControllerCountTextLaysTheGridOutForAllControllers) {
  Document doc;
  doc.ApplyModel(kM05);
  EXPECT_EQ(doc.controllerCount(), 1);
  GridLayout grid;
  ASSERT_TRUE(doc.LayoutForControllers("25", grid).ok);
  EXPECT_EQ(doc.controllerCount(), 20);
  EXPECT_EQ(doc.store().gridRowCount, 60 + kHeaderRows);
  ASSERT_TRUE(doc.LayoutForControllers("2", grid).ok);
  EXPECT_EQ(doc.store().gridRowCount, 6 + kHeaderRows);
  for (const char* text : {"", "two"}) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(doc.LayoutForControllers(text, grid).ok);
    EXPECT_EQ(doc.controllerCount(), 2);
    EXPECT_EQ(doc.store().gridRowCount, 6 + kHeaderRows);
  }
}

class DocumentFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    source.ResetStartupAreas();
    source.SelectModel(kM28, 1);
  }
  std::string Path(const char* name) const { return scratch.File(name); }

  Document source;
  test::ScratchDir scratch{"document"};
};

// All areas saved and read back as the editor reads them: the patterns, the
// play settings and the default times, the area shown in the controls.
TEST_F(DocumentFiles, AllAreasRoundTripThroughTheEditorsReading) {
  for (int a = 0; a < kAreaCount; ++a) {
    source.store().Cell(a, kHeaderRows + a % 6, 2 + a) = 10 + a;
    source.store().defaultTime[a][1] = {20 + a, TIME_UNIT_MS};
    source.store().playSettings[a].loopCount = 30 + a;
  }
  SaveLog log;
  ASSERT_TRUE(source.SaveAllAreas(Path("all.Aled"), &log).ok);
  EXPECT_EQ(log.count, kAreaCount);

  Document back;
  bool refused = true;
  const Outcome loaded = back.LoadAsEditor(Path("all.Aled"), kM28, 1, 7, &refused);
  ASSERT_TRUE(loaded.ok) << loaded.message.en;
  for (int a = 0; a < kAreaCount; ++a) {
    SCOPED_TRACE(a);
    EXPECT_EQ(back.store().Cell(a, kHeaderRows + a % 6, 2 + a), 10 + a);
    EXPECT_EQ(back.store().defaultTime[a][1].value, 20 + a);
    EXPECT_EQ(back.store().playSettings[a].loopCount, 30 + a);
  }
  EXPECT_EQ(back.store().currentArea, 7);
  EXPECT_EQ(back.controls().timeText[1], "27");
}

// The current area as .led and as the resume file, each read back into a
// fresh document; the loop count given to the save is the one stored.
TEST_F(DocumentFiles, CurrentAreaAndResumeFileRoundTrip) {
  source.ShowArea(4);
  source.store().Cell(4, kHeaderRows + 2, 3) = 55;
  ASSERT_TRUE(source.SaveCurrentArea(Path("one.led"), 0, LoopCountEntry::FromText("6")).ok);
  ASSERT_TRUE(source.SaveResumeFile(Path("tempRGB.bin"), nullptr).ok);

  Document led;
  ASSERT_TRUE(led.LoadAsEditor(Path("one.led"), kM28, 1, 2).ok);
  EXPECT_EQ(led.store().Cell(2, kHeaderRows + 2, 3), 55);
  EXPECT_EQ(led.store().playSettings[2].loopCount, 6);
  EXPECT_EQ(led.controls().edit6, "6");

  Document resumed;
  resumed.ResetStartupAreas();
  const ResumeLoad loaded = resumed.LoadResumeFile(Path("tempRGB.bin"));
  ASSERT_TRUE(loaded.outcome.ok) << loaded.outcome.message.en;
  EXPECT_EQ(resumed.store().Cell(4, kHeaderRows + 2, 3), 55);
  EXPECT_EQ(resumed.store().playSettings[4].loopCount, 6);
}

// A load fails with the reason and says whose fault it was: an area the
// model lacks and a damaged file are refused, a missing file is not; a
// damaged file changes no area.
TEST_F(DocumentFiles, LoadFailuresNameTheirReasonAndChangeNoArea) {
  std::ofstream(Path("short.Aled"), std::ios::binary).write("\x00\x06\x00", 3);
  struct Case {
    std::string file;
    int model;
    int area;
    bool refused;
  };
  const Case cases[] = {{Path("short.Aled"), kM00, 3, true},
                        {Path("short.Aled"), kM28, 0, true},
                        {Path("missing.Aled"), kM28, 0, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file + " area " + std::to_string(c.area));
    Document doc;
    bool refused = !c.refused;
    const Outcome loaded = doc.LoadAsEditor(c.file, c.model, 1, c.area, &refused);
    EXPECT_FALSE(loaded.ok);
    EXPECT_FALSE(loaded.message.en.empty());
    EXPECT_FALSE(loaded.message.zh.empty());
    EXPECT_EQ(refused, c.refused);
    for (int a = 0; a < kAreaCount; ++a) EXPECT_EQ(doc.store().Cell(a, kHeaderRows, 2), 0);
  }
  Document doc;
  EXPECT_NE(doc.LoadAsEditor(Path("short.Aled"), kM00, 1, 3).message.en.find("no area 3"),
            std::string::npos);
}

// The current-area download stores Edit6's loop count first; a count that
// is no number builds nothing.
TEST_F(DocumentFiles, CurrentAreaDownloadStoresTheLoopCountFirst) {
  source.ShowArea(1);
  source.store().Cell(1, kHeaderRows, 2) = 100;
  source.controls().edit6 = "12";
  ASSERT_TRUE(source.BuildCurrentAreaDownload().ok);
  EXPECT_EQ(source.store().playSettings[1].loopCount, 12);
  EXPECT_GT(source.image().imageLast, 0);

  source.image().imageLast = -1;
  source.controls().edit6 = "a dozen";
  EXPECT_FALSE(source.BuildCurrentAreaDownload().ok);
  EXPECT_EQ(source.store().playSettings[1].loopCount, 12);
  EXPECT_EQ(source.image().imageLast, -1);
}

}  // namespace
}  // namespace vqled
