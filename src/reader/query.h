// The search query language: terms separated by blanks; "+" requires, "-" excludes, "~" (or
// "/") marks an OR term; "_" stands for a blank and "?" for any one character inside a term.
// Letter case never matters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "reader/folded_search.h"

namespace vorlin {

// A query prepared once and tested against many texts.
class CompiledQuery {
 public:
  CompiledQuery() = default;
  explicit CompiledQuery(std::string_view query);

  // True when the text satisfies the query, letter case aside.
  bool Matches(std::string_view text) const;

 private:
  struct Condition {
    FoldedPattern pattern;
    bool mustOccur;
  };
  // Pass 1: the OR terms' remainders; any one occurring decides.
  std::vector<FoldedPattern> orTerms_;
  // Pass 2, in term order.
  std::vector<Condition> conditions_;
  // An OR remainder that pass 2 requires as a plain term: once pass 1 found none of them,
  // pass 2 cannot succeed.
  bool orDecides_ = false;
};

// True when the upper-cased `text` satisfies the upper-cased `query`.
bool MatchQuery(std::string_view query, std::string_view text);

// The query cut into terms after the blanks are tidied and "_" and "/" are replaced, as both
// passes see them (OR terms still carry their "~").
std::vector<std::string> QueryTerms(std::string_view query);

// Strips leading and trailing characters of code 0 to 32.
std::string_view TrimControls(std::string_view text);

}  // namespace vorlin
