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

}  // namespace vorlin
