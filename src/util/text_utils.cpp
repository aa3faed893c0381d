#include "util/text_utils.h"

namespace vorlin {

std::string ReplaceAll(std::string_view source, std::string_view pattern,
                       std::string_view replacement) {
  if (pattern.empty()) return std::string(source);
  std::string out;
  out.reserve(source.size());
  size_t from = 0;
  for (;;) {
    size_t at = source.find(pattern, from);
    if (at == std::string_view::npos) break;
    out.append(source.substr(from, at - from));
    out.append(replacement);
    from = at + pattern.size();
  }
  out.append(source.substr(from));
  return out;
}

std::string Fill(char ch, int count) {
  return count < 1 ? std::string() : std::string(static_cast<size_t>(count), ch);
}

std::string LeftPad(char pad, std::string_view text, int width) {
  std::string out = Fill(pad, width - static_cast<int>(text.size()));
  out.append(text);
  return out;
}

int WildPos(std::string_view pattern, std::string_view text) {
  if (pattern.empty()) return 0;  // an empty pattern occurs nowhere
  if (pattern.find('?') == std::string_view::npos) {
    size_t at = text.find(pattern);
    return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
  }
  if (text.size() < pattern.size()) return 0;
  for (size_t start = 0; start + pattern.size() <= text.size(); ++start) {
    size_t i = 0;
    while (i < pattern.size() && (pattern[i] == '?' || pattern[i] == text[start + i])) ++i;
    if (i == pattern.size()) return static_cast<int>(start) + 1;
  }
  return 0;
}

std::string EscapeCData(std::string_view value) {
  return ReplaceAll(value, "]]>", "&#093;&#093;>");
}

std::string ControlsToBlanks(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (static_cast<unsigned char>(c) <= 32) c = ' ';
  }
  return out;
}

std::string EscapeHtml(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace vorlin
