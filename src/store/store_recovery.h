// Keeping a store and its store index in step across crashes. An ingestion run appends to the
// store first and saves the index after; a writer killed in between leaves a store whose newest
// messages have no keys, or a store ending in half a block. A small state file beside the store
// records what the index covers, so that the next writer can tell and mend it:
//
//   news.state   "length=N" and "mtime=NS" (the store's size and modification time, in
//                nanoseconds, when the index last covered it whole), and during an append
//                "appending-to=M", the size the store has once the append is complete.
//
// The index file itself keeps its format: one 23-digit key per line. The state file is written
// through a temporary file and a rename, like the indexes. Every function here expects the
// caller to hold the store's lock (StoreLock) unless it says otherwise.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "store/key_index.h"

namespace vorlin {

// The state file: the store name without its extension followed by ".state" (a store named
// "*.state" gets ".state" appended to its whole name).
std::string StoreStateName(std::string_view storeName);

enum class Recovery {
  kNone,          // the index covers the store (or there is no store)
  kAppendCut,     // a killed append left part of a block: the store was cut back before it
  kIndexRebuilt,  // the store holds messages the index may lack: their keys were added to it
};

// Mends what a killed writer left: an append that did not complete is cut off (its messages
// have no keys and its source files were not deleted, so the next run adds them again); a
// store that is longer, shorter or newer than what the state file says its index covers gets
// the keys of all its messages added to the index file (the keys the file holds stay: messages
// once stored and later removed must not come in again). Without a state file the index counts
// as covering the store when it is at least as new as the store. Records the state afterwards.
// Throws Error when the store cannot be read or parsed; the index is then left as it was.
Recovery RecoverStore(std::string_view storeName);

// Called by the append once it knows the sizes, before it writes: the store is `length` bytes
// now and will be `appendingTo` when the append is complete.
void BeginStoreAppend(std::string_view storeName, uint64_t length, uint64_t appendingTo);

// Called after the store index has been saved: the index covers the store as it is now.
void RecordIndexCoversStore(std::string_view storeName);

// Takes into `index` the keys another process saved to the store's index file since `index`
// was loaded: `index` becomes the union of its keys and the file's. Nothing happens when the
// store or the index file does not exist (an index without its store belongs to no store).
// Throws Error when the file cannot be read, leaving `index` unchanged.
void MergeStoreIndexFile(std::string_view storeName, KeyIndex& index);

// The window's loads, at start-up and when another store is chosen: under the store's lock
// (waiting at most `wait`) the store is mended (RecoverStore) and its index loaded or rebuilt
// (LoadOrRebuildStoreIndex). While another process holds the lock the index file is read as
// it stands; the next run mends and merges it under the lock. No lock is needed for reading:
// every index file is replaced whole by a rename.
void OpenStoreIndex(std::string_view storeName, KeyIndex& index, std::chrono::milliseconds wait);

// Before a load: mends the store as RecoverStore does when its lock is free at once, so that a
// store left behind by a killed writer loads; otherwise, and on any failure, does nothing (the
// load reports what it finds).
void RecoverStoreIfFree(std::string_view storeName);

// The store index saved under the store's lock (at shutdown, on a store switch), merged first
// with its file so that keys another process saved in the meantime are kept. Throws
// StoreBusyError or Error; the file is then left as it was.
void SaveStoreIndexLocked(std::string_view storeName, KeyIndex& index);
// The read index saved under the store's lock, merged with its file: the marks set and taken
// back here since `base` (the keys the file held when last read or written) are applied to the
// file as it is now, so the marks another window saved meanwhile stay. `index` and `base` then
// hold the keys saved. Throws StoreBusyError or Error; the file is then left as it was.
void SaveReadIndexLocked(std::string_view storeName, KeyIndex& index, KeyIndex& base);

}  // namespace vorlin
