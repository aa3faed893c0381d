#include "ingest/store_append.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "store/store_format.h"
#include "util/file_io.h"

namespace vorlin {

void AppendToStore(std::string_view storeName, std::string_view newItemText,
                   const AppendNotice& beforeWrite) {
  const std::string path = FsPath(storeName).string();
  auto fail = [&](int err) { throw Error("Cannot write store " + path + ": " + ErrnoText(err)); };
  bool created = false;
  int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    created = fd >= 0;
  }
  if (fd < 0) fail(errno);
  struct stat st {};
  const int statRc = ::fstat(fd, &st);
  if (statRc != 0 || !S_ISREG(st.st_mode)) {
    int err = statRc != 0 ? errno : EINVAL;
    ::close(fd);
    if (created) ::unlink(path.c_str());
    fail(err);
  }
  const off_t oldLength = st.st_size;

  std::string data;
  if (oldLength > 0 && !newItemText.empty()) {
    char last = 0;
    if (::pread(fd, &last, 1, oldLength - 1) != 1) {
      int err = errno;
      ::close(fd);
      fail(err != 0 ? err : EIO);
    }
    // A store this program wrote always ends in CR LF; anything else gets a line end first so
    // the first new block starts on a line of its own.
    if (last != '\n' && last != '\r') data = "\r\n";
  }
  data += NormaliseLineBreaks(newItemText);

  // Whatever goes wrong from here, the store is cut back to what it was.
  auto rollback = [&](int err) {
    if (created) {
      ::unlink(path.c_str());
    } else if (::ftruncate(fd, oldLength) == 0) {
      ::fsync(fd);
    }
    ::close(fd);
    fail(err);
  };
  if (beforeWrite && !data.empty()) {
    try {
      beforeWrite(static_cast<uint64_t>(oldLength), static_cast<uint64_t>(oldLength) + data.size());
    } catch (...) {
      ::close(fd);
      if (created) ::unlink(path.c_str());
      throw;
    }
  }
  const char* p = data.data();
  size_t left = data.size();
  off_t at = oldLength;
  while (left > 0) {
    ssize_t n = ::pwrite(fd, p, left, at);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) rollback(n < 0 ? errno : EIO);
    p += n;
    at += n;
    left -= static_cast<size_t>(n);
  }
  if (!data.empty() && ::fsync(fd) != 0) rollback(errno);
  if (::close(fd) != 0) {
    fd = -1;
    int err = errno;
    // The descriptor is gone; cut back through the name.
    if (created) {
      ::unlink(path.c_str());
    } else {
      if (::truncate(path.c_str(), oldLength) != 0) err = err != 0 ? err : errno;
    }
    fail(err);
  }
}

}  // namespace vorlin
