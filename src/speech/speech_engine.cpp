#include "speech/speech_engine.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "speech/speech_markup_parser.h"
#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin {

namespace {

constexpr int kAheadSeconds = 5;

// Digits and the Latin and Cyrillic letters of the code page (the collation weighs every
// other byte lower).
bool IsWordChar(char c) { return CollationWeight(c) >= 0x100; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The text as the library is to read it: "Вопрос?Ответ" is one word to it, which would then be
// spoken and marked as one, so a blank goes after every "?" and "!" that a word follows.
// `origin[i]` is the position in `text` of the library's character i (one past the end too).
std::string LibraryText(const std::string& text, std::vector<int>& origin) {
  std::string out;
  origin.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    out += text[i];
    origin.push_back(static_cast<int>(i));
    if ((text[i] == '?' || text[i] == '!') && i + 1 < text.size() && IsWordChar(text[i + 1])) {
      out += ' ';
      origin.push_back(static_cast<int>(i + 1));
    }
  }
  origin.push_back(static_cast<int>(text.size()));
  return out;
}

bool ParseInt(const std::string* text, int& value) {
  if (text == nullptr) return false;
  const char* begin = text->data();
  const char* end = begin + text->size();
  if (begin != end && *begin == '+') ++begin;
  return std::from_chars(begin, end, value).ec == std::errc() && begin != end;
}

bool Speakable(std::string_view text) {
  return std::any_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) > 32; });
}

// The library's own rate, volume and pitch for the engine's scales: rate -10 to 10 spans a
// third to three times the normal 175 words a minute (the library stops at 80 and 450).
espeak::Prosody ToProsody(const VoiceToken& voice, int rate, int volume, int pitch) {
  espeak::Prosody p;
  p.voiceIdentifier = voice.identifier;
  p.wordsPerMinute =
      std::clamp(static_cast<int>(std::lround(175 * std::pow(3.0, rate / 10.0))), 80, 450);
  p.volume = std::clamp(volume, 0, 100);
  p.pitch = std::clamp(50 + pitch / 2, 0, 100);
  return p;
}

std::vector<VoiceToken> OrderedVoices() {
  std::vector<VoiceToken> voices = espeak::InstalledVoices();
  const char* lang = std::getenv("LANG");
  const std::string first =
      lang != nullptr && std::string_view(lang).starts_with("ru") ? "ru" : "en-us";
  std::stable_partition(voices.begin(), voices.end(),
                        [&](const VoiceToken& v) { return v.language == first; });
  return voices;
}

}  // namespace

SpeechEngine::SpeechEngine(std::unique_ptr<AudioPlayer> player, SpeechClock& clock)
    : player_(std::move(player)), clock_(clock), voices_(OrderedVoices()) {
  if (!player_) player_ = std::make_unique<SilentPlayer>(SampleRate(), clock_);
  aheadLimit_ = static_cast<int64_t>(SampleRate()) * kAheadSeconds;
  worker_ = std::thread([this] { WorkerLoop(); });
}

SpeechEngine::~SpeechEngine() {
  {
    std::lock_guard lock(mutex_);
    quit_ = true;
    ++generation_;
  }
  wake_.notify_all();
  worker_.join();
}

void SpeechEngine::SetVoice(int index) {
  if (index >= 0 && index < static_cast<int>(voices_.size())) voice_ = index;
}

void SpeechEngine::SetRate(int rate) { rate_ = std::clamp(rate, -10, 10); }

void SpeechEngine::SetVolume(int volume) { volume_ = std::clamp(volume, 0, 100); }

std::vector<SpeechEngine::Segment> SpeechEngine::Parse(std::string_view text, bool markup) const {
  std::vector<Segment> segments;
  Segment state;
  state.voice = voice_, state.rate = rate_, state.volume = volume_, state.pitch = 0;
  if (!markup) {
    state.text = std::string(text);
    if (Speakable(text)) segments.push_back(state);
    return segments;
  }
  for (const MarkupPiece& piece : ParseSpeechMarkup(text)) {
    int value = 0;
    if (!piece.isTag) {
      if (!Speakable(piece.text)) continue;
      Segment s = state;
      s.position = piece.position;
      s.text = piece.text;
      segments.push_back(std::move(s));
    } else if (piece.closing) {
      continue;  // tags stay in force to the end of the text
    } else if (piece.name == "voice") {
      if (const std::string* required = piece.Attribute("required")) {
        const int v = MatchVoice(voices_, *required);
        if (v < 0) {
          throw Error("No installed voice has the attributes \"" + Cp1251ToUtf8(*required) +
                      "\" (voice tag at position " + std::to_string(piece.position + 1) + ")");
        }
        state.voice = v;
      }
    } else if (piece.name == "volume" && ParseInt(piece.Attribute("level"), value)) {
      state.volume = std::clamp(value, 0, 100);
    } else if (piece.name == "rate" && ParseInt(piece.Attribute("absspeed"), value)) {
      state.rate = std::clamp(value, -10, 10);
    } else if (piece.name == "pitch" && ParseInt(piece.Attribute("absmiddle"), value)) {
      state.pitch = std::clamp(value, -100, 100);
    } else if (piece.name == "silence" && ParseInt(piece.Attribute("msec"), value) && value > 0) {
      Segment s = state;
      s.position = piece.position;
      s.silenceMs = std::min(value, 600000);
      segments.push_back(std::move(s));
    }
  }
  return segments;
}

