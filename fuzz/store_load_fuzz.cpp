// Differential fuzzing of the store walk: any bytes, fed in pieces, must give exactly the
// messages of the plain document walk, or fail exactly when the document is not well-formed.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/store_walk.h"
#include "tree_walk_reference.h"
#include "util/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte chooses the block size, so block boundaries land everywhere.
  const size_t chunk = 1 + data[0] % 64;
  const std::string store(reinterpret_cast<const char*>(data + 1), size - 1);
  std::vector<vorlin::MessageValues> items;
  bool ok = true;
  try {
    vorlin::StoreWalk walk(
        vorlin::kAllFields, [&](vorlin::MessageValues& v) { items.push_back(v); }, "fuzz");
    for (size_t at = 0; at < store.size(); at += chunk) {
      walk.Feed(std::string_view(store).substr(at, chunk));
    }
    walk.Finish();
  } catch (const vorlin::Error&) {
    ok = false;
  }
  auto tree = vorlin::test::TreeWalk(store, vorlin::kAllFields);
  if (tree.has_value() != ok) std::abort();
  if (ok && *tree != items) std::abort();
  return 0;
}
