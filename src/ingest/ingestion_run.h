// The ingestion run: the RSS files of the scan folders become new messages at the end of the
// store. The scan page's buttons and timer call these functions; so does `vorlin-cli ingest`.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "ingest/duplicate_files.h"
#include "store/key_index.h"
#include "util/progress.h"

namespace vorlin {

// The options of a run, read from the scan page when the run starts.
struct IngestOptions {
  std::string storeName;                 // EditNameFileAllRSS
  std::vector<std::string> scanFolders;  // the lines of MRSSDir
  bool scanSubfolders = true;            // CBoxScanSubDir
  bool purgeDuplicates = true;           // CBoxPurgeEq
  bool deleteProcessed = false;          // CBoxDelRssAfterProc
  bool deleteNotRss = false;             // CBoxDeleteXmlNotRSS
  bool uniqueOnly = true;                // CBoxLoadUniqueMess
  bool deleteBadFiles = true;            // CBoxDelBadRSSFiles
  bool keepUndated = false;              // CBoxKeepUndatedMess
};

// What a run works with: the store index in memory, the log pane, the third status panel and
// the clock of the time stamps.
struct IngestEnv {
  KeyIndex& storeIndex;
  LogSink log;
  Progress& progress;  // scan and duplicate removal: the window repaints and processes events
  std::function<std::string()> timeStamp = nullptr;  // empty: LocalTimeStamp
  // The per-file texts of the run ("Обработано N% Обработка файла ..."), during which the
  // window repaints but processes no events; null: `progress`.
  Progress* fileProgress = nullptr;
  // The clock that dates items kept without a date of their own; empty: std::time.
  std::function<std::time_t()> now = nullptr;
};

// The local date in the locale's short form, one blank, the local time in its long form.
std::string LocalTimeStamp();

// One run (RunIngestion): scans the folders, tests and reads every "*.xml" file (RSS 2.0 and
// 0.9x, Atom, RSS 1.0; recognised by the bytes "<rss " or by the root element), appends the
// new item blocks to the store, saves the store index, and with deleteProcessed deletes the
// files walked. Logs in order "    Сканирование файлов перед загрузкой ", one line per file
// that fails to parse (" Ошибка при парсинге файла " + path), could not be parsed whole
// (" файл не разобран " + path), is no feed (NotAFeedLine: HTML, not XML, another root
// element) or could not be opened (" Ошибка при открытии файла " + path
// + ": " + reason; the file is left alone), "    Запись найденых сообщений в файл ",
// optionally "    Удаление обработанных файлов ", and "    Загрузка завершена.Загружено новых
// сообщений " + count. Returns the number of new messages.
//
// When the store cannot be written, Error is thrown: the store is left as it was, the keys
// this run added are taken out of the store index again, the index file is not written and
// no file is deleted.
int RunIngestion(const IngestOptions& options, IngestEnv& env);

// ButtonStartOneClick between disabling and enabling its buttons: the start line with a time
// stamp, the duplicate removal when enabled, the run, and the completion line.
int RunOneShotIngestion(const IngestOptions& options, IngestEnv& env);

// The run of TimerScanTimer: the duplicate removal when enabled, "    Начал загрузку
// сообщений (Began loading the messages)" without a time stamp, and the run.
int RunTimedIngestion(const IngestOptions& options, IngestEnv& env);

}  // namespace vorlin
