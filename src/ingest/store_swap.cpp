#include "ingest/store_swap.h"

#include "store/store_lock.h"
#include "store/store_recovery.h"

namespace vorlin {

std::string StoreDialogFolder(std::string_view storeName, std::string_view programFolder) {
  size_t slash = storeName.rfind('/');
  if (storeName.empty() || slash == std::string_view::npos) return std::string(programFolder);
  return std::string(storeName.substr(0, slash + 1));
}

void SwitchStore(std::string_view oldStore, std::string_view newStore, KeyIndex& storeIndex,
                 KeyIndex& readIndex, KeyIndex& readIndexBase) {
  if (!oldStore.empty()) {
    SaveStoreIndexLocked(oldStore, storeIndex);
    SaveReadIndexLocked(oldStore, readIndex, readIndexBase);
  }
  // Keys of the old store must not leak into the new one's index; and when the new indexes
  // cannot be had, the old ones stay in place rather than half of each.
  // Without a name there is no store, and no index files beside it.
  KeyIndex newStoreIndex;
  KeyIndex newReadIndex;
  if (!newStore.empty()) {
    OpenStoreIndex(newStore, newStoreIndex, StoreLockWait());
    newReadIndex.Load(ReadIndexName(newStore));
  }
  storeIndex = std::move(newStoreIndex);
  readIndexBase = newReadIndex;
  readIndex = std::move(newReadIndex);
}

}  // namespace vorlin
