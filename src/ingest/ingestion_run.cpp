#include "ingest/ingestion_run.h"

#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <optional>

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
    std::string reason;
    RssCheck check = CheckRssFile(path, &reason);
    std::optional<FeedDocument> doc;
    if (check == RssCheck::kRss) {
      try {
        doc.emplace(FeedDocument::Load(path));
      } catch (const FeedParseError& e) {
        Log(env, W(" Ошибка при парсинге файла ") + shown);
        if (options.deleteBadFiles && !e.ResourceLimit()) DeleteFile(path);
        continue;
      } catch (const Error& e) {
        check = RssCheck::kUnreadable;
        reason = ReasonOf(e.what());
      }
    }
    if (check == RssCheck::kUnreadable) {
      // Being written by another program, or not ours to read: leave it for a later run.
      Log(env, W(" Ошибка при открытии файла ") + shown + ": " + Utf8ToCp1251(reason));
      continue;
    }
    if (check == RssCheck::kNotRss) {
      if (options.deleteNotRss) DeleteFile(path);
      continue;
    }
    if (!doc->CompletelyLoaded()) Log(env, W(" файл не разобран ") + shown);
    extractor.ResetFileState();
    extractor.WalkNodes(doc->FirstChild());
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
