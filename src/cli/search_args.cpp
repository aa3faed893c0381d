#include "cli/search_args.h"

#include <cstdio>

#include "cli/cli_common.h"
#include "reader/channel_lists.h"

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

}  // namespace

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

SearchArgs ParseSearchArgs(const std::vector<std::string>& args, const ExtraOption& extra) {
  SearchArgs a;
  const char* queryOptions[4] = {"--channels-query", "--title", "--description", "--link"};
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= args.size()) throw UsageError{arg + " needs a value"};
      return args[++i];
    };
    // The caller's own options come first.
    if (extra && extra(arg, value)) continue;
    bool query = false;
    for (size_t q = 0; q < 4; ++q) {
      if (arg == queryOptions[q]) {
        a.settings.queries[q] = TextArg(value());
        a.settings.useFilter = query = true;
      }
    }
    if (query) continue;
    if (arg == "--channel") {
      a.settings.selectedChannels.push_back(TextArg(value()));
    } else if (arg == "--group") {
      // The file name as given: the code page may not hold it.
      for (auto& line : ReadGroupFile(value())) a.settings.selectedChannels.push_back(line);
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

}  // namespace vorlin::cli
