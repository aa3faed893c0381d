#include "speech/speech_markup.h"

#include "util/cp1251.h"

namespace vorlin {

namespace {

constexpr std::string_view kDelimiters = "\"'(),-./:;[\\]`{}";

std::string Quoted(std::string_view head, int value, std::string_view tail) {
  return std::string(head) + '"' + std::to_string(value) + '"' + std::string(tail);
}

void AppendProsody(std::string& markup, int volume, int rate, int pitch) {
  if (volume != 0) markup += Quoted("<volume level=", volume, ">");
  if (rate != 0) markup += Quoted("<rate absspeed=", rate, ">");
  if (pitch != 0) markup += Quoted("<pitch absmiddle=", pitch, ">");
}

}  // namespace

char CharLanguage(char c, const SpeechOptions& options) {
  const auto code = static_cast<unsigned char>(c);
  if ((code >= 'A' && code <= 'Z') || (code >= 'a' && code <= 'z')) return 'E';
  if (code >= '0' && code <= '9') return options.digitLanguage == 'R' ? 'R' : 'E';
  return 'R';
}

bool IsSpeechDelimiter(char c) {
  return static_cast<unsigned char>(c) <= 32 || kDelimiters.find(c) != std::string_view::npos;
}

std::string CleanSpeechText(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      out += "\r\n";
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if ((c == '#' && (i == 0 || EncodedRefLength(text, i - 1) == 0)) || c == '<' ||
               c == '>') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return out;
}

SpeechRuns SplitByLanguage(std::string_view text, size_t longestRun, const SpeechOptions& options) {
  SpeechRuns runs;
  const std::string s = CleanSpeechText(text);
  if (s.empty()) return runs;
  std::string run, word;
  char runLanguage = CharLanguage(s[0], options);
  auto emit = [&] {
    if (!run.empty()) {
      runs.texts.push_back(run);
      runs.languages += runLanguage;
    }
    run.clear();
  };
  // Adds the pending word to the run or starts a new run with it; true when the word ended
  // an over-long run at a ".", which the run then already holds.
  auto takeWord = [&](char delimiter, size_t& i) {
    const char wordLanguage = CharLanguage(word[0], options);
    bool cut = false;
    if (wordLanguage != runLanguage) {
      emit();
      run = word;
      runLanguage = wordLanguage;
    } else if (delimiter == '.' && run.size() > longestRun) {
      run += word;
      run += '.';
      emit();
      ++i;
      if (i < s.size()) runLanguage = CharLanguage(s[i], options);
      cut = true;
    } else {
      run += word;
    }
    word.clear();
    return cut;
  };
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    // A character kept as a reference ("&#252;") is one letter of its word.
    if (const size_t ref = c == '&' ? EncodedRefLength(s, i) : 0; ref != 0) {
      word.append(s, i, ref);
      i += ref - 1;
      continue;
    }
    if (!IsSpeechDelimiter(c)) {
      word += c;
      continue;
    }
    if (!word.empty() && takeWord(c, i)) {
      if (i < s.size()) run += s[i];
      continue;
    }
    run += c;
  }
  if (!word.empty()) {
    size_t end = s.size();
    takeWord('\0', end);
  }
  emit();
  return runs;
}

SpeechOptions OptionsForMode(SpeechOptions o, int mode) {
  if (mode == kRussianOnly) {
    o.voiceTagEng = o.voiceTagRus;
    o.volumeE = o.volumeR, o.rateE = o.rateR, o.pitchE = o.pitchR;
  } else if (mode == kEnglishOnly) {
    o.voiceTagRus = o.voiceTagEng;
    o.volumeR = o.volumeE, o.rateR = o.rateE, o.pitchR = o.pitchE;
  }
  return o;
}

std::string BuildSpeechMarkup(std::string_view text, const SpeechOptions& options,
                              OffsetTable& table) {
  table.clear();
  std::string markup;
  if (text.empty()) return markup;
  const SpeechRuns runs = SplitByLanguage(text, 5000, options);
  int tagTotal = 0;
  for (size_t r = 0; r < runs.texts.size(); ++r) {
    const size_t before = markup.size();
    if (runs.languages[r] == 'E') {
      markup += options.voiceTagEng;
      AppendProsody(markup, options.volumeE, options.rateE, options.pitchE);
    } else {
      markup += options.voiceTagRus;
      AppendProsody(markup, options.volumeR, options.rateR, options.pitchR);
    }
    tagTotal += static_cast<int>(markup.size() - before);
    table.push_back({static_cast<int>(markup.size()), tagTotal});
    markup += runs.texts[r];
  }
  if (options.pause > 0) {
    const std::string silence = Quoted("<silence msec=", options.pause, "/>");
    markup += silence;
    table.push_back({static_cast<int>(markup.size()), tagTotal + static_cast<int>(silence.size())});
  }
  return markup;
}

int PlainPosition(const OffsetTable& table, int markupPosition) {
  int tagTotal = 0;
  for (const OffsetEntry& e : table) {
    if (e.markupOffset > markupPosition) break;
    tagTotal = e.tagTotal;
  }
  return markupPosition - tagTotal;
}

}  // namespace vorlin
