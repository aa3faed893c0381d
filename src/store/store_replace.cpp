#include "store/store_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "store/crc32.h"
#include "store/store_format.h"
#include "store/store_loader.h"
#include "store/store_lock.h"
#include "store/store_map.h"
#include "store/store_recovery.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

constexpr uint64_t kTailBytes = 64 * 1024;
constexpr size_t kWriteChunk = 4 << 20;
const char* const kMoveFailed = "Операция не завершена! Ошибка переноса файла!";

std::string FolderOf(std::string_view storeName) {
  const size_t slash = storeName.rfind('/');
  return slash == std::string_view::npos ? std::string()
                                         : std::string(storeName.substr(0, slash + 1));
}

void ReadAt(int fd, std::string& out, uint64_t offset, uint64_t count, const std::string& name) {
  out.resize(count);
  size_t done = 0;
  while (done < count) {
    ssize_t n = ::pread(fd, out.data() + done, count - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw Error("Cannot read store " + name + ": " + ErrnoText(n < 0 ? errno : EIO));
    done += static_cast<size_t>(n);
  }
}

uint32_t TailCrc(int fd, uint64_t length, const std::string& name) {
  const uint64_t from = length > kTailBytes ? length - kTailBytes : 0;
  std::string tail;
  ReadAt(fd, tail, from, length - from, name);
  return Crc32(tail);
}

void WriteAll(int fd, std::string_view data, const std::string& name) {
  while (!data.empty()) {
    ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw Error("Cannot write " + name + ": " + ErrnoText(n < 0 ? errno : EIO));
    data.remove_prefix(static_cast<size_t>(n));
  }
}

void SyncFolder(const std::string& folder) {
  Fd dir(::open(folder.empty() ? "." : FsPath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd >= 0) ::fsync(dir.fd);
}

// Creates the first free temporary name beside the store, exclusively: a file that has the
// name already is not the replacement's to overwrite.
int CreateTemporary(const std::string& store, std::string& temp) {
  for (int k = 0; k < kTemporaryStoreNames; ++k) {
    temp = TemporaryStoreName(store, k);
    const int fd = ::open(FsPath(temp).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EEXIST) throw Error("Cannot write " + DisplayName(temp) + ": " + ErrnoText(errno));
  }
  throw Error("Cannot write " + DisplayName(temp) + ": every temporary name is taken");
}

// The new store into a new temporary file: the kept messages as the line list writes them,
// then the appended bytes as they are. It gets the mode and, where allowed, the owner of the
// store.
std::string WriteTemporary(const std::string& store, const struct stat& st, const MessageList& list,
                           const std::vector<bool>& drop, std::string_view appended) {
  std::string temp;
  Fd out(CreateTemporary(store, temp));
  const std::string shown = DisplayName(temp);
  try {
    if (::fchown(out.fd, st.st_uid, st.st_gid) != 0) {
      // Only root may give a file away; an ordinary user's store stays the user's anyway.
    }
    ::fchmod(out.fd, st.st_mode & 07777);
    std::string blocks;
    uint64_t written = 0;
    for (int i = 0; i < list.Count(); ++i) {
      if (drop[static_cast<size_t>(i)]) continue;
      AppendStoreBlock(blocks, list, i, false);
      if (blocks.size() >= kWriteChunk) {
        WriteAll(out.fd, blocks, shown);
        StartWriteback(out.fd, written, blocks.size());
        written += blocks.size();
        blocks.clear();
      }
    }
    WriteAll(out.fd, blocks, shown);
    WriteAll(out.fd, appended, shown);
    if (::fsync(out.fd) != 0) throw Error("Cannot write " + shown + ": " + ErrnoText(errno));
    const int fd = out.fd;
    out.fd = -1;
    if (::close(fd) != 0) throw Error("Cannot write " + shown + ": " + ErrnoText(errno));
  } catch (...) {
    ::unlink(FsPath(temp).c_str());
    throw;
  }
  return temp;
}

std::string ChangedText(const std::string& shown) {
  return "Хранилище " + shown +
         " изменилось после загрузки: загрузите его снова. (Cannot remove messages from the "
         "store " +
         shown + ": it has changed since it was loaded (load it again first).)";
}

// Opens the store for a replacement, checking that it is the regular file `loaded` describes,
// grown at most by appending. `st` gets its state.
int OpenLoadedStore(const std::string& store, const std::string& shown, const StoreStamp& loaded,
                    struct stat& st) {
  if (!loaded.valid) throw Error(ChangedText(shown));
  // Not blocking, so that a FIFO under the store's name is refused rather than waited on.
  Fd in(::open(FsPath(store).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (in.fd < 0 || ::fstat(in.fd, &st) != 0) {
    throw Error("Cannot read store " + shown + ": " + ErrnoText(errno));
  }
  if (!S_ISREG(st.st_mode)) RequireAbsentOrRegular(store);
  // Only appending keeps the loaded messages at their numbers; anything else would make the
  // message list a wrong picture of the file.
  if (static_cast<uint64_t>(st.st_dev) != loaded.device ||
      static_cast<uint64_t>(st.st_ino) != loaded.inode ||
      static_cast<uint64_t>(st.st_size) < loaded.length ||
      TailCrc(in.fd, loaded.length, shown) != loaded.tailCrc) {
    throw Error(ChangedText(shown));
  }
  const int fd = in.fd;
  in.fd = -1;
  return fd;
}

// A backup name that is taken holds a file of someone else's: it is never replaced.
void RequireFreeBackup(const std::string& store, const std::string& shown) {
  const std::string backup = BackupStoreName(store);
  struct stat st {};
  if (::lstat(FsPath(backup).c_str(), &st) != 0) return;
  const std::string taken = DisplayName(backup);
  throw Error(kMoveFailed + shown + "\nФайл " + taken +
              " уже существует: переименуйте или удалите его. (The operation was not completed: "
              "the backup name " +
              taken + " is taken; rename or remove that file.)");
}

// A second name for the old store: a hard link, or a copy where the file system has none.
bool MakeBackup(const std::string& store, const std::string& backup, int storeFd) {
  if (::link(FsPath(store).c_str(), FsPath(backup).c_str()) == 0) return true;
  if (errno != EPERM && errno != EXDEV && errno != EMLINK && errno != ENOTSUP) return false;
  Fd copy(::open(FsPath(backup).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (copy.fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(storeFd, &st) == 0;
  std::string block;
  for (off_t at = 0; ok && at < st.st_size; at += static_cast<off_t>(block.size())) {
    try {
      ReadAt(storeFd, block, static_cast<uint64_t>(at),
             std::min<uint64_t>(kWriteChunk, static_cast<uint64_t>(st.st_size - at)), store);
      WriteAll(copy.fd, block, backup);
    } catch (const Error&) {
      ok = false;
    }
  }
  ok = ok && ::fsync(copy.fd) == 0;
  if (!ok) ::unlink(FsPath(backup).c_str());
  return ok;
}

}  // namespace

void CheckStoreReplacement(std::string_view storeName, const StoreStamp& loaded) {
  const std::string store = FileNamedBy(storeName);
  const std::string shown = DisplayName(storeName);
  struct stat st {};
  Fd in(OpenLoadedStore(store, shown, loaded, st));
  RequireFreeBackup(store, shown);
}

StoreStamp StampStore(std::string_view storeName, uint64_t length) {
  const std::string shown = DisplayName(storeName);
  Fd in(::open(FsPath(storeName).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (in.fd < 0 || ::fstat(in.fd, &st) != 0) {
    throw Error("Cannot read store " + shown + ": " + ErrnoText(errno));
  }
  if (static_cast<uint64_t>(st.st_size) < length) {
    throw Error("Cannot read store " + shown + ": it is shorter than what was loaded");
  }
  return {true, static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), length,
          TailCrc(in.fd, length, shown)};
}

StoreStamp LoadStoreStamped(std::string_view storeName, MessageList& list, Progress& progress) {
  Fd before(::open(FsPath(storeName).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat first {};
  const bool known = before.fd >= 0 && ::fstat(before.fd, &first) == 0;
  LoadStore(storeName, list, progress);
  struct stat after {};
  struct stat named {};
  if (!known || ::fstat(before.fd, &after) != 0 || after.st_size != first.st_size ||
      ::stat(FsPath(storeName).c_str(), &named) != 0 || named.st_ino != first.st_ino ||
      named.st_dev != first.st_dev) {
    return {};
  }
  const auto length = static_cast<uint64_t>(first.st_size);
  return {true, static_cast<uint64_t>(first.st_dev), static_cast<uint64_t>(first.st_ino), length,
          TailCrc(before.fd, length, DisplayName(storeName))};
}

void ReplaceStoreWithout(std::string_view storeName, const MessageList& list,
                         const std::vector<int>& remove, const StoreStamp& loaded,
                         const std::function<void(ReplaceStep)>& onStep) {
  // A link stays: the file it leads to is replaced.
  const std::string store = FileNamedBy(storeName);
  const std::string shown = DisplayName(storeName);
  // No other writer may append while the new store is made.
  StoreLock lock(storeName);
  struct stat st {};
  Fd in(OpenLoadedStore(store, shown, loaded, st));
  RequireFreeBackup(store, shown);
  // Half a block left by a killed writer is cut off first, so that only whole blocks are
  // carried over.
  RecoverStore(storeName);
  if (::fstat(in.fd, &st) != 0 || static_cast<uint64_t>(st.st_size) < loaded.length) {
    throw Error(ChangedText(shown));
  }
  std::string appended;
  ReadAt(in.fd, appended, loaded.length, static_cast<uint64_t>(st.st_size) - loaded.length, shown);

  std::vector<bool> drop(static_cast<size_t>(list.Count()), false);
  for (int m : remove) {
    if (m >= 0 && m < list.Count()) drop[static_cast<size_t>(m)] = true;
  }
  const std::string temp = WriteTemporary(store, st, list, drop, appended);
  if (!list.Intact()) {
    ::unlink(FsPath(temp).c_str());
    throw Error(std::string(kStoreCutText));
  }
  if (onStep) onStep(ReplaceStep::kTemporaryWritten);

  const std::string backup = BackupStoreName(store);
  if (!MakeBackup(store, backup, in.fd)) {
    ::unlink(FsPath(temp).c_str());
    throw Error(kMoveFailed + shown);
  }
  if (onStep) onStep(ReplaceStep::kBackupMade);
  // A writer that did not wait for us appended in the meantime: its messages would be lost.
  struct stat now {};
  if (::fstat(in.fd, &now) != 0 || now.st_size != st.st_size) {
    ::unlink(FsPath(backup).c_str());
    ::unlink(FsPath(temp).c_str());
    throw Error(ChangedText(shown));
  }
  if (::rename(FsPath(temp).c_str(), FsPath(store).c_str()) != 0) {
    throw Error(kMoveFailed + DisplayName(temp));
  }
  SyncFolder(FolderOf(store));
  if (onStep) onStep(ReplaceStep::kStoreReplaced);
  ::unlink(FsPath(backup).c_str());
  SyncFolder(FolderOf(store));
  // The index keeps the keys of the removed messages too, so it covers the new store.
  RecordIndexCoversStore(storeName);
}

}  // namespace vorlin
