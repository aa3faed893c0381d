// The speech engine's reader of its markup: text between tags, and tags with their
// attributes. Any tag is accepted here; the engine acts on the few it knows. Text is kept as
// it stands (no entities are decoded) so that positions in it are positions in the markup.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vorlin {

struct MarkupPiece {
  bool isTag = false;
  int position = 0;  // of the text, or of the tag's "<"
  std::string text;  // the text (text pieces)
  std::string name;  // lower-case tag name, without a leading "/" (tags)
  bool closing = false;
  std::vector<std::pair<std::string, std::string>> attributes;  // lower-case names

  // The attribute's value, or null.
  const std::string* Attribute(std::string_view attributeName) const;
};

// A "<" that never closes is text.
std::vector<MarkupPiece> ParseSpeechMarkup(std::string_view markup);

}  // namespace vorlin
