// Differential fuzzing of the fast store path: it may decline any input, but whatever it takes
// must be well-formed and give exactly the messages (and message keys) of the streaming walk and
// of the plain document walk, however the bytes are split into blocks and between threads.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "store/crc32.h"
#include "store/store_scan.h"
#include "store/store_walk.h"
#include "tree_walk_reference.h"
#include "util/file_io.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // The first byte chooses the block size (also the stretch of the whole-buffer scan, whose
  // values are spans of the buffer), the second whether every buffer is split.
  const size_t block = 1 + data[0] % 64u;
  const vorlin::ScanOptions options{block, (data[1] & 1u) != 0 ? 0 : SIZE_MAX, block};
  const std::string store(reinterpret_cast<const char*>(data + 2), size - 2);

  const auto tree = vorlin::test::TreeWalk(store, vorlin::kAllFields);
  std::vector<vorlin::MessageValues> streamed;
  bool streamOk = true;
  try {
    vorlin::StoreWalk walk(
        vorlin::kAllFields, [&](vorlin::MessageValues& v) { streamed.push_back(v); }, "fuzz");
    for (size_t at = 0; at < store.size(); at += options.blockSize) {
      walk.Feed(std::string_view(store).substr(at, options.blockSize));
    }
    walk.Finish();
  } catch (const vorlin::Error&) {
    streamOk = false;
  }
  if (tree.has_value() != streamOk || (streamOk && *tree != streamed)) std::abort();

  vorlin::MessageList list;
  std::vector<vorlin::DescriptionSum> sums;
  const bool fast = vorlin::ScanStoreText(store, list, options);
  if (fast != vorlin::ScanStoreTextDescriptions(store, sums, options)) std::abort();
  if (!fast) return 0;
  if (!tree || list.Count() != static_cast<int>(tree->size()) || sums.size() != tree->size()) {
    std::abort();
  }
  for (size_t i = 0; i < tree->size(); ++i) {
    if (list.Get(static_cast<int>(i)) != (*tree)[i]) std::abort();
    if (vorlin::MakeKey(sums[i].first, sums[i].second) !=
        vorlin::MessageKey((*tree)[i][vorlin::kDescription])) {
      std::abort();
    }
  }
  return 0;
}
