#include "store/store_format.h"

#include "util/text_utils.h"

namespace vorlin {

void WriteItemBlock(std::string& out, const MessageValues& values, bool escape) {
  out += "<item>\r\n";
  for (int f = 0; f < kFieldCount; ++f) {
    const std::string_view tag = kFieldTags[static_cast<size_t>(f)];
    out += '<';
    out += tag;
    out += "><![CDATA[";
    if (escape) {
      out += EscapeCData(values[static_cast<size_t>(f)]);
    } else {
      out += values[static_cast<size_t>(f)];
    }
    out += "]]></";
    out += tag;
    out += ">\r\n";
  }
  out += "</item>\r\n";
}

void NormaliseLineEndsToLf(std::string& text) {
  if (text.find('\r') == std::string::npos) return;
  size_t out = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      text[out++] = '\n';
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      text[out++] = text[i];
    }
  }
  text.resize(out);
}

std::string WrapForParsing(std::string_view storeBytes) {
  std::string out;
  out.reserve(kWrapHeader.size() + storeBytes.size() + kWrapFooter.size());
  out += kWrapHeader;
  out += storeBytes;
  out += kWrapFooter;
  return out;
}

std::string NormaliseLineBreaks(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32 + 2);
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    out.append(text.substr(start, i - start));
    out += "\r\n";
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) {
    out.append(text.substr(start));
    out += "\r\n";
  }
  return out;
}

}  // namespace vorlin
