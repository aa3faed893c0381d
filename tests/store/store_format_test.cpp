#include "store/store_format.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vorlin
