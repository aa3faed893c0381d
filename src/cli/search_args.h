// The search options shared by `search` and `export`.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "reader/date_presets.h"
#include "reader/message_filter.h"

namespace vorlin::cli {

struct SearchArgs {
  std::string store;
  SearchSettings settings;
  std::optional<int> range;
  std::optional<Date> from, to, today;
  bool sort = false, count = false, json = false, timing = false;
  int prefix = 80;
};

// Takes an option before the search does (`export` takes --as, --out and its answers):
// returns false when the option is not its own.
// `value` takes the option's value (a usage error when there is none).
using ExtraOption =
    std::function<bool(const std::string& option, const std::function<std::string()>& value)>;

// Parses the search options (throws UsageError); the range and dates are resolved into
// `settings` as the date pickers would hold them.
SearchArgs ParseSearchArgs(const std::vector<std::string>& args,
                           const ExtraOption& extra = nullptr);

int ParseInt(const std::string& text, const char* option, int min, int max);

}  // namespace vorlin::cli
