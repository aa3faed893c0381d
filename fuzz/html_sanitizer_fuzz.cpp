// Whatever a feed writes, the sanitised description holds no script, style, frame, object, form,
// meta, link, base, svg or math element, no event or style attribute and no script address, as
// libxml2's HTML parser reads it back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "../tests/reader/html_checks.h"
#include "reader/html_sanitizer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string html(reinterpret_cast<const char*>(data), size);
  const std::string out = vorlin::SanitizeHtml(html);
  const std::string active = vorlin::test::ActiveContent(out);
  if (!active.empty()) {
    std::fprintf(stderr, "%s left in: %s\n", active.c_str(), out.c_str());
    std::abort();
  }
  return 0;
}
