#include <gtest/gtest.h>

#include "store/census.h"
#include "store/crc32.h"
#include "store/store_format.h"
#include "store/store_loader.h"
#include "store/store_scan.h"
#include "store/store_walk.h"
#include "test_support.h"
#include "tree_walk_reference.h"
#include "util/file_io.h"
#include "util/text_utils.h"

namespace vorlin {
namespace {

using test::RecordingProgress;
using test::TempDir;

std::string Block(const std::string& channel, const std::string& title,
                  const std::string& description, const std::string& date = "d") {
  std::string out;
  WriteItemBlock(out, {channel, title, "http://x/" + title, description, date}, true);
  return out;
}

class StoreLoad : public ::testing::Test {
 protected:
  std::string WriteStore(const std::string& bytes) {
    test::WriteBytes(dir_.path() / "news.rss", bytes);
    return dir_.Name("news.rss");
  }
  MessageList Load(const std::string& bytes) {
    MessageList list;
    NullProgress progress;
    LoadStore(WriteStore(bytes), list, progress);
    return list;
  }
  TempDir dir_;
};

TEST_F(StoreLoad, ValuesComeBackAsStored) {
  const std::string store = Block(W("Новости"), "", "x]]>y\r\nline two", W("Чт, 01 янв")) +
                            Block("c", "dup", "same") + Block("c", "dup", "same");
  MessageList list = Load(store);
  ASSERT_EQ(list.Count(), 3);
  EXPECT_EQ(list.titleRss[0], W("Новости"));
  EXPECT_EQ(list.title[0], "");
  // The parser reads every line end as LF; the escape is never undone.
  EXPECT_EQ(list.description[0], "x&#093;&#093;>y\nline two");
  EXPECT_EQ(list.pubDate[0], W("Чт, 01 янв"));
  EXPECT_EQ(list.Get(1), list.Get(2));  // identical items are two messages
  // The longest value a span of the store holds, and one byte more, which gets its own copy.
  const std::string longest(FieldColumn::kMaxSpan, 'a');
  const MessageList big = Load(Block("c", "t", longest) + Block("c", "u", longest + "b"));
  EXPECT_EQ(big.description[0], longest);
  EXPECT_EQ(big.description[1], longest + "b");
  EXPECT_EQ(big.title[1], "u");
}

TEST_F(StoreLoad, ChannelsEqualButForCaseAreOneWrittenAsFirstSeen) {
  const std::string store = Block(W("лента"), "a", "1") + Block("News", "b", "2") +
                            Block(W("ЛЕНТА"), "c", "3") + Block("news", "d", "4") +
                            Block("Zed", "e", "5");
  MessageList list = Load(store);
  NullProgress progress;
  EXPECT_EQ(TakeCensus(list, progress), (std::vector<std::string>{"News", "Zed", W("лента")}));
}

TEST_F(StoreLoad, AMissingStoreFailsBeforeAnythingIsShownOrCleared) {
  MessageList list;
  list.Add({"c", "kept", "l", "d", "p"});
  RecordingProgress progress;
  const std::string missing = dir_.Name("missing.rss");
  EXPECT_NE(test::ErrorText([&] { LoadStore(missing, list, progress); }).find("missing.rss"),
            std::string::npos);
  EXPECT_THROW(LoadStore(Utf8ToCp1251(dir_.path().string()), list, progress), Error);
  EXPECT_TRUE(progress.texts.empty());
  EXPECT_EQ(list.Count(), 1);
}

// Whatever the fast path declines goes whole through the XML walk, with its results and its
// errors (file, line, column); a failed load keeps the previous messages.
TEST_F(StoreLoad, ShapesOutsideTheCanonicalGoThroughTheWalk) {
  const std::string ok = Block("c", "t", "d");
  const std::string item =
      "<item><titleRss>c</titleRss><title>t</title><link>l</link>"
      "<description>d</description><pubDate>p</pubDate></item>";
  // "]]>" split between the walk's read blocks of 256 KB.
  const std::string split = "<x>" + std::string((1 << 18) - 5, 'a') + "]]></x>" + ok;
  const std::string stores[] = {
      // Well-formed: a comment, LF line ends, no last line end, text for CDATA, an extra
      // element, an attribute, blank space, an entity.
      ok + "<!-- note -->" + ok, ReplaceAll(ok, "\r\n", "\n"), ok.substr(0, ok.size() - 2), item,
      ok + "<guid>g</guid>\r\n", "<item a=\"1\">" + ok.substr(6), ok + " \r\n" + ok, ok + item + ok,
      // Malformed: bytes XML or the code page forbid, cut blocks, "]]>" in text, bad nesting.
      Block("c", std::string("a\0z", 3), "d"), Block("c", "t", "a\x01z"), ok.substr(0, 40),
      ok + ok.substr(0, ok.size() - 3), ok + "<item>\r\n<title><![CDATA[cut", ok + "]]>" + ok,
      split, "<item>\r\n<title><![CDATA[t]]></link>\r\n</item>\r\n"};
  for (const std::string& store : stores) {
    const std::string label = store.substr(0, 200);
    MessageList scanned;
    EXPECT_FALSE(ScanStoreText(store, scanned)) << label;
    const std::string name = WriteStore(store);
    const auto tree = test::TreeWalk(store, kAllFields);
    MessageList list;
    list.Add({"c", "kept", "l", "d", "p"});
    NullProgress progress;
    const std::string error = test::ErrorText([&] { LoadStore(name, list, progress); });
    if (tree) {
      EXPECT_EQ(error, "no error") << label;
      ASSERT_EQ(list.Count(), static_cast<int>(tree->size())) << label;
      for (int i = 0; i < list.Count(); ++i) EXPECT_EQ(list.Get(i), (*tree)[i]) << label;
    } else {
      EXPECT_EQ(error, test::ErrorText([&] { WalkStoreFile(name, kAllFields, [](auto&) {}); }));
      EXPECT_NE(error.find("Cannot load store " + Cp1251ToUtf8(name) + ": line "),
                std::string::npos)
          << error;
      EXPECT_EQ(list.Count(), 1) << label;
    }
  }
  EXPECT_NE(test::ErrorText([&] {
              Load(ok + "<item>\r\n<title><![CDATA[cut");
            }).find(": line 9, column "),
            std::string::npos);
  // A control character is named with its own place, in the store's characters.
  const std::string error = test::ErrorText([&] { Load(ok + Block("c", "t", W("Ошибка\x01"))); });
  EXPECT_NE(error.find(": line 12, column 29: control character 0x01"), std::string::npos) << error;
}

// The byte the code page leaves unassigned loads (the walk equivalence tests hold both paths to
// it), is kept as it stands, so its key does not change, and is shown as the replacement mark.
TEST_F(StoreLoad, TheUnassignedByteLoadsKeptAndShowsAsTheReplacementCharacter) {
  const MessageList list = Load(Block("c\x98", "t", "a\x98z"));
  EXPECT_EQ(list.description[0], "a\x98z");
  EXPECT_EQ(Cp1251ToUtf8(list.titleRss[0]), "c\uFFFD");
}

TEST_F(StoreLoad, ShowsEveryStatusTextInOrderAndAFastLoadGivingUpHalfwayShowsNoCountTwice) {
  // The fast path reads 1 MB at a time: the first stretches are shown before the comment in the
  // last one sends the store to the walk.
  const char* channels[] = {"Alpha", "beta", "Gamma"};
  std::string store;
  for (int i = 0; i < 300; ++i) store += Block(channels[i % 3], "t", std::string(32 << 10, 'x'));
  store += "<!---->" + Block("gamma", "t", "d");
  const std::string name = WriteStore(store);
  MessageList list;
  RecordingProgress progress;
  LoadStore(name, list, progress);
  std::vector<std::string> census = TakeCensus(list, progress);
  progress.ShowStatusText(CensusSummary(list.Count(), static_cast<int>(census.size())));
  EXPECT_EQ(progress.texts,
            (std::vector<std::string>{
                "Подготовка к загрузке, чтение из файла " + Cp1251ToUtf8(name),
                " Load from Stream in MS parser ...", "Загружено сообщений 100",
                "Загружено сообщений 200", "Загружено сообщений 300", "Загружено сообщений 301",
                "Поиск каналов ... ", "Поиск каналов, найдено 1", "Поиск каналов, найдено 2",
                "Поиск каналов, найдено 3", "Всего сообщений 301, каналов 3"}));
  EXPECT_EQ(census, (std::vector<std::string>{"Alpha", "beta", "Gamma"}));
}

TEST_F(StoreLoad, RebuildKeysDescriptionsAsLoadedAndSavesTheIndex) {
  // Canonical (the fast path) with repeats and line ends, then items without a channel title.
  std::string store;
  for (int i = 0; i < 500; ++i) store += Block("c", "t", "line\r\nend " + std::to_string(i % 7));
  store += Block("c", "t", "") + Block("c", "t", "a\rb]]>");
  std::vector<std::string> expected;
  for (const std::string& d : Load(store).description.Strings()) expected.push_back(MessageKey(d));
  std::sort(expected.begin(), expected.end());
  expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
  ASSERT_EQ(expected.size(), 9u);
  KeyIndex index;
  index.Add("stale");
  RebuildStoreIndex(WriteStore(store), index);
  EXPECT_EQ(index.Keys(), expected);

  store = Block("c", "t", "abc") +
          "<item><title>t</title><link>l</link><description>xyz</description><pubDate>p</pubDate>"
          "</item>" +
          Block("other", "t2", "abc") + "<item><titleRss>c</titleRss><title>t</title></item>";
  RebuildStoreIndex(WriteStore(store), index);
  EXPECT_EQ(index.Keys(), (std::vector<std::string>{MessageKey("abc"), MessageKey("xyz")}));
  const std::string saved = MessageKey("abc") + "\r\n" + MessageKey("xyz") + "\r\n";
  EXPECT_EQ(test::ReadBytes(dir_.path() / "news.BCRC32"), saved);

  // A failed rebuild keeps the index and its file.
  EXPECT_THROW(RebuildStoreIndex(WriteStore(Block("c", "t", "new") + "<item>"), index), Error);
  EXPECT_EQ(index.Keys(), (std::vector<std::string>{MessageKey("abc"), MessageKey("xyz")}));
  EXPECT_EQ(test::ReadBytes(dir_.path() / "news.BCRC32"), saved);
}

}  // namespace
}  // namespace vorlin
