// The document as the editor holds it after start-up, a model selection and
// the reading of a pattern file: the steps vqled-cli's image and send
// commands share, so that what they build is what the window would send.
#pragma once

#include <memory>
#include <string>

#include "files/area_image.h"
#include "files/download_image.h"
#include "model/area_settings.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"
#include "model/text.h"

namespace vqled::cli {

struct EditorDocument {
  std::unique_ptr<PatternStore> store = std::make_unique<PatternStore>();
  ModelProfile profile;
  AreaControls controls;  // what the area band shows
  int modelIndex = -1;

  // The controls the canonical header reads for the selected model, with
  // RadioButton6 ("普通控制器") checked as at start.
  HeaderControls Header() const;
  // What the download encoders read of the controls shown.
  DownloadControls Download() const { return DownloadControlsFromArea(controls, Header()); }
};

// Every area in the empty state with the start-up default times 1000, 800,
// 600, 400 and 200 ms.
void ResetStartupAreas(PatternStore& store);

// The areas the editor can make current on the model in force: one per tab
// of TabControl1 (VQ-M28 has 20, one more than its all-areas download
// sends), and area 0 alone on single-area models.
int AreaTabCount(const ModelProfile& profile);
bool AreaExists(const ModelProfile& profile, int area);

// Fresh areas; the model selected as ComboBox6Change does, with
// controllerCount controllers where its count list is enabled; area shown;
// the file read as the editor reads it (basename tempRGB.bin: the resume
// reader; .led: the single-area import into area; anything else: the
// all-area import); area shown again so the controls hold its settings.
// Fails with the reason (the file's refusal, or an area the model lacks);
// refused says whether the file or the arguments were at fault rather than
// the system.
Outcome LoadAsEditor(const std::string& file, int modelIndex, int controllerCount, int area,
                     EditorDocument& doc, bool* refused = nullptr);

// What a download of the current area does before the transfer: stores the
// loop count from Edit6, measures the area and builds the model's image.
Outcome BuildCurrentAreaDownload(EditorDocument& doc, ImageBuffer& image);

}  // namespace vqled::cli
