#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "app/accumulator.h"
#include "reader/date_presets.h"
#include "reader/message_filter.h"
#include "reader/message_sort.h"
#include "store/crc32.h"
#include "test_support.h"
#include "util/cp1251.h"

namespace vorlin {
namespace {

MessageList Messages(const std::vector<MessageValues>& utf8) {
  MessageList list;
  for (MessageValues v : utf8) {
    for (auto& f : v) f = W(f);
    list.Add(std::move(v));
  }
  return list;
}

TEST(DatePresets, CountFromTheGivenToday) {
  struct Case {
    int index;
    Date today, start, end;
  };
  const Date keep{2000, 1, 1};
  const Case cases[] = {
      {0, {2026, 3, 10}, keep, keep},
      {1, {2026, 3, 10}, {2026, 3, 10}, {2026, 3, 10}},
      {2, {2026, 3, 1}, {2026, 2, 28}, {2026, 3, 1}},
      {3, {2026, 1, 1}, {2025, 12, 31}, {2025, 12, 31}},
      {4, {2026, 3, 3}, {2026, 2, 24}, {2026, 3, 3}},
      {5, {2024, 3, 10}, {2024, 2, 25}, {2024, 3, 10}},
      {6, {2026, 1, 15}, {2025, 12, 15}, {2026, 1, 15}},
      {6, {2026, 5, 31}, {2026, 4, 30}, {2026, 5, 31}},  // 31st after a 30-day month
      {6, {2026, 3, 31}, {2026, 2, 28}, {2026, 3, 31}},
      {6, {2024, 3, 30}, {2024, 2, 29}, {2024, 3, 30}},
      {7, {2026, 3, 10}, keep, keep},
  };
  for (const Case& c : cases) {
    Date start = keep, end = keep;
    ApplyDatePreset(c.index, c.today, start, end);
    EXPECT_EQ(start, c.start) << c.index;
    EXPECT_EQ(end, c.end) << c.index;
  }
}

class Search : public ::testing::Test {
 protected:
  MessageList list_ = Messages({
      {"Sport", "Матч", "http://a/1", "нефть и газ", "Mon, 09 Mar 2026 23:58:00 "},
      {"Sport News", "Гол", "http://a/2", "нефть", "Mon, 09 Mar 2026 23:59:30 "},
      {"Погода", "Дождь", "http://b/3", "газ", "Sun, 08 Mar 2026 10:00:00 "},
      {"SPORT", "Итоги", "http://a/4", "уголь", "bad date"},
  });
  KeyIndex read_;
  std::vector<int> Select(const SearchSettings& s) { return SelectMessages(list_, s, read_); }
};

TEST_F(Search, ChannelsMatchWholeTitlesLetterCaseAside) {
  SearchSettings s;
  EXPECT_EQ(Select(s), (std::vector<int>{0, 1, 2, 3}));
  s.selectedChannels = {"SPORT"};
  EXPECT_EQ(Select(s), (std::vector<int>{0, 3}));  // not "Sport News"
  s.selectedChannels = {W("погода"), "Sport News"};
  EXPECT_EQ(Select(s), (std::vector<int>{1, 2}));
}

TEST_F(Search, FilterTestsFieldsRangeAndReadMarksOnlyWhenOn) {
  SearchSettings s;
  s.queries[2] = W("+нефть -газ");
  s.queries[0] = "   ";  // only blanks: not tested
  s.rangeActive = true;
  s.rangeStart = {2026, 3, 9, 0, 0, 0};
  s.rangeEnd = {2026, 3, 9, 23, 59, 0};
  s.withoutRead = true;
  read_.Add(ReadKey(list_.title[0], list_.description[0]));
  EXPECT_EQ(Select(s), (std::vector<int>{0, 1, 2, 3}));  // filter off: nothing applies
  s.useFilter = true;
  EXPECT_EQ(Select(s), std::vector<int>{});  // 1 is at 23:59:30, past the range end
  s.queries[2].clear();
  EXPECT_EQ(Select(s), std::vector<int>{});  // 0 is read, 2 out of range, 3 has no date
  s.withoutRead = false;
  EXPECT_EQ(Select(s), std::vector<int>{0});
  s.rangeActive = false;
  s.queries[1] = W("и?ог");
  EXPECT_EQ(Select(s), std::vector<int>{3});
  EXPECT_EQ(Cp1251ToUtf8(FoundStatusText(0)), "Найдено(Found) 0");
}

TEST_F(Search, SortsByChannelThenDateWithUndatedFirst) {
  list_.Add({"Sport", "Ранний", "l", "d", "Sun, 01 Mar 2026 08:00:00 "});
  list_.Add({"sport", "Тот же час", "l", "d", "Sun, 01 Mar 2026 08:00:00 "});
  std::vector<int> all = {0, 1, 2, 3, 4, 5};
  SortByChannelAndDate(list_, all);
  // "Sport News" meets the dates of "Sport" with a blank, which sorts before digits; equal
  // keys keep ascending numbers; the undated "SPORT" + "dat" follows the digits.
  EXPECT_EQ(all, (std::vector<int>{1, 4, 5, 0, 3, 2}));

  Accumulator acc;
  acc.Add(7);
  SearchSettings s;
  EXPECT_EQ(SimpleSearch(list_, s, read_, acc), all);
  EXPECT_EQ(acc.Count(), 0u);
}

TEST(Sort, CharactersKeptAsReferencesSortAsTheyShow) {
  // "MÜLLER" is "Müller" letter case aside: one channel, sorted by date.
  const char* titles[] = {"Mv", "Müller", "M-", "Я", "Ωmega", "Mu", "MÜLLER", "Mü"};
  MessageList list;
  for (const char* t : titles) {
    const bool earlier = std::string_view(t) == "MÜLLER";
    list.Add({Utf8ToCp1251Refs(t), "t", "l", "d",
              earlier ? "Sun, 08 Mar 2026 10:00:00 " : "Mon, 09 Mar 2026 10:00:00 "});
  }
  std::vector<int> all = {0, 1, 2, 3, 4, 5, 6, 7};
  SortByChannelAndDate(list, all);
  EXPECT_EQ(all, (std::vector<int>{2, 5, 7, 6, 1, 0, 4, 3}));
}

TEST_F(Search, SortKeyJoinsTitleAndDate) {
  EXPECT_EQ(SortKey(list_, 0), "Sport2026:03:0923:58:00");
  EXPECT_EQ(SortKey(list_, 3), "SPORTdat");
}

// Dates as real feeds write them: each is found by a free range and sorted by its instant.
TEST(Sort, FreeRangeAndSortSeeTheDatesFeedsWrite) {
  MessageList list;  // a line end before a date loads as LF
  for (const char* date : {"Fri, 23 Mar 2012 10:00:00 +0000", "\nMon, 07 Jan 2019 13:51:00 +0100",
                           "Fri, 5 Sep 2008 01:30:00 GMT", "Fri, 23 December 2011 10:00:00 EST",
                           "Fri 19 Nov 2010 01:30:00 GMT"}) {
    list.Add({"Feed", "t", "l", "d", date});
  }
  SearchSettings s;
  s.useFilter = s.rangeActive = true;
  s.rangeStart = RangeStart({2000, 1, 1});
  s.rangeEnd = RangeEnd({2026, 12, 31});
  KeyIndex read;
  Accumulator acc;
  EXPECT_EQ(SimpleSearch(list, s, read, acc), (std::vector<int>{2, 4, 3, 0, 1}));
}

TEST(Sort, AgreesWithWholeKeySortOnManyChannels) {
  const char* channels[] = {"Лента", "лента", "Лента.ру", "BBC", "BBC News", "Ёж", "Еж", "[1]"};
  MessageList list;
  unsigned seed = 7;
  auto next = [&seed](unsigned mod) { return (seed = seed * 1103515245 + 12345) / 65536 % mod; };
  for (int i = 0; i < 400; ++i) {
    char date[40];
    std::snprintf(date, sizeof date, "Mon, %02u Mar 20%02u %02u:00:00 ", 1 + next(28), next(3),
                  next(24));
    list.Add({W(channels[next(8)]), "t", "l", "d", next(10) == 0 ? "?" : date});
  }
  std::vector<int> fast;
  for (int i = 399; i >= 0; --i) fast.push_back(i);
  std::vector<int> reference = fast;
  SortByChannelAndDate(list, fast);
  std::sort(reference.begin(), reference.end(), [&](int a, int b) {
    int c = CompareNoCase(SortKey(list, a), SortKey(list, b));
    return c != 0 ? c < 0 : a < b;
  });
  EXPECT_EQ(fast, reference);
}

TEST(AccumulatorOps, CombineByMessageNumber) {
  using Op = void (Accumulator::*)(const std::vector<int>&);
  const struct {
    Op op;
    std::vector<int> found, expected;
  } cases[] = {
      {&Accumulator::Union, {1, 2, 3}, {5, 2, 9, 1, 3}},
      {&Accumulator::Intersection, {1, 2, 3}, {2}},
      {&Accumulator::NotIntersection, {1, 2, 3}, {5, 9, 1, 3}},
      {&Accumulator::Exception, {1, 2, 3}, {5, 9}},
      // An empty found set: the intersection empties, the others keep.
      {&Accumulator::Intersection, {}, {}},
      {&Accumulator::NotIntersection, {}, {5, 2, 9}},
      {&Accumulator::Exception, {}, {5, 2, 9}},
  };
  for (const auto& c : cases) {
    Accumulator a;
    for (int n : {5, 2, 9}) a.Add(n);
    (a.*c.op)(c.found);
    if (c.op != &Accumulator::NotIntersection) (a.*c.op)(c.found);  // nothing changes again
    EXPECT_EQ(a.Items(), c.expected) << c.found.size() << " " << c.expected.size();
    for (int n : {1, 2, 3, 5, 9}) {
      EXPECT_EQ(a.Contains(n), std::count(c.expected.begin(), c.expected.end(), n) == 1) << n;
    }
  }
  Accumulator a;
  a.Intersection({1});  // an empty accumulator stays empty
  EXPECT_EQ(a.Count(), 0u);
  a.Reorder({9, 5, 2});
  a.Intersection({2, 5, 9});
  EXPECT_EQ(a.Items(), (std::vector<int>{9, 5, 2}));  // keeps the sorted order
}

}  // namespace
}  // namespace vorlin
