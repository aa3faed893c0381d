// What is handed to the speech engine for one message, and how the engine's word positions
// land on the text the user sees.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "speech/speech_markup.h"

namespace vorlin {

// Flags of SpeechEngine::Speak.
enum SpeakFlags { kSpeakAsync = 1, kSpeakPurge = 2, kSpeakMarkup = 8 };

struct SpokenText {
  std::string engineText;  // plain text (mode 0) or markup
  int flags = kSpeakAsync;
  OffsetTable table;  // empty in mode 0
  // The text as the displays show it: every line break (CR LF, CR or LF) is one "\n", since
  // text fields keep one character per break. displayPos[i] is the display position of the
  // spoken text's position i (the text the markup builder received, after cleaning).
  std::string display;
  std::vector<int> displayPos;
  std::string markupSource;  // the cleaned text the markup was built from (mode 0: the text)
  // textPos[i]: the position in the text as given of markupSource's position i (cleaning
  // makes a lone CR or LF two characters).
  std::vector<int> textPos;
};

// Throws Error naming the setting (by its caption) when a voice tag the language mode uses does
// not read as markup.
void CheckVoiceTags(const SpeechOptions& options, int mode);

// Builds the engine text for one message in the given language mode (0 to 3); throws as
// CheckVoiceTags does.
SpokenText MakeSpokenText(std::string_view text, const SpeechOptions& options, int mode,
                          bool async = true);

// A word event (position and length in the engine text) as a stretch of the display text.
struct DisplaySpan {
  int start = 0;
  int length = 0;
};
DisplaySpan MapWordEvent(const SpokenText& spoken, int position, int length);
// The same word as a stretch of the text as it was given.
DisplaySpan MapWordEventToText(const SpokenText& spoken, int position, int length);

// The document whose rendered text is spoken: the title and " . " as one paragraph (when
// wanted) and the description and " . " as the next, so every spoken text ends a sentence.
std::string SpokenDocument(std::string_view title, std::string_view description, bool addHeadline,
                           const std::string& background);

// The rendered text of the spoken document, tidied: a " . " that the description's own
// paragraphs pushed onto a line of its own (or that follows an empty title) joins the line
// before it, or goes when that line already ends a sentence, so no line is a lone full stop.
std::string JoinStrayFullStops(std::string_view rendered);

// Writes the markup and the offset table's tag totals ("tempTex.txt", "tempGS.txt") into the
// folder; they are for looking at and nothing reads them, so a failure is ignored.
void WriteSpeechDebugFiles(const std::string& folder, const SpokenText& spoken);
// "temp_MemoAS.txt": the lines of the highlight page's text, same rules.
void WriteHighlightDebugFile(const std::string& folder, std::string_view text);

}  // namespace vorlin
