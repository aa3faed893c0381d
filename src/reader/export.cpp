#include "reader/export.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <system_error>

#include "ingest/store_append.h"
#include "store/store_format.h"
#include "store/store_lock.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

constexpr size_t kRelativeLimit = 200;
constexpr size_t kNameBytes = 255;  // one name on Linux file systems, in UTF-8 bytes

bool IsBlankOrControl(unsigned char c) { return c <= ' '; }

bool IsSafe(unsigned char c) {
  return c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         c >= 0xC0;
}

std::string_view FirstChars(std::string_view text, int count) {
  return text.substr(0, count > 0 ? static_cast<size_t>(count) : 0);
}

// The longest start of `name` whose UTF-8 form takes at most `bytes` bytes.
std::string FitBytes(std::string_view name, size_t bytes) {
  size_t used = 0;
  size_t keep = 0;
  while (keep < name.size()) {
    const size_t width = Cp1251ToUtf8(name.substr(keep, 1)).size();
    if (used + width > bytes) break;
    used += width;
    ++keep;
  }
  return std::string(name.substr(0, keep));
}

void WriteNewFile(const std::string& path, std::string_view bytes) {
  const std::string shown = DisplayName(path);
  int fd = ::open(FsPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) throw Error("Cannot write " + shown + ": " + ErrnoText(errno));
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int err = n < 0 ? errno : EIO;
      ::close(fd);
      throw Error("Cannot write " + shown + ": " + ErrnoText(err));
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  if (::close(fd) != 0) throw Error("Cannot write " + shown + ": " + ErrnoText(errno));
}

void MakeFolderFor(const std::string& path) {
  const std::filesystem::path folder = FsPath(path).parent_path();
  std::error_code error;
  if (folder.empty() || std::filesystem::is_directory(folder, error)) return;
  std::filesystem::create_directories(folder, error);
  if (error || !std::filesystem::is_directory(folder)) {
    throw ExportFolderError("Невозможно создать каталог(Impossible create Dir.) - " +
                            folder.string());
  }
}

void ExportFiles(const MessageList& list, const std::vector<int>& numbers,
                 const ExportOptions& options, Progress& progress) {
  const bool html = options.kind == ExportKind::kHtml;
  const std::string extension = html ? ".html" : ".txt";
  const size_t total = numbers.size();
  for (size_t i = 0; i < total; ++i) {
    const MessageValues message = list.Get(numbers[i]);
    const std::string relative = ExportRelativeName(options.outFolder, message[kTitleRss],
                                                    message[kTitle], options.nameLength);
    const std::string path = FreeExportPath(options.outFolder, relative, extension);
    MakeFolderFor(path);
    WriteNewFile(path, html ? ExportHtml(message) : ExportText(message));
    if (i % 100 == 0) {
      progress.ShowStatusText("all files-" + std::to_string(total - 1) + " current-" +
                              std::to_string(i));
    }
  }
}

// Returns false when the user cancelled at the file-exists prompt.
bool ExportStore(const MessageList& list, const std::vector<int>& numbers,
                 const ExportOptions& options, const std::function<ExistsAnswer()>& askExists) {
  // The item text, already as the line list writes it, made a few megabytes at a time.
  size_t next = 0;
  const auto chunks = [&](std::string& chunk) {
    while (next < numbers.size() && chunk.size() < (4u << 20)) {
      AppendStoreBlock(chunk, list, numbers[next++], true);
    }
    return !chunk.empty();
  };
  // The target may be another store that scheduled runs write to.
  StoreLock lock(options.storeFile);
  if (!FileExists(options.storeFile)) {
    WriteFileAtomicChunks(options.storeFile, chunks);
    return true;
  }
  switch (askExists()) {
    case ExistsAnswer::kOverwrite:
      WriteFileAtomicChunks(options.storeFile, chunks);
      return true;
    case ExistsAnswer::kAppend: {
      // Only the new blocks are written, and the file is cut back if that fails.
      std::string blocks;
      for (int m : numbers) AppendStoreBlock(blocks, list, m, true);
      AppendToStore(options.storeFile, blocks);
      return true;
    }
    case ExistsAnswer::kCancel:
      break;
  }
  return false;
}

}  // namespace

