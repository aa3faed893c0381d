#include "store/store_format.h"

#include <gtest/gtest.h>

#include "util/cp1251.h"

namespace vorlin {
namespace {

TEST(ItemBlock, IsByteExactWithCrLfAndFieldsInFixedOrder) {
  std::string out = "before";
  WriteItemBlock(out, {W("Канал"), "Title", "http://x/1", "<p>a & b</p>", "Thu, 01 Jan 2009"},
                 true);
  EXPECT_EQ(out, "before<item>\r\n<titleRss><![CDATA[" + W("Канал") +
                     "]]></titleRss>\r\n"
                     "<title><![CDATA[Title]]></title>\r\n"
                     "<link><![CDATA[http://x/1]]></link>\r\n"
                     "<description><![CDATA[<p>a & b</p>]]></description>\r\n"
                     "<pubDate><![CDATA[Thu, 01 Jan 2009]]></pubDate>\r\n"
                     "</item>\r\n");
}

TEST(ItemBlock, EmptyValuesAreEmptyCDataSections) {
  std::string out;
  WriteItemBlock(out, {"", "", "", "", ""}, false);
  EXPECT_EQ(out,
            "<item>\r\n<titleRss><![CDATA[]]></titleRss>\r\n<title><![CDATA[]]></title>\r\n"
            "<link><![CDATA[]]></link>\r\n<description><![CDATA[]]></description>\r\n"
            "<pubDate><![CDATA[]]></pubDate>\r\n</item>\r\n");
}

TEST(ItemBlock, EscapesOnlyWhenAskedAndCopiesLineBreaks) {
  std::string escaped;
  WriteItemBlock(escaped, {"c", "t", "l", "x]]>y\r\nz", "d"}, true);
  EXPECT_NE(escaped.find("<description><![CDATA[x&#093;&#093;>y\r\nz]]></description>"),
            std::string::npos);
  std::string plain;
  WriteItemBlock(plain, {"c", "t", "l", "x&#093;&#093;>y", "d"}, false);
  EXPECT_NE(plain.find("<![CDATA[x&#093;&#093;>y]]>"), std::string::npos);
}

TEST(ParseWrapper, AddsHeaderAndFooter) {
  EXPECT_EQ(
      WrapForParsing("<item/>"),
      "<?xml version=\"1.0\" encoding=\"windows-1251\"?><rss><channel><item/></channel></rss>");
}

}  // namespace
}  // namespace vorlin
