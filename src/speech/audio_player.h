// Where the speech engine's audio goes: a sound device (the window's Qt adapter), nowhere
// at real speed (no device), or a WAV file. A player takes 16-bit mono samples and says how
// many of them have been played; the engine fires word events from that count.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace vorlin {

// Time for the silent player and the engine's waits; tests give one that jumps.
class SpeechClock {
 public:
  virtual ~SpeechClock() = default;
  virtual int64_t NowMicros() = 0;
  // Waits at most this long; may return earlier when woken.
  virtual void SleepMicros(int64_t micros) = 0;
};
SpeechClock& SystemSpeechClock();

class AudioPlayer {
 public:
  virtual ~AudioPlayer() = default;
  // Queues samples behind those queued before; returns how many it took (fewer when its
  // buffer is full).
  virtual size_t Write(const int16_t* samples, size_t count) = 0;
  // Samples played since the last Reset.
  virtual int64_t PlayedSamples() = 0;
  virtual void Pause() = 0;
  virtual void Resume() = 0;
  // Drops whatever is queued and counts from 0 again.
  virtual void Reset() = 0;
  // False for a player that takes audio as fast as it comes (a file).
  virtual bool RealTime() const { return true; }
  // A sound device that stopped working; the engine then keeps time silently.
  virtual bool Failed() const { return false; }
  // Nothing is heard: no sound device (or it failed), though time is kept.
  virtual bool Silent() const { return false; }
};

// Plays nothing but keeps real time: samples count as played as the clock runs, except
// while paused, so events come at the moments they would with a sound device.
class SilentPlayer final : public AudioPlayer {
 public:
  SilentPlayer(int sampleRate, SpeechClock& clock);
  size_t Write(const int16_t* samples, size_t count) override;
  int64_t PlayedSamples() override;
  void Pause() override;
  void Resume() override;
  void Reset() override;
  bool Silent() const override { return true; }

 private:
  void Advance();

  int sampleRate_;
  SpeechClock& clock_;
  int64_t written_ = 0;
  int64_t played_ = 0;
  int64_t lastMicros_ = 0;
  int64_t microsCarry_ = 0;  // played time not yet a whole sample
  bool paused_ = false;
};

// Writes a 16-bit mono WAV file; everything written counts as played at once.
class WavPlayer final : public AudioPlayer {
 public:
  // Throws vorlin::Error naming the file when it cannot be created.
  WavPlayer(const std::string& fileName, int sampleRate);
  ~WavPlayer() override;
  size_t Write(const int16_t* samples, size_t count) override;
  int64_t PlayedSamples() override { return played_; }
  void Pause() override {}
  void Resume() override {}
  void Reset() override { played_ = 0; }
  bool RealTime() const override { return false; }
  // Completes the header; throws vorlin::Error when the file cannot be written.
  void Close();

 private:
  std::string fileName_;
  FILE* file_ = nullptr;
  int sampleRate_;
  int64_t played_ = 0;
  int64_t total_ = 0;
  bool failed_ = false;
};

}  // namespace vorlin
