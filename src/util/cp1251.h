// The Windows-1251 code page: every text inside the core is held as Windows-1251 bytes.
// This module converts to and from UTF-8 (for libxml2, file names and the terminal) and maps
// letter case for Latin and Cyrillic letters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vorlin {

// Converts UTF-8 to Windows-1251. A character the code page lacks, and every byte of a
// malformed UTF-8 sequence, becomes "?".
std::string Utf8ToCp1251(std::string_view utf8);

// Appends the Windows-1251 form of `utf8` to `out` (same rules as Utf8ToCp1251).
void AppendUtf8AsCp1251(std::string& out, std::string_view utf8);

// Converts Windows-1251 to UTF-8. The one byte the code page leaves unassigned (0x98) is the
// replacement character U+FFFD, and U+FFFD converts back to it.
std::string Cp1251ToUtf8(std::string_view text);

// Appends the UTF-8 form of `text` to `out`.
void AppendCp1251AsUtf8(std::string& out, std::string_view text);

// The program's own texts are written in UTF-8 in the sources; W() gives their core form.
inline std::string W(std::string_view utf8) { return Utf8ToCp1251(utf8); }

// Upper-case mapping of the code page (Latin and Cyrillic letters; other bytes unchanged).
char UpperCase1251(char c);
std::string UpperCase1251(std::string_view text);

// The one collation of sorted lists (channels, sort keys, file names): case-insensitive;
// punctuation and symbols before digits, digits before Latin, Latin before Cyrillic; "Ё" sorts
// as "Е" and only texts equal but for it put "Е" first. Returns <0, 0 or >0. Equal exactly when
// the upper-case forms are equal, so the same text always sorts the same way.
int CompareNoCase(std::string_view a, std::string_view b);
// The primary weight of a byte in that collation ("Е" and "Ё" weigh the same).
uint16_t CollationWeight(char c);
inline bool EqualNoCase(std::string_view a, std::string_view b) { return CompareNoCase(a, b) == 0; }

// No character lost. Text taken from outside (feeds, typed queries) keeps a character the code
// page lacks as a decimal numeric character reference ("é" becomes "&#233;"), and a literal
// "&" that is followed by "#" as "&#38;", so that every such reference is one the encoder made.
// The decoder turns back only references the encoder can make (code points the code page
// lacks, and 38, written without leading zeros): "&#60;" of an HTML description or of a store
// written before keeps its meaning. Decoding an encoded text gives the text back unchanged.
std::string Utf8ToCp1251Refs(std::string_view utf8);
void AppendUtf8AsCp1251Refs(std::string& out, std::string_view utf8);
// Windows-1251 text to UTF-8 with the references of the encoder turned back into characters.
// With `starts`, starts[i] is the byte offset in `text` of the i-th character written.
std::string Cp1251RefsToUtf8(std::string_view text, std::vector<int>* starts = nullptr);
// For a Windows-1251 output that shows values (text and HTML exports): "&#38;" becomes "&"
// again and the references of other characters stay, the only form such a file can hold them in.
std::string UnescapeAmpersandRefs(std::string_view text);
// The length of the reference the decoder turns back that starts at text[i], or 0.
size_t EncodedRefLength(std::string_view text, size_t i);
// Whether `codePoint` is written as a reference by the encoder.
bool IsEncodedRef(uint32_t codePoint);

}  // namespace vorlin
