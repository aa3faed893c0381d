// download: the downloads page's batches and one-file download without a window, so that a cron
// job can download the due feeds and then run `vorlin-cli ingest`.
#include <signal.h>

#include <atomic>
#include <clocale>
#include <cstdio>
#include <optional>

#include "cli/cli_common.h"
#include "download/download_batch.h"
#include "download/feed_fetch.h"
#include "download/parallel_batch.h"
#include "download/url_text.h"
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
  std::optional<int> parallel;
};

// Counts SIGTERM and SIGINT; a change aborts the transfers in progress.
std::atomic<int> signalCount{0};

void CountSignal(int) { ++signalCount; }

// SIGTERM and SIGINT abort the downloads instead of killing the process, so that the partial
// files are removed and the list keeps the rows done.
struct SignalGuard {
  struct sigaction old[2] = {};
  SignalGuard() {
    struct sigaction action = {};
    action.sa_handler = &CountSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, &old[0]);
    sigaction(SIGINT, &action, &old[1]);
  }
  ~SignalGuard() {
    sigaction(SIGTERM, &old[0], nullptr);
    sigaction(SIGINT, &old[1], nullptr);
  }
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
      if (i + 1 >= args.size()) throw UsageError{a + " needs a value"};
      // A character the code page lacks reaches the server as it was given.
      parsed.url = UrlCellFromTyped(args[++i]);
    } else if (a == "--row") {
      setMode(DownloadArgs::Mode::kRow);
      std::optional<long long> n = ParseInteger(value());
      if (!n || *n < 1 || *n > 1'000'000'000) throw UsageError{"--row needs a row number from 1"};
      parsed.row = static_cast<int>(*n);
    } else if (a == "--now") {
      parsed.now = value();
    } else if (a == "--parallel") {
      std::optional<long long> n = ParseInteger(value());
      if (!n || *n < 1 || *n > kMaxParallelDownloads) {
        throw UsageError{"--parallel needs a number from 1 to 16"};
      }
      parsed.parallel = static_cast<int>(*n);
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

// Runs a batch to its end, printing its log lines in list order. The list keeps what was done
// even when an error ends the batch.
void RunBatch(DownloadBatch batch, FetchPool& pool, ValidatorMap& validators, int parallel,
              const std::string& folder, Progress& progress) {
  ParallelBatch run(batch, folder, &validators, parallel);
  for (;;) {
    if (signalCount.load() != 0) run.Stop();
    for (FetchRequest& request : run.Ready()) pool.Start(std::move(request), progress);
    for (const BatchReport& report : run.TakeReports()) PrintLogLine(report.line);
    if (run.Done()) break;
    for (const FetchResult& result : pool.Perform(1000)) run.Finished(result);
  }
  if (!run.Error().empty()) throw Error(run.Error());
}

struct Fetching {
  FetchPool& pool;
  FeedFetcher& one;
  ValidatorMap validators;
  int parallel;
  std::string folder;
  Progress& progress;
};

// The batches and the one-row download on the loaded list; false when the one row failed.
bool RunOnList(const DownloadArgs& a, DownloadGrid& grid, const Clock& clock, Fetching& f) {
  if (a.mode == DownloadArgs::Mode::kAll) {
    RunBatch(DownloadBatch(DownloadBatch::Kind::kManual, grid, clock, nullptr), f.pool,
             f.validators, f.parallel, f.folder, f.progress);
    return true;
  }
  if (a.mode == DownloadArgs::Mode::kDue) {
    if (DownloadCheckNeeded(grid, clock())) {
      RunBatch(DownloadBatch(DownloadBatch::Kind::kTimed, grid, clock, nullptr), f.pool,
               f.validators, f.parallel, f.folder, f.progress);
    }
    return true;
  }
  if (!grid.IsDataRow(a.row)) {
    throw Error("No row " + std::to_string(a.row) + " in " + DisplayName(a.list) + " (it has " +
                std::to_string(grid.RowCount() - 1) + " rows)");
  }
  const std::string url = grid.rows[a.row][kColUrl];
  const bool ok = f.one.DownloadFeedToFolder(url, f.folder, f.progress);
  if (f.one.Last().status == FetchStatus::kAborted) return false;
  const std::time_t now = clock();
  RecordOneDownload(grid, a.row, ok, now);
  const std::string stamp = FormatStamp(now);
  PrintLogLine(ok ? DownloadOkLine(url, stamp) : DownloadFailedLine(url, stamp));
  return ok;
}

int Download(Context& context, const std::vector<std::string>& args) {
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
  const int parallel =
      a.parallel.value_or(static_cast<int>(SettingsFile::Load(context.configDir + "OpsRss.txt")
                                               .GetInt("SpinEditParallelDownloads.Value")
                                               .value_or(kDefaultParallelDownloads)));
  const SignalGuard guard;
  signalCount = 0;
  FetchPool pool({}, &signalCount);
  FeedFetcher fetcher({}, &signalCount);
  CliProgress progress;
  const auto interrupted = [] {
    if (signalCount.load() != 0) {
      throw Error("Interrupted: the downloads in progress were aborted and their files removed");
    }
  };

  if (a.mode == DownloadArgs::Mode::kUrl) {
    const bool ok = fetcher.DownloadFeedToFolder(a.url, folder, progress);
    interrupted();
    const std::string now = FormatStamp(clock());
    PrintLogLine(ok ? DownloadOkLine(a.url, now) : DownloadFailedLine(a.url, now));
    if (!ok) throw Error("Cannot download " + Cp1251ToUtf8(a.url) + ": " + fetcher.LastError());
    return 0;
  }

  DownloadGrid grid;
  LoadGridFromFile(a.list, grid);
  SetDownloadGridHeaders(grid);
  Fetching f{pool, fetcher, LoadValidators(a.list), parallel, folder, progress};
  bool ok = true;
  try {
    ok = RunOnList(a, grid, clock, f);
  } catch (...) {
    // What was done before the error stays in the list, as in the window.
    try {
      SaveGridToFile(a.list, grid);
      SaveValidators(a.list, f.validators, grid);
    } catch (...) {
    }
    throw;
  }
  SaveGridToFile(a.list, grid);
  SaveValidators(a.list, f.validators, grid);
  interrupted();
  if (!ok) {
    throw Error("Cannot download " + Cp1251ToUtf8(grid.rows[a.row][kColUrl]) + ": " +
                fetcher.LastError());
  }
  return 0;
}

}  // namespace

void AddDownloadCommands(std::vector<Command>& commands) {
  commands.push_back(
      {"download",
       "download LIST --folder DIR (--all | --due | --url URL | --row N) [--now STAMP] "
       "[--parallel N]",
       "download feeds of the download list LIST into DIR: --all every row, --due the rows the "
       "download timer finds due, --url or --row one feed; prints the log lines and writes the "
       "new stamps into LIST (not with --url); --now fixes the clock; --parallel N transfers at "
       "once (1 to 16, default 4, at most 2 per host); feeds that have not changed since their "
       "last download (LIST.validators) are not fetched again",
       &Download});
}

}  // namespace vorlin::cli
