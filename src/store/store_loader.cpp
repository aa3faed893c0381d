#include "store/store_loader.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "store/crc32.h"
#include "store/store_scan.h"
#include "store/store_walk.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

// VORLIN_NO_FAST_LOAD=1 sends every store through the XML walk (for comparison and benchmarks).
bool FastPathAllowed() {
  const char* off = std::getenv("VORLIN_NO_FAST_LOAD");
  return off == nullptr || *off == '\0' || std::string_view(off) == "0";
}

// The message keys of the summed descriptions, ascending and without repeats. A key is the CRC
// in 11 digits and the length in 12, so the text order is the order of the pairs.
std::vector<std::string> KeysOf(std::vector<DescriptionSum>& sums) {
  std::vector<std::string> keys;
  uint32_t probe = 0;
  if (!TextChecksum("", probe)) return keys;  // a failed table self-check gives no keys
  std::sort(sums.begin(), sums.end());
  sums.erase(std::unique(sums.begin(), sums.end()), sums.end());
  keys.reserve(sums.size());
  for (const auto& [crc, length] : sums) keys.push_back(MakeKey(crc, length));
  return keys;
}

}  // namespace

void LoadStore(std::string_view storeName, MessageList& list, Progress& progress) {
  // A store that cannot be opened fails before anything is shown or cleared.
  RequireRegularFile(storeName, "store");
  progress.ShowStatusText(W("Подготовка к загрузке, чтение из файла ") + std::string(storeName));
  progress.ShowStatusText(W(" Load from Stream in MS parser ..."));
  const std::string loaded = W("Загружено сообщений ");
  MessageList fresh;
  int shown = 0;  // the last count shown
  auto show = [&](int count) {
    progress.ShowStatusText(loaded + std::to_string(count));
    shown = count;
  };
  const bool fast = FastPathAllowed() && ScanStoreFile(storeName, fresh, [&](int count) {
                      for (int c = shown / 100 * 100 + 100; c <= count; c += 100) show(c);
                    });
  if (!fast) {
    // The walk reads the same blocks first, so the counts already shown are not shown again.
    fresh.Clear();
    WalkStoreFile(storeName, kAllFields, [&](MessageValues& values) {
      fresh.Add(std::move(values));
      if (fresh.count % 100 == 0 && fresh.count > shown) show(fresh.count);
    });
  }
  list.Swap(fresh);
  progress.ShowStatusText(loaded + std::to_string(list.count));
}

std::vector<std::string> ReadStoreKeys(std::string_view storeName) {
  std::vector<DescriptionSum> sums;
  if (FastPathAllowed() && ScanStoreDescriptions(storeName, sums)) return KeysOf(sums);
  sums = {};
  std::vector<std::string> keys;
  WalkStoreFile(storeName, kIndexFields,
                [&](MessageValues& values) { keys.push_back(MessageKey(values[kDescription])); });
  return keys;
}

void RebuildStoreIndex(std::string_view storeName, KeyIndex& index) {
  std::vector<std::string> keys = ReadStoreKeys(storeName);
  KeyIndex fresh;
  fresh.Assign(std::move(keys));
  fresh.Save(StoreIndexName(storeName));
  index = std::move(fresh);
}

void LoadOrRebuildStoreIndex(std::string_view storeName, KeyIndex& index) {
  const bool storeExists = FileExists(storeName);
  const std::string indexName = StoreIndexName(storeName);
  if (storeExists && !FileExists(indexName)) {
    RebuildStoreIndex(storeName, index);
  } else if (storeExists) {
    index.Load(indexName);
  } else {
    index.Clear();
  }
}

}  // namespace vorlin
