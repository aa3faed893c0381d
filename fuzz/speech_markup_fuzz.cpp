// The markup reader never crashes and accounts for every character: text pieces hold the
// markup's own characters at their positions, in order. The builder's markup of any text
// reads back with no tag inside a run, and every run maps back onto the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "speech/speech_markup_parser.h"
#include "speech/spoken_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  int last = -1;
  for (const vorlin::MarkupPiece& p : vorlin::ParseSpeechMarkup(text)) {
    if (p.position <= last || p.position >= static_cast<int>(text.size())) std::abort();
    last = p.position;
    if (!p.isTag && text.compare(static_cast<size_t>(p.position), p.text.size(), p.text) != 0) {
      std::abort();
    }
  }
  vorlin::SpeechOptions options;
  options.voiceTagRus = "<voice required=\"Language=419\">";
  options.voiceTagEng = "<voice required=\"Language=409\">";
  options.volumeR = 90;
  options.pause = 1000;
  const vorlin::SpokenText spoken = vorlin::MakeSpokenText(text, options, 1);
  size_t tags = 0;
  for (const vorlin::MarkupPiece& p : vorlin::ParseSpeechMarkup(spoken.engineText)) {
    if (p.isTag) {
      ++tags;
      continue;
    }
    // Every character of a run lands on the same character of the shown text (line breaks
    // aside, which the display keeps as one).
    const vorlin::DisplaySpan span =
        vorlin::MapWordEvent(spoken, p.position, static_cast<int>(p.text.size()));
    if (span.start < 0 || span.start + span.length > static_cast<int>(spoken.display.size())) {
      std::abort();
    }
    if (p.text.find('\r') == std::string::npos &&
        spoken.display.compare(static_cast<size_t>(span.start), p.text.size(), p.text) != 0) {
      std::abort();
    }
  }
  if (!text.empty() && tags == 0) std::abort();
  return 0;
}
