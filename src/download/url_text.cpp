#include "download/url_text.h"

#include <idn2.h>

#include <algorithm>
#include <cctype>

#include "util/cp1251.h"

namespace vorlin {

namespace {

void AppendEscaped(std::string& out, unsigned char byte) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[byte >> 4];
  out += kHex[byte & 15];
}

// Percent-encodes what may not stand in a URL as it is: bytes beyond ASCII, blanks and controls.
void AppendUrlBytes(std::string& out, std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte >= 0x7F) {
      AppendEscaped(out, byte);
    } else {
      out += c;
    }
  }
}

// The length of the well-formed UTF-8 sequence at `text`, 0 when it is malformed.
size_t SequenceLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  const size_t length = lead < 0x80                   ? 1
                        : lead >= 0xC2 && lead < 0xE0 ? 2
                        : lead >= 0xE0 && lead < 0xF0 ? 3
                        : lead >= 0xF0 && lead < 0xF5 ? 4
                                                      : 0;
  if (length == 0 || length > text.size()) return 0;
  for (size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

bool SchemeChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '+' || c == '-' || c == '.';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecoded(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
        HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

bool HasHighBytes(std::string_view text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  }
  return false;
}

// Where the host name stands in a URL: after the scheme's "//" and any "user@", before the port
// and the path (a URL without a scheme starts with its host).
std::pair<size_t, size_t> HostSpan(std::string_view text) {
  size_t authority = 0;
  const size_t sep = text.find("://");
  if (sep != std::string_view::npos && sep > 0 &&
      std::all_of(text.begin(), text.begin() + static_cast<long>(sep), SchemeChar)) {
    authority = sep + 3;
  }
  const size_t authorityEnd = std::min(text.find_first_of("/?#", authority), text.size());
  const size_t at = text.substr(authority, authorityEnd - authority).rfind('@');
  const size_t hostStart = at == std::string_view::npos ? authority : authority + at + 1;
  size_t hostEnd = authorityEnd;
  if (hostStart < authorityEnd && text[hostStart] != '[') {
    hostEnd = std::min(text.find(':', hostStart), authorityEnd);
  }
  return {hostStart, hostEnd};
}

}  // namespace

std::string UrlHost(std::string_view cell) {
  const auto [start, end] = HostSpan(cell);
  std::string host(cell.substr(start, end - start));
  for (char& c : host) c = UpperCase1251(c);
  return host;
}

std::string UrlCellFromTyped(std::string_view utf8) {
  std::string cell;
  while (!utf8.empty()) {
    const size_t length = SequenceLength(utf8);
    if (length == 0) {
      AppendEscaped(cell, static_cast<unsigned char>(utf8[0]));
      utf8.remove_prefix(1);
      continue;
    }
    const std::string_view sequence = utf8.substr(0, length);
    const std::string converted = Utf8ToCp1251(sequence);
    // One byte other than a stand-in "?" means the code page holds the character.
    if (converted.size() == 1 && (converted[0] != '?' || sequence == "?")) {
      cell += converted;
    } else {
      for (const char byte : sequence) AppendEscaped(cell, static_cast<unsigned char>(byte));
    }
    utf8.remove_prefix(length);
  }
  return cell;
}

bool RequestUrl(std::string_view cell, std::string& out, std::string& error) {
  std::string text;
  // The one unassigned byte of the code page becomes U+FFFD, escaped below, never a "?".
  AppendCp1251AsUtf8(text, cell);
  out.clear();
  error.clear();

  const auto [hostStart, hostEnd] = HostSpan(text);
  AppendUrlBytes(out, std::string_view(text).substr(0, hostStart));
  // A host typed with characters the list could not hold was kept percent-encoded.
  const std::string host = PercentDecoded(text.substr(hostStart, hostEnd - hostStart));
  if (HasHighBytes(host)) {
    for (const char c : host) {
      if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) {
        error = "the host name \"" + host + "\" holds a blank or a control character";
        out.clear();
        return false;
      }
    }
    char* ace = nullptr;
    // As libcurl does, but independent of the locale: IDNA 2008, then the transitional rules.
    int rc =
        idn2_lookup_u8(reinterpret_cast<const uint8_t*>(host.c_str()),
                       reinterpret_cast<uint8_t**>(&ace), IDN2_NFC_INPUT | IDN2_NONTRANSITIONAL);
    if (rc != IDN2_OK) {
      rc = idn2_lookup_u8(reinterpret_cast<const uint8_t*>(host.c_str()),
                          reinterpret_cast<uint8_t**>(&ace), IDN2_NFC_INPUT | IDN2_TRANSITIONAL);
    }
    if (rc != IDN2_OK) {
      error = "the host name \"" + host + "\" is not a valid internationalised name (" +
              idn2_strerror(rc) + ")";
      out.clear();
      return false;
    }
    AppendUrlBytes(out, ace);
    idn2_free(ace);
  } else {
    AppendUrlBytes(out, std::string_view(text).substr(hostStart, hostEnd - hostStart));
  }
  AppendUrlBytes(out, std::string_view(text).substr(hostEnd));
  return true;
}

}  // namespace vorlin
