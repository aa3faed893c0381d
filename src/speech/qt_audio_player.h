// The speech engine's player on the sound device, through Qt Multimedia's QAudioSink in
// push mode. The played count comes from the sink's processed time.
#pragma once

#include <QAudioSink>
#include <QIODevice>
#include <memory>

#include "speech/audio_player.h"

namespace vorlin {

class QtAudioPlayer final : public AudioPlayer {
 public:
  // Null when the machine has no audio output device (or it cannot take the format).
  static std::unique_ptr<QtAudioPlayer> Open(int sampleRate);
  ~QtAudioPlayer() override;

  size_t Write(const int16_t* samples, size_t count) override;
  int64_t PlayedSamples() override;
  void Pause() override;
  void Resume() override;
  void Reset() override;
  bool Failed() const override;
  bool Silent() const override { return device_ == nullptr || Failed(); }

 private:
  QtAudioPlayer(QAudioSink* sink, int sampleRate);
  void Start();

  std::unique_ptr<QAudioSink> sink_;
  QIODevice* device_ = nullptr;
  int sampleRate_;
  bool paused_ = false;
  int64_t written_ = 0;
  // Keeps time along with the device, and alone when the device stops working, so that
  // reading goes on silently.
  SilentPlayer clock_;
};

// The sound device when there is one, else a silent player keeping real time.
std::unique_ptr<AudioPlayer> OpenSpeechOutput(int sampleRate);

}  // namespace vorlin
