// search: a search as the reader runs it, on the same core code.
#include <chrono>
#include <cstdio>
#include <optional>

#include "app/accumulator.h"
#include "cli/cli_common.h"
#include "cli/search_args.h"
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

void PrintJson(const MessageList& list, int n) {
  const std::string line = MessageJsonLine(list, n);
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
