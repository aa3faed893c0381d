#include "store/store_recovery.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "store/crc32.h"
#include "store/store_loader.h"
#include "store/store_lock.h"
#include "store/store_walk.h"
#include "util/settings_file.h"

namespace vorlin {
namespace {

struct StoreState {
  uint64_t length = 0;
  int64_t mtimeNs = 0;
  std::optional<uint64_t> appendingTo;
};

struct FileStat {
  uint64_t size = 0;
  int64_t mtimeNs = 0;
};

std::optional<FileStat> Stat(std::string_view name) {
  struct stat st {};
  if (::stat(FsPath(name).c_str(), &st) != 0) {
    if (errno == ENOENT) return std::nullopt;
    throw Error("Cannot read " + DisplayName(name) + ": " + ErrnoText(errno));
  }
  return FileStat{static_cast<uint64_t>(st.st_size),
                  static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// A decimal number of up to 19 digits (times in nanoseconds need all of them).
std::optional<uint64_t> Number(const SettingsFile& file, const char* key) {
  auto value = file.Get(key);
  if (!value || value->empty() || value->size() > 19) return std::nullopt;
  uint64_t n = 0;
  for (char c : *value) {
    if (c < '0' || c > '9') return std::nullopt;
    n = n * 10 + static_cast<uint64_t>(c - '0');
  }
  return n;
}

// A missing or damaged state file says nothing: the index is then judged by its age.
std::optional<StoreState> ReadState(std::string_view storeName) {
  const std::string name = StoreStateName(storeName);
  if (!FileExists(name)) return std::nullopt;
  SettingsFile file;
  try {
    file = SettingsFile::Load(name);
  } catch (const Error&) {
    return std::nullopt;
  }
  auto length = Number(file, "length");
  auto mtime = Number(file, "mtime");
  if (!length || !mtime) return std::nullopt;
  return StoreState{*length, static_cast<int64_t>(*mtime), Number(file, "appending-to")};
}

void WriteState(std::string_view storeName, const StoreState& state) {
  std::string text = "length=" + std::to_string(state.length) +
                     "\r\nmtime=" + std::to_string(state.mtimeNs) + "\r\n";
  if (state.appendingTo) text += "appending-to=" + std::to_string(*state.appendingTo) + "\r\n";
  WriteFileAtomic(StoreStateName(storeName), text);
}

void CutStore(std::string_view storeName, uint64_t length) {
  const std::string path = FsPath(storeName).string();
  int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0 || ::ftruncate(fd, static_cast<off_t>(length)) != 0 || ::fsync(fd) != 0) {
    const int err = errno;
    if (fd >= 0) ::close(fd);
    throw Error("Cannot cut back store " + DisplayName(storeName) + ": " + ErrnoText(err));
  }
  ::close(fd);
}

// The index file with the keys of every message of the store added.
void AddStoreKeysToIndex(std::string_view storeName) {
  KeyIndex index;
  index.Load(StoreIndexName(storeName));
  for (const std::string& key : ReadStoreKeys(storeName)) index.Add(key);
  index.Save(StoreIndexName(storeName));
}

// A writer killed while replacing a side file leaves its temporary beside it (".name.XXXXXX",
// see WriteFileAtomic). Only lock holders write these files, so under the lock every such
// temporary is a leftover.
void RemoveLeftoverTemporaries(std::string_view storeName) {
  namespace fs = std::filesystem;
  for (const std::string& side :
       {StoreIndexName(storeName), ReadIndexName(storeName), StoreStateName(storeName)}) {
    const fs::path path = FsPath(side);
    const std::string prefix = "." + path.filename().string() + ".";
    fs::path dir = path.parent_path();
    if (dir.empty()) dir = ".";
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) {
      const std::string name = entry.path().filename().string();
      if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0 &&
          entry.is_regular_file(ec)) {
        fs::remove(entry.path(), ec);
      }
    }
  }
}

}  // namespace

std::string StoreStateName(std::string_view storeName) {
  std::string name = StoreIndexName(storeName);
  name.resize(name.size() - std::string_view(".BCRC32").size());
  // A store that is itself named "*.state" must never be written over by its state.
  return name + ".state" == storeName ? std::string(storeName) + ".state" : name + ".state";
}

