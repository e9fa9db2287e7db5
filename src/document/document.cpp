#include "document/document.h"

namespace vqled {

Document::Document()
    : image_(std::make_unique<ImageBuffer>()), clipboard_(std::make_unique<EditorClipboard>()) {}

Document::~Document() = default;

}  // namespace vqled
