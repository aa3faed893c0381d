// ingest: one ingestion run as the button "Запуск однократно.(Start one-shot.)" does it.
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "cli/cli_common.h"
#include "ingest/folder_scan.h"
#include "ingest/ingestion_run.h"
#include "store/key_index.h"
#include "store/store_loader.h"
#include "store/store_lock.h"
#include "store/store_recovery.h"
#include "util/file_io.h"
#include "util/settings_file.h"

namespace vorlin::cli {

int Demo(Context& context, const std::vector<std::string>& args);  // demo_command.cpp

void PrintLogLine(const std::string& line) {
  // A progress text on the terminal has no line end; clear it so the log line stands alone.
  static const bool terminal = ::isatty(STDERR_FILENO) == 1;
  if (terminal) std::fputs("\r\033[K", stderr);
  PrintLine(line);
  std::fflush(stdout);
}

namespace {

struct FlagOption {
  const char* name;  // "subdirs" for --subdirs / --no-subdirs
  const char* key;   // settings key
  bool IngestOptions::*field;
};

constexpr FlagOption kFlags[] = {
    {"subdirs", "CBoxScanSubDir.Checked", &IngestOptions::scanSubfolders},
    {"purge-dups", "CBoxPurgeEq.Checked", &IngestOptions::purgeDuplicates},
    {"delete-processed", "CBoxDelRssAfterProc.Checked", &IngestOptions::deleteProcessed},
    {"delete-not-rss", "CBoxDeleteXmlNotRSS.Checked", &IngestOptions::deleteNotRss},
    {"unique", "CBoxLoadUniqueMess.Checked", &IngestOptions::uniqueOnly},
    {"delete-bad", "CBoxDelBadRSSFiles.Checked", &IngestOptions::deleteBadFiles},
    {"keep-undated", "CBoxKeepUndatedMess.Checked", &IngestOptions::keepUndated},
};

// The options as the window would hold them after start-up: OpsRss.txt and DirRss.txt of the
// program folder, form defaults for whatever they lack.
IngestOptions OptionsFromSettings(const std::string& configDir) {
  IngestOptions options;
  SettingsFile settings = SettingsFile::Load(configDir + "OpsRss.txt");
  options.storeName = settings.Get("EditNameFileAllRSS.Text").value_or("");
  for (const auto& flag : kFlags) {
    if (auto value = settings.GetFlag(flag.key)) options.*flag.field = *value;
  }
  const std::string dirList = configDir + "DirRss.txt";
  if (FileExists(dirList)) options.scanFolders = SplitLines(ReadWholeFile(dirList));
  return options;
}

void ApplyArguments(const std::vector<std::string>& args, IngestOptions& options) {
  std::vector<std::string> scans;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](const char* option) -> std::optional<std::string> {
      const std::string prefix = std::string(option) + "=";
      if (a == option) {
        if (i + 1 >= args.size()) throw UsageError{std::string(option) + " needs a value"};
        return Arg(args[++i]);
      }
      if (a.rfind(prefix, 0) == 0) return Arg(a.substr(prefix.size()));
      return std::nullopt;
    };
    if (auto store = value("--store")) {
      options.storeName = *store;
      continue;
    }
    if (auto scan = value("--scan")) {
      scans.push_back(*scan);
      continue;
    }
    bool known = false;
    for (const auto& flag : kFlags) {
      if (a == std::string("--") + flag.name) {
        options.*flag.field = true;
        known = true;
      } else if (a == std::string("--no-") + flag.name) {
        options.*flag.field = false;
        known = true;
      }
    }
    if (!known) throw UsageError{"unknown option '" + a + "'"};
  }
  if (!scans.empty()) options.scanFolders = scans;
}

int Ingest(Context& context, const std::vector<std::string>& args) {
  IngestOptions options = OptionsFromSettings(context.configDir);
  ApplyArguments(args, options);
  if (options.storeName.empty()) {
    throw Error("Нет файла хранилища: задайте --store FILE или EditNameFileAllRSS.Text в " +
                DisplayName(context.configDir) +
                "OpsRss.txt (No store file: give --store FILE or " +
                "set EditNameFileAllRSS.Text in " + DisplayName(context.configDir) + "OpsRss.txt)");
  }
  // Without a folder to scan a run could only create an empty store and indexes: a folder that
  // is not there (a typing error) would otherwise be reported as a run that found nothing.
  if (std::none_of(options.scanFolders.begin(), options.scanFolders.end(),
                   [](const std::string& line) {
                     const std::string folder = ScanFolderOfLine(line);
                     return !folder.empty() && std::filesystem::is_directory(FsPath(folder));
                   })) {
    throw Error("Нет папки для сканирования: задайте --scan DIR или папки в " +
                DisplayName(context.configDir) +
                "DirRss.txt (ни одной из названных нет); ничего не создано (No scan folder: " +
                "give --scan DIR or list folders in DirRss.txt (none of those named exists); " +
                "nothing was created)");
  }
  std::setlocale(LC_TIME, "");
  // The whole command is one writer: from loading the indexes to saving them.
  StoreLock lock(options.storeName);
  RecoverStore(options.storeName);
  KeyIndex storeIndex;
  KeyIndex readIndex;
  LoadOrRebuildStoreIndex(options.storeName, storeIndex);
  readIndex.Load(ReadIndexName(options.storeName));
  {
    CliProgress progress;
    IngestEnv env{storeIndex, &PrintLogLine, progress};
    RunOneShotIngestion(options, env);
  }
  // As the window does at shutdown; the run itself has saved the store index.
  readIndex.Save(ReadIndexName(options.storeName));
  return 0;
}

}  // namespace

void AddIngestCommands(std::vector<Command>& commands) {
  commands.push_back({"ingest", "ingest [--store FILE] [--scan DIR]... [OPTIONS]",
                      "one ingestion run into the store, printing the log; OPTIONS: "
                      "--[no-]subdirs --[no-]purge-dups --[no-]delete-processed "
                      "--[no-]delete-not-rss --[no-]unique --[no-]delete-bad --[no-]keep-undated",
                      &Ingest});
  commands.push_back({"demo", "demo [--keep DIR] [--samples DIR]",
                      "ingest a copy of the sample feeds into a demo store in DIR (else a "
                      "temporary folder, removed at the end); print the log, the census and the "
                      "store's path",
                      &Demo});
}

}  // namespace vorlin::cli