Recovery RecoverStore(std::string_view storeName) {
  // Anything but a regular file is left to the writer, which reports it.
  if (!FileExists(storeName)) return Recovery::kNone;
  std::optional<FileStat> store = Stat(storeName);
  if (!store) return Recovery::kNone;
  RemoveLeftoverTemporaries(storeName);
  const std::optional<StoreState> state = ReadState(storeName);
  if (state && state->appendingTo) {
    if (store->size >= state->length && store->size < *state->appendingTo) {
      CutStore(storeName, state->length);
      WriteState(storeName, {state->length, Stat(storeName).value_or(FileStat{}).mtimeNs, {}});
      return Recovery::kAppendCut;
    }
    if (store->size == state->length) {  // nothing was written
      WriteState(storeName, {store->size, store->mtimeNs, {}});
      return Recovery::kNone;
    }
  } else if (state) {
    if (store->size == state->length && store->mtimeNs == state->mtimeNs) return Recovery::kNone;
  } else {
    std::optional<FileStat> index = Stat(StoreIndexName(storeName));
    if (index && index->mtimeNs >= store->mtimeNs) {
      WriteState(storeName, {store->size, store->mtimeNs, {}});
      return Recovery::kNone;
    }
  }
  AddStoreKeysToIndex(storeName);
  WriteState(storeName, {store->size, store->mtimeNs, {}});
  return Recovery::kIndexRebuilt;
}

void BeginStoreAppend(std::string_view storeName, uint64_t length, uint64_t appendingTo) {
  std::optional<FileStat> store = Stat(storeName);
  WriteState(storeName, {length, store ? store->mtimeNs : 0, appendingTo});
}

void RecordIndexCoversStore(std::string_view storeName) {
  std::optional<FileStat> store = Stat(storeName);
  if (!store) return;
  const std::optional<StoreState> state = ReadState(storeName);
  if (state && !state->appendingTo && state->length == store->size &&
      state->mtimeNs == store->mtimeNs) {
    return;  // a run that added nothing: spare the disk a write
  }
  WriteState(storeName, {store->size, store->mtimeNs, {}});
}

void MergeStoreIndexFile(std::string_view storeName, KeyIndex& index) {
  const std::string indexName = StoreIndexName(storeName);
  if (!FileExists(storeName) || !FileExists(indexName)) return;
  KeyIndex merged;
  merged.Load(indexName);
  for (const std::string& key : index.Keys()) merged.Add(key);
  index = std::move(merged);
}

void OpenStoreIndex(std::string_view storeName, KeyIndex& index, std::chrono::milliseconds wait) {
  std::optional<StoreLock> lock;
  try {
    lock.emplace(storeName, wait);
  } catch (const StoreBusyError&) {
    const std::string indexName = StoreIndexName(storeName);
    if (FileExists(storeName) && FileExists(indexName)) {
      index.Load(indexName);
    } else {
      index.Clear();
    }
    return;
  }
  RecoverStore(storeName);
  LoadOrRebuildStoreIndex(storeName, index);
}

void RecoverStoreIfFree(std::string_view storeName) {
  try {
    StoreLock lock(storeName, std::chrono::milliseconds(0));
    RecoverStore(storeName);
  } catch (const Error&) {
  }
}

void SaveStoreIndexLocked(std::string_view storeName, KeyIndex& index) {
  StoreLock lock(storeName);
  MergeStoreIndexFile(storeName, index);
  index.Save(StoreIndexName(storeName));
}

void SaveReadIndexLocked(std::string_view storeName, KeyIndex& index, KeyIndex& base) {
  StoreLock lock(storeName);
  const std::string name = ReadIndexName(storeName);
  KeyIndex merged;
  merged.Load(name);
  for (const std::string& key : base.Keys()) {
    if (!index.Contains(key)) merged.Remove(key);
  }
  for (const std::string& key : index.Keys()) {
    if (!base.Contains(key)) merged.Add(key);
  }
  merged.Save(name);
  index = merged;
  base = std::move(merged);
}

}  // namespace vorlin
