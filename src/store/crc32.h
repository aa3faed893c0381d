// CRC-32 (IEEE 802.3, as zlib computes it) and the keys built from it. A message key is the
// CRC-32 of the description in 11 decimal digits followed by its byte length in 12 digits;
// a read key is the same over the title followed by the description.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vorlin {

// The CRC-32 of `bytes`; 0 for no bytes.
uint32_t Crc32(std::string_view bytes);
uint32_t Crc32Update(uint32_t crc, std::string_view bytes);

// The self-check of a CRC table: the CRC-32 of its 1024 bytes (entries little-endian, in
// index order) must be 0x6FCF9E13. Returns the warning text shown on a mismatch,
// "CRC32 Table CRC32 is XXXXXXXX, expecting $6FCF9E13", or an empty text when intact.
std::string CrcTableCheckMessage(const uint32_t* table256);

// Checks the table in use once and remembers the outcome; every later checksum of a text
// fails if the check failed. Returns the warning text, empty when the table is intact.
std::string RunCrcTableSelfCheck();

// The checksum of a text; false only when the table self-check failed.
bool TextChecksum(std::string_view text, uint32_t& crc);

// The checksum of a whole file (0 for an empty file). Returns 0 on success, 1 when the file
// cannot be read.
int FileChecksum(std::string_view fileName, uint32_t& crc);

// Keys; empty when the checksum fails.
std::string MessageKey(std::string_view description);
std::string ReadKey(std::string_view title, std::string_view description);
// CRC in 11 digits followed by `length` in 12 digits.
std::string MakeKey(uint32_t crc, uint64_t length);

}  // namespace vorlin
