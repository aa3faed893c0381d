#include "reader/store_refresh.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "store/census.h"
#include "store/store_walk.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

bool ReadStoreTail(std::string_view storeName, const StoreStamp& loaded, LoadedStore& out) {
  if (!loaded.valid) return false;
  Fd in(::open(FsPath(storeName).c_str(), O_RDONLY | O_CLOEXEC));
  struct stat st {};
  if (in.fd < 0 || ::fstat(in.fd, &st) != 0) return false;
  const auto size = static_cast<uint64_t>(st.st_size);
  if (static_cast<uint64_t>(st.st_dev) != loaded.device ||
      static_cast<uint64_t>(st.st_ino) != loaded.inode || size < loaded.length) {
    return false;
  }
  // The bytes the list was loaded from must still be there, unchanged.
  const StoreStamp before = StampStore(storeName, loaded.length);
  if (before.inode != loaded.inode || before.tailCrc != loaded.tailCrc) return false;
  const std::string shown = DisplayName(storeName);
  std::string bytes(size - loaded.length, '\0');
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pread(in.fd, bytes.data() + done, bytes.size() - done,
                        static_cast<off_t>(loaded.length + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) throw Error("Cannot read store " + shown + ": " + ErrnoText(n < 0 ? errno : EIO));
    done += static_cast<size_t>(n);
  }
  MessageList fresh;
  WalkStoreText(
      bytes, kAllFields, [&](MessageValues& values) { fresh.Add(std::move(values)); },
      Cp1251ToUtf8(std::string(storeName)));
  out.tail = true;
  out.messages.Swap(fresh);
  out.stamp = StampStore(storeName, size);
  // Another file took the name between the two looks: load it whole.
  return out.stamp.inode == loaded.inode && out.stamp.device == loaded.device;
}

LoadedStore LoadStoreOrTail(std::string_view storeName, const StoreStamp& loaded,
                            Progress& progress) {
  LoadedStore out;
  if (!ReadStoreTail(storeName, loaded, out)) {
    out = LoadedStore();
    out.stamp = LoadStoreStamped(storeName, out.messages, progress);
  }
  NullProgress quiet;  // a tail's census is a handful of channels
  out.channels = TakeCensus(out.messages, out.tail ? static_cast<Progress&>(quiet) : progress);
  return out;
}

std::vector<std::string> MergeChannels(std::vector<std::string>& channels,
                                       const std::vector<std::string>& fresh) {
  auto less = [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; };
  std::vector<std::string> added;
  for (const std::string& title : fresh) {
    auto pos = std::lower_bound(channels.begin(), channels.end(), title, less);
    if (pos != channels.end() && CompareNoCase(*pos, title) == 0) continue;
    channels.insert(pos, title);
    added.push_back(title);
  }
  return added;
}

}  // namespace vorlin
