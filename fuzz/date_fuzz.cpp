// Date parsing never crashes, and its two forms agree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "util/rss_date.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string normalised = "x";
  const bool ok = vorlin::NormaliseDate(text, normalised);
  vorlin::DateTime value{1, 2, 3, 4, 5, 6};
  const bool parsed = vorlin::ParseDate(text, value);
  if (ok != parsed) std::abort();
  if (ok && vorlin::FormatNormalised(value) != normalised) std::abort();
  if (ok && normalised.size() != 18) std::abort();
  if (!ok && !normalised.empty() && normalised.size() != 18) std::abort();
  return 0;
}
