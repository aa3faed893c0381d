#include "ingest/ingestion_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <fstream>
#include <optional>

#include "ingest/atom_rdf_reader.h"
#include "ingest/feed_format.h"
#include "ingest/feed_text.h"
#include "ingest/folder_scan.h"
#include "ingest/item_extraction.h"
#include "ingest/rss_file.h"
#include "ingest/store_append.h"
#include "store/store_lock.h"
#include "store/store_recovery.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {
namespace {

constexpr size_t kHeadBytes = 64 * 1024;

void DeleteFile(const std::filesystem::path& path) { ::unlink(path.c_str()); }

// Whether the path reaches the file `id` names.
bool IsFile(const std::filesystem::path& path, const FileId& id) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 &&
         FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)} == id;
}

std::string Stamp(IngestEnv& env) { return env.timeStamp ? env.timeStamp() : LocalTimeStamp(); }

void Log(IngestEnv& env, const std::string& line) {
  if (env.log) env.log(line);
}

// The text after the last ": " of an error message: the reason without the file name.
std::string ReasonOf(const std::string& message) {
  size_t colon = message.rfind(": ");
  return colon == std::string::npos ? message : message.substr(colon + 2);
}

// Takes the keys of a run back out of the store index unless the run got its blocks into the
// store: keys of messages that never reached the store would hide those messages for ever.
class KeyRollback {
 public:
  KeyRollback(KeyIndex& index, const ItemExtractor& extractor)
      : index_(index), extractor_(extractor) {}
  ~KeyRollback() {
    if (armed_) {
      for (const auto& key : extractor_.AddedKeys()) index_.Remove(key);
    }
  }
  void Disarm() { armed_ = false; }

 private:
  KeyIndex& index_;
  const ItemExtractor& extractor_;
  bool armed_ = true;
};

void RemoveDuplicates(const IngestOptions& options, IngestEnv& env) {
  Log(env, W("    Начал поиск дублей. (Began searching for of the copies.)"));
  DeleteDuplicateFiles(options.scanFolders, options.scanSubfolders, env.progress, env.log,
                       options.storeName);
}

bool IsFeed(FeedFormat format) {
  return format == FeedFormat::kRss || format == FeedFormat::kAtom || format == FeedFormat::kRdf;
}

// The first bytes of a file, enough to see its root element. Throws Error when it cannot be
// read.
std::string ReadHead(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw Error("Cannot open file " + path.string() + ": " + ErrnoText(errno));
  std::string head(kHeadBytes, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<size_t>(in.gcount()));
  return head;
}

// One file of the scan: a parsed feed and its format, or what it is instead.
struct ScannedFile {
  RssCheck check = RssCheck::kNotRss;
  std::string reason;  // kUnreadable: why (UTF-8)
  std::optional<FeedDocument> doc;
  FeedFormat format = FeedFormat::kRss;
  std::string root;  // the root element's name
};

// Throws FeedParseError when the file is a feed that does not parse.
ScannedFile OpenScannedFile(const std::filesystem::path& path) {
  ScannedFile file;
  file.check = CheckRssFile(path, &file.reason);
  try {
    if (file.check == RssCheck::kRss) {
      file.doc.emplace(FeedDocument::Load(path));
    } else if (file.check == RssCheck::kNotRss) {
      // Without the bytes "<rss " the root element decides.
      file.format = SniffFeedFormat(ReadHead(path), file.root);
      if (IsFeed(file.format)) file.doc.emplace(FeedDocument::Load(path));
    }
  } catch (const FeedParseError&) {
    throw;
  } catch (const Error& e) {
    file.check = RssCheck::kUnreadable;
    file.reason = ReasonOf(e.what());
    return file;
  }
  if (file.doc) {
    // A file with "<rss " somewhere is walked as RSS unless its root is another feed's.
    const FeedFormat found = DocumentFormat(*file.doc, file.root);
    if (file.check == RssCheck::kNotRss || found == FeedFormat::kAtom ||
        found == FeedFormat::kRdf) {
      file.format = found;
    }
  }
  return file;
}

}  // namespace

std::string LocalTimeStamp() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  ::localtime_r(&now, &local);
  char buf[128];
  size_t n = std::strftime(buf, sizeof buf, "%x %X", &local);
  return Utf8ToCp1251(std::string_view(buf, n));
}

