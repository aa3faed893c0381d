// The reading loop over a list of three messages, with a host standing in for the window.
#include "speech/reading_loop.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "speech_test_support.h"

namespace vorlin {
namespace {

class ListHost final : public ReadingHost {
 public:
  std::vector<std::string> messages = {"first message", "second one", "third"};
  int selected = 0;
  bool markRead = true;
  std::vector<int> shown, marked;
  std::vector<std::string> highlighted;
  bool ended = false;
  std::function<void()> onWord;  // runs at every highlight
  SpokenText lastSpoken;

  int ItemCount() override { return static_cast<int>(messages.size()); }
  int SelectedItem() override { return selected; }
  void SelectAndShow(int item) override {
    selected = item;
    shown.push_back(item);
  }
  std::string MessageText() override {
    return selected < 0 ? "" : messages[static_cast<size_t>(selected)];
  }
  SpeechOptions Options() override { return {}; }
  int LanguageMode() override { return kDefaultVoice; }
  void ShowSpokenText(const SpokenText& spoken) override { lastSpoken = spoken; }
  void Highlight(DisplaySpan span) override {
    highlighted.push_back(lastSpoken.display.substr(span.start, span.length));
    if (onWord) onWord();
  }
  bool MarkReadWanted() override { return markRead; }
  void MarkCurrentRead() override { marked.push_back(selected); }
  void ProcessEvents() override {}
  void ReadingEnded() override { ended = true; }
  void SpeechSilent() override { ++silentTold; }
  int silentTold = 0;
};

struct Reading {
  test::JumpingClock clock;
  SpeechEngine engine{std::make_unique<SilentPlayer>(SpeechEngine::SampleRate(), clock), clock};
  bool stop = true, speaking = false, paused = false;
  ListHost host;
  ReadingLoop loop{engine, {&stop, &speaking, &paused}, host};
};

TEST(ReadingLoop, ReadsFromTheSelectedMessageOrTheFirstToTheEndAndMarksEachRead) {
  for (bool markRead : {true, false}) {
    Reading r;
    r.host.selected = 1;
    r.host.markRead = markRead;
    r.loop.StartOrResume();
    EXPECT_EQ(r.host.shown, (std::vector<int>{1, 2}));
    EXPECT_EQ(r.host.marked, (markRead ? std::vector<int>{1, 2} : std::vector<int>{}));
    EXPECT_EQ(r.host.highlighted, (std::vector<std::string>{"second", "one", "third"}));
    EXPECT_TRUE(r.stop);
    EXPECT_FALSE(r.speaking);
    EXPECT_TRUE(r.host.ended);
    EXPECT_EQ(r.host.silentTold, 1);  // no sound device: told once, reading went on
  }
  Reading none;  // nothing selected: nothing spoken, then from the first
  none.host.selected = -1;
  none.loop.StartOrResume();
  EXPECT_EQ(none.host.shown, (std::vector<int>{-1, 0, 1, 2}));
}

TEST(ReadingLoop, StopWhilePausedEndsTheRunAndTheNextStartIsClean) {
  Reading r;
  int words = 0;
  r.host.onWord = [&] {
    if (++words == 1) {
      r.loop.Pause();
      r.loop.Pause();          // twice is once
      r.loop.StartOrResume();  // a Start while paused resumes
      EXPECT_FALSE(r.paused);
      r.loop.Pause();
      r.loop.StartOrResume();
      r.loop.Pause();
      r.loop.Stop();
    }
  };
  r.loop.StartOrResume();
  EXPECT_EQ(r.host.shown, (std::vector<int>{0}));   // the first message was cut off
  EXPECT_EQ(r.host.marked, (std::vector<int>{0}));  // and still counts as read
  EXPECT_FALSE(r.paused);
  EXPECT_FALSE(r.engine.Paused());
  EXPECT_TRUE(r.engine.WaitUntilDone(0));

  r.host.onWord = nullptr;
  r.host.shown.clear();
  r.host.highlighted.clear();
  r.loop.StartOrResume();  // begins again at the message that was being read
  EXPECT_EQ(r.host.shown, (std::vector<int>{0, 1, 2}));
  EXPECT_EQ(r.host.highlighted.front(), "first");
}

}  // namespace
}  // namespace vorlin
