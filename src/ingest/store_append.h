// Adding the item blocks of an ingestion run to the end of the store.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vorlin {

// Appends `newItemText` to the store, its line breaks written as CR LF (a lone CR, a lone LF
// and CR LF each count as one), after a CR LF when the store does not end in a line break.
// The new bytes are flushed to disk before returning. On any failure the store is cut back to
// its previous length (a store this call created is removed) and Error is thrown, so the file
// is always either the old store or the old store followed by whole new blocks. A missing
// store is created, empty when there is nothing to add. Only the new text is written, so the
// cost does not grow with the size of the store. `beforeWrite`, when given, learns the store's
// size now and once the append is complete before the first byte is written (to record the
// append in the state file); if it throws, the store is left as it was.
using AppendNotice = std::function<void(uint64_t length, uint64_t appendingTo)>;
void AppendToStore(std::string_view storeName, std::string_view newItemText,
                   const AppendNotice& beforeWrite = nullptr);

}  // namespace vorlin
