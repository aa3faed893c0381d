// search: a search as the reader runs it, on the same core code.
#include <chrono>
#include <cstdio>
#include <optional>

#include "cli/cli_common.h"
#include "app/accumulator.h"
#include "reader/channel_lists.h"
#include "reader/date_presets.h"
#include "reader/message_filter.h"
#include "reader/message_sort.h"
#include "reader/message_view.h"
#include "store/key_index.h"
#include "store/store_loader.h"
#include "util/file_io.h"

namespace vorlin::cli {
namespace {

Date ParseDay(const std::string& text, const char* option) {
  Date d;
  char extra = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &d.year, &d.month, &d.day, &extra) != 3 ||
      d.month < 1 || d.month > 12 || d.day < 1 || AddDays(d, 0) != d) {
    throw UsageError{std::string(option) + " needs a date YYYY-MM-DD"};
  }
  return d;
}

struct SearchArgs {
  std::string store;
  SearchSettings settings;
  std::optional<int> range;
  std::optional<Date> from, to, today;
  bool sort = false, count = false, json = false, timing = false;
  int prefix = 80;
};

int ParseInt(const std::string& text, const char* option, int min, int max) {
  size_t used = 0;
  int v = 0;
  try {
    v = std::stoi(text, &used);
  } catch (const std::exception&) {
    used = 0;
  }
  if (used == 0 || used != text.size() || v < min || v > max) {
    throw UsageError{std::string(option) + " needs a number from " + std::to_string(min) + " to " +
                     std::to_string(max)};
  }
  return v;
}

SearchArgs ParseSearchArgs(const std::vector<std::string>& args) {
  SearchArgs a;
  const char* queryOptions[4] = {"--channels-query", "--title", "--description", "--link"};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
      return args[++i];
    };
    bool query = false;
    for (size_t q = 0; q < 4; ++q) {
      if (arg == queryOptions[q]) {
        a.settings.queries[q] = Arg(value());
        a.settings.useFilter = query = true;
      }
    }
    if (query) continue;
    if (arg == "--channel") {
      a.settings.selectedChannels.push_back(Arg(value()));
    } else if (arg == "--group") {
      for (auto& line : ReadGroupFile(Arg(value()))) a.settings.selectedChannels.push_back(line);
    } else if (arg == "--range") {
      a.range = ParseInt(value(), "--range", 0, 7);
      a.settings.useFilter = true;
    } else if (arg == "--from") {
      a.from = ParseDay(value(), "--from");
      a.settings.useFilter = true;
    } else if (arg == "--to") {
      a.to = ParseDay(value(), "--to");
      a.settings.useFilter = true;
    } else if (arg == "--today") {
      a.today = ParseDay(value(), "--today");
    } else if (arg == "--unread") {
      a.settings.withoutRead = a.settings.useFilter = true;
    } else if (arg == "--sort") {
      a.sort = true;
    } else if (arg == "--prefix") {
      a.prefix = ParseInt(value(), "--prefix", 1, 200);
    } else if (arg == "--count") {
      a.count = true;
    } else if (arg == "--json") {
      a.json = true;
    } else if (arg == "--timing") {
      a.timing = true;
    } else if (!arg.empty() && arg[0] == '-') {
      throw UsageError{"unknown option " + arg};
    } else if (a.store.empty()) {
      a.store = Arg(arg);
    } else {
      throw UsageError{"more than one store given"};
    }
  }
  if (a.store.empty()) throw UsageError{"no store given"};
  // The pickers start on today; a preset sets them, --from and --to then override. Dates
  // given without a preset mean the free range.
  Date today = a.today.value_or(TodayLocal());
  Date start = today, end = today;
  int preset = a.range.value_or(a.from || a.to ? 7 : 0);
  ApplyDatePreset(preset, today, start, end);
  if (a.from) start = *a.from;
  if (a.to) end = *a.to;
  a.settings.rangeActive = preset != 0;
  a.settings.rangeStart = RangeStart(start);
  a.settings.rangeEnd = RangeEnd(end);
  return a;
}

void PrintJson(const MessageList& list, int n) {
  auto i = static_cast<size_t>(n);
  std::string line =
      "{\"n\":" + std::to_string(n) + ",\"titleRss\":" + JsonString(list.titleRss[i]) +
      ",\"title\":" + JsonString(list.title[i]) + ",\"link\":" + JsonString(list.link[i]) +
      ",\"description\":" + JsonString(list.description[i]) +
      ",\"pubDate\":" + JsonString(list.pubDate[i]) + "}\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
}

int Search(Context&, const std::vector<std::string>& args) {
  SearchArgs a = ParseSearchArgs(args);
  using SteadyClock = std::chrono::steady_clock;
  auto t0 = SteadyClock::now();
  MessageList list;
  {
    CliProgress progress;
    LoadStore(a.store, list, progress);
  }
  KeyIndex readIndex;
  if (a.settings.withoutRead) readIndex.Load(ReadIndexName(a.store));
  auto t1 = SteadyClock::now();
  std::vector<int> found;
  if (a.sort) {
    Accumulator accumulator;
    found = SimpleSearch(list, a.settings, readIndex, accumulator);
  } else {
    found = SelectMessages(list, a.settings, readIndex);
  }
  auto t2 = SteadyClock::now();
  if (a.timing) {
    std::chrono::duration<double> load = t1 - t0, search = t2 - t1;
    std::fprintf(stderr, "timing load %.3f search %.3f\n", load.count(), search.count());
  }
  if (!a.count) {
    for (int n : found) {
      if (a.json) {
        PrintJson(list, n);
      } else {
        PrintLine(a.sort ? ChannelPrefixedLine(list, n, a.prefix)
                         : list.title[static_cast<size_t>(n)]);
      }
    }
  }
  if (!a.json) PrintLine(FoundStatusText(found.size()));
  return 0;
}

}  // namespace

void AddSearchCommands(std::vector<Command>& commands) {
  commands.push_back(
      {"search", "search STORE [OPTIONS]",
       "load STORE and search it as the reader does: --channel NAME, --group FILE, "
       "--channels-query Q, --title Q, --description Q, --link Q, --range N, --from/--to/--today "
       "YYYY-MM-DD, --unread, --sort [--prefix N], --count, --json, --timing",
       &Search});
}

}  // namespace vorlin::cli
