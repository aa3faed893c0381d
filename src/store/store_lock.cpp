#include "store/store_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>

#include "store/key_index.h"

namespace vorlin {
namespace {

std::chrono::milliseconds gWait{10000};

// The locks this process holds, by the identity of their lock file (one file may be reached
// under several names), with the descriptor that holds each and how often it was taken.
struct Held {
  int fd;
  int count;
};
std::mutex gMutex;
std::map<FileId, Held> gHeld;

}  // namespace

std::string StoreLockName(std::string_view storeName) {
  std::string name = StoreIndexName(storeName);
  name.resize(name.size() - std::string_view(".BCRC32").size());
  return name + ".lock" == storeName ? std::string(storeName) + ".lock" : name + ".lock";
}

std::chrono::milliseconds StoreLockWait() { return gWait; }
void SetStoreLockWait(std::chrono::milliseconds wait) { gWait = wait; }

StoreLock::StoreLock(std::string_view storeName, std::chrono::milliseconds wait) {
  if (storeName.empty()) return;
  const std::string lockName = StoreLockName(storeName);
  const std::string path = FsPath(lockName).string();
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);  // a lock needs no write access
  if (fd < 0) {
    const int err = errno;
    std::filesystem::path folder = FsPath(storeName).parent_path();
    if (folder.empty()) folder = ".";
    struct stat st {};
    if (err == ENOENT && (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) {
      throw Error("Папка хранилища не существует: " + folder.string() + " (The store's folder " +
                  folder.string() + " does not exist; store " + DisplayName(storeName) + ")");
    }
    throw Error("Cannot lock store " + DisplayName(storeName) + ": " + ErrnoText(err));
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int err = errno;
    ::close(fd);
    throw Error("Cannot lock store " + DisplayName(storeName) + ": " + ErrnoText(err));
  }
  id_ = {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};

  std::lock_guard guard(gMutex);
  if (auto it = gHeld.find(id_); it != gHeld.end()) {
    ::close(fd);
    ++it->second.count;
    held_ = true;
    return;
  }
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) break;
    const int err = errno;
    if (err == EINTR) continue;
    const auto now = std::chrono::steady_clock::now();
    if (err != EWOULDBLOCK || now >= deadline) {
      ::close(fd);
      if (err != EWOULDBLOCK) {
        throw Error("Cannot lock store " + DisplayName(storeName) + ": " + ErrnoText(err));
      }
      throw StoreBusyError("Store " + DisplayName(storeName) +
                           " is busy: another process is writing it (lock file " +
                           DisplayName(lockName) + "); nothing was changed, try again later");
    }
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        std::chrono::milliseconds(20), deadline - now));
  }
  gHeld[id_] = {fd, 1};
  held_ = true;
}

StoreLock::~StoreLock() {
  if (!held_) return;
  std::lock_guard guard(gMutex);
  auto it = gHeld.find(id_);
  if (it == gHeld.end() || --it->second.count > 0) return;
  ::close(it->second.fd);  // closing the only descriptor releases the lock
  gHeld.erase(it);
}

}  // namespace vorlin
