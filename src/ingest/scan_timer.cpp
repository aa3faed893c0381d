#include "ingest/scan_timer.h"

#include "util/cp1251.h"
#include "util/file_io.h"
#include "util/settings_file.h"

namespace vorlin {

long long ParseScanPeriod(std::string_view periodText) {
  // More than a year of minutes is surely a typing slip; it would also overflow the seconds.
  constexpr long long kMaxMinutes = 366LL * 24 * 60;
  std::optional<long long> minutes = ParseInteger(periodText);
  if (!minutes || *minutes <= 0 || *minutes > kMaxMinutes) {
    throw Error(
        "The scan period (\"time lag between scan directory with RSS\", scan page) must "
        "be a whole number of minutes from 1 to " +
        std::to_string(kMaxMinutes) + ", not \"" + Cp1251ToUtf8(periodText) + "\"");
  }
  return *minutes;
}

void ScanTimer::Start(std::string_view periodText) {
  countdown_ = ParseScanPeriod(periodText) * 60;
  stopRequested_ = false;
  state_ = State::kArmed;
}

void ScanTimer::Stop() {
  if (state_ == State::kRunning) {
    stopRequested_ = true;
    return;
  }
  state_ = State::kStopped;
}

std::string ScanTimer::Tick(const std::function<void()>& run,
                            const std::function<std::string()>& periodText) {
  if (state_ != State::kArmed) return {};
  if (--countdown_ != 0) return std::to_string(countdown_) + W(" сек (Sec)");
  state_ = State::kRunning;
  stopRequested_ = false;
  try {
    run();
    if (stopRequested_) {
      state_ = State::kStopped;
      return {};
    }
    countdown_ = ParseScanPeriod(periodText()) * 60;
  } catch (...) {
    state_ = State::kStopped;
    throw;
  }
  state_ = State::kArmed;
  return {};
}

}  // namespace vorlin
