// Bringing a loaded message list up to date after messages were appended to its store: only
// the appended bytes are read, so every message number held by the reader stays valid.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/message_list.h"
#include "store/store_replace.h"
#include "util/progress.h"

namespace vorlin {

// What a load on the loader's thread hands back to the window.
struct LoadedStore {
  bool tail = false;     // `messages` are new ones, to be appended to the list in memory
  MessageList messages;  // the whole store, or the messages appended since the last load
  std::vector<std::string> channels;  // the census of `messages`
  StoreStamp stamp;                   // what the list in memory covers once `messages` are taken
};

// Reads the messages appended to the store since `loaded` was taken. Returns false, reading
// nothing, when `loaded` is not valid or the store has since changed other than by appending
// (another file under the name, shorter, or other bytes before loaded.length); the caller then
// loads the store whole. Throws Error when the appended bytes cannot be read or parsed.
bool ReadStoreTail(std::string_view storeName, const StoreStamp& loaded, LoadedStore& out);

// The whole store when `loaded` does not allow a tail, else the tail, with the census of what
// was read. Throws Error as LoadStore does.
LoadedStore LoadStoreOrTail(std::string_view storeName, const StoreStamp& loaded,
                            Progress& progress);

// Adds to the sorted channel list `channels` the titles of `fresh` it lacks (letter case
// ignored); returns the titles added, sorted.
std::vector<std::string> MergeChannels(std::vector<std::string>& channels,
                                       const std::vector<std::string>& fresh);

}  // namespace vorlin
