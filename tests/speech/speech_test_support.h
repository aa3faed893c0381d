// A clock that jumps instead of waiting, for the engine's timings.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>

#include "speech/audio_player.h"

namespace vorlin::test {

class JumpingClock final : public SpeechClock {
 public:
  int64_t NowMicros() override { return now_; }
  void SleepMicros(int64_t micros) override {
    // Give the synthesis thread a moment of real time, then jump.
    std::this_thread::sleep_for(std::chrono::microseconds(50));
    now_ += micros;
  }
  void Advance(int64_t micros) { now_ += micros; }

 private:
  std::atomic<int64_t> now_{1'000'000};
};

}  // namespace vorlin::test
