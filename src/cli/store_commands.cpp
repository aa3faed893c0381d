// census, dump, keys, date, rebuild-index.
#include <cstdio>

#include "cli/cli_common.h"
#include "store/census.h"
#include "store/crc32.h"
#include "store/key_index.h"
#include "store/store_loader.h"
#include "store/store_lock.h"
#include "store/store_recovery.h"
#include "util/rss_date.h"

namespace vorlin::cli {
namespace {

void ExpectArgs(const std::vector<std::string>& args, size_t min, size_t max) {
  if (args.size() < min || args.size() > max) throw UsageError{"wrong number of arguments"};
}

// The messages a command loads. The process ends with the command, so they are left to the
// system: releasing a million strings one by one would take longer than the census itself.
MessageList& CommandMessages() {
  static auto* list = new MessageList;
  return *list;
}

int Census(Context&, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, 1);
  MessageList& list = CommandMessages();
  std::string lastStatus;
  {
    CliProgress progress;
    LoadStore(Arg(args[0]), list, progress);
    std::vector<std::string> channels = TakeCensus(list, progress);
    lastStatus = CensusSummary(list.Count(), static_cast<int>(channels.size()));
    progress.ShowStatusText(lastStatus);
    for (const auto& c : channels) PrintLine(c);
  }
  PrintLine(lastStatus);
  return 0;
}

int Dump(Context&, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, 1);
  MessageList& list = CommandMessages();
  {
    CliProgress progress;
    LoadStore(Arg(args[0]), list, progress);
  }
  std::string line;
  for (int i = 0; i < list.Count(); ++i) {
    line = MessageJsonLine(list, i);
    std::fwrite(line.data(), 1, line.size(), stdout);
  }
  return 0;
}

int Keys(Context&, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, 2);
  const std::string description = Arg(args[0]);
  std::printf("message-key %s\n", MessageKey(description).c_str());
  if (args.size() == 2) std::printf("read-key %s\n", ReadKey(Arg(args[1]), description).c_str());
  return 0;
}

int Date(Context&, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, 1);
  std::string normalised;
  bool ok = NormaliseDate(Arg(args[0]), normalised);
  PrintLine(std::string(ok ? "true " : "false ") + normalised);
  return 0;
}

int RebuildIndex(Context&, const std::vector<std::string>& args) {
  ExpectArgs(args, 1, 1);
  KeyIndex index;
  const std::string store = Arg(args[0]);
  StoreLock lock(store);
  RebuildStoreIndex(store, index);
  RecordIndexCoversStore(store);
  std::printf("%zu\n", index.Size());
  return 0;
}

}  // namespace

void AddStoreCommands(std::vector<Command>& commands) {
  commands.push_back({"census", "census STORE",
                      "load STORE and print its channels and the final status text", &Census});
  commands.push_back(
      {"dump", "dump STORE", "load STORE and print every message as one JSON line", &Dump});
  commands.push_back({"keys", "keys DESCRIPTION [TITLE]",
                      "print the message key (and with TITLE the read key)", &Keys});
  commands.push_back({"date", "date TEXT", "normalise an RSS publication date", &Date});
  commands.push_back({"rebuild-index", "rebuild-index STORE",
                      "rebuild and save the store index of STORE; print the key count",
                      &RebuildIndex});
}

}  // namespace vorlin::cli
