#include "reader/query.h"

namespace vorlin {

std::string_view TrimControls(std::string_view text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= 32) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= 32) --e;
  return text.substr(b, e - b);
}

std::vector<std::string> QueryTerms(std::string_view query) {
  std::string_view trimmed = TrimControls(query);
  std::vector<std::string> terms;
  std::string term;
  bool blankBefore = false;
  // Runs of blanks collapse into one, so every blank separates two terms.
  for (char c : trimmed) {
    if (c == ' ') {
      if (!blankBefore) terms.push_back(std::move(term));
      term.clear();
      blankBefore = true;
      continue;
    }
    blankBefore = false;
    term.push_back(c == '_' ? ' ' : c == '/' ? '~' : c);
  }
  terms.push_back(std::move(term));
  return terms;
}

CompiledQuery::CompiledQuery(std::string_view query) {
  std::vector<std::string> terms = QueryTerms(query);
  for (std::string& term : terms) {
    if (!term.empty() && term[0] == '~') {
      term.erase(0, 1);
      orTerms_.emplace_back(term);
      if (!term.empty() && term[0] != '+' && term[0] != '-') orDecides_ = true;
    }
  }
  for (const std::string& term : terms) {
    if (term.empty()) continue;
    if (term[0] == '+') {
      conditions_.push_back({FoldedPattern(std::string_view(term).substr(1)), true});
    } else if (term[0] == '-') {
      conditions_.push_back({FoldedPattern(std::string_view(term).substr(1)), false});
    } else {
      conditions_.push_back({FoldedPattern(term), true});
    }
  }
}

bool CompiledQuery::Matches(std::string_view text) const {
  for (const FoldedPattern& p : orTerms_) {
    if (p.OccursIn(text)) return true;
  }
  if (orDecides_) return false;
  for (const Condition& c : conditions_) {
    if (c.pattern.OccursIn(text) != c.mustOccur) return false;
  }
  return true;
}

bool MatchQuery(std::string_view query, std::string_view text) {
  return CompiledQuery(query).Matches(text);
}

}  // namespace vorlin
