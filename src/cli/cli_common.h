// Shared pieces of vorlin-cli: the command table, argument helpers and output conversion.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "store/message_list.h"
#include "util/progress.h"

namespace vorlin::cli {

// Thrown for wrong usage: exit status 2 with the command's usage on stderr.
struct UsageError {
  std::string message;
};

struct Context {
  std::string configDir;  // the program folder with its trailing "/", Windows-1251
};

struct Command {
  const char* name;
  const char* usage;    // "census STORE"
  const char* summary;  // one line for --help
  int (*run)(Context& context, const std::vector<std::string>& args);
};

// Commands of each group; main() lists them all.
void AddStoreCommands(std::vector<Command>& commands);
void AddIngestCommands(std::vector<Command>& commands);
void AddDownloadCommands(std::vector<Command>& commands);
void AddSearchCommands(std::vector<Command>& commands);
void AddExportCommands(std::vector<Command>& commands);
void AddSpeakCommands(std::vector<Command>& commands);
void AddOpmlCommands(std::vector<Command>& commands);
void AddDiscoverCommands(std::vector<Command>& commands);
void AddUpdateCommands(std::vector<Command>& commands);

// A UTF-8 argument as core (Windows-1251) text; characters the code page lacks become
// references, so a file name outside the code page names its own file.
std::string Arg(const std::string& utf8);
// A text compared with stored values (a query, a channel title): characters the code page lacks
// become references, as they are in the store.
std::string TextArg(const std::string& utf8);
// Prints a core text as a UTF-8 line on stdout.
void PrintLine(std::string_view cp1251Text);
// JSON string literal of a core text, converted to UTF-8.
std::string JsonString(std::string_view cp1251Text);
// Message `n` of `list` as one JSON line: its number and five fields.
std::string MessageJsonLine(const MessageList& list, int n);

// Progress on stderr when stderr is a terminal, silent otherwise.
class CliProgress final : public Progress {
 public:
  CliProgress();
  ~CliProgress() override;
  void ShowStatusText(const std::string& text) override;

 private:
  bool terminal_;
  bool shown_ = false;
};

}  // namespace vorlin::cli
