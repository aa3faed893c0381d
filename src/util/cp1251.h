// The Windows-1251 code page: every text inside the core is held as Windows-1251 bytes.
// This module converts to and from UTF-8 (for libxml2, file names and the terminal) and maps
// letter case for Latin and Cyrillic letters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

}  // namespace vorlin