int RunIngestion(const IngestOptions& options, IngestEnv& env) {
  // From the first look at the index to its save no other process may write the store: keys
  // checked here must be the keys of every message stored.
  StoreLock lock(options.storeName);
  RecoverStore(options.storeName);
  MergeStoreIndexFile(options.storeName, env.storeIndex);
  Log(env, W("    Сканирование файлов перед загрузкой "));
  const std::vector<std::filesystem::path> paths =
      ScanAllFolders(options.scanFolders, options.scanSubfolders, env.progress).paths;
  ItemExtractor extractor(options.uniqueOnly, env.storeIndex);
  if (options.keepUndated) {
    extractor.KeepUndated(Utf8ToCp1251(LocalRfc822(env.now ? env.now() : std::time(nullptr))));
  }
  KeyRollback rollback(env.storeIndex, extractor);
  std::vector<std::filesystem::path> processed;

  const std::string processedWord = W("Обработано ");
  const std::string fileWord = W("% Обработка файла ");
  const size_t total = paths.size();
  FileId storeId;
  const bool storeExists = FileExists(options.storeName) && GetFileId(options.storeName, storeId);
  Progress& fileProgress = env.fileProgress != nullptr ? *env.fileProgress : env.progress;
  for (size_t i = 0; i < total; ++i) {
    const std::filesystem::path& path = paths[i];
    const std::string shown = NameFromPath(path);  // the code page may not hold every name
    fileProgress.ShowStatusText(processedWord + std::to_string((i + 1) * 100 / total) + fileWord +
                                shown);
    // A store named *.xml inside a scan folder is no feed: never parse or delete it.
    if (storeExists && IsFile(path, storeId)) continue;
    ScannedFile file;
    try {
      file = OpenScannedFile(path);
    } catch (const FeedParseError& e) {
      Log(env, W(" Ошибка при парсинге файла ") + shown);
      if (options.deleteBadFiles && !e.ResourceLimit()) DeleteFile(path);
      continue;
    }
    if (file.check == RssCheck::kUnreadable) {
      // Being written by another program, or not ours to read: leave it for a later run.
      Log(env, W(" Ошибка при открытии файла ") + shown + ": " + Utf8ToCp1251(file.reason));
      continue;
    }
    if (!IsFeed(file.format)) {
      Log(env, NotAFeedLine(file.format, file.root, shown));
      if (options.deleteNotRss) DeleteFile(path);
      continue;
    }
    const FeedDocument& doc = *file.doc;
    if (!doc.CompletelyLoaded()) Log(env, W(" файл не разобран ") + shown);
    if (file.format == FeedFormat::kRss) {
      extractor.ResetFileState();
      extractor.WalkNodes(doc.FirstChild());
    } else {
      ReadAtomOrRdf(doc, file.format, [&](const FeedEntry& entry) { extractor.AddEntry(entry); });
    }
    processed.push_back(path);
  }

  Log(env, W("    Запись найденых сообщений в файл "));
  AppendToStore(options.storeName, extractor.NewItemText(),
                [&](uint64_t length, uint64_t appendingTo) {
                  BeginStoreAppend(options.storeName, length, appendingTo);
                });
  rollback.Disarm();
  env.storeIndex.Save(StoreIndexName(options.storeName));
  RecordIndexCoversStore(options.storeName);

  if (options.deleteProcessed) {
    Log(env, W("    Удаление обработанных файлов "));
    for (const auto& path : processed) DeleteFile(path);
  }
  Log(env, W("    Загрузка завершена.Загружено новых сообщений ") +
               std::to_string(extractor.NewMessages()));
  return extractor.NewMessages();
}

int RunOneShotIngestion(const IngestOptions& options, IngestEnv& env) {
  StoreLock lock(options.storeName);  // a busy store fails the run before anything is done
  Log(env, W("    Запуск однократно.(Start one-shot.) ") + Stamp(env));
  if (options.purgeDuplicates) RemoveDuplicates(options, env);
  Log(env, W("    Начал загрузку сообщений (Began loading the messages)") + Stamp(env));
  int added = RunIngestion(options, env);
  Log(env, W("  Операция завершена.(The Operation completed) ") + Stamp(env));
  return added;
}

int RunTimedIngestion(const IngestOptions& options, IngestEnv& env) {
  StoreLock lock(options.storeName);
  if (options.purgeDuplicates) RemoveDuplicates(options, env);
  Log(env, W("    Начал загрузку сообщений (Began loading the messages)"));
  return RunIngestion(options, env);
}

}  // namespace vorlin
