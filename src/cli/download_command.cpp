// download: the downloads page's batches and one-file download without a window, so that a cron
// job can download the due feeds and then run `vorlin-cli ingest`.
#include <clocale>
#include <cstdio>
#include <optional>

#include "cli/cli_common.h"
#include "download/download_batch.h"
#include "download/feed_fetch.h"
#include "util/cp1251.h"
#include "util/file_io.h"
#include "util/settings_file.h"

namespace vorlin::cli {

void PrintLogLine(const std::string& line);  // ingest_commands.cpp

namespace {

struct DownloadArgs {
  std::string list;
  std::optional<std::string> folder;
  enum class Mode { kNone, kAll, kDue, kUrl, kRow } mode = Mode::kNone;
  std::string url;
  int row = 0;
  std::optional<std::string> now;
};

DownloadArgs ParseDownloadArgs(const std::vector<std::string>& args) {
  DownloadArgs parsed;
  auto setMode = [&](DownloadArgs::Mode mode) {
    if (parsed.mode != DownloadArgs::Mode::kNone) {
      throw UsageError{"give one of --all, --due, --url URL and --row N"};
    }
    parsed.mode = mode;
  };
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
      return Arg(args[++i]);
    };
    if (a == "--folder") {
      parsed.folder = value();
    } else if (a == "--all") {
      setMode(DownloadArgs::Mode::kAll);
    } else if (a == "--due") {
      setMode(DownloadArgs::Mode::kDue);
    } else if (a == "--url") {
      setMode(DownloadArgs::Mode::kUrl);
      parsed.url = value();
    } else if (a == "--row") {
      setMode(DownloadArgs::Mode::kRow);
      std::optional<long long> n = ParseInteger(value());
      if (!n || *n < 1 || *n > 1'000'000'000) throw UsageError{"--row needs a row number from 1"};
      parsed.row = static_cast<int>(*n);
    } else if (a == "--now") {
      parsed.now = value();
    } else if (!a.empty() && a[0] == '-') {
      throw UsageError{"unknown option '" + a + "'"};
    } else if (parsed.list.empty()) {
      parsed.list = Arg(a);
    } else {
      throw UsageError{"unexpected argument '" + a + "'"};
    }
  }
  if (parsed.list.empty()) throw UsageError{"no download list file given"};
  if (!parsed.folder) throw UsageError{"no download folder given (--folder DIR)"};
  if (parsed.mode == DownloadArgs::Mode::kNone) {
    throw UsageError{"give one of --all, --due, --url URL and --row N"};
  }
  return parsed;
}

std::string Trimmed(const std::string& text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Runs a batch to its end, printing its log lines. The list keeps what was done even when an
// error ends the batch.
void RunBatch(DownloadBatch batch, FeedFetcher& fetcher, const std::string& folder,
              Progress& progress) {
  while (std::optional<DownloadJob> job = batch.Next()) {
    PrintLogLine(batch.Complete(fetcher.DownloadFeedToFolder(job->url, folder, progress)));
  }
}

// The batches and the one-row download on the loaded list; false when the one row failed.
bool RunOnList(const DownloadArgs& a, DownloadGrid& grid, const Clock& clock, FeedFetcher& fetcher,
               const std::string& folder, Progress& progress) {
  if (a.mode == DownloadArgs::Mode::kAll) {
    RunBatch(DownloadBatch(DownloadBatch::Kind::kManual, grid, clock, nullptr), fetcher, folder,
             progress);
    return true;
  }
  if (a.mode == DownloadArgs::Mode::kDue) {
    if (DownloadCheckNeeded(grid, clock())) {
      RunBatch(DownloadBatch(DownloadBatch::Kind::kTimed, grid, clock, nullptr), fetcher, folder,
               progress);
    }
    return true;
  }
  if (!grid.IsDataRow(a.row)) {
    throw Error("No row " + std::to_string(a.row) + " in " + DisplayName(a.list) + " (it has " +
                std::to_string(grid.RowCount() - 1) + " rows)");
  }
  const std::string url = grid.rows[a.row][kColUrl];
  const bool ok = fetcher.DownloadFeedToFolder(url, folder, progress);
  const std::time_t now = clock();
  RecordOneDownload(grid, a.row, ok, now);
  const std::string stamp = FormatStamp(now);
  PrintLogLine(ok ? DownloadOkLine(url, stamp) : DownloadFailedLine(url, stamp));
  return ok;
}

int Download(Context&, const std::vector<std::string>& args) {
  const DownloadArgs a = ParseDownloadArgs(args);
  std::setlocale(LC_TIME, "");
  Clock clock = &SystemNow;
  if (a.now) {
    std::optional<std::time_t> fixed = ParseStamp(*a.now);
    if (!fixed) {
      throw UsageError{"--now '" + Cp1251ToUtf8(*a.now) + "' is not a stamp such as '" +
                       Cp1251ToUtf8(FormatStamp(SystemNow())) + "'"};
    }
    clock = [t = *fixed] { return t; };
  }
  const std::string folder = Trimmed(*a.folder);
  if (folder.empty()) {
    throw Error(
        "No download folder: choose the folder for downloaded files with the \"?\" button "
        "beside \"Download folder\" on the downloads page");
  }
  FeedFetcher fetcher;
  CliProgress progress;

  if (a.mode == DownloadArgs::Mode::kUrl) {
    const bool ok = fetcher.DownloadFeedToFolder(a.url, folder, progress);
    const std::string now = FormatStamp(clock());
    PrintLogLine(ok ? DownloadOkLine(a.url, now) : DownloadFailedLine(a.url, now));
    if (!ok) throw Error("Cannot download " + Cp1251ToUtf8(a.url) + ": " + fetcher.LastError());
    return 0;
  }

  DownloadGrid grid;
  LoadGridFromFile(a.list, grid);
  SetDownloadGridHeaders(grid);
  bool ok = true;
  try {
    ok = RunOnList(a, grid, clock, fetcher, folder, progress);
  } catch (...) {
    // What was done before the error stays in the list, as in the window.
    try {
      SaveGridToFile(a.list, grid);
    } catch (...) {
    }
    throw;
  }
  SaveGridToFile(a.list, grid);
  if (!ok) {
    throw Error("Cannot download " + Cp1251ToUtf8(grid.rows[a.row][kColUrl]) + ": " +
                fetcher.LastError());
  }
  return 0;
}

}  // namespace

void AddDownloadCommands(std::vector<Command>& commands) {
  commands.push_back(
      {"download", "download LIST --folder DIR (--all | --due | --url URL | --row N) [--now STAMP]",
       "download feeds of the download list LIST into DIR: --all every row, --due the rows the "
       "download timer finds due, --url or --row one feed; prints the log lines and writes the "
       "new stamps into LIST (not with --url); --now fixes the clock",
       &Download});
}

}  // namespace vorlin::cli
