#include "model/model_catalogue.h"

#include <algorithm>
#include <iterator>

#include "model/grid_layout.h"

namespace vqled {
namespace {

template <int N>
constexpr TabCaptions Captions(const char* const (&list)[N]) {
  return {list, N};
}

constexpr const char* kListA[] = {"第1分区", "第2分区", "第3分区", "第4分区",
                                  "第5分区", "第6分区", "第7分区"};
constexpr const char* kListB[] = {"第1分区", "第2分区", "第3分区", "第4分区", "第5分区",
                                  "第6分区", "第7分区", "第8分区", "第9分区", "第10分区"};
constexpr const char* kListC[] = {"第1分区", "第2分区", "第3分区", "第4分区"};
constexpr const char* kListD[] = {"第1分区/启动", "第2分区/左转向", "第3分区/右转向",
                                  "第4分区/刹车"};
constexpr const char* kListE[] = {"第1分区", "第2分区"};
constexpr const char* kListF[] = {"第1分区", "第2分区", "第3分区", "第4分区", "第5分区", "第6分区"};
constexpr const char* kListG[] = {"A分区", "B分区"};
constexpr const char* kListH[] = {"1倒车区",         "2左转区",      "3右转区",      "4警示区",
                                  "5刹车区",         "6大灯区",      "7左转+刹车",   "8右转+刹车",
                                  "9左转+右转+刹车", "10演示区",     "11大灯+左转",  "12大灯+右转",
                                  "13倒车+刹车",     "14大灯+左+刹", "15大灯+右+刹", "16倒车+左转",
                                  "17倒车+右转",     "预留18分区",   "预留19分区",   "预留20分区"};
constexpr const char* kListI[] = {"1分区", "2分区", "3分区", "4分区", "5分区", "6分区", "7分区"};
constexpr const char* kListJ[] = {"1转向区一", "2转向区二", "3刹车区一", "4刹车区二", "5倒车区一",
                                  "6倒车区二", "7示宽区一", "8示宽区二", "9展示区一", "10展示区二"};
constexpr const char* kListK[] = {"1分区", "2分区", "3分区", "4分区", "5分区",
                                  "6分区", "7分区", "8分区", "9分区", "10分区"};
constexpr const char* kListL[] = {"单1区", "单2区", "单3区",  "单4区", "单5区", "单6区", "单7区",
                                  "单8区", "单9区", "单10区", "彩1区", "彩2区", "彩3区", "彩4区",
                                  "彩5区", "彩6区", "彩7区",  "彩8区", "彩9区", "彩10区"};

constexpr TabCaptions kTabsA = Captions(kListA), kTabsB = Captions(kListB),
                      kTabsC = Captions(kListC), kTabsD = Captions(kListD),
                      kTabsE = Captions(kListE), kTabsF = Captions(kListF),
                      kTabsG = Captions(kListG), kTabsH = Captions(kListH),
                      kTabsI = Captions(kListI), kTabsJ = Captions(kListJ),
                      kTabsK = Captions(kListK), kTabsL = Captions(kListL);

// VQ-M26: areas 1..10 have 8, 8, 20 x 6 and 28, 28 channels; areas 3..8 show
// channels 9..28. The model has ten tabs; the areas past them keep all 28.
// Its columns are the model's for every area.
constexpr AreaShapes kShapesM26 = {
    {8, 8, 20, 20, 20, 20, 20, 20, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {},
    {0, 0, 8, 8, 8, 8, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}};

// VQ-M28: the ten "单" areas have 6 channels and 330 frames, the ten "彩"
// areas 90 channels and 106 frames.
constexpr AreaShapes kShapesM28 = {
    {6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 90, 90, 90, 90, 90, 90, 90, 90, 90, 90},
    {332, 332, 332, 332, 332, 332, 332, 332, 332, 332,
     108, 108, 108, 108, 108, 108, 108, 108, 108, 108},
    {}};

constexpr unsigned kCheckBox3 = EXTRA_CHECKBOX3_ENABLED;
constexpr unsigned kBothBoxes = EXTRA_CHECKBOX3_ENABLED | EXTRA_CHECKBOX6_ENABLED;
constexpr unsigned kNoNextArea = EXTRA_CHECKBOX3_ENABLED | EXTRA_RADIOBUTTON4_DISABLED;

constexpr ControlRow kSingleStep = {
    TIMES_FIRST_THREE, false, GENERATORS_ON, false, END_BOXES, kCheckBox3 | EXTRA_TABS_DISABLED};
constexpr ControlRow kSingleBit = {
    TIMES_FIRST_TWO_FIXED_UNITS, true, GENERATORS_OFF, false, END_BOXES, EXTRA_TABS_DISABLED};
constexpr ControlRow kFadeAreas = {TIMES_ALL, true, GENERATORS_OFF, true, END_BOXES, 0};
constexpr ControlRow kBoxes = {TIMES_ALL, false, GENERATORS_ON, true, END_BOXES, 0};
constexpr ControlRow kList = {TIMES_ALL, false, GENERATORS_ON, true, END_LIST, 0};
constexpr ControlRow kForeverOnly = {
    TIMES_ALL, false,     GENERATORS_ON,
    true,      END_BOXES, kBothBoxes | EXTRA_RADIOBUTTON4_DISABLED | EXTRA_LOOP_FOREVER_ONLY};
constexpr ControlRow kTypeSwitch = {TIMES_ALL, false,     GENERATORS_ON,
                                    true,      END_BOXES, kBothBoxes | EXTRA_GROUPBOX7_SHOWN};
constexpr ControlRow kNoNext = {TIMES_ALL, false, GENERATORS_ON, true, END_BOXES, kNoNextArea};
constexpr ControlRow kListAndBox = {TIMES_ALL, true, GENERATORS_ON, true, END_LIST_AND_CHECKBOX3,
                                    kCheckBox3};
constexpr ControlRow kNoNextTriggers = {TIMES_ALL, false,     GENERATORS_ON,
                                        true,      END_BOXES, kNoNextArea | EXTRA_BITBTN15_ENABLED};
constexpr ControlRow kListTriggers = {TIMES_ALL, false,    GENERATORS_ON,
                                      true,      END_LIST, EXTRA_BITBTN15_ENABLED};
constexpr ControlRow kNothingSelected = {TIMES_ALL, false,     GENERATORS_SHOWN_DISABLED,
                                         true,      END_BOXES, EXTRA_TABS_DISABLED};

// clang-format off
constexpr ModelRow kModels[kModelCount + 1] = {
//  name      kind chan  count  cols  block areas tabs   captions width long   mode  shapes       follow controls
  {"VQ-M00", 2,    4, false, 1500,   70,  0, false, nullptr, 25, false, 0, nullptr,     false, kSingleStep},
  {"VQ-M01", 0,    8, false, 4000,   32,  0, false, nullptr, 18, false, 0, nullptr,     false, kSingleBit},
  {"VQ-M02", 0,   12, false, 2300,   32,  0, false, nullptr, 18, false, 0, nullptr,     false, kSingleBit},
  {"VQ-M03", 0,   16, false, 2300,   32,  0, false, nullptr, 18, false, 0, nullptr,     false, kSingleBit},
  {"VQ-M04", 1,   32, false, 4002,  500,  7, true,  &kTabsA, 18, false, 0, nullptr,     false, kFadeAreas},
  {"VQ-M05", 3,    3, true,  4002,  512,  7, true,  &kTabsA, 25, false, 0, nullptr,     false, kBoxes},
  {"VQ-M06", 2,    6, false, 1000,   70,  0, false, nullptr, 25, false, 0, nullptr,     false, kSingleStep},
  {"VQ-M07", 3,    9, true,  4002,  512,  7, true,  &kTabsA, 25, false, 0, nullptr,     false, kBoxes},
  {"VQ-M08", 3,    3, true,  4002,  512,  7, true,  &kTabsA, 25, false, 0, nullptr,     false, kBoxes},
  {"VQ-M09", 7,    6, false, 4002,  200, 10, true,  &kTabsB, 25, false, 0, nullptr,     false, kList},
  {"VQ-M10", 3,   12, true,  1202, 2000,  7, true,  &kTabsA, 25, false, 0, nullptr,     true,  kBoxes},
  {"VQ-M11", 3,   16, true,  1202, 1000, 10, false, &kTabsB, 25, false, 0, nullptr,     false, kBoxes},
  {"VQ-M12", 4,   12, false,  502, 1000,  4, true,  &kTabsC, 25, false, 0, nullptr,     false, kForeverOnly},
  {"VQ-M13", 3,   16, false,  372, 1000,  4, true,  &kTabsD, 25, false, 0, nullptr,     true,  kTypeSwitch},
  {"VQ-M14", 3,  360, false, 4002, 1024,  2, true,  &kTabsE, 25, false, 0, nullptr,     false, kBoxes},
  {"VQ-M15", 3, 3068, false, 4002, 1024,  6, true,  &kTabsF, 25, false, 0, nullptr,     false, kBoxes},
  {"VQ-M16", 7,    4, false, 2300,   70,  2, true,  &kTabsE, 25, false, 0, nullptr,     false, kNoNext},
  {"VQ-M17", 7,    8, false, 1090,   70,  2, true,  &kTabsE, 25, false, 0, nullptr,     false, kNoNext},
  {"VQ-M18", 7,   12, false, 1090,   70,  2, true,  &kTabsE, 25, false, 0, nullptr,     false, kNoNext},
  {"VQ-M19", 7,   18, false,  682,   70,  2, true,  &kTabsE, 25, false, 0, nullptr,     false, kList},
  {"VQ-M20", 7,   32, false, 3002, 1000, 10, true,  &kTabsB, 25, true,  0, nullptr,     false, kList},
  {"VQ-M21", 7,    3, false, 1002,  100,  2, true,  &kTabsG, 25, false, 0, nullptr,     false, kListAndBox},
  {"VQ-M22", 3,   18, true,  1202, 2000,  7, true,  &kTabsA, 25, false, 0, nullptr,     false, kList},
  {"VQ-M23", 7,   12, false,  502,   70,  4, true,  &kTabsC, 25, false, 0, nullptr,     false, kNoNext},
  {"VQ-M24", 7,   32, false, 3002, 1000, 20, true,  &kTabsH, 25, true,  0, nullptr,     false, kList},
  {"VQ-M25", 3,    8, false,  132,  300,  7, true,  &kTabsI, 25, false, 0, nullptr,     false, kNoNextTriggers},
  {"VQ-M26", 3,   28, false, 1002,  500, 10, true,  &kTabsJ, 25, false, 1, &kShapesM26, false, kList},
  {"VQ-M27", 3,   28, false, 1002,  500, 10, true,  &kTabsK, 25, false, 0, nullptr,     false, kListTriggers},
  {"VQ-M28", 3,    6, false,  332,  500, 19, true,  &kTabsL, 25, false, 2, &kShapesM28, false, kListTriggers},
  // no item selected
  {"",       2,    4, false, 4002,   70,  0, false, nullptr, 25, false, 0, nullptr,     false, kNothingSelected},
};
// clang-format on

void SetAreaShapes(ModelProfile& profile, const AreaShapes* shapes) {
  static constexpr AreaShapes kUniform = {};
  const AreaShapes& s = shapes != nullptr ? *shapes : kUniform;
  std::copy(std::begin(s.channels), std::end(s.channels), profile.areaChannels);
  std::copy(std::begin(s.columns), std::end(s.columns), profile.areaColumns);
  std::copy(std::begin(s.labelOffset), std::end(s.labelOffset), profile.areaLabelOffsets);
  profile.channelLabelOffset = 0;
}

}  // namespace

const ModelRow& CatalogueRow(int modelIndex) {
  if (modelIndex < 0 || modelIndex >= kModelCount) return kModels[kModelCount];
  return kModels[modelIndex];
}

int ModelIndexByName(std::string_view name) {
  for (int index = 0; index < kModelCount; ++index) {
    if (name == kModels[index].name) return index;
  }
  return -1;
}

ModelProfile CatalogueProfile(int modelIndex, int controllerCount) {
  const ModelRow& row = CatalogueRow(modelIndex);
  ModelProfile profile;
  profile.modelIndex = modelIndex;
  profile.channelsPerController = std::min(row.channelsPerController, kMaxChannels);
  profile.controllerCount =
      row.controllerList ? std::clamp(controllerCount, 1, kMaxControllers) : 1;
  profile.valueKind = row.valueKind;
  profile.blockSize = row.blockSize;
  profile.areaCount = row.areaCount;
  profile.defaultColumnWidth = row.columnWidth;
  profile.longCommandFrames = row.longCommandFrames;
  profile.areaMode = row.areaMode;
  SetAreaShapes(profile, row.areaShapes);
  return profile;
}

bool HasCanonicalImage(int valueKind) {
  return valueKind == VALUE_KIND_BYTE || valueKind == VALUE_KIND_PERCENT_MARK;
}

const TabCaptions& InitialTabCaptions() {
  return kTabsA;
}

}  // namespace vqled
