// One writer at a time per store. The window and scheduled `vorlin-cli` runs may work on the
// same store; every operation that writes the store or its indexes (an ingestion run, a store
// switch, the index saves at shutdown, `rebuild-index`; later the store replacement and the
// export into a store) holds an exclusive flock(2) on a lock file beside the store for its whole
// length, so two writers never interleave their blocks and a key saved by one is seen by the
// next. Readers (loading, census, search) take no lock.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "util/file_io.h"

namespace vorlin {

// The lock could not be had within the wait: another process is writing the store. Thrown
// before anything was changed.
class StoreBusyError : public Error {
 public:
  using Error::Error;
};

// The lock file: the store name without its extension followed by ".lock", beside the store,
// like the index files (so stores that share their index files share their lock too); a store
// named "*.lock" gets ".lock" appended to its whole name. It is created empty on first use and
// never removed: removing it would let two processes lock two different files of one name.
// Scripts may take the same lock with flock(1).
std::string StoreLockName(std::string_view storeName);

// How long a writer waits for the lock by default (10 s); `vorlin-cli --lock-wait`, the
// window and tests set it.
std::chrono::milliseconds StoreLockWait();
void SetStoreLockWait(std::chrono::milliseconds wait);

// Holds the exclusive lock of a store for its scope. Re-entrant within a process: locking a
// store this process already holds only counts, so a locked command may call a locked run.
// An empty store name locks nothing (there is no store to write). Throws StoreBusyError when
// another process keeps the lock for longer than `wait`, and Error when the lock file cannot
// be created or locked.
class StoreLock {
 public:
  explicit StoreLock(std::string_view storeName, std::chrono::milliseconds wait = StoreLockWait());
  ~StoreLock();
  StoreLock(const StoreLock&) = delete;
  StoreLock& operator=(const StoreLock&) = delete;

 private:
  FileId id_;
  bool held_ = false;
};

}  // namespace vorlin
