// discover: the feeds a site's page announces.
#include <cstdio>

#include "cli/cli_common.h"
#include "download/feed_discovery.h"
#include "util/file_io.h"

namespace vorlin::cli {
namespace {

int Discover(Context&, const std::vector<std::string>& args) {
  if (args.size() != 1) throw UsageError{"wrong number of arguments"};
  std::vector<std::string> feeds;
  {
    CliProgress progress;
    feeds = DiscoverFeedsAt(args[0], progress);
  }
  if (feeds.empty()) {
    throw Error("На странице " + args[0] + " нет ссылок на ленты (The page " + args[0] +
                " announces no feed)");
  }
  for (const std::string& feed : feeds) std::printf("%s\n", feed.c_str());
  return 0;
}

}  // namespace

void AddDiscoverCommands(std::vector<Command>& commands) {
  commands.push_back({"discover", "discover URL",
                      "print the feed addresses the page at URL announces (a feed prints itself)",
                      &Discover});
}

}  // namespace vorlin::cli
