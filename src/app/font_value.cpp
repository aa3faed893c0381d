#include "app/font_value.h"

#include <cmath>
#include <optional>

#include "util/settings_file.h"

namespace vorlin {

namespace {

int HeightForSize(int size, int pixelsPerInch) {
  return -static_cast<int>(std::lround(static_cast<double>(size) * pixelsPerInch / 72.0));
}

}  // namespace

FontValue MakeFontValue(std::string_view name, int size) {
  FontValue font;
  font.name = std::string(name);
  font.size = size;
  font.height = HeightForSize(size, font.pixelsPerInch);
  return font;
}

std::string FormatFontValue(const FontValue& font) {
  std::string out;
  out += std::to_string(font.color) + "|";
  out += std::to_string(font.height) + "|";
  out += font.name + "|";
  out += std::to_string(font.pitch) + "|";
  out += std::to_string(font.pixelsPerInch) + "|";
  out += std::to_string(font.size) + "|";
  for (bool style : {font.bold, font.italic, font.underline, font.strikeOut}) {
    out.push_back(style ? 'y' : 'n');
  }
  return out;
}

bool ApplyFontValue(std::string_view value, FontValue& font) {
  if (value.empty()) return false;
  size_t pos = 0;
  auto nextField = [&]() {
    while (pos < value.size() && value[pos] == '|') ++pos;
    size_t end = value.find('|', pos);
    if (end == std::string_view::npos) end = value.size();
    std::string_view field = value.substr(pos, end - pos);
    pos = end;
    return field;
  };
  std::string_view fields[6];
  for (auto& field : fields) field = nextField();

  std::optional<long long> numbers[6];
  for (int i : {0, 1, 3, 4, 5}) {
    numbers[i] = ParseInteger(fields[i]);
    if (!numbers[i]) return false;
  }
  FontValue result = font;
  result.color = *numbers[0];
  result.height = static_cast<int>(*numbers[1]);
  result.name = std::string(fields[2]);
  result.pitch = static_cast<int>(*numbers[3]);
  result.pixelsPerInch = static_cast<int>(*numbers[4]);
  result.size = static_cast<int>(*numbers[5]);
  if (result.pixelsPerInch > 0) result.height = HeightForSize(result.size, result.pixelsPerInch);

  // `pos` rests on the "|" that ended the sixth field; the style letters follow it.
  std::string_view letters = pos < value.size() ? value.substr(pos + 1) : std::string_view();
  bool* styles[4] = {&result.bold, &result.italic, &result.underline, &result.strikeOut};
  for (size_t i = 0; i < 4; ++i) *styles[i] = i < letters.size() && letters[i] == 'y';
  font = std::move(result);
  return true;
}

}  // namespace vorlin
