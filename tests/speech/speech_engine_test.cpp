// The engine on real espeak-ng: voices, markup, word events at the moment their audio is
// played, pause, resume and purge through the silent clock, WAV output.
#include "speech/speech_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "speech/spoken_text.h"
#include "speech_test_support.h"
#include "test_support.h"

namespace vorlin {
namespace {

using test::JumpingClock;

TEST(Voices, RussianAndEnglishAreInstalledWithTheirCodesAndNoOtherTagIsSpoken) {
  SpeechEngine engine(nullptr);
  const std::vector<VoiceToken>& voices = engine.GetVoices();
  const int ru = MatchVoice(voices, "Language=419");
  const int us = MatchVoice(voices, "language = 409");
  const int gb = MatchVoice(voices, "Language=809");
  ASSERT_GE(ru, 0);
  ASSERT_GE(us, 0);
  ASSERT_GE(gb, 0);
  EXPECT_EQ(voices[ru].language, "ru");
  EXPECT_EQ(voices[us].language, "en-us");
  EXPECT_EQ(voices[gb].language, "en-gb");
  EXPECT_EQ(voices[ru].GetAttribute("Name"), "Russian");
  EXPECT_EQ(MatchVoice(voices, "Name=Russian;Language=419"), ru);
  EXPECT_EQ(MatchVoice(voices, "Name=Russian;Language=409"), -1);
  EXPECT_EQ(LanguageHex("en-gb-scotland"), "809");
  EXPECT_EQ(LanguageHex("xx"), "");
  // A voice tag that matches no voice is refused, naming the tag, and nothing is spoken.
  const std::string error = test::ErrorText(
      [&] { engine.Speak("<voice required=\"Language=FFFF\">text", kSpeakMarkup | kSpeakAsync); });
  EXPECT_NE(error.find("Language=FFFF"), std::string::npos) << error;
  EXPECT_TRUE(engine.WaitUntilDone(0));
}

struct Heard {
  std::vector<std::string> words;  // UTF-8
  std::vector<std::string> voices;
  std::vector<int64_t> at;  // clock time of each word
};

// Speaks a message as the reading loop does and collects what is heard.
Heard Listen(SpeechEngine& engine, const std::string& utf8, int mode, SpeechClock* clock) {
  SpeechOptions o;
  o.voiceTagRus = "<voice required=\"Language=419\">";
  o.voiceTagEng = "<voice required=\"Language=409\">";
  o.volumeR = o.volumeE = 90;
  const SpokenText spoken = MakeSpokenText(Utf8ToCp1251Refs(utf8), o, mode);
  Heard heard;
  engine.onWord = [&](int position, int length) {
    const DisplaySpan span = MapWordEvent(spoken, position, length);
    heard.words.push_back(Cp1251RefsToUtf8(spoken.display.substr(span.start, span.length)));
    if (clock != nullptr) heard.at.push_back(clock->NowMicros());
  };
  engine.onVoice = [&](int, const VoiceToken& v) { heard.voices.push_back(v.language); };
  engine.Speak(spoken.engineText, spoken.flags);
  EXPECT_TRUE(engine.WaitUntilDone(60'000));
  return heard;
}

TEST(SpeechEngine, SpeaksEachRunWithItsVoiceAndReportsTheWordsOfTheText) {
  test::TempDir dir;
  auto wav = std::make_unique<WavPlayer>(dir / "out.wav", SpeechEngine::SampleRate());
  WavPlayer* file = wav.get();
  SpeechEngine engine(std::move(wav));
  const Heard heard =
      Listen(engine, "Новости BBC News, 2008 год.\nSecond line Müller здесь.", 1, nullptr);
  EXPECT_EQ(heard.words, (std::vector<std::string>{"Новости", "BBC", "News", "2008", "год",
                                                   "Second", "line", "Müller", "здесь"}));
  EXPECT_EQ(heard.voices, (std::vector<std::string>{"ru", "en-us", "ru", "en-us", "ru"}));
  // Words in quotation marks, after "?" or "!" with no blank, and the digits after a decimal
  // comma get their own events.
  const std::pair<const char*, std::vector<std::string>> cases[] = {
      {"«Газпром» и «Роснефть» растут.", {"Газпром", "и", "Роснефть", "растут"}},
      {"Вопрос?Ответ!Да", {"Вопрос", "Ответ", "Да"}},
      {"Курс 3,14 и „цитата“ и “Сбер”.", {"Курс", "3", "14", "и", "цитата", "и", "Сбер"}},
      {"Число 1.08 и 92,5 год", {"Число", "1", "08", "и", "92", "5", "год"}}};
  for (const auto& [text, words] : cases) {
    EXPECT_EQ(Listen(engine, text, 1, nullptr).words, words) << text;
  }
  file->Close();
  // The file holds audible speech: sox measures its loudness.
  FILE* sox = ::popen(("sox " + (dir / "out.wav") + " -n stat 2>&1").c_str(), "r");
  ASSERT_NE(sox, nullptr);
  std::string stat;
  char line[256];
  while (std::fgets(line, sizeof line, sox) != nullptr) stat += line;
  ::pclose(sox);
  const size_t rms = stat.find("RMS     amplitude:");
  ASSERT_NE(rms, std::string::npos) << stat;
  EXPECT_GT(std::stod(stat.substr(rms + 18)), 0.02) << stat;
  const size_t length = stat.find("Length (seconds):");
  EXPECT_GT(std::stod(stat.substr(length + 17)), 2.0) << stat;
}

// vorlin-cli speak: positions count the text as given, CR LF as two characters; "--" ends the
// options and "-" reads the text from standard input.
TEST(SpeakCommand, PositionsCountTheTextAsGiven) {
  test::TempDir dir;
  test::WriteBytes(dir.path() / "in.txt", "Один\r\nдва\r\nтри\nчетыре");
  const std::string speak = "--config-dir " + dir.Folder() + " speak --wav " + dir / "a.wav";
  const std::string words = "word 1 4 Один\nword 7 3 два\nword 12 3 три\nword 16 6 четыре\n";
  EXPECT_EQ(test::RunCli(speak + " - <" + dir / "in.txt").out, "run R Russian\n" + words);
  EXPECT_EQ(test::RunCli(speak + " -- --rate").out,
            "run R Russian\nrun E English (America)\nword 3 4 rate\n");
}

TEST(SpeechEngine, WordsComeAtTheirPlayedTimeAndPauseHoldsThem) {
  JumpingClock clock;
  SpeechEngine engine(std::make_unique<SilentPlayer>(SpeechEngine::SampleRate(), clock), clock);
  const Heard plain = Listen(engine, "one two three four five six", 0, &clock);
  ASSERT_EQ(plain.words.size(), 6u);
  // Six words at the normal rate last well over a second of played time, words in order.
  EXPECT_GT(plain.at.back() - plain.at.front(), 1'000'000);
  for (size_t i = 1; i < plain.at.size(); ++i) EXPECT_GT(plain.at[i], plain.at[i - 1]);

  // Pause after the first word: no word while paused however long, the rest after Resume.
  std::vector<std::string> words;
  engine.onWord = [&](int position, int length) {
    words.push_back(std::string("one two three four").substr(position, length));
    if (words.size() == 1) engine.Pause();
  };
  engine.Speak("one two three four", kSpeakAsync);
  EXPECT_FALSE(engine.WaitUntilDone(20'000));
  EXPECT_EQ(words.size(), 1u);
  engine.Resume();
  EXPECT_TRUE(engine.WaitUntilDone(20'000));
  EXPECT_EQ(words, (std::vector<std::string>{"one", "two", "three", "four"}));

  // Purge ends the speech at once and drops what is queued.
  words.clear();
  engine.onWord = [&](int, int) { words.push_back("w"); };
  engine.Speak("one two three four five six seven", kSpeakAsync);
  engine.Speak("eight nine", kSpeakAsync);
  engine.WaitUntilDone(100);
  engine.Speak("", kSpeakPurge | kSpeakAsync);
  const int64_t before = clock.NowMicros();
  EXPECT_TRUE(engine.WaitUntilDone(0));
  EXPECT_EQ(clock.NowMicros(), before);
  EXPECT_LT(words.size(), 3u);
}

}  // namespace
}  // namespace vorlin
