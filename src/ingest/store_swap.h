// Choosing another store (ButtonGetNameFileAllRSSClick): the indexes of the old store are
// saved and those of the new one take their place.
#pragma once

#include <string>
#include <string_view>

#include "store/key_index.h"

namespace vorlin {

// The folder the save dialog starts in: that of the current store name, or the program
// folder when the name is empty or has no folder part.
std::string StoreDialogFolder(std::string_view storeName, std::string_view programFolder);

// Saves `storeIndex` and `readIndex` beside the old store (nothing when its name is empty),
// each under that store's lock, the store index merged with its file; then fills them for the
// new store, under its lock, mending first what a killed writer left (OpenStoreIndex): the
// store index is rebuilt (and saved) when its file is missing and the store exists, loaded when
// both exist, and empty when the store does not exist; the read index is loaded, or empty without
// its file. `readIndexBase` is the read index as its file holds it (see SaveReadIndexLocked).
// Throws Error when a file cannot be read or written, or the new store cannot be parsed for its
// index; both indexes then keep the old store's keys (already saved when the failure came after
// saving).
void SwitchStore(std::string_view oldStore, std::string_view newStore, KeyIndex& storeIndex,
                 KeyIndex& readIndex, KeyIndex& readIndexBase);

}  // namespace vorlin
