// Replacing the store without some of its messages: how a user splits a store after an export.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "store/message_list.h"
#include "store/store_files.h"
#include "util/progress.h"

namespace vorlin {

// What a load read of a store: which file (device and inode) and how many of its bytes, with a
// checksum of the bytes just before that length. The store is only ever appended to, so while
// the same file still starts with those bytes, every message loaded keeps its number and
// whatever follows was appended since.
struct StoreStamp {
  bool valid = false;
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t length = 0;
  uint32_t tailCrc = 0;
};

// The stamp of the first `length` bytes of the store. Throws Error when it cannot be read.
StoreStamp StampStore(std::string_view storeName, uint64_t length);

// Loads the store into `list` as LoadStore does and stamps what was read. When the store grew
// or was replaced while it was read, the stamp is left invalid, so that no removal is built
// on a list that may not match the file.
StoreStamp LoadStoreStamped(std::string_view storeName, MessageList& list, Progress& progress);

// The points of a replacement at which a test may stop it.
enum class ReplaceStep { kTemporaryWritten, kBackupMade, kStoreReplaced };

// Throws Error (message UTF-8) when a replacement of the store built on the list `loaded`
// stamps would be refused: the store is not a regular file, it has changed since the load
// other than by appending (a second removal from the same list finds another file), or its
// backup name is taken. An export calls it before it writes anything.
void CheckStoreReplacement(std::string_view storeName, const StoreStamp& loaded);

// Rewrites the store so that it holds every message of `list` whose number is not in
// `remove`, in message-number order, followed unchanged by whatever was appended to the store
// after `loaded` was taken. A store name that is a link keeps being one: the file it leads to
// is replaced, and keeps its mode. The new text goes to the first free temporary name beside
// that file ("temp_FileAllRSS_0000.rss", created exclusively), is flushed, the old store gets
// the backup name as a second name, the temporary file is renamed over the store in one step,
// and the backup name is removed: at every instant the store name holds a whole store, the old
// one or the new one. No file the replacement did not create is ever truncated, removed or
// renamed over. Throws Error (message UTF-8) and leaves the store as it was when
// CheckStoreReplacement refuses, when the temporary file cannot be written, or when one of the
// two renames fails ("Операция не завершена! Ошибка переноса файла!" and the file).
void ReplaceStoreWithout(std::string_view storeName, const MessageList& list,
                         const std::vector<int>& remove, const StoreStamp& loaded,
                         const std::function<void(ReplaceStep)>& onStep = nullptr);

}  // namespace vorlin