void SpeechEngine::Speak(std::string_view text, int flags) {
  std::vector<Segment> segments = Parse(text, (flags & 8) != 0);
  if (flags & 2) Purge();
  if (!segments.empty()) {
    {
      std::lock_guard lock(mutex_);
      jobs_.push_back(std::move(segments));
    }
    wake_.notify_all();
  }
  if (!(flags & 1)) WaitUntilDone(-1);
}

void SpeechEngine::Purge() {
  {
    std::lock_guard lock(mutex_);
    ++generation_;
    jobs_.clear();
    audio_.clear();
    audioRead_ = 0;
    events_.clear();
    synthesized_ = written_ = 0;
    played_ = 0;
    starved_ = false;
  }
  wake_.notify_all();
  player_->Reset();
}

void SpeechEngine::Pause() {
  paused_ = true;
  player_->Pause();
}

void SpeechEngine::Resume() {
  paused_ = false;
  player_->Resume();
}

bool SpeechEngine::Done() {
  std::lock_guard lock(mutex_);
  // A job purged meanwhile no longer counts, though the worker may still be leaving it.
  const bool working = workerBusy_ && workerGeneration_ == generation_;
  return jobs_.empty() && !working && audioRead_ == audio_.size() && events_.empty() &&
         played_ >= written_;
}

bool SpeechEngine::WaitUntilDone(int timeoutMs) {
  const int64_t deadline = clock_.NowMicros() + int64_t{timeoutMs} * 1000;
  for (;;) {
    Pump();
    if (Done()) return true;
    const int64_t now = clock_.NowMicros();
    if (timeoutMs >= 0 && now >= deadline) return false;
    clock_.SleepMicros(timeoutMs >= 0 ? std::min<int64_t>(5000, deadline - now) : 5000);
  }
}

void SpeechEngine::Pump() {
  if (pumping_) return;  // an event handler that processes window events
  pumping_ = true;
  std::vector<Event> due;
  {
    std::unique_lock lock(mutex_);
    if (workerError_) {
      std::exception_ptr error = std::exchange(workerError_, nullptr);
      pumping_ = false;
      std::rethrow_exception(error);
    }
    while (audioRead_ < audio_.size()) {
      const size_t taken = player_->Write(audio_.data() + audioRead_, audio_.size() - audioRead_);
      if (taken == 0) break;
      audioRead_ += taken;
      written_ += static_cast<int64_t>(taken);
    }
    if (audioRead_ == audio_.size()) audio_.clear(), audioRead_ = 0;
    const int64_t played = std::min(player_->PlayedSamples(), written_);
    played_ = played;
    const bool dry = player_->RealTime() && !paused_ && played >= written_ && jobHasAudio_ &&
                     audio_.empty() && workerBusy_ && workerGeneration_ == generation_;
    if (dry && !starved_) ++underruns_;
    starved_ = dry;
    while (!events_.empty() && events_.front().sample <= played) {
      due.push_back(events_.front());
      events_.pop_front();
    }
  }
  wake_.notify_all();
  try {
    for (const Event& e : due) {
      if (e.length < 0) {
        if (onVoice) onVoice(e.position, voices_[static_cast<size_t>(e.voice)]);
      } else if (onWord && (interests_ & kWordEvents)) {
        onWord(e.position, e.length);
      }
    }
  } catch (...) {
    pumping_ = false;
    throw;
  }
  pumping_ = false;
}

void SpeechEngine::WorkerLoop() {
  for (;;) {
    std::vector<Segment> job;
    uint64_t generation = 0;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return quit_ || !jobs_.empty(); });
      if (quit_) return;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      workerBusy_ = true;
      jobHasAudio_ = false;
      generation = workerGeneration_ = generation_;
    }
    try {
      for (const Segment& segment : job) SynthesizeSegment(segment, generation);
    } catch (...) {
      std::lock_guard lock(mutex_);
      workerError_ = std::current_exception();
    }
    std::lock_guard lock(mutex_);
    workerBusy_ = false;
  }
}

