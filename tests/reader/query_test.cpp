#include "reader/query.h"

#include <gtest/gtest.h>

#include "reader/channel_lists.h"
#include "reader/folded_search.h"
#include "util/cp1251.h"
#include "util/text_utils.h"

namespace vorlin {
namespace {

struct Case {
  const char* query;
  const char* text;
  bool match;
};

// Query and text in UTF-8.
TEST(Query, LanguageTable) {
  const Case cases[] = {
      {"путин", "Встреча с ПУТИНым", true},  // case never matters, Cyrillic or Latin
      {"NeWs", "latest news", true},
      {"/нефт /газ /уголь", "цены на уголь", true},  // any of the OR terms
      {"/нефт /газ /уголь", "цены на бензин", false},
      {"+нефть -газ", "нефть и бензин", true},
      {"+нефть -газ", "нефть и газ", false},
      {"нефть газ", "нефть и газ", true},  // plain terms: AND
      {"нефть газ", "только нефть", false},
      {"~нефть +газ", "нефть", true},  // an OR term decides; "+газ" does not matter
      {"~нефть +газ", "газ", false},
      {"news/2008", "site/news/2008", false},  // "/" inside a term becomes "~"
      {"news/2008", "NEWS~2008", true},
      {"~+газ", "газ без плюса", true},  // pass 2: a required term
      {"~+газ", "нефть", false},         // searched literally in pass 1, required in pass 2
      {"~-газ нефть", "нефть", true},    // excluded in pass 2
      {"~-газ нефть", "нефть и газ", false},
      {"+", "anything", false},       // a lone "+" never matches
      {"-", "anything", true},        // a lone "-" always passes
      {"/ /", "x", true},             // a lone "/" (read as "~") is ignored
      {"_ток_", "под током", false},  // "_" is a blank
      {"_ток_", "под ток сети", true},
      {"б?й", "собой", true},  // "?" is any one character
      {"б?й", "бй", false},
      {"а?", "а", false},
      {"  нефть    газ  ", "газ нефть", true},  // blanks collapse and are trimmed
      {"\tнефть", "нефть", true},
      {"нефть\tгаз", "нефть газ", false},  // only blanks separate terms
      {"ёлка", "ЁЛКА", true},
      {"ЯБЛОКО", "яблоко", true},
      {"ёлка", "елка", false},
      {"~~a", "~a", true},  // pass 2 sees "~a" as a plain term
      {"~~a", "a", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(MatchQuery(W(c.query), W(c.text)), c.match) << c.query << " | " << c.text;
  }
}

TEST(Query, FoldedSearchAgreesWithWildPosOnUpperCasedText) {
  const std::string text = W("Abc aBc ёЖ??x ЪЫЬ 0123456789 0123456789 abcdefghijklmnopqrstuvwxyz");
  for (size_t b = 0; b < text.size(); ++b) {
    for (size_t len = 1; len <= 20 && b + len <= text.size(); ++len) {
      std::string pattern = text.substr(b, len);
      if (len > 2) pattern[1] = '?';
      std::string lower;
      for (char c : pattern) lower.push_back(c == 'A' ? 'a' : c);
      size_t expected = static_cast<size_t>(WildPos(UpperCase1251(pattern), UpperCase1251(text)));
      EXPECT_EQ(FoldedPattern(lower).Find(text) + 1, expected) << pattern;
    }
  }
  EXPECT_EQ(FoldedPattern("").Find("abc"), std::string::npos);
  EXPECT_EQ(FoldedPattern("???").Find("ab"), std::string::npos);
  EXPECT_EQ(FoldedPattern("???").Find("abc"), 0u);
}

TEST(ChannelFilter, MatchesUpperCasedFragmentAsTyped) {
  std::vector<std::string> channels = {W("Навигатор"), W("Новости"), W("Погода"),
                                       W("Спорт. Новое")};
  EXPECT_EQ(FilterChannels(channels, W("нов")),
            (std::vector<std::string>{W("Новости"), W("Спорт. Новое")}));
  EXPECT_EQ(FilterChannels(channels, W("н?в")),
            (std::vector<std::string>{W("Навигатор"), W("Новости"), W("Спорт. Новое")}));
  EXPECT_EQ(FilterChannels(channels, W(" нов")), (std::vector<std::string>{W("Спорт. Новое")}));
  EXPECT_EQ(FilterChannels(channels, ""), channels);
}

}  // namespace
}  // namespace vorlin
