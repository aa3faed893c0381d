// The bilingual split, the markup builder with its offset table, the mapping of word
// positions back to the shown text, and the engine's markup reader.
#include "speech/speech_markup.h"

#include <gtest/gtest.h>

#include "speech/speech_markup_parser.h"
#include "speech/spoken_text.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

SpeechOptions Designed() {
  SpeechOptions o;
  o.voiceTagRus = "<voice required=\"Language=419\">";
  o.voiceTagEng = "<voice required=\"Language=409\">";
  o.volumeR = o.volumeE = 90;
  o.pause = 1000;
  return o;
}

std::string Runs(const std::string& utf8, char digits = 'R', size_t longest = 5000) {
  SpeechOptions o = Designed();
  o.digitLanguage = digits;
  const SpeechRuns runs = SplitByLanguage(W(utf8), longest, o);
  std::string out;
  for (size_t i = 0; i < runs.texts.size(); ++i) {
    out += std::string(1, runs.languages[i]) + "[" + Cp1251ToUtf8(runs.texts[i]) + "]";
  }
  return out;
}

TEST(SplitByLanguage, CutsRunsAtWordBoundariesByLanguage) {
  const struct {
    const char* text;
    char digits;
    const char* runs;
  } cases[] = {
      {"Hello мир", 'R', "E[Hello ]R[мир]"},
      {"2008 год", 'R', "R[2008 год]"},
      {"2008 год", 'E', "E[2008 ]R[год]"},
      {"Вопрос?Ответ", 'R', "R[Вопрос?Ответ]"},
      {"Question?Ответ", 'R', "E[Question?Ответ]"},
      {"Это BBC News сегодня", 'R', "R[Это ]E[BBC News ]R[сегодня]"},
      {"(Hello), мир.", 'R', "R[(]E[Hello), ]R[мир.]"},
      {"a <b>bold</b> #1", 'E', "E[a  b bold /b   1]"},
      {"строка\nline", 'R', "R[строка\r\n]E[line]"},
      {"", 'R', ""},
  };
  for (const auto& c : cases) EXPECT_EQ(Runs(c.text, c.digits), c.runs) << c.text;
}

TEST(SplitByLanguage, CutsAnOverlongRunAfterTheFirstSentenceEndBeyondTheLimit) {
  std::string sentence = "Слово слово слово.";  // 18 characters
  std::string text;
  while (text.size() < 6000 * 2) text += sentence + " ";  // UTF-8: two bytes a letter
  const SpeechRuns runs = SplitByLanguage(W(text), 5000, Designed());
  ASSERT_EQ(runs.texts.size(), 2u);
  EXPECT_GT(runs.texts[0].size(), 5000u);
  EXPECT_LT(runs.texts[0].size(), 5000u + 20);
  EXPECT_EQ(runs.texts[0].back(), '.');
  EXPECT_EQ(runs.texts[0] + runs.texts[1], CleanSpeechText(W(text)));
  // Without a "." after the limit the run stays whole.
  std::string noStop(6000, 'x');
  EXPECT_EQ(SplitByLanguage(noStop, 5000, Designed()).texts.size(), 1u);
}

TEST(BuildSpeechMarkup, PutsEachRunsTagsBeforeItAndRecordsTheOffsets) {
  OffsetTable table;
  EXPECT_EQ(Cp1251ToUtf8(BuildSpeechMarkup(W("Привет"), Designed(), table)),
            "<voice required=\"Language=419\"><volume level=\"90\">Привет"
            "<silence msec=\"1000\"/>");
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].markupOffset, 50);
  EXPECT_EQ(table[0].tagTotal, 50);
  EXPECT_EQ(table[1].markupOffset, 50 + 6 + 22);
  EXPECT_EQ(table[1].tagTotal, 50 + 22);

  SpeechOptions o = Designed();
  o.volumeE = 0, o.rateE = -3, o.pitchE = 5, o.rateR = 4, o.pitchR = -7, o.pause = 0;
  const std::string markup = Cp1251ToUtf8(BuildSpeechMarkup(W("Hello мир"), o, table));
  EXPECT_EQ(markup,
            "<voice required=\"Language=409\"><rate absspeed=\"-3\"><pitch absmiddle=\"5\">"
            "Hello <voice required=\"Language=419\"><volume level=\"90\"><rate absspeed=\"4\">"
            "<pitch absmiddle=\"-7\">мир");
  ASSERT_EQ(table.size(), 2u);  // no silence, no closing entry
  // A word in each run maps back to its place in the text.
  EXPECT_EQ(PlainPosition(table, table[0].markupOffset), 0);
  EXPECT_EQ(PlainPosition(table, table[1].markupOffset), 6);
  EXPECT_EQ(PlainPosition({}, 17), 17);  // no table: positions as they are
  EXPECT_EQ(BuildSpeechMarkup("", o, table), "");
  EXPECT_TRUE(table.empty());
}

