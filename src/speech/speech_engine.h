// The speech engine: speaks plain text or speech markup asynchronously with espeak-ng's
// voices. A worker thread synthesizes ahead of playback in pieces; the owner's thread moves
// the audio to the player and fires the word events when their audio is played (Pump, which
// WaitUntilDone runs). Pause, Resume and purging act on the player at once.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "speech/audio_player.h"
#include "speech/espeak_synth.h"
#include "speech/speech_voices.h"

namespace vorlin {

class SpeechEngine {
 public:
  // The event interest bit of word boundaries.
  static constexpr unsigned kWordEvents = 0x20;

  // Without a player the engine keeps time silently.
  explicit SpeechEngine(std::unique_ptr<AudioPlayer> player = nullptr,
                        SpeechClock& clock = SystemSpeechClock());
  ~SpeechEngine();
  SpeechEngine(const SpeechEngine&) = delete;
  SpeechEngine& operator=(const SpeechEngine&) = delete;

  static int SampleRate() { return espeak::SampleRate(); }

  // The installed voices; the default voice (Russian under a Russian locale, else American
  // English) comes first.
  const std::vector<VoiceToken>& GetVoices() const { return voices_; }
  int Voice() const { return voice_; }
  void SetVoice(int index);
  int Rate() const { return rate_; }      // -10 to 10
  void SetRate(int rate);                 // clamped
  int Volume() const { return volume_; }  // 0 to 100
  void SetVolume(int volume);             // clamped
  void SetEventInterests(unsigned mask) { interests_ = mask; }

  // Flags: 1 asynchronous (else waits until spoken), 2 purge what is queued first,
  // 8 the text is markup. Throws vorlin::Error for a voice tag that matches no voice.
  void Speak(std::string_view text, int flags);
  void Pause();
  void Resume();
  bool Paused() const { return paused_; }
  // Pumps until everything queued is spoken or the time-out (ms; negative: none) passes;
  // true when done.
  bool WaitUntilDone(int timeoutMs);
  bool Done();
  // Moves synthesized audio to the player and fires the events whose audio is played.
  void Pump();

  // A word is heard: its position and length in the text given to Speak.
  std::function<void(int position, int length)> onWord;
  // A stretch of text given to Speak begins to be heard with this voice.
  std::function<void(int position, const VoiceToken& voice)> onVoice;

  // Speech goes to no sound device (none, or it failed): it keeps time but is not heard.
  bool Silent() const { return player_->Silent(); }

  // Times the player ran dry while synthesis of the current text was still going on.
  int Underruns() const { return underruns_; }

 private:
  struct Segment {
    int position = 0;
    std::string text;
    int silenceMs = 0;  // a silence instead of text when above 0
    int voice = 0;
    int rate = 0, volume = 100, pitch = 0;
  };
  struct Event {
    int64_t sample = 0;
    int position = 0;
    int length = 0;  // -1: a voice event
    int voice = 0;
  };

  std::vector<Segment> Parse(std::string_view text, bool markup) const;
  void Purge();
  void WorkerLoop();
  void SynthesizeSegment(const Segment& segment, uint64_t generation);
  // Under the lock: appends audio, false when the text was purged meanwhile.
  bool Append(const int16_t* samples, size_t count, uint64_t generation,
              std::unique_lock<std::mutex>& lock);

  std::unique_ptr<AudioPlayer> player_;
  SpeechClock& clock_;
  std::vector<VoiceToken> voices_;
  int voice_ = 0, rate_ = 0, volume_ = 100;
  unsigned interests_ = kWordEvents;
  bool paused_ = false;
  bool pumping_ = false;
  int underruns_ = 0;
  bool starved_ = false;
  int64_t aheadLimit_;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::vector<Segment>> jobs_;
  bool workerBusy_ = false;
  bool jobHasAudio_ = false;
  bool quit_ = false;
  uint64_t generation_ = 0;        // counts purges
  uint64_t workerGeneration_ = 0;  // of the job the worker took
  std::vector<int16_t> audio_;     // synthesized, from audioRead_ on not yet with the player
  size_t audioRead_ = 0;
  int64_t synthesized_ = 0;
  int64_t written_ = 0;
  std::atomic<int64_t> played_{0};
  std::deque<Event> events_;
  std::exception_ptr workerError_;
  std::thread worker_;
};

}  // namespace vorlin
