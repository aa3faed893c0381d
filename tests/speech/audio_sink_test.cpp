// The engine on the sound device (the PulseAudio null sink of the test run): words come as
// the sink plays, and Pause holds the sink within 100 ms.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "speech/qt_audio_player.h"
#include "speech/speech_engine.h"
#include "speech/spoken_text.h"
#include "test_exit.h"

namespace vorlin {
namespace {

TEST(AudioSink, PlaysWordsPausesAndResumesOnTheDevice) {
  auto player = QtAudioPlayer::Open(SpeechEngine::SampleRate());
  if (!player) GTEST_SKIP() << "no audio output device";
  QtAudioPlayer* sink = player.get();
  SpeechEngine engine(std::move(player));
  const std::string text = "one two three";
  std::vector<std::string> words;
  engine.onWord = [&](int p, int n) { words.push_back(text.substr(p, n)); };
  engine.Speak(text, kSpeakAsync);
  while (words.empty()) engine.WaitUntilDone(10);
  engine.Pause();
  const int64_t paused = sink->PlayedSamples();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(engine.WaitUntilDone(0));
  EXPECT_LT(sink->PlayedSamples() - paused, SpeechEngine::SampleRate() / 10);
  EXPECT_EQ(words.size(), 1u);
  engine.Resume();
  EXPECT_TRUE(engine.WaitUntilDone(10'000));
  EXPECT_EQ(words, (std::vector<std::string>{"one", "two", "three"}));
}

}  // namespace
}  // namespace vorlin

int main(int argc, char** argv) {
  int result = 0;
  {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    result = RUN_ALL_TESTS();
  }
  vorlin::test::LeaveBeforeGlobals(result);
}
