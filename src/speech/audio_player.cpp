#include "speech/audio_player.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "util/file_io.h"

namespace vorlin {

namespace {

class SystemClock final : public SpeechClock {
 public:
  int64_t NowMicros() override {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  void SleepMicros(int64_t micros) override {
    if (micros > 0) std::this_thread::sleep_for(std::chrono::microseconds(micros));
  }
};

void PutLe(unsigned char* p, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

SpeechClock& SystemSpeechClock() {
  static SystemClock clock;
  return clock;
}

SilentPlayer::SilentPlayer(int sampleRate, SpeechClock& clock)
    : sampleRate_(sampleRate), clock_(clock), lastMicros_(clock.NowMicros()) {}

void SilentPlayer::Advance() {
  const int64_t now = clock_.NowMicros();
  if (!paused_ && played_ < written_) {
    microsCarry_ += now - lastMicros_;
    const int64_t samples = microsCarry_ * sampleRate_ / 1000000;
    const int64_t taken = std::min(samples, written_ - played_);
    played_ += taken;
    microsCarry_ = taken == samples ? microsCarry_ - taken * 1000000 / sampleRate_ : 0;
  }
  lastMicros_ = now;
}

size_t SilentPlayer::Write(const int16_t*, size_t count) {
  Advance();
  written_ += static_cast<int64_t>(count);
  return count;
}

int64_t SilentPlayer::PlayedSamples() {
  Advance();
  return played_;
}

void SilentPlayer::Pause() {
  Advance();
  paused_ = true;
}

void SilentPlayer::Resume() {
  Advance();
  paused_ = false;
}

void SilentPlayer::Reset() {
  Advance();
  written_ = played_ = microsCarry_ = 0;
}

WavPlayer::WavPlayer(const std::string& fileName, int sampleRate)
    : fileName_(fileName), sampleRate_(sampleRate) {
  file_ = std::fopen(FsPath(fileName).c_str(), "wb");
  if (file_ == nullptr) {
    throw Error("cannot create " + DisplayName(fileName) + ": " + ErrnoText(errno));
  }
  unsigned char header[44] = {};
  failed_ = std::fwrite(header, 1, sizeof header, file_) != sizeof header;
}

WavPlayer::~WavPlayer() {
  try {
    Close();
  } catch (...) {
  }
}

size_t WavPlayer::Write(const int16_t* samples, size_t count) {
  if (file_ != nullptr && count > 0) {
    // Samples are little-endian on every machine this runs on, as the file wants them.
    failed_ = failed_ || std::fwrite(samples, sizeof(int16_t), count, file_) != count;
  }
  played_ += static_cast<int64_t>(count);
  total_ += static_cast<int64_t>(count);
  return count;
}

void WavPlayer::Close() {
  if (file_ == nullptr) return;
  const uint32_t dataBytes = static_cast<uint32_t>(total_ * 2);
  unsigned char h[44] = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
  PutLe(h + 4, 36 + dataBytes, 4);
  PutLe(h + 16, 16, 4);  // format chunk size
  PutLe(h + 20, 1, 2);   // PCM
  PutLe(h + 22, 1, 2);   // mono
  PutLe(h + 24, static_cast<uint32_t>(sampleRate_), 4);
  PutLe(h + 28, static_cast<uint32_t>(sampleRate_ * 2), 4);
  PutLe(h + 32, 2, 2);
  PutLe(h + 34, 16, 2);
  std::memcpy(h + 36, "data", 4);
  PutLe(h + 40, dataBytes, 4);
  failed_ = failed_ || std::fseek(file_, 0, SEEK_SET) != 0 ||
            std::fwrite(h, 1, sizeof h, file_) != sizeof h;
  failed_ = std::fclose(file_) != 0 || failed_;
  file_ = nullptr;
  if (failed_) throw Error("cannot write " + DisplayName(fileName_) + ": " + ErrnoText(errno));
}

}  // namespace vorlin
