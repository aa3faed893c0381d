// File access for the core. Names are Windows-1251 text like every other core string and are
// converted to UTF-8 at the file-system call. Failures throw vorlin::Error naming the file
// and the reason.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

// A failure that ends the operation in progress. The message is UTF-8 and says what failed,
// which file and why; the window shows it in an error box, the command-line tool on stderr.
class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Closes a descriptor on every path out of a scope.
struct Fd {
  int fd = -1;
  explicit Fd(int f) : fd(f) {}
  ~Fd();
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
};

// The file-system path of a core (Windows-1251) file name, and back. A character the code page
// lacks is a numeric reference in the core name (as in every text), so no name is lost.
std::filesystem::path FsPath(std::string_view name);
std::string NameFromPath(const std::filesystem::path& path);

// The name as shown in messages (UTF-8).
std::string DisplayName(std::string_view name);

bool FileExists(std::string_view name);  // a regular file (or a link to one)

// The identity of a file on disk (device and inode), to tell when two names reach one file.
struct FileId {
  uint64_t device = 0;
  uint64_t inode = 0;
  auto operator<=>(const FileId&) const = default;
};
// False when the name reaches no file.
bool GetFileId(std::string_view name, FileId& id);
bool SameFile(std::string_view a, std::string_view b);

// Throws Error("Cannot open <what> <path>: <reason>") unless `name` is a regular file.
void RequireRegularFile(std::string_view name, std::string_view what);

// Reads the whole file. Throws Error when it cannot be opened or read.
std::string ReadWholeFile(std::string_view name);
// The same for a file-system path (UTF-8), such as a name found on disk that the code page
// cannot hold.
std::string ReadWholeFileAt(const std::filesystem::path& path);

// Writes `data` to a temporary file in the same folder, flushes it to disk and renames it
// over `name`, so the old file stays whole if anything fails. Every file the program rewrites
// goes through here, and keeps what the user set on it: the new file takes the old one's
// permissions (and owner, where allowed); a symbolic link is written through, so the file it
// names is replaced and the link stays; a new file gets 0666 minus the umask. A name that is
// neither absent nor a regular file (a folder, FIFO, device, socket) is refused before anything
// is written. Throws Error on failure.
void WriteFileAtomic(std::string_view name, std::string_view data);
// The same for data made piece by piece: `next` fills the chunk it is given and returns false
// when there is no more. An exception from `next` leaves the old file as it was.
void WriteFileAtomicChunks(std::string_view name, const std::function<bool(std::string&)>& next);

// Splits text into lines at CR LF, a lone CR or a lone LF. A last line without a line end
// is a line; a text ending in a line end has no empty last line.
std::vector<std::string> SplitLines(std::string_view text);

// Joins lines, each followed by CR LF.
std::string JoinLines(const std::vector<std::string>& lines);

// The message of errno `err` (UTF-8).
std::string ErrnoText(int err);

// Starts writing [offset, offset + length) of a file to disk without waiting, so that a large
// write's later fsync finds most of it done; only a hint, errors are ignored.
void StartWriteback(int fd, uint64_t offset, uint64_t length);

}  // namespace vorlin
