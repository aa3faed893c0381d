// Small string helpers shared by several subsystems. Positions are 1-based; comparisons are
// byte comparisons (case-sensitive).
#pragma once

#include <string>
#include <string_view>

namespace vorlin {

// Replaces every occurrence of `pattern`, left to right, without rescanning replaced text.
// An empty pattern matches nothing.
std::string ReplaceAll(std::string_view source, std::string_view pattern,
                       std::string_view replacement);

// `count` copies of `ch`; empty for a count below 1.
std::string Fill(char ch, int count);

// Pads `text` on the left with `pad` up to `width`; a longer text is returned unchanged.
std::string LeftPad(char pad, std::string_view text, int width);

// 1-based position of the first match of `pattern` in `text`, 0 if none (and for an empty
// pattern). "?" in the pattern matches any one character.
int WildPos(std::string_view pattern, std::string_view text);

// The store's CDATA escape: every "]]>" becomes "&#093;&#093;>". Never undone.
std::string EscapeCData(std::string_view value);

// Every character of code 0 to 32 becomes a blank.
std::string ControlsToBlanks(std::string_view text);

// Append the style letters of a font value.
inline void AppendYes(std::string& s) { s.push_back('y'); }
inline void AppendNo(std::string& s) { s.push_back('n'); }

// Text as HTML text: "&", "<", ">" and '"' escaped, so it is safe inside an element and inside
// a quoted attribute.
std::string EscapeHtml(std::string_view text);

}  // namespace vorlin
