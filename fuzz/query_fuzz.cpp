// The query matcher agrees with a word-for-word reading of the query rules: upper-case both
// texts, tidy the blanks, cut into terms, replace "_" and "/", then the two passes with
// WildPos. Input: the first byte is the query length, then the query, then the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "reader/channel_lists.h"
#include "reader/query.h"
#include "util/cp1251.h"
#include "util/text_utils.h"

namespace {

bool ReferenceMatch(std::string query, std::string text) {
  query = vorlin::UpperCase1251(query);
  text = vorlin::UpperCase1251(text);
  size_t b = 0, e = query.size();
  while (b < e && static_cast<unsigned char>(query[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(query[e - 1]) <= 32) --e;
  query = query.substr(b, e - b);
  while (query.find("  ") != std::string::npos) query = vorlin::ReplaceAll(query, "  ", " ");
  std::vector<std::string> terms;
  size_t start = 0;
  for (size_t i = 0; i <= query.size(); ++i) {
    if (i == query.size() || query[i] == ' ') {
      terms.push_back(query.substr(start, i - start));
      start = i + 1;
    }
  }
  for (auto& t : terms) t = vorlin::ReplaceAll(vorlin::ReplaceAll(t, "_", " "), "/", "~");
  auto occurs = [&](const std::string& t) { return vorlin::WildPos(t, text) > 0; };
  bool found = false;
  for (auto& t : terms) {
    if (!t.empty() && t[0] == '~') {
      t.erase(0, 1);
      if (!found) found = occurs(t);
    }
  }
  if (found) return true;
  for (const auto& t : terms) {
    if (t.empty()) continue;
    bool ok = t[0] == '+' ? occurs(t.substr(1)) : t[0] == '-' ? !occurs(t.substr(1)) : occurs(t);
    if (!ok) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t queryLength = data[0] < size - 1 ? data[0] : size - 1;
  const std::string query(reinterpret_cast<const char*>(data + 1), queryLength);
  const std::string text(reinterpret_cast<const char*>(data + 1 + queryLength),
                         size - 1 - queryLength);
  if (vorlin::MatchQuery(query, text) != ReferenceMatch(query, text)) std::abort();
  // The channel filter is the same search with the query as one fragment.
  bool inFilter = !vorlin::FilterChannels({text}, query).empty();
  bool expected = query.empty() ||
                  vorlin::WildPos(vorlin::UpperCase1251(query), vorlin::UpperCase1251(text)) > 0;
  if (inFilter != expected) std::abort();
  return 0;
}
