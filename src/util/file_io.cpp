#include "util/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <functional>

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

}  // namespace

std::filesystem::path FsPath(std::string_view name) {
  std::string utf8 = Cp1251ToUtf8(name);
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string NameFromPath(const std::filesystem::path& path) {
  std::u8string u8 = path.u8string();
  return Utf8ToCp1251(std::string(u8.begin(), u8.end()));
}

std::string DisplayName(std::string_view name) { return Cp1251ToUtf8(name); }

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
  const std::filesystem::path target = FsPath(name);
  const std::string path = target.string();
  std::filesystem::path dir = target.parent_path();
  if (dir.empty()) dir = ".";
  std::string tmpl = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
  int fd = ::mkstemp(tmpl.data());
  if (fd < 0) throw Error("Cannot write file " + path + ": " + ErrnoText(errno));
  Fd f(fd);
  auto fail = [&](int err) {
    ::unlink(tmpl.c_str());
    throw Error("Cannot write file " + path + ": " + ErrnoText(err));
  };
  std::string chunk;
  try {
    while (next(chunk)) {
      if (!WriteAll(fd, chunk)) fail(errno);
      chunk.clear();
    }
  } catch (...) {
    ::unlink(tmpl.c_str());
    throw;
  }
  if (::fsync(fd) != 0) fail(errno);
  ::fchmod(fd, 0644);
  if (::close(fd) != 0) {
    f.fd = -1;
    fail(errno);
  }
  f.fd = -1;
  if (::rename(tmpl.c_str(), path.c_str()) != 0) fail(errno);
  Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (d.fd >= 0) ::fsync(d.fd);
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
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

}  // namespace vorlin
