// Bilingual speech markup: a message text is cut into runs of one language (Russian or
// English), each run gets the voice and prosody tags of its language, and an offset table
// maps positions in the markup back to the text. All texts are Windows-1251.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

struct SpeechOptions {
  char digitLanguage = 'R';  // 'R' or 'E'
  std::string voiceTagRus;
  std::string voiceTagEng;
  int volumeR = 0, rateR = 0, pitchR = 0;  // 0: no tag
  int volumeE = 0, rateE = 0, pitchE = 0;
  int pause = 0;  // milliseconds of silence after the message, 0: none
};

// One entry per run, plus one for the closing silence: the markup offset at which the
// entry's text starts and the number of tag characters inserted before it.
struct OffsetEntry {
  int markupOffset = 0;
  int tagTotal = 0;
};
using OffsetTable = std::vector<OffsetEntry>;

struct SpeechRuns {
  std::vector<std::string> texts;
  std::string languages;  // one letter per run
};

// The language letter of one character: 'E' for Latin letters and, with digit language
// 'E', digits; 'R' for everything else.
char CharLanguage(char c, const SpeechOptions& options);
bool IsSpeechDelimiter(char c);

// Line breaks become CR LF; "#", "<" and ">" become blanks, so a message can never carry
// markup of its own.
std::string CleanSpeechText(std::string_view text);

// Cuts the cleaned text into runs; a run of one language that has grown beyond longestRun
// characters is cut after the next "." that directly follows a word.
SpeechRuns SplitByLanguage(std::string_view text, size_t longestRun, const SpeechOptions& options);

// The markup of one message; fills the offset table. Empty text gives empty markup.
std::string BuildSpeechMarkup(std::string_view text, const SpeechOptions& options,
                              OffsetTable& table);

// The four language modes: 0 the plain text with the selected voice, 1 bilingual,
// 2 Russian settings for every run, 3 English settings for every run.
enum SpeechLanguageMode { kDefaultVoice = 0, kBilingual = 1, kRussianOnly = 2, kEnglishOnly = 3 };
SpeechOptions OptionsForMode(SpeechOptions options, int mode);

// Maps a markup position to the position in the text the builder received.
int PlainPosition(const OffsetTable& table, int markupPosition);

}  // namespace vorlin
