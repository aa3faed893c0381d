// Read marks: the read key of the message on screen, the read-mark timer's state and the
// opening of a message's link. The clock is passed in, so the timer's behaviour is tested
// without waiting.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

#include "store/key_index.h"

namespace vorlin {

class ReadMarks {
 public:
  using Clock = std::chrono::steady_clock;

  // `currentKey` is the current read key, kept where the rest of the program reads it.
  ReadMarks(KeyIndex& readIndex, std::string& currentKey)
      : readIndex_(readIndex), currentKey_(currentKey) {}

  // Start of showing a message: the timer stops and the current read key is emptied.
  void BeginShow();
  // End of showing: `key` becomes the current read key; with marking on, the timer is armed
  // for `intervalSeconds` from `now`. Returns whether the timer runs.
  bool EndShow(std::string key, bool markingOn, int intervalSeconds, Clock::time_point now);
  // Stops the timer and forgets the current message (the message list was refilled, the store
  // reloaded).
  void Reset();

  const std::string& CurrentKey() const { return currentKey_; }
  bool TimerRunning() const { return running_; }
  int IntervalMs() const { return intervalMs_; }
  // Whether the current message is read (false with no message).
  bool IsCurrentRead() const;

  // Adds the current read key to the read index unless it is empty or present.
  void MarkCurrentRead();
  // The read-status button: removes the key when read, marks it otherwise; returns the new
  // state.
  bool Toggle();
  // A tick of the timer at `now`. Marks the current message when reading aloud is not running
  // (`stopRequest` set) and the message has been on screen for the whole interval; keeps the
  // timer running. Returns whether it marked.
  bool Tick(Clock::time_point now, bool stopRequest);

 private:
  KeyIndex& readIndex_;
  std::string& currentKey_;
  bool running_ = false;
  int intervalMs_ = 0;
  Clock::time_point due_{};
};

// Whether a link may be handed to the desktop: only http, https and ftp addresses.
bool IsOpenableLink(std::string_view link);

// The status text shown when a link is refused.
std::string RefusedLinkText(std::string_view link);

}  // namespace vorlin
