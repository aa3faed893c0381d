#include "store/crc32.h"

#include <fcntl.h>
#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

#include "util/file_io.h"
#include "util/text_utils.h"

namespace vorlin {
namespace {

constexpr uint32_t kTableCrc = 0x6FCF9E13;

// -1 not checked yet, 0 failed, 1 intact.
std::atomic<int> tableState{-1};

}  // namespace

uint32_t Crc32Update(uint32_t crc, std::string_view bytes) {
  // zlib takes lengths as uInt; feed very large texts in pieces.
  const auto* p = reinterpret_cast<const Bytef*>(bytes.data());
  size_t left = bytes.size();
  while (left > 0) {
    uInt n = left > (1u << 30) ? (1u << 30) : static_cast<uInt>(left);
    crc = static_cast<uint32_t>(crc32(crc, p, n));
    p += n;
    left -= n;
  }
  return crc;
}

uint32_t Crc32(std::string_view bytes) { return Crc32Update(0, bytes); }

std::string CrcTableCheckMessage(const uint32_t* table256) {
  unsigned char bytes[1024];
  for (int i = 0; i < 256; ++i) {
    for (int b = 0; b < 4; ++b) {
      bytes[i * 4 + b] = static_cast<unsigned char>(table256[i] >> (8 * b));
    }
  }
  uint32_t crc = Crc32(std::string_view(reinterpret_cast<const char*>(bytes), sizeof bytes));
  if (crc == kTableCrc) return {};
  char hex[16];
  std::snprintf(hex, sizeof hex, "%08X", crc);
  return std::string("CRC32 Table CRC32 is ") + hex + ", expecting $6FCF9E13";
}

std::string RunCrcTableSelfCheck() {
  const z_crc_t* zt = get_crc_table();
  uint32_t table[256];
  for (int i = 0; i < 256; ++i) table[i] = static_cast<uint32_t>(zt[i]);
  std::string message = CrcTableCheckMessage(table);
  tableState = message.empty() ? 1 : 0;
  return message;
}

bool TextChecksum(std::string_view text, uint32_t& crc) {
  if (tableState.load() < 0) RunCrcTableSelfCheck();
  if (tableState.load() == 0) return false;
  crc = Crc32(text);
  return true;
}

int FileChecksum(std::string_view fileName, uint32_t& crc) {
  int fd = ::open(FsPath(fileName).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 1;
  uint32_t sum = 0;
  char buf[1 << 16];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      ::close(fd);
      return 1;
    }
    if (n == 0) break;
    sum = Crc32Update(sum, std::string_view(buf, static_cast<size_t>(n)));
  }
  ::close(fd);
  crc = sum;
  return 0;
}

std::string MakeKey(uint32_t crc, uint64_t length) {
  return LeftPad('0', std::to_string(crc), 11) + LeftPad('0', std::to_string(length), 12);
}

std::string MessageKey(std::string_view description) {
  uint32_t crc = 0;
  if (!TextChecksum(description, crc)) return {};
  return MakeKey(crc, description.size());
}

std::string ReadKey(std::string_view title, std::string_view description) {
  uint32_t crc = 0;
  if (tableState.load() < 0) RunCrcTableSelfCheck();
  if (tableState.load() == 0) return {};
  crc = Crc32Update(Crc32(title), description);
  return MakeKey(crc, title.size() + description.size());
}

}  // namespace vorlin