TEST(BuildSpeechMarkup, SingleLanguageModesGiveEveryRunTheSameSettings) {
  SpeechOptions o = Designed();
  o.rateR = 2, o.volumeE = 40;
  OffsetTable table;
  const std::string ru = BuildSpeechMarkup(W("Hello мир"), OptionsForMode(o, kRussianOnly), table);
  EXPECT_EQ(ru.find("409"), std::string::npos);
  EXPECT_NE(ru.find("<rate absspeed=\"2\">Hello"), std::string::npos);
  const std::string en = BuildSpeechMarkup(W("Hello мир"), OptionsForMode(o, kEnglishOnly), table);
  EXPECT_EQ(en.find("419"), std::string::npos);
  EXPECT_NE(en.find("<volume level=\"40\">" + W("мир")), std::string::npos);
}

// A voice tag the parser cannot read is an error naming the setting by its caption, in the modes
// that use it, and is never spoken.
TEST(MakeSpokenText, RefusesAVoiceTagThatDoesNotReadAsMarkup) {
  SpeechOptions o = Designed();
  o.voiceTagRus = "<voice required=\"Language=419\"";
  for (int mode : {kBilingual, kRussianOnly}) {
    const std::string error = test::ErrorText([&] { MakeSpokenText(W("мир"), o, mode); });
    EXPECT_NE(error.find("«Тег:» группы «Русский голос (Russian voice)»"), std::string::npos);
  }
  EXPECT_NO_THROW(MakeSpokenText(W("мир"), o, kEnglishOnly));
}

// The description's own paragraphs push the closing " . " onto a line of its own: it joins the
// line before, or goes when that line ends a sentence already.
TEST(JoinStrayFullStops, NoLineIsALoneFullStop) {
  const std::pair<const char*, const char*> cases[] = {
      {"Title . \r\nText.\r\n . ", "Title . \r\nText."},
      {" . \r\nText\r\n\r\n.\r\n", "Text .\r\n\r\n"},
      {"Title . \r\nText . ", "Title . \r\nText . "},
      {"3.5 . ", "3.5 . "}};
  for (const auto& [rendered, tidy] : cases) EXPECT_EQ(JoinStrayFullStops(rendered), tidy);
}

// The spoken text's paragraphs end in CR LF, the text fields keep one character per break:
// every word after a break must still land on itself.
TEST(MapWordEvent, HighlightsTheSpokenWordAfterLineBreaksInEveryMode) {
  const std::string text = W("Заголовок . \r\nFirst line\r\n\r\nвторая строка . ");
  for (int mode = 0; mode < 4; ++mode) {
    const SpokenText s = MakeSpokenText(text, Designed(), mode);
    for (const char* word : {"Заголовок", "First", "line", "вторая", "строка"}) {
      const std::string w = W(word);
      // Where the engine would report the word: its place in the engine text.
      size_t pos = s.engineText.find(w);
      ASSERT_NE(pos, std::string::npos);
      const DisplaySpan span = MapWordEvent(s, static_cast<int>(pos), static_cast<int>(w.size()));
      EXPECT_EQ(s.display.substr(static_cast<size_t>(span.start), static_cast<size_t>(span.length)),
                w)
          << "mode " << mode << " word " << word;
    }
  }
}

TEST(ParseSpeechMarkup, ReadsTagsAttributesAndTextWithTheirPositions) {
  const auto p = ParseSpeechMarkup(
      "<Voice required=\"Name=x>y;Language=419\">Hi <silence msec='5'/>a < b</rate>");
  ASSERT_EQ(p.size(), 5u);
  EXPECT_TRUE(p[0].isTag);
  EXPECT_EQ(p[0].name, "voice");
  ASSERT_NE(p[0].Attribute("required"), nullptr);
  EXPECT_EQ(*p[0].Attribute("required"), "Name=x>y;Language=419");
  EXPECT_EQ(p[1].text, "Hi ");
  EXPECT_EQ(p[1].position, 40);
  EXPECT_EQ(p[2].name, "silence");
  EXPECT_EQ(*p[2].Attribute("msec"), "5");
  EXPECT_EQ(p[3].text, "a < b");  // a "<" that never closes is text
  EXPECT_TRUE(p[4].closing);
  EXPECT_EQ(p[4].name, "rate");
  EXPECT_TRUE(ParseSpeechMarkup("").empty());
  EXPECT_EQ(ParseSpeechMarkup("<unclosed \"quote>").at(0).text, "<unclosed \"quote>");
}

}  // namespace
}  // namespace vorlin
