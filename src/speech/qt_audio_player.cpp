#include "speech/qt_audio_player.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QMediaDevices>

namespace vorlin {

namespace {

QAudioFormat SpeechFormat(int sampleRate) {
  QAudioFormat format;
  format.setSampleRate(sampleRate);
  format.setChannelCount(1);
  format.setSampleFormat(QAudioFormat::Int16);
  return format;
}

}  // namespace

std::unique_ptr<QtAudioPlayer> QtAudioPlayer::Open(int sampleRate) {
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  const QAudioFormat format = SpeechFormat(sampleRate);
  if (device.isNull() || !device.isFormatSupported(format)) return nullptr;
  auto* sink = new QAudioSink(device, format);
  // A short buffer keeps the processed time, and so the word events, close to what is heard.
  sink->setBufferSize(sampleRate * 2 / 5);  // 200 ms
  std::unique_ptr<QtAudioPlayer> player(new QtAudioPlayer(sink, sampleRate));
  if (player->device_ == nullptr) return nullptr;
  return player;
}

QtAudioPlayer::QtAudioPlayer(QAudioSink* sink, int sampleRate)
    : sink_(sink), sampleRate_(sampleRate), clock_(sampleRate, SystemSpeechClock()) {
  Start();
}

QtAudioPlayer::~QtAudioPlayer() { sink_->stop(); }

void QtAudioPlayer::Start() {
  device_ = sink_->start();
  if (paused_ && device_ != nullptr) sink_->suspend();
}

size_t QtAudioPlayer::Write(const int16_t* samples, size_t count) {
  if (device_ == nullptr || Failed()) return clock_.Write(samples, count);
  const qint64 room = sink_->bytesFree() / 2;
  const qint64 n = std::min<qint64>(room, static_cast<qint64>(count));
  if (n <= 0) return 0;
  const qint64 written = device_->write(reinterpret_cast<const char*>(samples), n * 2);
  const size_t taken = written > 0 ? static_cast<size_t>(written / 2) : 0;
  written_ += static_cast<int64_t>(taken);
  return clock_.Write(samples, taken);
}

int64_t QtAudioPlayer::PlayedSamples() {
  if (device_ == nullptr || Failed()) return clock_.PlayedSamples();
  // An idle sink has played all it was given. The processed time is whole microseconds, so
  // the count made from it may fall a sample or two short of the end.
  if (sink_->state() == QAudio::IdleState) return written_;
  const int64_t played = (sink_->processedUSecs() * sampleRate_ + 500000) / 1000000;
  return written_ - played <= sampleRate_ / 1000 ? written_ : played;
}

void QtAudioPlayer::Pause() {
  paused_ = true;
  clock_.Pause();
  sink_->suspend();
}

void QtAudioPlayer::Resume() {
  paused_ = false;
  clock_.Resume();
  sink_->resume();
}

void QtAudioPlayer::Reset() {
  sink_->stop();
  written_ = 0;
  clock_.Reset();
  Start();
}

bool QtAudioPlayer::Failed() const {
  const QAudio::Error e = sink_->error();
  return e == QAudio::OpenError || e == QAudio::FatalError;
}

std::unique_ptr<AudioPlayer> OpenSpeechOutput(int sampleRate) {
  if (auto player = QtAudioPlayer::Open(sampleRate)) return player;
  return std::make_unique<SilentPlayer>(sampleRate, SystemSpeechClock());
}

}  // namespace vorlin
