// The pattern files and the resume file: tempRGB.bin and .Aled hold the
// canonical images of areas 0..19 in order; .led holds the model index, the
// controller-count index and the image of one area; .VQD (the export) holds
// the image of one area alone. Readers check every image they take before any
// area changes; writers replace their file only once every byte is on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "files/area_image.h"
#include "files/area_reader.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled {

// What an encoding for a file needs besides the store. The image buffer may be
// the files' own, so that saving never touches the image a download sends.
struct EncodeContext {
  const ModelProfile& profile;
  const HeaderControls& controls;
  ImageBuffer& image;
};

// The two debug-log lines (for Memo1) of each image a multi-area writer wrote:
// the image's last index and the value of its first byte.
struct ImageLogLine {
  int imageLast = 0;
  int firstByte = 0;
};
struct SaveLog {
  ImageLogLine line[kAreaCount];
  int count = 0;
};

// The loop count the single-area save and the export store for the current
// area: Edit6's text, converted as the form converts it, or a value already
// converted.
struct LoopCountEntry {
  std::string_view countText;  // Edit6
  bool converted = false;
  int value = 0;

  static LoopCountEntry FromText(std::string_view text) { return {text, false, 0}; }
  static LoopCountEntry FromValue(int value) { return {{}, true, value}; }
};

// The message box of a save command refused for want of content.
struct SaveRefusal {
  bool refused = false;
  Text text;
  Text caption;
};

enum SaveCommand : int {
  SAVE_ALL_AREAS = 0,     // BitBtn6Click
  SAVE_CURRENT_AREA = 1,  // BitBtn8Click
  SAVE_EXPORT = 2         // BitBtn17Click
};

// The "nothing to save" rule: refused when no area holds content.
SaveRefusal CheckContentToSave(PatternStore& store, SaveCommand command);

// The chosen name with its extension (".Aled", ".led", ".VQD") in place of
// its own; a name without one gets it appended.
std::string ReplaceExtension(const std::string& path, std::string_view extension);

// The file name the export dialog proposes: "EXP_" and the current area's
// number from 1 on VQ-M21, empty (keep the dialog's) on other models.
std::string ExportProposedName(int modelIndex, int currentArea);

// Writers. Each returns the reason when nothing was written.
Outcome SaveResumeFile(PatternStore& store, const EncodeContext& context, const std::string& path,
                       SaveLog* log);
Outcome SaveAllAreas(PatternStore& store, const EncodeContext& context, const std::string& path,
                     SaveLog* log);
// controllerCountIndex: the item index of ComboBox4 (controller count - 1).
Outcome SaveCurrentArea(PatternStore& store, const EncodeContext& context, int controllerCountIndex,
                        LoopCountEntry loopCount, const std::string& path);
Outcome ExportCurrentArea(PatternStore& store, const EncodeContext& context,
                          LoopCountEntry loopCount, const std::string& path);

// The kinds of pattern file, told by name: the basename tempRGB.bin, the
// extension .led or .VQD (in any case), anything else an all-area file.
enum PatternFileKind : int {
  FILE_RESUME = 0,
  FILE_ALL_AREAS = 1,
  FILE_SINGLE_AREA = 2,
  FILE_EXPORT = 3
};
PatternFileKind PatternFileKindOf(const std::string& path);

// Where the images of a file of that kind lie: 20 from the start (resume and
// all-area files), one after the two index bytes (.led), one alone (.VQD).
struct ImageOffsets {
  size_t offset[kAreaCount] = {};
  int count = 0;
};
// Checks every image the file should hold; refuses, naming the file and the
// reason, when one is cut short or does not fit an area. Bytes after the last
// image are ignored, as the readers stop there.
Outcome LocateImages(const uint8_t* data, size_t size, PatternFileKind kind,
                     const std::string& name, ImageOffsets& images);

// How much of a multi-area file a reader takes.
enum AreaReadPolicy : int {
  // The leading areas whose images are whole (a wide image gives its first
  // 1021 channels); the rest keep their content. The outcome is ok with a
  // message naming what was left out, and fails only when no area is read.
  READ_LEADING_AREAS = 0,
  // All 20 images, each whole and no wider than an area, or nothing.
  READ_WHOLE_FILE_ONLY = 1
};

// Readers over a file's bytes; name is the file named in a refusal.
// All 20 images (resume reader or all-area import) into areas 0..19.
Outcome ReadAllAreaImages(PatternStore& store, const uint8_t* data, size_t size, AreaReader reader,
                          const std::string& name, AreaReadPolicy policy = READ_LEADING_AREAS);
// Two index bytes and one image into the current area, cleared first.
Outcome ReadSingleAreaFile(PatternStore& store, const uint8_t* data, size_t size,
                           const std::string& name);
// A .VQD export: its one image, without index bytes, into the current area,
// cleared first, as the single-area import reads it.
Outcome ReadExportFile(PatternStore& store, const uint8_t* data, size_t size,
                       const std::string& name);

// The start-up read of the resume file, with the leading areas policy. A
// missing file leaves the areas as they are. A file not read whole is kept:
// its bytes are copied beside it (the message names the copy) before
// anything can write it again; where even that fails, or the file cannot be
// read, keepFile says the file must not be overwritten at closing.
struct ResumeLoad {
  Outcome outcome;  // failed: no area read; ok with a message: read in part
  bool keepFile = false;
};
ResumeLoad LoadResumeFile(PatternStore& store, const std::string& path);

// Readers on paths. The .Aled import reads the leading areas, as above; the
// file is only read, so nothing is copied.
Outcome ImportAllAreas(PatternStore& store, const std::string& path);
Outcome ImportSingleArea(PatternStore& store, const std::string& path);

}  // namespace vqled
