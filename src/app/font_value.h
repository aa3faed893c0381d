// The font value form of the settings file: six fields each followed by "|" (colour, height,
// face name, pitch, pixels per inch, size), then four letters "y" or "n" for bold, italic,
// underline and strike-out. Example: "-16777208|-13|Tahoma|0|96|10|nnnn".
#pragma once

#include <string>
#include <string_view>

namespace vorlin {

// A colour as stored: a 32-bit value with red in the low byte; a high byte of 0xFF names a
// system colour (its low byte is the system colour's number).
inline constexpr long long kColorWindow = -16777211;      // 0xFF000005
inline constexpr long long kColorWindowText = -16777208;  // 0xFF000008

struct FontValue {
  long long color = kColorWindowText;
  int height = -11;  // negative: character height in pixels
  std::string name = "Tahoma";
  int pitch = 0;  // 0 default, 1 variable, 2 fixed
  int pixelsPerInch = 96;
  int size = 8;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
};

// A font of `size` points on a 96 dots-per-inch screen, with its matching height.
FontValue MakeFontValue(std::string_view name, int size);

std::string FormatFontValue(const FontValue& font);

// Applies a stored value to `font`. Each field is taken by skipping leading "|" characters and
// collecting up to the next "|"; the fields apply in order colour, height, face name, pitch,
// pixels per inch, size (size, applied last, decides the height); then every style is cleared
// and the four characters after the sixth field's "|" switch them on when they are "y".
// An empty value, or one whose numeric fields are not decimal integers, leaves `font`
// unchanged and returns false.
bool ApplyFontValue(std::string_view value, FontValue& font);

}  // namespace vorlin
