#include "speech/spoken_text.h"

#include <algorithm>
#include <fstream>
#include <numeric>
#include <utility>

#include "speech/speech_markup_parser.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

void Display(SpokenText& s, std::string_view text) {
  s.display.clear();
  s.displayPos.assign(text.size() + 1, 0);
  for (size_t i = 0; i < text.size(); ++i) {
    s.displayPos[i] = static_cast<int>(s.display.size());
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      s.displayPos[++i] = static_cast<int>(s.display.size());
      s.display += '\n';
    } else {
      s.display += text[i] == '\r' ? '\n' : text[i];
    }
  }
  s.displayPos[text.size()] = static_cast<int>(s.display.size());
}

// Where each character of the cleaned text came from in the text as given.
std::vector<int> TextPositions(std::string_view text) {
  std::vector<int> pos;
  pos.reserve(text.size() + 1);
  for (size_t i = 0; i < text.size(); ++i) {
    const bool lone = (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ||
                      (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'));
    pos.push_back(static_cast<int>(i));
    if (lone) pos.push_back(static_cast<int>(i));
  }
  pos.push_back(static_cast<int>(text.size()));
  return pos;
}

// The stretch [start, end) of the cleaned text for a word event.
std::pair<int, int> SourceStretch(const SpokenText& s, int position, int length) {
  const int last = static_cast<int>(s.displayPos.size()) - 1;
  const int start = std::clamp(PlainPosition(s.table, position), 0, last);
  return {start, std::clamp(start + std::max(length, 0), start, last)};
}

void WriteQuietly(const std::string& folder, const char* name, std::string_view data) {
  try {
    std::ofstream out(FsPath(folder + name), std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
  } catch (...) {
  }
}

// A voice tag of the settings must read as markup: a "<" that never closes would be read
// aloud as text, in whatever voice came before.
void CheckVoiceTag(const std::string& tag, const std::string& groupRu, const std::string& groupEn,
                   const std::string& language) {
  for (const MarkupPiece& piece : ParseSpeechMarkup(tag)) {
    if (piece.isTag || piece.text.find_first_not_of(" \t\r\n") == std::string::npos) continue;
    const std::string shown = Cp1251ToUtf8(tag);
    const std::string example = "<voice required=\"Language=" + language + "\">";
    throw Error("Тег голоса не читается: поле «Тег:» группы «" + groupRu +
                "» на странице «Речь (Speech)» содержит " + shown + ", а нужен тег вида " +
                example + " (The voice tag cannot be read: the field \"Tag\" of the group \"" +
                groupEn + "\" on the page \"Speech\" holds " + shown + ", where a tag such as " +
                example + " is needed)");
  }
}

}  // namespace

void CheckVoiceTags(const SpeechOptions& options, int mode) {
  if (mode == kBilingual || mode == kRussianOnly) {
    CheckVoiceTag(options.voiceTagRus, "Русский голос (Russian voice)", "Russian voice", "419");
  }
  if (mode == kBilingual || mode == kEnglishOnly) {
    CheckVoiceTag(options.voiceTagEng, "Английский голос.(English voice.)", "English voice", "409");
  }
}

SpokenText MakeSpokenText(std::string_view text, const SpeechOptions& options, int mode,
                          bool async) {
  SpokenText s;
  if (mode == kDefaultVoice) {
    s.engineText = std::string(text);
    s.markupSource = s.engineText;
    s.flags = async ? kSpeakAsync : 0;
  } else {
    CheckVoiceTags(options, mode);
    s.engineText = BuildSpeechMarkup(text, OptionsForMode(options, mode), s.table);
    s.markupSource = CleanSpeechText(text);
    s.flags = (async ? kSpeakAsync : 0) | kSpeakMarkup;
  }
  Display(s, s.markupSource);
  if (mode == kDefaultVoice) {
    s.textPos.resize(text.size() + 1);
    std::iota(s.textPos.begin(), s.textPos.end(), 0);
  } else {
    s.textPos = TextPositions(text);
  }
  return s;
}

DisplaySpan MapWordEvent(const SpokenText& s, int position, int length) {
  const auto [start, end] = SourceStretch(s, position, length);
  return {s.displayPos[start], s.displayPos[end] - s.displayPos[start]};
}

DisplaySpan MapWordEventToText(const SpokenText& s, int position, int length) {
  const auto [start, end] = SourceStretch(s, position, length);
  return {s.textPos[start], s.textPos[end] - s.textPos[start]};
}

std::string SpokenDocument(std::string_view title, std::string_view description, bool addHeadline,
                           const std::string& background) {
  std::string doc = "<HTML><HEAD></HEAD><BODY";
  if (background.find_first_not_of(' ') != std::string::npos) {
    doc += " background=\"" + background + "\"";
  }
  doc += "><P>";
  if (addHeadline) {
    doc += title;
    doc += " . </P><P>";
  }
  doc += description;
  return doc + " . </P></BODY></HTML>";
}

std::string JoinStrayFullStops(std::string_view rendered) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = rendered.find("\r\n", start);
    std::string line(rendered.substr(start, end == std::string_view::npos ? end : end - start));
    const size_t first = line.find_first_not_of(' ');
    if (first != std::string::npos && line[first] == '.' &&
        line.find_first_not_of(' ', first + 1) == std::string::npos) {
      // A lone full stop: it belongs to the last line that has text.
      auto prev = std::find_if(lines.rbegin(), lines.rend(), [](const std::string& l) {
        return l.find_first_not_of(' ') != std::string::npos;
      });
      if (prev != lines.rend()) {
        prev->erase(prev->find_last_not_of(' ') + 1);
        if (std::string_view(".!?").find(prev->back()) == std::string_view::npos) *prev += " .";
      }
    } else if (end != std::string_view::npos || !line.empty()) {
      lines.push_back(std::move(line));
    }
    if (end == std::string_view::npos) break;
    start = end + 2;
  }
  std::string out;
  for (size_t i = 0; i < lines.size(); ++i) out += (i > 0 ? "\r\n" : "") + lines[i];
  if (rendered.ends_with("\r\n") && !out.empty()) out += "\r\n";
  return out;
}

void WriteSpeechDebugFiles(const std::string& folder, const SpokenText& spoken) {
  WriteQuietly(folder, "tempTex.txt", spoken.engineText);
  std::string totals;
  for (const OffsetEntry& e : spoken.table) totals += std::to_string(e.tagTotal) + "\r\n";
  WriteQuietly(folder, "tempGS.txt", totals);
}

void WriteHighlightDebugFile(const std::string& folder, std::string_view text) {
  std::string lines;
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  if (!lines.empty() && lines.back() != '\n') lines += "\r\n";
  WriteQuietly(folder, "temp_MemoAS.txt", lines);
}

}  // namespace vorlin