bool SpeechEngine::Append(const int16_t* samples, size_t count, uint64_t generation,
                          std::unique_lock<std::mutex>& lock) {
  // Stay at most a few seconds ahead of what has been played.
  wake_.wait(lock,
             [&] { return generation != generation_ || synthesized_ - played_ < aheadLimit_; });
  if (generation != generation_) return false;
  audio_.insert(audio_.end(), samples, samples + count);
  synthesized_ += static_cast<int64_t>(count);
  if (count > 0) jobHasAudio_ = true;
  return true;
}

void SpeechEngine::SynthesizeSegment(const Segment& segment, uint64_t generation) {
  int64_t base = 0;
  {
    std::lock_guard lock(mutex_);
    if (generation != generation_) return;
    base = synthesized_;
    if (segment.silenceMs == 0) events_.push_back({base, segment.position, -1, segment.voice});
  }
  if (segment.silenceMs > 0) {
    const std::vector<int16_t> zeros(static_cast<size_t>(SampleRate() / 20), 0);
    int64_t left = int64_t{segment.silenceMs} * SampleRate() / 1000;
    std::unique_lock lock(mutex_);
    while (left > 0) {
      const auto n =
          static_cast<size_t>(std::min<int64_t>(left, static_cast<int64_t>(zeros.size())));
      if (!Append(zeros.data(), n, generation, lock)) return;
      left -= static_cast<int64_t>(n);
    }
    return;
  }
  const std::string& text = segment.text;
  const int size = static_cast<int>(text.size());
  std::vector<int> origin;
  const std::string libraryText = LibraryText(text, origin);
  // A character kept as a reference ("&#233;") is one letter of its word, all its bytes.
  std::vector<int> starts;
  Cp1251RefsToUtf8(text, &starts);
  std::vector<bool> word(text.size());
  for (size_t c = 0; c < starts.size(); ++c) {
    const auto from = static_cast<size_t>(starts[c]);
    const size_t end = c + 1 < starts.size() ? static_cast<size_t>(starts[c + 1]) : text.size();
    for (size_t b = from; b < end; ++b) word[b] = end - from > 1 || IsWordChar(text[b]);
  }
  auto isWord = [&](int i) { return word[static_cast<size_t>(i)]; };
  int lastStart = -1;
  // A mark on signs that a word directly follows (the comma of "3,14", a quotation mark) stands
  // for that word; it is held until the next mark, which replaces it when it falls on the same
  // word (the point of "1.08" comes before the mark of "08").
  std::optional<Event> held;
  auto push = [&](const Event& e, int start) {
    if (start == lastStart) return;
    lastStart = start;
    events_.push_back(e);
  };
  auto sink = [&](const int16_t* samples, size_t count,
                  const std::vector<espeak::WordMark>& words) {
    std::unique_lock lock(mutex_);
    if (generation != generation_) return false;
    for (const espeak::WordMark& w : words) {
      // The library marks some words inside numbers and spelt-out words one character off;
      // a mark inside a word stands for the whole word.
      const int at = std::clamp(w.position, 0, static_cast<int>(origin.size()) - 1);
      int start = origin[static_cast<size_t>(at)];
      if (start >= size) continue;
      bool sign = !isWord(start);
      // A mark inside a number that a decimal sign and digits follow ("2" of "92,5") is the
      // library's mark for the fraction.
      if (!sign && start > 0 && IsDigit(text[static_cast<size_t>(start - 1)])) {
        int end = start;
        while (end < size && IsDigit(text[static_cast<size_t>(end)])) ++end;
        if (end + 1 < size &&
            (text[static_cast<size_t>(end)] == ',' || text[static_cast<size_t>(end)] == '.') &&
            IsDigit(text[static_cast<size_t>(end + 1)])) {
          start = end;
          sign = true;
        }
      }
      if (sign) {  // the word that the signs lead to, without a blank between
        while (start < size && !isWord(start) &&
               static_cast<unsigned char>(text[static_cast<size_t>(start)]) > ' ') {
          ++start;
        }
        if (start >= size || !isWord(start)) continue;
      }
      while (!sign && start > 0 && isWord(start - 1)) --start;
      int end = start;
      while (end < size && isWord(end)) ++end;
      const Event e{base + w.sample, segment.position + start, end - start, segment.voice};
      if (held && held->position != e.position) push(*held, held->position - segment.position);
      if (held && held->position == e.position && sign) continue;  // keep the first of them
      held.reset();
      if (sign) {
        held = e;
      } else {
        push(e, start);
      }
    }
    return Append(samples, count, generation, lock);
  };
  const VoiceToken& voice = voices_[static_cast<size_t>(segment.voice)];
  espeak::Synthesize(libraryText, ToProsody(voice, segment.rate, segment.volume, segment.pitch),
                     sink);
  std::lock_guard lock(mutex_);
  if (held && generation == generation_) push(*held, held->position - segment.position);
}

}  // namespace vorlin
