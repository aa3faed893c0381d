// A store file mapped into memory, read-only, for the message list to point into.
//
// Another program may cut the file short while it is mapped; reading a mapped page past the
// new end raises SIGBUS. A handler installed with the first mapping turns such a page, and
// every page after it up to the end of that mapping, into zero bytes, so the reader sees
// zeros instead of dying, and notes that it happened (MappingCut). The file's bytes before
// the cut stay as they were. (The program's own writers never change a store's bytes in
// place: they append, or write a new file and rename it over the old name.)
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

namespace vorlin {

struct StoreMap {
  std::shared_ptr<const char[]> bytes;  // null for an empty file
  size_t size = 0;
};

// Maps the whole file. Returns false (errno set) when it cannot be opened, is not a regular
// file or cannot be mapped.
bool MapStoreFile(std::string_view storeName, StoreMap& out);

// What a writer from such a list says instead of writing.
inline constexpr std::string_view kStoreCutText =
    "Хранилище изменено другой программой после загрузки: загрузите его снова. (The store was "
    "changed by another program after it was loaded: load it again.)";

// Whether the mapping that starts at `bytes` has met a cut: its values may read as zeros.
bool MappingCut(const char* bytes);

}  // namespace vorlin
