// vorlin-cli: the program's operations without a window.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli/cli_common.h"
#include "store/crc32.h"
#include "store/store_lock.h"
#include "util/bilingual_error.h"
#include "util/settings_file.h"
#include "util/version.h"

namespace {

using vorlin::cli::Command;

std::vector<Command> AllCommands() {
  std::vector<Command> commands;
  vorlin::cli::AddStoreCommands(commands);
  vorlin::cli::AddIngestCommands(commands);
  vorlin::cli::AddDownloadCommands(commands);
  vorlin::cli::AddUpdateCommands(commands);
  vorlin::cli::AddSearchCommands(commands);
  vorlin::cli::AddExportCommands(commands);
  vorlin::cli::AddSpeakCommands(commands);
  vorlin::cli::AddOpmlCommands(commands);
  vorlin::cli::AddDiscoverCommands(commands);
  return commands;
}

void PrintUsage(FILE* out, const std::vector<Command>& commands) {
  std::fputs(
      "usage: vorlin-cli [--config-dir DIR] [--lock-wait SECONDS] COMMAND [ARGUMENTS]\n"
      "       vorlin-cli COMMAND --help\n"
      "Runs the operations of the Vorlin news aggregator without a window.\n\n"
      "options:\n"
      "  --config-dir DIR         the program folder with OpsRss.txt and DirRss.txt\n"
      "  --lock-wait SECONDS      how long to wait for a store another process is writing\n"
      "                           (default 10)\n"
      "  --help                   print this help and exit\n"
      "  --version                print the version and exit\n\ncommands:\n",
      out);
  for (const auto& c : commands) std::fprintf(out, "  %-34s %s\n", c.usage, c.summary);
  std::fputs(
      "\nExit status: 0 done, 1 the operation failed (one line on stderr says why),\n"
      "2 wrong usage.\n",
      out);
}

// A decimal number of seconds, at least 0.
bool ParseSeconds(const std::string& text, std::chrono::milliseconds& wait) {
  char* end = nullptr;
  const double seconds = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != 0 || !(seconds >= 0) || seconds > 86400) return false;
  wait = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
  return true;
}

void PrintCommandUsage(FILE* out, const Command& c) {
  std::fprintf(out, "usage: vorlin-cli [--config-dir DIR] %s\n  %s\n", c.usage, c.summary);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<Command> commands = AllCommands();
  std::vector<std::string> args(argv + 1, argv + argc);
  vorlin::cli::Context context;
  context.configDir = vorlin::ProgramFolder("");

  size_t i = 0;
  for (; i < args.size(); ++i) {
    if (args[i] == "--help" || args[i] == "-h") {
      PrintUsage(stdout, commands);
      return 0;
    }
    if (args[i] == "--version") {
      std::fputs(vorlin::VersionText("vorlin-cli").c_str(), stdout);
      return 0;
    }
    if (args[i] == "--lock-wait" && i + 1 < args.size()) {
      std::chrono::milliseconds wait{};
      if (!ParseSeconds(args[++i], wait)) {
        std::fprintf(stderr, "vorlin-cli: invalid --lock-wait '%s'\n", args[i].c_str());
        return 2;
      }
      vorlin::SetStoreLockWait(wait);
      continue;
    }
    if (args[i] == "--config-dir" && i + 1 < args.size()) {
      context.configDir = vorlin::ProgramFolder(vorlin::cli::Arg(args[++i]));
      continue;
    }
    if (args[i].rfind("--config-dir=", 0) == 0) {
      context.configDir = vorlin::ProgramFolder(vorlin::cli::Arg(args[i].substr(13)));
      continue;
    }
    break;
  }
  if (i >= args.size()) {
    PrintUsage(stderr, commands);
    return 2;
  }
  const Command* command = nullptr;
  for (const auto& c : commands) {
    if (args[i] == c.name) command = &c;
  }
  if (command == nullptr) {
    std::fprintf(stderr, "vorlin-cli: unknown command '%s'\n", args[i].c_str());
    PrintUsage(stderr, commands);
    return 2;
  }
  std::vector<std::string> rest(args.begin() + static_cast<long>(i) + 1, args.end());
  for (const auto& a : rest) {
    if (a == "--") break;  // what follows is the command's own text
    if (a == "--help" || a == "-h") {
      PrintCommandUsage(stdout, *command);
      return 0;
    }
  }
  std::string crcWarning = vorlin::RunCrcTableSelfCheck();
  if (!crcWarning.empty()) std::fprintf(stderr, "vorlin-cli: %s\n", crcWarning.c_str());
  try {
    int rc = command->run(context, rest);
    std::fflush(stdout);
    return rc;
  } catch (const vorlin::cli::UsageError& e) {
    std::fprintf(stderr, "vorlin-cli %s: %s\n", command->name, e.message.c_str());
    PrintCommandUsage(stderr, *command);
    return 2;
  } catch (const std::exception& e) {
    std::fflush(stdout);
    std::fprintf(stderr, "vorlin-cli %s: %s\n", command->name,
                 vorlin::BilingualErrorText(e.what(), true).c_str());
    return 1;
  }
}
