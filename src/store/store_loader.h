// Reading a store: into the message list, or into its store index.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/key_index.h"
#include "store/message_list.h"
#include "util/progress.h"

namespace vorlin {

// Reads the store into `list`, showing in order "Подготовка к загрузке, чтение из файла "
// + name, " Load from Stream in MS parser ...", "Загружено сообщений " + count after every
// hundred messages and once more at the end. Throws Error when the store cannot be opened or
// read, or is not well-formed; `list` then keeps its previous content.
void LoadStore(std::string_view storeName, MessageList& list, Progress& progress);

// The message keys of the store's items that have title, link, description and publication
// date (the fast path when the store is canonical, else the walk). Throws Error as LoadStore.
std::vector<std::string> ReadStoreKeys(std::string_view storeName);

// Rebuilds the store index from the store (items need title, link, description and
// publication date) and saves it beside the store. On failure throws Error and leaves both
// `index` and its file as they were.
void RebuildStoreIndex(std::string_view storeName, KeyIndex& index);

// The store index at start-up or when another store is chosen: rebuilt (and saved) when its
// file is missing and the store exists; loaded when both exist; otherwise empty.
void LoadOrRebuildStoreIndex(std::string_view storeName, KeyIndex& index);

}  // namespace vorlin
