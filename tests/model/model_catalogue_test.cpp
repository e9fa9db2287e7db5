#include "model/model_catalogue.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>

namespace vqled {
namespace {

TEST(ModelCatalogueTest, RowsAreNamedInListOrderAndFitTheStore) {
  for (int i = 0; i < kModelCount; ++i) {
    const ModelRow& row = CatalogueRow(i);
    char name[8];
    std::snprintf(name, sizeof name, "VQ-M%02d", i);
    EXPECT_STREQ(row.name, name);
    EXPECT_LE(row.gridColumns, kColumnsPerArea - 8) << name;  // at most 4002 columns
    EXPECT_GT(row.blockSize, 0) << name;
    // Every area the all-areas download sends has a tab, where the model has tabs.
    if (row.areaCount > 0) {
      ASSERT_NE(row.tabCaptions, nullptr) << name;
      EXPECT_GE(row.tabCaptions->count, row.areaCount) << name;
    }
    EXPECT_EQ(row.longCommandFrames, i == 20 || i == 24) << name;
  }
}

TEST(ModelCatalogueTest, DistinctRowsHoldTheirModelsValues) {
  struct Case {
    int index;
    int kind, channels, columns, block, areas, width, tabs;
    bool list, strip;
  } cases[] = {
      {0, 2, 4, 1500, 70, 0, 25, 0, false, false},
      {1, 0, 8, 4000, 32, 0, 18, 0, false, false},
      {4, 1, 32, 4002, 500, 7, 18, 7, false, true},
      {5, 3, 3, 4002, 512, 7, 25, 7, true, true},
      {9, 7, 6, 4002, 200, 10, 25, 10, false, true},
      {11, 3, 16, 1202, 1000, 10, 25, 10, true, false},
      {12, 4, 12, 502, 1000, 4, 25, 4, false, true},
      {15, 3, 3068, 4002, 1024, 6, 25, 6, false, true},
      {21, 7, 3, 1002, 100, 2, 25, 2, false, true},
      {24, 7, 32, 3002, 1000, 20, 25, 20, false, true},
      {25, 3, 8, 132, 300, 7, 25, 7, false, true},
      {28, 3, 6, 332, 500, 19, 25, 20, false, true},
      {-1, 2, 4, 4002, 70, 0, 25, 0, false, false},
      {29, 2, 4, 4002, 70, 0, 25, 0, false, false},
  };
  for (const Case& c : cases) {
    const ModelRow& row = CatalogueRow(c.index);
    EXPECT_EQ(row.valueKind, c.kind) << c.index;
    EXPECT_EQ(row.channelsPerController, c.channels) << c.index;
    EXPECT_EQ(row.gridColumns, c.columns) << c.index;
    EXPECT_EQ(row.blockSize, c.block) << c.index;
    EXPECT_EQ(row.areaCount, c.areas) << c.index;
    EXPECT_EQ(row.columnWidth, c.width) << c.index;
    EXPECT_EQ(row.tabCaptions == nullptr ? 0 : row.tabCaptions->count, c.tabs) << c.index;
    EXPECT_EQ(row.controllerList, c.list) << c.index;
    EXPECT_EQ(row.tabStrip, c.strip) << c.index;
  }
}

TEST(ModelCatalogueTest, TabCaptionsAreTheExactTexts) {
  struct Case {
    int index, tab;
    const char* caption;
  } cases[] = {{13, 3, "第4分区/刹车"}, {21, 1, "B分区"},     {24, 8, "9左转+右转+刹车"},
               {24, 19, "预留20分区"},  {26, 2, "3刹车区一"}, {26, 9, "10展示区二"},
               {27, 9, "10分区"},       {28, 0, "单1区"},     {28, 10, "彩1区"},
               {28, 19, "彩10区"},      {9, 9, "第10分区"}};
  for (const Case& c : cases) {
    EXPECT_EQ(std::string(CatalogueRow(c.index).tabCaptions->captions[c.tab]), c.caption);
  }
  EXPECT_EQ(InitialTabCaptions().count, 7);
  EXPECT_STREQ(InitialTabCaptions().captions[6], "第7分区");
}

TEST(ModelCatalogueTest, PerAreaShapesOfTheTwoAreaModes) {
  const AreaShapes& m26 = *CatalogueRow(26).areaShapes;
  const int channels26[10] = {8, 8, 20, 20, 20, 20, 20, 20, 28, 28};
  const int offsets26[10] = {0, 0, 8, 8, 8, 8, 8, 8, 0, 0};
  for (int a = 0; a < 10; ++a) {
    EXPECT_EQ(m26.channels[a], channels26[a]) << a;
    EXPECT_EQ(m26.labelOffset[a], offsets26[a]) << a;
    // The shown channel numbers never pass the 28 channels the model encodes.
    EXPECT_LE(m26.channels[a] + m26.labelOffset[a], 28) << a;
  }
  const AreaShapes& m28 = *CatalogueRow(28).areaShapes;
  for (int a = 0; a < kAreaCount; ++a) {
    EXPECT_EQ(m28.channels[a], a < 10 ? 6 : 90) << a;
    EXPECT_EQ(m28.columns[a], a < 10 ? 332 : 108) << a;
  }
  EXPECT_EQ(CatalogueRow(26).areaMode, AREA_MODE_CHANNELS);
  EXPECT_EQ(CatalogueRow(28).areaMode, AREA_MODE_GRID);
  for (int i = 0; i < 26; ++i) EXPECT_EQ(CatalogueRow(i).areaShapes, nullptr) << i;
}

TEST(ModelCatalogueTest, ModelIndexByNameFindsOnlyCatalogueNames) {
  EXPECT_EQ(ModelIndexByName("VQ-M00"), 0);
  EXPECT_EQ(ModelIndexByName("VQ-M28"), 28);
  EXPECT_EQ(ModelIndexByName("VQ-M29"), -1);
  EXPECT_EQ(ModelIndexByName("vq-m05"), -1);
  EXPECT_EQ(ModelIndexByName(""), -1);
}

TEST(ModelCatalogueTest, CanonicalImageModels) {
  // Models whose download image has a layout of its own; all others send
  // the canonical area image.
  const std::set<int> ownLayout = {0, 1, 2, 3, 4, 6, 12};
  for (int i = 0; i < kModelCount; ++i)
    EXPECT_EQ(HasCanonicalImage(CatalogueRow(i).valueKind), ownLayout.count(i) == 0) << i;
  EXPECT_FALSE(HasCanonicalImage(CatalogueRow(-1).valueKind));
  for (int kind : {-1, 5, 6, 8}) EXPECT_FALSE(HasCanonicalImage(kind)) << kind;
}

}  // namespace
}  // namespace vqled
