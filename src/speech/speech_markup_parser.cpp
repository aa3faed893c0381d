#include "speech/speech_markup_parser.h"

namespace vorlin {

namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// The end of the tag that starts at `start` (the position of its ">"), or npos. A ">" inside
// a quoted value does not end the tag.
size_t TagEnd(std::string_view m, size_t start) {
  char quote = 0;
  for (size_t i = start + 1; i < m.size(); ++i) {
    if (quote != 0) {
      if (m[i] == quote) quote = 0;
    } else if (m[i] == '"' || m[i] == '\'') {
      quote = m[i];
    } else if (m[i] == '>') {
      return i;
    } else if (m[i] == '<') {
      return std::string_view::npos;
    }
  }
  return std::string_view::npos;
}

void ParseTag(std::string_view body, MarkupPiece& tag) {
  size_t i = 0;
  if (i < body.size() && body[i] == '/') tag.closing = true, ++i;
  size_t nameStart = i;
  while (i < body.size() && !IsSpace(body[i]) && body[i] != '/') ++i;
  tag.name = Lower(body.substr(nameStart, i - nameStart));
  while (i < body.size()) {
    while (i < body.size() && (IsSpace(body[i]) || body[i] == '/')) ++i;
    const size_t keyStart = i;
    while (i < body.size() && !IsSpace(body[i]) && body[i] != '=' && body[i] != '/') ++i;
    if (i == keyStart) {
      ++i;
      continue;
    }
    std::string key = Lower(body.substr(keyStart, i - keyStart));
    while (i < body.size() && IsSpace(body[i])) ++i;
    std::string value;
    if (i < body.size() && body[i] == '=') {
      ++i;
      while (i < body.size() && IsSpace(body[i])) ++i;
      if (i < body.size() && (body[i] == '"' || body[i] == '\'')) {
        const char quote = body[i++];
        const size_t end = body.find(quote, i);
        const size_t stop = end == std::string_view::npos ? body.size() : end;
        value = std::string(body.substr(i, stop - i));
        i = stop + 1;
      } else {
        const size_t valueStart = i;
        while (i < body.size() && !IsSpace(body[i])) ++i;
        value = std::string(body.substr(valueStart, i - valueStart));
      }
    }
    tag.attributes.emplace_back(std::move(key), std::move(value));
  }
}

}  // namespace

const std::string* MarkupPiece::Attribute(std::string_view attributeName) const {
  for (const auto& [key, value] : attributes) {
    if (key == attributeName) return &value;
  }
  return nullptr;
}

std::vector<MarkupPiece> ParseSpeechMarkup(std::string_view m) {
  std::vector<MarkupPiece> pieces;
  size_t textStart = 0;
  auto flushText = [&](size_t end) {
    if (end > textStart) {
      MarkupPiece text;
      text.position = static_cast<int>(textStart);
      text.text = std::string(m.substr(textStart, end - textStart));
      pieces.push_back(std::move(text));
    }
  };
  size_t i = 0;
  while ((i = m.find('<', i)) != std::string_view::npos) {
    const size_t end = TagEnd(m, i);
    if (end == std::string_view::npos) {
      ++i;
      continue;
    }
    flushText(i);
    MarkupPiece tag;
    tag.isTag = true;
    tag.position = static_cast<int>(i);
    std::string_view body = m.substr(i + 1, end - i - 1);
    ParseTag(body, tag);
    pieces.push_back(std::move(tag));
    i = textStart = end + 1;
  }
  flushText(m.size());
  return pieces;
}

}  // namespace vorlin
