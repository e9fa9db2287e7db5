// The three caption sets of the window and the two program-wide language
// values every two-variant text reads.
#pragma once

namespace vqled {

enum Language : int { LANGUAGE_SIMPLIFIED = 0, LANGUAGE_TRADITIONAL = 1, LANGUAGE_ENGLISH = 2 };

struct LanguageMode {
  int textVariant = 1;    // 0 the Chinese variant of every text, 1 the English one
  int savedLanguage = 0;  // restored at the next start: 0 Simplified Chinese, 1 English
};

// One control's caption in each language; nullptr leaves the caption alone.
struct CaptionRow {
  const char* control;  // object name; "Form2" is the main window's title
  const char* caption[3];
};

constexpr int kCaptionRowCount = 52;
extern const CaptionRow kCaptionRows[kCaptionRowCount];

// The language switches: set textVariant and savedLanguage as the buttons
// BitBtn12 (Simplified), BitBtn11 (Traditional) and BitBtn13 (English) do.
void SelectLanguage(LanguageMode& mode, Language language);

// The language the start-up sequence switches to for a savedLanguage.
Language StartupLanguage(int savedLanguage);

}  // namespace vqled
