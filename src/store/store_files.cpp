#include "store/store_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "store/key_index.h"
#include "store/store_lock.h"
#include "store/store_recovery.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

namespace fs = std::filesystem;

constexpr int kMaxLinks = 40;  // as the kernel allows
constexpr std::string_view kTemporaryStart = "temp_FileAllRSS_";
constexpr std::string_view kTemporaryEnd = ".rss";

fs::path FollowLinks(fs::path path) {
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::error_code error;
    fs::path target = fs::read_symlink(path, error);
    if (error) return path;
    path = target.is_absolute() ? target : path.parent_path() / target;
  }
  throw Error("Слишком много ссылок: " + path.string() + " (Too many links: " + path.string() +
              ")");
}

struct Identity {
  uint64_t device = 0;
  uint64_t inode = 0;
  auto operator<=>(const Identity&) const = default;
};

std::optional<Identity> IdentityOf(const fs::path& path) {
  struct stat st {};
  if (::stat(path.empty() ? "." : path.c_str(), &st) != 0) return std::nullopt;
  return Identity{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
}

// Where a name leads: the file when it exists, else its folder and its last part.
struct Place {
  std::optional<Identity> file;
  std::optional<Identity> folder;
  std::string leaf;
};

Place PlaceOf(std::string_view name) {
  const fs::path path = FollowLinks(FsPath(name));
  return {IdentityOf(path), IdentityOf(path.parent_path()), path.filename().string()};
}

bool SamePlace(const Place& a, const Place& b) {
  if (a.file || b.file) return a.file == b.file;
  return a.folder && a.folder == b.folder && a.leaf == b.leaf;
}

bool IsTemporaryStoreLeaf(std::string_view leaf) {
  if (leaf.size() != kTemporaryStart.size() + 4 + kTemporaryEnd.size() ||
      !leaf.starts_with(kTemporaryStart) || !leaf.ends_with(kTemporaryEnd)) {
    return false;
  }
  for (char c : leaf.substr(kTemporaryStart.size(), 4)) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

std::string TemporaryStoreName(std::string_view storeName, int number) {
  const size_t slash = storeName.rfind('/');
  char leaf[32];
  std::snprintf(leaf, sizeof leaf, "temp_FileAllRSS_%04d.rss", number);
  return std::string(slash == std::string_view::npos ? "" : storeName.substr(0, slash + 1)) + leaf;
}

std::string BackupStoreName(std::string_view storeName) { return std::string(storeName) + ".bak"; }

std::string FileNamedBy(std::string_view name) { return NameFromPath(FollowLinks(FsPath(name))); }

bool BelongsToStore(std::string_view storeName, std::string_view path) {
  if (storeName.empty() || path.empty()) return false;
  const Place target = PlaceOf(path);
  for (const std::string& store : {std::string(storeName), FileNamedBy(storeName)}) {
    for (const std::string& name :
         {store, StoreIndexName(store), ReadIndexName(store), StoreStateName(store),
          StoreLockName(store), BackupStoreName(store)}) {
      if (SamePlace(target, PlaceOf(name))) return true;
    }
    // Any temporary name, whether the target exists or not.
    const Place folder = PlaceOf(TemporaryStoreName(store));
    if (IsTemporaryStoreLeaf(target.leaf) && folder.folder && folder.folder == target.folder) {
      return true;
    }
  }
  return false;
}

void RequireAbsentOrRegular(std::string_view name) {
  struct stat st {};
  if (::stat(FollowLinks(FsPath(name)).c_str(), &st) != 0 || S_ISREG(st.st_mode)) return;
  const std::string shown = DisplayName(name);
  throw Error(
      "Нельзя записать в " + shown +
      ": это не обычный файл (папка, именованный канал, устройство или сокет). (Cannot write to " +
      shown + ": it is not a regular file but a folder, FIFO, device or socket.)");
}

void WriteStoreFileWhole(std::string_view name, const std::function<bool(std::string&)>& next) {
  RequireAbsentOrRegular(name);
  const fs::path target = FollowLinks(FsPath(name));
  const std::string shown = DisplayName(name);
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  const auto failure = [&](int err) {
    return Error("Не удалось записать " + shown + " (Cannot write " + shown +
                 "): " + ErrnoText(err));
  };
  Fd out(::mkstemp(temp.data()));
  if (out.fd < 0) throw failure(errno);
  const auto fail = [&](int err) {
    ::unlink(temp.c_str());
    throw failure(err);
  };
  try {
    std::string chunk;
    uint64_t written = 0;
    while (next(chunk)) {
      for (std::string_view rest = chunk; !rest.empty();) {
        const ssize_t n = ::write(out.fd, rest.data(), rest.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) fail(n < 0 ? errno : EIO);
        rest.remove_prefix(static_cast<size_t>(n));
      }
      StartWriteback(out.fd, written, chunk.size());
      written += chunk.size();
      chunk.clear();
    }
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  mode_t mode = 0;
  if (existed) {
    mode = old.st_mode & 07777;
    if (::fchown(out.fd, old.st_uid, old.st_gid) != 0) {
      // Only root may give a file away; an ordinary user's file stays the user's anyway.
    }
  } else {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  if (::fchmod(out.fd, mode) != 0 || ::fsync(out.fd) != 0) fail(errno);
  const int fd = out.fd;
  out.fd = -1;
  if (::close(fd) != 0) fail(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) fail(errno);
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.fd >= 0) ::fsync(dir.fd);
}

}  // namespace vorlin
