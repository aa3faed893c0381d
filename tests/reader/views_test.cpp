#include <gtest/gtest.h>

#include "reader/channel_lists.h"
#include "reader/history.h"
#include "reader/message_view.h"
#include "reader/read_marks.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

using std::chrono::seconds;

MessageList OneMessage(const std::string& channel, const std::string& description) {
  MessageList list;
  list.Add({W(channel), W("Новый спутник"), "http://x/1", W(description), "Mon, 1 "});
  return list;
}

TEST(MessageViews, ListLineTxtLinesAndHtmlDocumentBytes) {
  // A channel shorter than the cut (the search CLI test holds a longer one).
  EXPECT_EQ(Cp1251ToUtf8(ChannelPrefixedLine(OneMessage("AB", ""), 0, 3)), "AB... Новый спутник");
  MessageList list = OneMessage("Канал", "");
  std::vector<std::string> lines = TxtViewLines(list, 0);
  ASSERT_EQ(lines.size(), 8u);         // an empty description keeps its line
  EXPECT_EQ(lines[1] + lines[4], "");  // the reading page's test holds the other lines

  for (const char* background : {"", "   "}) {
    EXPECT_EQ(MessageHtml("T", "Hello", false, background),
              "<HTML><HEAD></HEAD><BODY>Hello</BODY></HTML>");
  }
  EXPECT_EQ(MessageHtml("<b>T</b>", "D", true, " /p/bg.jpg"),
            "<HTML><HEAD></HEAD><BODY background=\" /p/bg.jpg\"><p><b>T</b></p>D</BODY></HTML>");
  EXPECT_EQ(WithFinalLineBreak("<HTML></HTML>"), "<HTML></HTML>\r\n");

  HeadlineParts parts;
  EXPECT_EQ(HeadlineLines(list, 0, parts).size(), 2u);
  parts.channel = true;
  EXPECT_EQ(Cp1251ToUtf8(HeadlineLines(list, 0, parts)[0]), "Канал");

  // The clipboard document skips numbers not loaded.
  list = OneMessage("C", "<i>D</i>");
  EXPECT_EQ(Cp1251ToUtf8(ClipboardHtml(list, {0, 5})),
            "<HTML><HEAD></HEAD><BODY><P>Новый спутник . </P><P><i>D</i> . </P></BODY></HTML>");
  EXPECT_EQ(ClipboardHtml(list, {}), "<HTML><HEAD></HEAD><BODY></BODY></HTML>");
}

TEST(HistoryList, RecordsLineChangesAndMovesBackAndForth) {
  History h;
  EXPECT_FALSE(h.Open(10));
  EXPECT_FALSE(h.Forward());
  h.Record(3, "a", 10);
  h.Record(3, "a", 10);
  h.Record(5, "b", 10);
  EXPECT_EQ(h.Entries(), (std::vector<std::string>{"RSS://3;a", "RSS://5;b"}));
  EXPECT_TRUE(h.Back());
  EXPECT_FALSE(h.Back());  // on the first entry
  EXPECT_EQ(h.Open(10)->line, 3);
  h.Record(7, "c", 10);  // appended at the end, the old entries stay
  EXPECT_EQ(h.Entries().size(), 3u);
  EXPECT_EQ(h.Selected(), 2);
  EXPECT_FALSE(h.Forward());
  EXPECT_FALSE(h.Open(5));            // the list has fewer lines now
  EXPECT_FALSE(h.Record(1, "d", 5));  // the last entry names no line of this list
  h.Clear();
  EXPECT_TRUE(h.Entries().empty());
  EXPECT_EQ(HistoryLine("RSS://12;x;y"), 12);
  EXPECT_EQ(HistoryLine("RSS://x;"), -1);
  EXPECT_EQ(HistoryLine("http://a"), -1);
}

