#include "reader/export.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>
#include <system_error>

#include "ingest/store_append.h"
#include "reader/html_sanitizer.h"
#include "store/store_files.h"
#include "store/store_format.h"
#include "store/store_lock.h"
#include "store/store_map.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

constexpr size_t kRelativeLimit = 200;
constexpr size_t kNameBytes = 255;  // one name on Linux file systems, in UTF-8 bytes

bool IsBlankOrControl(unsigned char c) { return c <= ' '; }

bool IsBlank(std::string_view text) {
  for (char c : text) {
    if (!IsBlankOrControl(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

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

// The file is new (created exclusively), so a write that fails removes it: no empty or cut
// file is left under the name.
void WriteNewFile(const std::string& path, std::string_view bytes) {
  const std::string shown = DisplayName(path);
  const auto failure = [&](int err) {
    return Error("Не удалось записать " + shown + " (Cannot write " + shown +
                 "): " + ErrnoText(err));
  };
  int fd = ::open(FsPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) throw failure(errno);
  int err = 0;
  while (!bytes.empty() && err == 0) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) err = n < 0 ? errno : EIO;
    if (n > 0) bytes.remove_prefix(static_cast<size_t>(n));
  }
  if (::close(fd) != 0 && err == 0) err = errno;
  if (err != 0) {
    ::unlink(FsPath(path).c_str());
    throw failure(err);
  }
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

// Nothing is written from values that a cut of the store under the list turned into zeros.
static void RequireIntact(const MessageList& list) {
  if (!list.Intact()) throw Error(std::string(kStoreCutText));
}

void ExportFiles(const MessageList& list, const std::vector<int>& numbers,
                 const ExportOptions& options, Progress& progress) {
  const bool html = options.kind == ExportKind::kHtml;
  const std::string extension = html ? ".html" : ".txt";
  const size_t total = numbers.size();
  for (size_t i = 0; i < total; ++i) {
    const MessageValues message = list.Get(numbers[i]);
    RequireIntact(list);
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
    RequireIntact(list);
    return !chunk.empty();
  };
  // The target may be another store that scheduled runs write to.
  StoreLock lock(options.storeFile);
  if (!FileExists(options.storeFile)) {
    WriteStoreFileWhole(options.storeFile, chunks);
    return true;
  }
  switch (askExists()) {
    case ExistsAnswer::kOverwrite:
      WriteStoreFileWhole(options.storeFile, chunks);
      return true;
    case ExistsAnswer::kAppend: {
      // Only the new blocks are written, and the file is cut back if that fails.
      std::string blocks;
      for (int m : numbers) AppendStoreBlock(blocks, list, m, true);
      RequireIntact(list);
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

// A stored text value as HTML text: markup characters escaped, while the references the store
// keeps for characters the code page lacks (and "&#38;" for a literal "&") stay references, which
// a browser reads as those characters.
static std::string HtmlText(std::string_view value) {
  std::string out;
  for (size_t i = 0; i < value.size();) {
    if (const size_t n = EncodedRefLength(value, i); n > 0) {
      out.append(value.substr(i, n));
      i += n;
    } else {
      out += EscapeHtml(value.substr(i, 1));
      ++i;
    }
  }
  return out;
}

std::string ExportHtml(const MessageValues& m) {
  // Feeds are not trusted: text fields are text, the description keeps only harmless HTML, and
  // the page may neither run scripts nor fetch anything but pictures should something slip by.
  const std::string link = HtmlText(m[kLink]);
  const std::string anchor =
      IsSafeUrl(m[kLink], false) ? "<a href=\"" + link + "\">Link</a>" : std::string("Link");
  return NormaliseLineBreaks(
      "<HTML><HEAD><meta charset=\"windows-1251\"><meta http-equiv=\"Content-Security-Policy\" "
      "content=\"default-src 'none'; img-src * data:; style-src 'unsafe-inline'\"><title>" +
      HtmlText(m[kTitle]) + "</title>" + HtmlText(m[kTitleRss]) + "</HEAD><BODY><p>" +
      HtmlText(m[kTitle]) + "</p>" + SanitizeHtml(UnescapeAmpersandRefs(m[kDescription])) +
      "<p> (Date):  " + HtmlText(m[kPubDate]) + "</p><p> (" + anchor + "):  " + link +
      "</p></BODY></HTML>");
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

namespace {

// Refuses, before anything is written, numbers the list does not hold, an empty output folder
// or store file, a target store that belongs to the store the messages come from, and one
// that is not a regular file.
void CheckExportTarget(const MessageList& list, const std::vector<int>& numbers,
                       const ExportOptions& options, std::string_view currentStore) {
  for (int m : numbers) {
    if (m < 0 || m >= list.Count()) {
      throw Error(
          "Выгрузка отменена: список сообщений загружен заново. (The export was cancelled: the "
          "messages were loaded again; search again.)");
    }
  }
  if (options.kind != ExportKind::kStore) {
    // An empty folder would put the files into the root of the file system.
    if (IsBlank(options.outFolder)) {
      throw Error(
          "Не выбрана папка для выгружаемых файлов: выберите её кнопкой \"?\" у поля \"Папка для "
          "выгружаемых файлов\". (No output folder: choose one with the \"?\" button beside "
          "\"Path for unloading files\".)");
    }
    return;
  }
  if (IsBlank(options.storeFile)) {
    throw Error(
        "Не выбран файл для выгрузки сообщений: выберите его кнопкой \"?\" у поля \"Файл для "
        "выгрузки сообщений\". (No store file: choose one with the \"?\" button beside \"The "
        "File for unloading the messages\".)");
  }
  if (BelongsToStore(currentStore, options.storeFile)) {
    const std::string shown = DisplayName(options.storeFile);
    throw Error("Нельзя выгружать в " + shown +
                ": это файл хранилища, из которого берутся сообщения; выберите другой файл. "
                "(Cannot export into " +
                shown +
                ": it belongs to the store the messages come from (the store, its index, "
                "temporary or backup file); choose another file.)");
  }
  RequireAbsentOrRegular(options.storeFile);
}

}  // namespace

bool ExportMessages(const MessageList& list, const std::vector<int>& numbers,
                    const ExportOptions& options, std::string_view currentStore, Progress& progress,
                    const std::function<ExistsAnswer()>& askExists) {
  CheckExportTarget(list, numbers, options, currentStore);
  if (options.kind == ExportKind::kStore) {
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
  // Whatever would refuse the removal refuses it before anything is written, so that a retry
  // cannot write the messages twice: a store another process is writing among them, so its lock
  // is taken first and held through the replacement.
  std::optional<StoreLock> lock;
  if (options.removeFromStore) {
    lock.emplace(currentStore);
    CheckExportTarget(list, numbers, options, currentStore);
    CheckStoreReplacement(currentStore, loaded);
  }
  if (!ExportMessages(list, numbers, options, currentStore, progress, askExists)) return false;
  if (options.removeFromStore) ReplaceStoreWithout(currentStore, list, numbers, loaded);
  return true;
}

}  // namespace vorlin
