// The feed URL conversions and the validators side file never crash; a URL goes out as ASCII
// without blanks or controls; a typed URL is kept in a cell without loss; the side file reads
// back as it was written.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "download/feed_validators.h"
#include "download/url_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string out;
  std::string error;
  for (const std::string& cell : {text, vorlin::UrlCellFromTyped(text)}) {
    if (vorlin::RequestUrl(cell, out, error)) {
      for (const char c : out) {
        if (static_cast<unsigned char>(c) <= 0x20 || static_cast<unsigned char>(c) >= 0x7F) {
          std::abort();
        }
      }
    } else if (error.empty()) {
      std::abort();
    }
    vorlin::UrlHost(cell);
  }
  const vorlin::ValidatorMap map = vorlin::ParseValidators(text);
  const std::string written = vorlin::FormatValidators(map);
  if (vorlin::FormatValidators(vorlin::ParseValidators(written)) != written) std::abort();
  return 0;
}
