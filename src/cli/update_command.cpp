// update: from the download list to the store in one command, for cron: the downloads of
// `download --all` (or `--due`), then an ingestion run that scans the download folder too.
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "ingest/folder_scan.h"
#include "util/cp1251.h"
#include "util/file_io.h"
#include "util/settings_file.h"

namespace vorlin::cli {

namespace {

const Command& Named(const std::vector<Command>& commands, const std::string& name) {
  for (const Command& c : commands) {
    if (name == c.name) return c;
  }
  throw Error("vorlin-cli has no command " + name);
}

int Update(Context& context, const std::vector<std::string>& args) {
  std::string list;
  std::string folder;  // as given (UTF-8)
  std::string store;
  std::string mode;
  std::vector<std::string> download;
  std::vector<std::string> ingest;
  std::vector<std::string> scans;  // --scan folders given (UTF-8)
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
      return args[++i];
    };
    if (a == "--folder") {
      folder = value();
    } else if (a == "--store") {
      store = value();
    } else if (a == "--all" || a == "--due") {
      if (!mode.empty()) throw UsageError{"give one of --all and --due"};
      mode = a;
    } else if (a == "--now") {
      download.insert(download.end(), {a, value()});
    } else if (a == "--scan") {
      scans.push_back(value());
    } else if (!a.empty() && a[0] == '-') {
      ingest.push_back(a);  // the ingestion options; `ingest` refuses unknown ones
    } else if (list.empty()) {
      list = a;
    } else {
      throw UsageError{"unexpected argument '" + a + "'"};
    }
  }
  if (list.empty()) throw UsageError{"no download list file given"};
  if (folder.empty()) throw UsageError{"no download folder given (--folder DIR)"};
  if (store.empty()) throw UsageError{"no store given (--store FILE)"};
  if (mode.empty()) throw UsageError{"give one of --all and --due"};

  std::vector<Command> commands;
  AddDownloadCommands(commands);
  AddIngestCommands(commands);
  download.insert(download.begin(), {list, "--folder", folder, mode});
  Named(commands, "download").run(context, download);

  // The scan folders of DirRss.txt (or the --scan folders), and the download folder unless
  // one of them reaches it already.
  std::vector<std::string> folders;
  if (scans.empty()) {
    const std::string dirList = context.configDir + "DirRss.txt";
    if (FileExists(dirList)) folders = SplitLines(ReadWholeFile(dirList));
  } else {
    for (const std::string& s : scans) folders.push_back(Arg(s));
  }
  // A download folder below a scan folder is scanned with it when subfolders are.
  bool subfolders = SettingsFile::Load(context.configDir + "OpsRss.txt")
                        .GetFlag("CBoxScanSubDir.Checked")
                        .value_or(true);
  for (const std::string& option : ingest) {
    if (option == "--subdirs" || option == "--no-subdirs") subfolders = option == "--subdirs";
  }
  folders = WithDownloadFolder(folders, Arg(folder), subfolders);
  ingest.insert(ingest.begin(), {"--store", store});
  for (const std::string& f : folders) {
    if (!ScanFolderOfLine(f).empty()) ingest.insert(ingest.end(), {"--scan", Cp1251ToUtf8(f)});
  }
  return Named(commands, "ingest").run(context, ingest);
}

}  // namespace

void AddUpdateCommands(std::vector<Command>& commands) {
  commands.push_back(
      {"update", "update LIST --folder DIR --store FILE (--all | --due) [--now STAMP] [OPTIONS]",
       "download as `download` does, then one ingestion run into FILE that scans DIR besides "
       "the folders of DirRss.txt (or the --scan folders); OPTIONS as for `ingest`; prints "
       "both logs",
       &Update});
}

}  // namespace vorlin::cli
