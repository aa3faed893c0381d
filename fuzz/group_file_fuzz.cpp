// Favourite group files: any bytes read as lines without line ends, and writing those lines
// and reading them back gives the same lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "reader/channel_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = vorlin::ParseGroupFile(bytes);
  size_t total = 0;
  for (const std::string& line : lines) {
    if (line.find_first_of("\r\n") != std::string::npos) std::abort();
    total += line.size();
  }
  if (total > size) std::abort();
  if (vorlin::ParseGroupFile(vorlin::FormatGroupFile(lines)) != lines) std::abort();
  return 0;
}
