// How long operations of the core report progress. The window's version writes the third
// panel of the status line, repaints and processes pending events; the command-line tool's
// version prints to a terminal or stays silent.
#pragma once

#include <string>

namespace vorlin {

class Progress {
 public:
  virtual ~Progress() = default;
  // `text` is Windows-1251, like every core text.
  virtual void ShowStatusText(const std::string& text) = 0;
};

class NullProgress final : public Progress {
 public:
  void ShowStatusText(const std::string&) override {}
};

}  // namespace vorlin