std::string SafeName(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlankOrControl(static_cast<unsigned char>(text[begin]))) ++begin;
  while (end > begin && IsBlankOrControl(static_cast<unsigned char>(text[end - 1]))) --end;
  std::string name(text.substr(begin, end - begin));
  for (char& c : name) {
    if (!IsSafe(static_cast<unsigned char>(c))) c = '_';
  }
  return name.empty() ? "blank_name" : name;
}

// The exports are Windows-1251 files: a character the code page lacks stays a reference
// ("&#233;", which the HTML file shows as the character), an escaped "&" is one again.
std::string ExportText(const MessageValues& m) {
  return UnescapeAmpersandRefs(
      NormaliseLineBreaks(m[kTitleRss] + "\n\n" + m[kTitle] + "\n\n" + m[kDescription] +
                          "\n\n (Date):  " + m[kPubDate] + "\n (Link):  " + m[kLink]));
}

std::string ExportHtml(const MessageValues& m) {
  return UnescapeAmpersandRefs(
      NormaliseLineBreaks("<HTML><HEAD>" + m[kTitleRss] + "</HEAD><BODY><p>" + m[kTitle] + "</p>" +
                          m[kDescription] + "<p> (Date):  " + m[kPubDate] + "</p><p> (<a href=\"" +
                          m[kLink] + "\">Link</a>):  " + m[kLink] + "</p></BODY></HTML>"));
}

std::string ExportRelativeName(std::string_view outFolder, std::string_view channel,
                               std::string_view title, int nameLength) {
  // A character kept as a reference is one character of the name, made "_" as before.
  auto plain = [](std::string_view v) { return Utf8ToCp1251(Cp1251RefsToUtf8(v)); };
  std::string relative = SafeName(FirstChars(plain(channel), nameLength)) + "/" +
                         SafeName(FirstChars(plain(title), nameLength));
  const size_t room = outFolder.size() < kRelativeLimit ? kRelativeLimit - outFolder.size() : 0;
  if (relative.size() > room) relative.resize(room);
  return relative;
}

std::string FreeExportPath(std::string_view outFolder, std::string_view relative,
                           std::string_view extension) {
  std::string folderPart;
  std::string_view filePart = relative;
  if (size_t slash = relative.find('/'); slash != std::string_view::npos) {
    folderPart = FitBytes(relative.substr(0, slash), kNameBytes) + "/";
    filePart = relative.substr(slash + 1);
  }
  const std::string base = std::string(outFolder) + "/" + folderPart;
  for (unsigned long long k = 0;; ++k) {
    const std::string suffix = "_" + std::to_string(k) + std::string(extension);
    const std::string path = base + FitBytes(filePart, kNameBytes - suffix.size()) + suffix;
    std::error_code error;
    if (!std::filesystem::exists(std::filesystem::symlink_status(FsPath(path), error))) {
      return path;
    }
  }
}

bool ExportMessages(const MessageList& list, const std::vector<int>& numbers,
                    const ExportOptions& options, std::string_view currentStore, Progress& progress,
                    const std::function<ExistsAnswer()>& askExists) {
  if (options.kind == ExportKind::kStore) {
    if (options.storeFile.empty()) throw Error("Cannot export: no store file is named");
    if (!currentStore.empty() && SameFile(options.storeFile, currentStore)) {
      throw Error("Cannot export into " + DisplayName(options.storeFile) +
                  ": it is the store the messages come from; choose another file");
    }
    if (!ExportStore(list, numbers, options, askExists)) return false;
  } else {
    ExportFiles(list, numbers, options, progress);
  }
  progress.ShowStatusText(" Ok-" + std::to_string(numbers.size()));
  return true;
}

bool ExportAndRemove(const MessageList& list, const std::vector<int>& numbers,
                     const ExportOptions& options, std::string_view currentStore,
                     const StoreStamp& loaded, Progress& progress,
                     const std::function<ExistsAnswer()>& askExists) {
  if (!ExportMessages(list, numbers, options, currentStore, progress, askExists)) return false;
  if (options.removeFromStore) ReplaceStoreWithout(currentStore, list, numbers, loaded);
  return true;
}

}  // namespace vorlin
