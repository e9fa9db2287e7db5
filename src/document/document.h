// The editor document: the pattern store of all areas, the profile of the
// model in force, the image buffer the encoders write into and the editor's
// clipboard. The window and vqled-cli both hold one and run the system's
// operations on it, so that each rule is written once.
#pragma once

#include <memory>

#include "editor/commands.h"
#include "files/area_image.h"
#include "model/model_profile.h"
#include "model/pattern_store.h"

namespace vqled {

class Document {
 public:
  Document();
  ~Document();
  Document(const Document&) = delete;
  Document& operator=(const Document&) = delete;

  PatternStore& store() { return store_; }
  const PatternStore& store() const { return store_; }
  ModelProfile& profile() { return profile_; }
  const ModelProfile& profile() const { return profile_; }
  ImageBuffer& image() { return *image_; }
  EditorClipboard& clipboard() { return *clipboard_; }

 private:
  PatternStore store_;
  ModelProfile profile_;
  std::unique_ptr<ImageBuffer> image_;
  std::unique_ptr<EditorClipboard> clipboard_;
};

}  // namespace vqled
