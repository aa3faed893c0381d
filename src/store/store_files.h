// The files that belong to a store besides the store itself: the key index, read index, state
// and lock files beside it, and the temporary and backup names of a replacement. Every check
// that asks whether a path belongs to a store asks here, and compares what the paths lead to
// (device and inode), not how they are spelt.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

// The temporary stores of a replacement: "temp_FileAllRSS_0000.rss", "..._0001.rss" and so on
// up to 9999, in the folder of the store; a replacement takes the first that is free.
inline constexpr int kTemporaryStoreNames = 10000;
std::string TemporaryStoreName(std::string_view storeName, int number = 0);
// The backup name: the store name with ".bak" appended after its own extension.
std::string BackupStoreName(std::string_view storeName);

// The file a name leads to: symbolic links at the end of the name are followed (a relative one
// from the folder of the link) to a name that is no link, whether or not that file exists.
// Throws Error on a loop of links.
std::string FileNamedBy(std::string_view name);

// Whether `path` leads to the store `storeName` (under any name) or to one of its companion
// files: its indexes, state and lock files, a temporary store of a replacement or the backup
// name, whether they exist or not. Names are taken both beside the store as named and beside
// the file it leads to.
bool BelongsToStore(std::string_view storeName, std::string_view path);

// Throws Error, naming the file, unless the file `name` leads to is absent or a regular file:
// a folder, FIFO, device or socket is never written.
void RequireAbsentOrRegular(std::string_view name);

// Writes a whole store file: the chunks `next` makes go to a new temporary file beside the file
// `name` leads to, which is flushed and renamed over it, so that a link stays a link. The file
// keeps its mode (and owner, where allowed); a new one gets 0666 less the umask. An exception
// from `next` or a failed write leaves the old file as it was and no temporary file behind.
void WriteStoreFileWhole(std::string_view name, const std::function<bool(std::string&)>& next);

}  // namespace vorlin
