#include "store/store_format.h"

#include <gtest/gtest.h>

#include "store/store_scan.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

TEST(ItemBlock, IsByteExactWithCrLfFieldsInFixedOrderAndEscapesOnlyWhenAsked) {
  std::string out = "before";
  WriteItemBlock(out, {W("Канал"), "", "http://x/1", "<p>a & b</p>]]>\r\nz", "Thu, 01 Jan 2009"},
                 true);
  EXPECT_EQ(out, "before<item>\r\n<titleRss><![CDATA[" + W("Канал") +
                     "]]></titleRss>\r\n"
                     "<title><![CDATA[]]></title>\r\n"
                     "<link><![CDATA[http://x/1]]></link>\r\n"
                     "<description><![CDATA[<p>a & b</p>&#093;&#093;>\r\nz]]></description>\r\n"
                     "<pubDate><![CDATA[Thu, 01 Jan 2009]]></pubDate>\r\n"
                     "</item>\r\n");
  std::string plain;
  WriteItemBlock(plain, {"c", "t", "l", "x&#093;&#093;>y", "d"}, false);
  EXPECT_NE(plain.find("<![CDATA[x&#093;&#093;>y]]>"), std::string::npos);
}

// A loaded store's blocks are copied as they stand where that gives the bytes the writer would
// make, and written value by value where it would not (a line break in a value, a value of the
// list's own, a copy of the list).
TEST(ItemBlock, StoreBlocksOfALoadedListAreTheWritersBytes) {
  const std::vector<MessageValues> messages = {{"c", "t", "l", "plain", "d"},
                                               {"c", "t", "l", "two\nlines", "d"},
                                               {"", "", "", "", ""},
                                               {"c2", "t2", "l2", "a\r\nb", "d2"}};
  std::string store;
  for (const MessageValues& m : messages) WriteItemBlock(store, m, false);
  MessageList list;
  ASSERT_TRUE(ScanStoreText(store, list));  // "two\nlines" stays a span with its LF
  list.Add({"own", "t", "l", "d", "p"});
  for (int i = 0; i < list.Count(); ++i) {
    std::string block;
    WriteItemBlock(block, list.Get(i), false);
    std::string appended = "x";
    AppendStoreBlock(appended, list, i, true);
    EXPECT_EQ(appended, "x" + NormaliseLineBreaks(block)) << i;
  }
}

}  // namespace
}  // namespace vorlin
