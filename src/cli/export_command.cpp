// export: a search put into the accumulator and exported as "Выгрузка сообщений" does.
#include <chrono>
#include <cstdio>
#include <optional>

#include "cli/cli_common.h"
#include "cli/search_args.h"
#include "reader/export.h"
#include "reader/message_filter.h"
#include "store/key_index.h"
#include "store/store_lock.h"
#include "store/store_replace.h"
#include "util/settings_file.h"

namespace vorlin::cli {
namespace {

struct ExportArgs {
  ExportOptions options;
  bool haveKind = false;
  bool haveTarget = false;
  ExistsAnswer exists = ExistsAnswer::kCancel;
};

int Export(Context& context, const std::vector<std::string>& args) {
  ExportArgs e;
  e.options.removeFromStore = false;
  std::string target;
  SearchArgs a = ParseSearchArgs(args, [&](const std::string& option, const auto& value) {
    if (option == "--as") {
      const std::string kind = value();
      if (kind == "txt") {
        e.options.kind = ExportKind::kText;
      } else if (kind == "html") {
        e.options.kind = ExportKind::kHtml;
      } else if (kind == "store") {
        e.options.kind = ExportKind::kStore;
      } else {
        throw UsageError{"--as takes txt, html or store"};
      }
      e.haveKind = true;
    } else if (option == "--out") {
      // A second target would silently replace the first.
      if (e.haveTarget) throw UsageError{"--out given twice"};
      target = Arg(value());
      e.haveTarget = true;
    } else if (option == "--exists") {
      const std::string answer = value();
      if (answer == "overwrite") {
        e.exists = ExistsAnswer::kOverwrite;
      } else if (answer == "append") {
        e.exists = ExistsAnswer::kAppend;
      } else if (answer == "cancel") {
        e.exists = ExistsAnswer::kCancel;
      } else {
        throw UsageError{"--exists takes overwrite, append or cancel"};
      }
    } else if (option == "--delete") {
      e.options.removeFromStore = true;
    } else {
      return false;
    }
    return true;
  });
  if (!e.haveKind || !e.haveTarget) throw UsageError{"export needs --as and --out"};
  (e.options.kind == ExportKind::kStore ? e.options.storeFile : e.options.outFolder) = target;
  const SettingsFile settings = SettingsFile::Load(context.configDir + "OpsRss.txt");
  e.options.nameLength =
      static_cast<int>(settings.GetInt("SpinEditSimInNameCh.Value").value_or(80));

  using Clock = std::chrono::steady_clock;
  const auto t0 = Clock::now();
  MessageList list;
  CliProgress progress;
  const StoreStamp stamp = LoadStoreStamped(a.store, list, progress);
  KeyIndex readIndex;
  if (a.settings.withoutRead) readIndex.Load(ReadIndexName(a.store));
  const auto t1 = Clock::now();
  // "Найти (Found)" then "Объединение" into the empty accumulator: the found set as it is.
  const std::vector<int> found = SelectMessages(list, a.settings, readIndex);
  const auto t2 = Clock::now();
  if (found.empty()) {
    PrintLine(FoundStatusText(0));
    return 0;
  }
  // What would refuse the removal refuses it before anything is written; the store's lock is
  // taken first and held through the replacement, so a busy store is refused then too.
  std::optional<StoreLock> lock;
  if (e.options.removeFromStore) {
    lock.emplace(a.store);
    CheckStoreReplacement(a.store, stamp);
  }
  // The progress texts are the command's output.
  class Printing final : public Progress {
   public:
    void ShowStatusText(const std::string& text) override { PrintLine(text); }
  } printing;
  const bool done =
      ExportMessages(list, found, e.options, a.store, printing, [&] { return e.exists; });
  const auto t3 = Clock::now();
  if (done && e.options.removeFromStore) ReplaceStoreWithout(a.store, list, found, stamp);
  const auto t4 = Clock::now();
  if (a.timing) {
    using Seconds = std::chrono::duration<double>;
    std::fprintf(stderr, "timing load %.3f search %.3f export %.3f remove %.3f\n",
                 Seconds(t1 - t0).count(), Seconds(t2 - t1).count(), Seconds(t3 - t2).count(),
                 Seconds(t4 - t3).count());
  }
  if (!done) {
    std::fprintf(stderr, "vorlin-cli: export cancelled: %s exists (--exists overwrite or append)\n",
                 DisplayName(target).c_str());
    return 1;
  }
  return 0;
}

}  // namespace

void AddExportCommands(std::vector<Command>& commands) {
  commands.push_back(
      {"export",
       "export STORE [SEARCH OPTIONS] --as txt|html|store --out PATH "
       "[--exists overwrite|append|cancel] [--delete]",
       "search STORE as `search` does (--to is the end date) and export the found messages as "
       "\"Выгрузка сообщений\" does into the folder or store file PATH; --delete removes them "
       "from STORE afterwards. An empty PATH, a PATH that exists and is not a regular file, and "
       "STORE itself or its companion files are refused before anything is written",
       &Export});
}

}  // namespace vorlin::cli
