#include "store/store_loader.h"

#include "store/crc32.h"
#include "store/store_walk.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

void LoadStore(std::string_view storeName, MessageList& list, Progress& progress) {
  // A store that cannot be opened fails before anything is shown or cleared.
  RequireRegularFile(storeName, "store");
  progress.ShowStatusText(W("Подготовка к загрузке, чтение из файла ") + std::string(storeName));
  progress.ShowStatusText(W(" Load from Stream in MS parser ..."));
  const std::string loaded = W("Загружено сообщений ");
  MessageList fresh;
  WalkStoreFile(storeName, kAllFields, [&](MessageValues& values) {
    fresh.Add(std::move(values));
    if (fresh.count % 100 == 0) progress.ShowStatusText(loaded + std::to_string(fresh.count));
  });
  list.Swap(fresh);
  progress.ShowStatusText(loaded + std::to_string(list.count));
}

void RebuildStoreIndex(std::string_view storeName, KeyIndex& index) {
  KeyIndex fresh;
  WalkStoreFile(storeName, kIndexFields,
                [&](MessageValues& values) { fresh.Add(MessageKey(values[kDescription])); });
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
