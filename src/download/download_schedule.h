// When a feed of the download list is due: time stamps, frequencies, the due test of the timed
// check, the log lines of the batches and the download timer as a state machine ticked once a
// second. The clock is a function, so tests and `vorlin-cli download --now` can fix it.
#pragma once

#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "download/download_list.h"

namespace vorlin {

using Clock = std::function<std::time_t()>;

// The system clock.
std::time_t SystemNow();

// The local date in the locale's short form ("%x"), one blank, the local time in its long form
// ("%X"); Windows-1251.
std::string FormatStamp(std::time_t time);

// Reads a stamp back: split at its first blank, the date with "%x" and the time of day with
// "%X", each read whole (surrounding blanks aside). nullopt when either part does not read.
std::optional<std::time_t> ParseStamp(std::string_view stamp);

// The time when data row `row` is due again: its stamp plus its frequency (days above 0 add
// days; hours 0 to 23 and minutes 0 to 59 add a time of day; an empty frequency cell counts as
// 0). Throws Error naming the row and the column for a stamp that does not read back, a
// frequency that is not a decimal integer, days above 30, hours outside 0 to 23 or minutes
// outside 0 to 59.
std::time_t DueTime(const DownloadGrid& grid, int row);

// The due check of the download timer: true when some data row has no stamp or is due. Stamps
// keep whole seconds, so a row is due from the second its due time comes. A stamped row whose three
// frequency cells are all empty gets the frequency 0, 0, 1 written into it first. Throws Error as
// DueTime does; rows before the bad one have been handled.
bool DownloadCheckNeeded(DownloadGrid& grid, std::time_t now);

// The log lines of the batches: the URL, a blank and the now stamp after the event's text.
std::string DownloadOkLine(std::string_view url, std::string_view nowStamp);
std::string DownloadFailedLine(std::string_view url, std::string_view nowStamp);
// The server answered "not modified" to the validators of the last download: no new file.
std::string DownloadNotModifiedLine(std::string_view url, std::string_view nowStamp);
// Stop, Exit or a signal ended the transfer; the row keeps its stamp.
std::string DownloadAbortedLine(std::string_view url, std::string_view nowStamp);

// TimerDownloadAll: 1000 ms ticks while timer mode is on. The stop flag ends timer mode at the
// next tick; otherwise ticks 1 to 60 after a check count, and the 61st runs the next check.
class DownloadTimer {
 public:
  enum class Action {
    kStopped,  // timer mode ended: timer off, the three download buttons enabled, panel 0 empty
    kCounted,  // show Counter() in panel 0, padded on the left to 5 characters
    kCheck,    // run the due check (the counter is back at 0)
  };

  // ButtonDownloadAllOnTimerClick: timer mode on, counter 0. The caller clears the stop flag.
  void Start();
  Action Tick(bool stopRequested);

  bool On() const { return on_; }
  int Counter() const { return counter_; }
  // The counter as panel 0 shows it.
  std::string CounterText() const;

 private:
  bool on_ = false;
  int counter_ = 0;
};

}  // namespace vorlin
