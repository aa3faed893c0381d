// The ingestion timer of the scan page (TimerScan, one tick a second) as a state machine, so
// that its texts and transitions are driven tick by tick without waiting.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vorlin {

// The period in minutes from the text of EditTimeScan; throws Error naming the field unless
// the text is a whole number greater than 0.
long long ParseScanPeriod(std::string_view periodText);

class ScanTimer {
 public:
  enum class State {
    kStopped,  // TimerScan disabled; ButtonStartOne and ButtonStartOnTimer enabled
    kArmed,    // counting down; both start buttons disabled
    kRunning,  // a timed run in progress; TimerScan disabled
  };

  // ButtonStartOnTimerClick: the countdown starts at period x 60 seconds; the first run comes
  // one full period later. Throws Error (and stays stopped) for a bad period.
  void Start(std::string_view periodText);

  // ButtonStopTimerClick. A stop during a timed run is kept: the run does not re-arm.
  void Stop();

  // TimerScanTimer. Counts down by one; while not zero returns countdown + " сек (Sec)" for the
  // first status panel. At zero it calls `run` (state kRunning meanwhile), then reads the period
  // again through `periodText` and re-arms, and returns an empty text. When `run` or the new
  // period fails, the timer is left stopped and the error passes on.
  std::string Tick(const std::function<void()>& run,
                   const std::function<std::string()>& periodText);

  State state() const { return state_; }
  long long countdown() const { return countdown_; }
  bool TimerEnabled() const { return state_ == State::kArmed; }
  bool StartButtonsEnabled() const { return state_ == State::kStopped; }

 private:
  State state_ = State::kStopped;
  long long countdown_ = 0;
  bool stopRequested_ = false;
};

}  // namespace vorlin
