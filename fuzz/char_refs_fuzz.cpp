// The numeric-reference codec: decoding any bytes is safe and says where each character came
// from; encoding well-formed UTF-8 and decoding it gives the text back; encoding what the
// decoder gives back changes nothing the encoder made.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "util/cp1251.h"

namespace {

bool WellFormedUtf8(const std::string& s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    const int extra = c < 0x80                ? 0
                      : c >= 0xC2 && c < 0xE0 ? 1
                      : c >= 0xE0 && c < 0xF0 ? 2
                      : c >= 0xF0 && c < 0xF5 ? 3
                                              : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= s.size()) return false;
    uint32_t cp = extra == 0 ? c : c & (0x3Fu >> extra);
    for (int k = 1; k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3Fu);
    }
    static constexpr uint32_t kLeast[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[extra] || (cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) return false;
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<int> starts;
  const std::string decoded = vorlin::Cp1251RefsToUtf8(bytes, &starts);
  for (size_t i = 0; i < starts.size(); ++i) {
    if (starts[i] < 0 || static_cast<size_t>(starts[i]) >= size) std::abort();
    if (i > 0 && starts[i] <= starts[i - 1]) std::abort();
  }
  const std::string encoded = vorlin::Utf8ToCp1251Refs(bytes);
  if (vorlin::Utf8ToCp1251Refs(vorlin::Cp1251RefsToUtf8(encoded)) != encoded) std::abort();
  if (WellFormedUtf8(bytes) && vorlin::Cp1251RefsToUtf8(encoded) != bytes) std::abort();
  vorlin::UnescapeAmpersandRefs(bytes);
  return 0;
}
