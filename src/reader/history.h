// The history of viewed messages: entries "RSS://" + line index + ";" + line text, oldest
// first, with a selected position. An entry names a line of the message list it was made
// from, not a message.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vorlin {

class History {
 public:
  const std::vector<std::string>& Entries() const { return entries_; }
  // The selected position, -1 for none.
  int Selected() const { return selected_; }
  void Select(int position) { selected_ = position; }
  void Clear();

  // After a click has shown line `line` (with text `lineText`) of a list of `lineCount` lines:
  // appends its entry unless the last entry already names that line (or is not a valid line
  // entry). Returns whether it appended.
  bool Record(int line, const std::string& lineText, int lineCount);

  // What opening the selected entry shows.
  struct Target {
    int line = -1;        // a line of the message list, or -1
    std::string address;  // otherwise an address for the HTML view (may be empty: nothing)
  };
  // Nothing when the selected position is not valid or names no existing line.
  std::optional<Target> Open(int lineCount) const;

  // Moves the selection one entry back or forward; false when it cannot move.
  bool Back();
  bool Forward();

 private:
  std::vector<std::string> entries_;
  int selected_ = -1;
};

// The line index named by a "RSS://k;…" entry, or -1.
int HistoryLine(const std::string& entry);

}  // namespace vorlin
