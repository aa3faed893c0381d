// demo: a copy of the sample feeds ingested into a fresh store, with the log and the census.
#include <stdlib.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cli/cli_common.h"
#include "ingest/ingestion_run.h"
#include "store/census.h"
#include "store/key_index.h"
#include "store/store_loader.h"
#include "util/file_io.h"
#include "util/settings_file.h"

#ifndef VORLIN_SAMPLES_DIR
#define VORLIN_SAMPLES_DIR "samples/feeds"
#endif

namespace vorlin::cli {

void PrintLogLine(const std::string& line);  // ingest_commands.cpp

namespace {

namespace fs = std::filesystem;

// Marks a folder as the demo's own, so a later --keep may reuse it.
constexpr const char* kDemoMarker = ".vorlin-demo";

// Writes the settings a window started with --config-dir on the demo folder needs to open the
// demo store and scan the demo feeds.
void WriteDemoSettings(const std::string& folder, const std::string& store,
                       const std::string& feeds) {
  SettingsFile settings;
  settings.Set("EditNameFileAllRSS.Text", store);
  settings.Set("EditTimeScan.Text", "15");
  settings.Save(folder + "OpsRss.txt");
  WriteFileAtomic(folder + "DirRss.txt", JoinLines({feeds}));
}

// The sample feeds installed beside the program (PREFIX/share/vorlin/samples/feeds for
// PREFIX/bin/vorlin-cli), else those of the source tree it was built from.
std::string DefaultSamples() {
  const std::string installed = ProgramFolder("") + "../share/vorlin/samples/feeds";
  if (fs::is_directory(FsPath(installed))) return installed;
  return Arg(VORLIN_SAMPLES_DIR);
}

}  // namespace

int Demo(Context&, const std::vector<std::string>& args) {
  std::string keep;
  std::string samples = DefaultSamples();
  for (size_t i = 0; i < args.size(); ++i) {
    if ((args[i] == "--keep" || args[i] == "--samples") && i + 1 < args.size()) {
      (args[i] == "--keep" ? keep : samples) = Arg(args[i + 1]);
      ++i;
    } else {
      throw UsageError{"unknown argument '" + args[i] + "'"};
    }
  }
  if (!fs::is_directory(FsPath(samples))) {
    throw Error("Cannot open sample folder " + DisplayName(samples) + ": not a folder");
  }

  fs::path root;
  if (keep.empty()) {
    const char* tmp = std::getenv("TMPDIR");
    std::string tmpl =
        std::string(tmp != nullptr && *tmp != 0 ? tmp : "/tmp") + "/vorlin-demo-XXXXXX";
    if (::mkdtemp(tmpl.data()) == nullptr) {
      throw Error("Cannot create a temporary folder in " + tmpl + ": " + ErrnoText(errno));
    }
    root = tmpl;
  } else {
    root = FsPath(keep);
    // The demo replaces its own files; it never touches a folder it did not make.
    std::error_code ec;
    if (fs::exists(root) && !fs::is_empty(root, ec) && !fs::exists(root / kDemoMarker)) {
      throw Error("Cannot use " + root.string() +
                  " for the demo: the folder is not empty and was not made by the demo");
    }
    fs::create_directories(root);
    // Only the demo's own names are replaced, so a reused folder starts afresh.
    for (const char* name : {"feeds", "demo.rss", "demo.BCRC32", "demo.RMCRC32"}) {
      fs::remove_all(root / name);
    }
  }
  root = fs::absolute(root);
  std::ofstream(root / kDemoMarker) << "made by vorlin-cli demo\n";
  const std::string folder = NameFromPath(root) + "/";
  const std::string feeds = folder + "feeds";
  const std::string store = folder + "demo.rss";
  try {
    fs::copy(FsPath(samples), FsPath(feeds), fs::copy_options::recursive);
    WriteDemoSettings(folder, store, feeds);

    std::setlocale(LC_TIME, "");
    IngestOptions options;  // the form defaults
    options.storeName = store;
    options.scanFolders = {feeds};
    KeyIndex storeIndex;
    MessageList list;
    std::vector<std::string> channels;
    {
      CliProgress progress;
      IngestEnv env{storeIndex, &PrintLogLine, progress};
      RunOneShotIngestion(options, env);
      KeyIndex().Save(ReadIndexName(store));
      LoadStore(store, list, progress);
      channels = TakeCensus(list, progress);
    }
    for (const auto& c : channels) PrintLine(c);
    PrintLine(CensusSummary(list.Count(), static_cast<int>(channels.size())));
    PrintLine(store);
  } catch (...) {
    if (keep.empty()) fs::remove_all(root);
    throw;
  }
  if (keep.empty()) fs::remove_all(root);
  return 0;
}

}  // namespace vorlin::cli
