#include <gtest/gtest.h>
#include <zlib.h>

#include <regex>

#include "store/crc32.h"
#include "test_support.h"

namespace vorlin {
namespace {

TEST(CrcTable, SelfCheckPassesForTheRealTableAndNamesTheValueOtherwise) {
  EXPECT_EQ(RunCrcTableSelfCheck(), "");
  uint32_t table[256];
  const z_crc_t* zt = get_crc_table();
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint32_t>(zt[i]);
  EXPECT_EQ(CrcTableCheckMessage(table), "");
  table[7] ^= 1;
  const std::string message = CrcTableCheckMessage(table);
  EXPECT_TRUE(std::regex_match(
      message, std::regex("CRC32 Table CRC32 is [0-9A-F]{8}, expecting \\$6FCF9E13")))
      << message;
}

TEST(Keys, CrcInElevenDigitsThenLengthInTwelveOverDescriptionOrTitleAndDescription) {
  // The CLI test holds the keys of "abc" and of "T" and "abc" (vorlin-cli keys).
  EXPECT_EQ(MessageKey(""), std::string(23, '0'));
  EXPECT_EQ(MakeKey(0xFFFFFFFFu, 123456789012ull), "04294967295123456789012");
  // Equal descriptions share the message key but not the read key.
  EXPECT_NE(ReadKey("one", "same"), ReadKey("two", "same"));
}

TEST(Crc32, IsTheStandardChecksumOfTextsAndWholeFilesAndReportsUnreadableFiles) {
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32Update(Crc32("1234"), "56789"), 0xCBF43926u);
  test::TempDir dir;
  test::WriteBytes(dir.path() / "a.xml", "123456789");
  test::WriteBytes(dir.path() / "empty.xml", "");
  uint32_t crc = 1;
  EXPECT_EQ(FileChecksum(dir.Name("a.xml"), crc), 0);
  EXPECT_EQ(crc, 0xCBF43926u);
  EXPECT_EQ(FileChecksum(dir.Name("empty.xml"), crc), 0);
  EXPECT_EQ(crc, 0u);
  EXPECT_EQ(FileChecksum(dir.Name("missing.xml"), crc), 1);
  EXPECT_EQ(FileChecksum(Utf8ToCp1251(dir.path().string()), crc), 1);  // a folder
}

}  // namespace
}  // namespace vorlin
