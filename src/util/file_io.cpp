#include "util/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <random>

#include "util/cp1251.h"

namespace vorlin {

Fd::~Fd() {
  if (fd >= 0) ::close(fd);
}

namespace {

bool WriteAll(int fd, std::string_view data) {
  const char* p = data.data();
  size_t left = data.size();
  while (left > 0) {
    ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return true;
}

// The file a chain of symbolic links ends in (the path itself when it is no link).
std::filesystem::path ResolveLinks(std::filesystem::path path, const std::string& shown) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::error_code ec;
    std::filesystem::path to = std::filesystem::read_symlink(path, ec);
    if (ec) throw Error("Cannot write file " + shown + ": " + ec.message());
    path = to.is_absolute() ? to : path.parent_path() / to;
  }
  throw Error("Cannot write file " + shown + ": " + ErrnoText(ELOOP));
}

// A new file ".NAME.XXXXXX" in `dir` (six random letters or digits; leftovers of killed
// writers are recognised by this form), created with 0666 so that the umask applies.
int CreateTemporary(const std::filesystem::path& dir, const std::string& name, std::string& temp) {
  static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937_64 random(std::random_device{}() ^ static_cast<uint64_t>(::getpid())
                                                                   << 32);
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string suffix(6, ' ');
    for (char& c : suffix) c = kChars[random() % (sizeof kChars - 1)];
    temp = (dir / ("." + name + "." + suffix)).string();
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

}  // namespace

std::filesystem::path FsPath(std::string_view name) {
  // A name may hold characters the code page lacks as references, as every text taken from
  // outside does: they are the name's own characters again on disk.
  std::string utf8 = Cp1251RefsToUtf8(name);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string NameFromPath(const std::filesystem::path& path) {
  std::u8string u8 = path.u8string();
  return Utf8ToCp1251Refs(std::string(u8.begin(), u8.end()));
}

std::string DisplayName(std::string_view name) { return Cp1251RefsToUtf8(name); }

std::string ErrnoText(int err) { return std::strerror(err); }

bool FileExists(std::string_view name) {
  struct stat st {};
  return ::stat(FsPath(name).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool GetFileId(std::string_view name, FileId& id) {
  struct stat st {};
  if (::stat(FsPath(name).c_str(), &st) != 0) return false;
  id = FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  return true;
}

bool SameFile(std::string_view a, std::string_view b) {
  FileId ia;
  FileId ib;
  return GetFileId(a, ia) && GetFileId(b, ib) && ia == ib;
}

void RequireRegularFile(std::string_view name, std::string_view what) {
  const std::string path = FsPath(name).string();
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    throw Error("Cannot open " + std::string(what) + " " + path + ": " + ErrnoText(errno));
  }
  if (!S_ISREG(st.st_mode)) {
    throw Error("Cannot open " + std::string(what) + " " + path + ": " +
                ErrnoText(S_ISDIR(st.st_mode) ? EISDIR : EINVAL));
  }
}

std::string ReadWholeFile(std::string_view name) { return ReadWholeFileAt(FsPath(name)); }

std::string ReadWholeFileAt(const std::filesystem::path& fsPath) {
  const std::string path = fsPath.string();
  Fd f(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (f.fd < 0) throw Error("Cannot open file " + path + ": " + ErrnoText(errno));
  struct stat st {};
  if (::fstat(f.fd, &st) != 0) throw Error("Cannot read file " + path + ": " + ErrnoText(errno));
  if (S_ISDIR(st.st_mode)) throw Error("Cannot read file " + path + ": " + ErrnoText(EISDIR));
  std::string data;
  if (st.st_size > 0) data.reserve(static_cast<size_t>(st.st_size));
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(f.fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw Error("Cannot read file " + path + ": " + ErrnoText(errno));
    }
    if (n == 0) break;
    data.append(buf, static_cast<size_t>(n));
  }
  return data;
}

void WriteFileAtomic(std::string_view name, std::string_view data) {
  bool given = false;
  WriteFileAtomicChunks(name, [&](std::string& chunk) {
    if (given) return false;
    chunk.assign(data);
    given = true;
    return true;
  });
}

void WriteFileAtomicChunks(std::string_view name, const std::function<bool(std::string&)>& next) {
  const std::string path = FsPath(name).string();
  // A link is written through: the file it names is replaced and the link stays.
  const std::filesystem::path target = ResolveLinks(FsPath(name), path);
  struct stat old {};
  const bool exists = ::stat(target.c_str(), &old) == 0;
  if (exists && !S_ISREG(old.st_mode)) {
    throw Error("Cannot write file " + path + ": " +
                (S_ISDIR(old.st_mode) ? ErrnoText(EISDIR) : std::string("not a regular file")));
  }
  std::filesystem::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  std::string temp;
  Fd f(CreateTemporary(dir, target.filename().string(), temp));
  if (f.fd < 0) throw Error("Cannot write file " + path + ": " + ErrnoText(errno));
  auto fail = [&](int err) {
    ::unlink(temp.c_str());
    throw Error("Cannot write file " + path + ": " + ErrnoText(err));
  };
  // The replacement keeps what the user set on the old file before a byte of it is written
  // (a private list stays private); a new file has 0666 minus the umask from its creation.
  if (exists) {
    if (::fchmod(f.fd, old.st_mode & 07777) != 0) fail(errno);
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
      [[maybe_unused]] int ignored = ::fchown(f.fd, old.st_uid, old.st_gid);
    }
  }
  std::string chunk;
  try {
    while (next(chunk)) {
      if (!WriteAll(f.fd, chunk)) fail(errno);
      chunk.clear();
    }
  } catch (...) {
    ::unlink(temp.c_str());
    throw;
  }
  if (::fsync(f.fd) != 0) fail(errno);
  const int fd = f.fd;
  f.fd = -1;
  if (::close(fd) != 0) fail(errno);
  if (::rename(temp.c_str(), target.c_str()) != 0) fail(errno);
  Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (d.fd >= 0) ::fsync(d.fd);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  // Sized once (exactly for LF and CR LF ends): growing would move every line made so far.
  lines.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
  size_t size = 0;
  for (const auto& l : lines) size += l.size() + 2;
  std::string out;
  out.reserve(size);
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

void StartWriteback(int fd, uint64_t offset, uint64_t length) {
  ::sync_file_range(fd, static_cast<off64_t>(offset), static_cast<off64_t>(length),
                    SYNC_FILE_RANGE_WRITE);
}

}  // namespace vorlin
