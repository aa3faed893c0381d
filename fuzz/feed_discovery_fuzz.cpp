// Any page, however broken, is parsed without a crash; every address found is absolute and
// found once.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "download/feed_discovery.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string page(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> feeds = vorlin::DiscoverFeeds(page, "http://fuzz.example/a/b");
  std::set<std::string> seen;
  for (const std::string& feed : feeds) {
    if (feed.empty() || feed.find(':') == std::string::npos) std::abort();
    if (!seen.insert(feed).second) std::abort();
  }
  vorlin::LooksLikeFeed(page);
  return 0;
}