TEST(ReadMarksTimer, MarksOnlyTheMessageShownForTheWholeInterval) {
  KeyIndex index;
  std::string current;
  ReadMarks marks(index, current);
  const auto t0 = ReadMarks::Clock::time_point{} + seconds(100);
  EXPECT_FALSE(marks.Toggle());  // nothing shown: nothing changes
  EXPECT_EQ(index.Size(), 0u);

  marks.BeginShow();
  EXPECT_TRUE(marks.EndShow("k1", true, 5, t0));
  EXPECT_EQ(marks.IntervalMs(), 5000);
  EXPECT_FALSE(marks.Tick(t0 + seconds(4), true));
  marks.BeginShow();  // another message after 4 seconds
  marks.EndShow("k2", true, 5, t0 + seconds(4));
  EXPECT_FALSE(marks.Tick(t0 + seconds(5), true));  // a tick meant for k1
  EXPECT_FALSE(index.Contains("k1"));
  EXPECT_FALSE(marks.Tick(t0 + seconds(9), false));  // reading aloud runs
  EXPECT_TRUE(marks.Tick(t0 + seconds(9), true));
  EXPECT_TRUE(index.Contains("k2"));
  EXPECT_EQ(current, "k2");
  EXPECT_TRUE(marks.TimerRunning());

  EXPECT_FALSE(marks.Toggle());
  EXPECT_TRUE(marks.Toggle());
  marks.BeginShow();
  EXPECT_FALSE(marks.EndShow("k3", false, 5, t0));  // marking off: no timer
  EXPECT_FALSE(marks.Tick(t0 + seconds(60), true));
}

TEST(Links, OnlyWebAndFtpAddressesOpen) {
  for (const char* ok : {"http://a.b/c", "HTTPS://a.b", " ftp://files"})
    EXPECT_TRUE(IsOpenableLink(ok)) << ok;
  for (const char* bad : {"", "file:///etc/passwd", "javascript:alert(1)", "/usr/share/x.desktop",
                          "x.desktop", "http://", "mailto:a@b", "httpx://a"})
    EXPECT_FALSE(IsOpenableLink(bad)) << bad;
}

TEST(GroupFiles, RoundTripAndListing) {
  test::TempDir dir;
  const std::vector<std::string> lines = {W("Новости"), "", "Sport"};
  WriteGroupFile(dir / "b.myRSS", lines);
  EXPECT_EQ(test::ReadBytes(dir.path() / "b.myRSS"), W("Новости") + "\r\n\r\nSport\r\n");
  EXPECT_EQ(ReadGroupFile(dir / "b.myRSS"), lines);
  test::WriteBytes(dir.path() / "a.MYRSS", "x\ry\nz");
  EXPECT_EQ(ReadGroupFile(dir / "a.MYRSS"), (std::vector<std::string>{"x", "y", "z"}));
  test::WriteBytes(dir.path() / "c.txt", "");
  std::filesystem::create_directory(dir.path() / "d.myRSS");
  // Names the code page cannot hold are listed as they are on disk and open.
  test::WriteBytes(dir.path() / "日本.myRSS", "j");
  EXPECT_EQ(ListGroupFiles(dir.Folder()),
            (std::vector<std::string>{"日本.myRSS", "a.MYRSS", "b.myRSS"}));
  EXPECT_EQ(ReadGroupFile(GroupFilePath(dir.Folder(), "日本.myRSS")),
            (std::vector<std::string>{"j"}));
  EXPECT_TRUE(ListGroupFiles(dir / "missing").empty());

  std::vector<std::string> all = {"A", "C"}, selected = {"B"};
  EXPECT_TRUE(MoveToSelection(all, selected, 1));
  EXPECT_FALSE(MoveToSelection(all, selected, 5));
  EXPECT_TRUE(MoveBack(selected, all, 0));
  EXPECT_EQ(all, (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(selected, std::vector<std::string>{"C"});
}

}  // namespace
}  // namespace vorlin
