// Speech figures: the time from Speak to the first audio of a 5,000-character bilingual
// message; how many word events of bilingual messages land exactly on a word of the text
// and which voice speaks each run; underruns while a long text plays in real time at rate 10.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "speech/speech_engine.h"
#include "speech/spoken_text.h"
#include "util/cp1251.h"

namespace {

using namespace vorlin;
using Clock = std::chrono::steady_clock;

// Takes audio as fast as it comes and notes when the first arrived.
class FirstAudio final : public AudioPlayer {
 public:
  Clock::time_point first{};
  size_t Write(const int16_t*, size_t count) override {
    if (count > 0 && first == Clock::time_point{}) first = Clock::now();
    played_ += static_cast<int64_t>(count);
    return count;
  }
  int64_t PlayedSamples() override { return played_; }
  void Pause() override {}
  void Resume() override {}
  void Reset() override { played_ = 0; }
  bool RealTime() const override { return false; }

 private:
  int64_t played_ = 0;
};

const char* const kMessages[] = {
    "Компания Apple представила iPhone 16 Pro. Новая модель получила чип A18 и камеру на 48 "
    "мегапикселей.\nПродажи начнутся 20 сентября 2024 года.",
    "Президент заявил в интервью BBC News, что переговоры продолжатся. \"We are ready to talk\","
    " сказал он журналистам.",
    "Курс доллара составил 92,5 рубля; euro stays at 1.08 dollars. Аналитики Goldman Sachs "
    "ждут снижения ставки.",
    "В Москве открылся фестиваль Open Source Summit. More than 300 speakers from 40 countries "
    "приедут в Россию.",
    "Linux 6.10 вышел с поддержкой новых процессоров Intel и AMD. Linus Torvalds thanked "
    "contributors for their work.",
    "Матч закончился со счётом 3:1 в пользу \"Спартака\". Manchester United lost again at home."
    "\n\nСледующая игра в субботу.",
};

SpeechOptions Options() {
  SpeechOptions o;
  o.voiceTagRus = "<voice required=\"Language=419\">";
  o.voiceTagEng = "<voice required=\"Language=409\">";
  o.volumeR = o.volumeE = 90;
  o.pause = 0;
  return o;
}

bool IsWordChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u >= 192 ||
         u == 168 || u == 184;
}

std::string Bilingual(size_t length) {
  std::string text;
  for (size_t i = 0; text.size() < length; ++i) {
    text += W(kMessages[i % std::size(kMessages)]) + " ";
  }
  return text.substr(0, length);
}

void FirstAudioFigure() {
  std::vector<double> ms;
  for (int i = 0; i < 5; ++i) {
    auto player = std::make_unique<FirstAudio>();
    FirstAudio* p = player.get();
    SpeechEngine engine(std::move(player));
    const auto start = Clock::now();
    const SpokenText spoken = MakeSpokenText(Bilingual(5000), Options(), kBilingual);
    engine.Speak(spoken.engineText, spoken.flags);
    while (p->first == Clock::time_point{}) engine.WaitUntilDone(1);
    ms.push_back(std::chrono::duration<double, std::milli>(p->first - start).count());
    engine.Speak("", kSpeakPurge | kSpeakAsync);
  }
  std::sort(ms.begin(), ms.end());
  std::printf(
      "first audio of a 5000-character bilingual message: median %.1f ms, worst %.1f ms "
      "(target 150 ms)\n",
      ms[ms.size() / 2], ms.back());
}

void WordFigure() {
  int words = 0, exact = 0, runs = 0, rightVoice = 0;
  SpeechEngine engine(std::make_unique<FirstAudio>());
  for (const char* message : kMessages) {
    const std::string text = W(message);
    const SpokenText spoken = MakeSpokenText(text, Options(), kBilingual);
    const SpeechRuns split = SplitByLanguage(text, 5000, Options());
    engine.onWord = [&](int position, int length) {
      const DisplaySpan s = MapWordEvent(spoken, position, length);
      const std::string& d = spoken.display;
      const auto b = static_cast<size_t>(s.start), e = b + static_cast<size_t>(s.length);
      bool ok =
          s.length > 0 && (b == 0 || !IsWordChar(d[b - 1])) && (e >= d.size() || !IsWordChar(d[e]));
      for (size_t i = b; ok && i < e; ++i) ok = IsWordChar(d[i]);
      ++words;
      exact += ok;
      if (!ok) std::printf("  off: \"%s\"\n", Cp1251ToUtf8(d.substr(b, e - b)).c_str());
    };
    engine.onVoice = [&](int position, const VoiceToken& voice) {
      for (size_t r = 0; r < spoken.table.size(); ++r) {
        if (spoken.table[r].markupOffset != position) continue;
        ++runs;
        rightVoice += voice.language == (split.languages[r] == 'R' ? "ru" : "en-us");
      }
    };
    engine.Speak(spoken.engineText, spoken.flags);
    engine.WaitUntilDone(-1);
  }
  std::printf(
      "word events on a word of the text: %d of %d (%.1f%%, target 99%%); runs spoken by "
      "the voice of their language: %d of %d\n",
      exact, words, 100.0 * exact / std::max(words, 1), rightVoice, runs);
}

void UnderrunFigure(int seconds) {
  SpeechEngine engine;  // silent, real time
  SpeechOptions o = Options();
  o.rateR = o.rateE = 10;
  // More text than can be spoken in the time (rate 10 is about 45 characters a second).
  const SpokenText spoken =
      MakeSpokenText(Bilingual(static_cast<size_t>(seconds) * 60), o, kBilingual);
  const auto start = Clock::now();
  engine.Speak(spoken.engineText, spoken.flags);
  while (!engine.WaitUntilDone(30)) {
    if (Clock::now() - start > std::chrono::seconds(seconds)) break;
  }
  engine.Speak("", kSpeakPurge | kSpeakAsync);
  std::printf("underruns over %.0f s of speech at rate 10: %d (target 0)\n",
              std::chrono::duration<double>(Clock::now() - start).count(), engine.Underruns());
}

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 300;
  FirstAudioFigure();
  WordFigure();
  if (seconds > 0) UnderrunFigure(seconds);
  return 0;
}
