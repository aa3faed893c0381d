#include "store/store_format.h"

#include "util/text_utils.h"

namespace vorlin {

namespace {

// A value with its line breaks as CR LF and, with `escape`, every "]]>" escaped.
void AppendValue(std::string& out, std::string_view value, bool escape) {
  size_t start = 0;
  if (value.find('\r') == std::string_view::npos &&
      (!escape || value.find("]]>") == std::string_view::npos)) {
    // The usual value: only its LFs change, found a word at a time.
    for (size_t lf; (lf = value.find('\n', start)) != std::string_view::npos; start = lf + 1) {
      out.append(value.substr(start, lf - start));
      out += "\r\n";
    }
    out.append(value.substr(start));
    return;
  }
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    if (c == '\r' || c == '\n') {
      out.append(value.substr(start, i - start));
      out += "\r\n";
      if (c == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
      start = i + 1;
    } else if (c == ']' && escape && value.substr(i, 3) == "]]>") {
      out.append(value.substr(start, i - start));
      out += "&#093;&#093;>";
      i += 2;
      start = i + 1;
    }
  }
  out.append(value.substr(start));
}

// One item block; `value(f)` appends the value of field f.
template <typename Value>
void AppendBlock(std::string& out, Value value) {
  out += "<item>\r\n";
  for (int f = 0; f < kFieldCount; ++f) {
    const std::string_view tag = kFieldTags[static_cast<size_t>(f)];
    out += '<';
    out += tag;
    out += "><![CDATA[";
    value(f);
    out += "]]></";
    out += tag;
    out += ">\r\n";
  }
  out += "</item>\r\n";
}

}  // namespace

void WriteItemBlock(std::string& out, const MessageValues& values, bool escape) {
  AppendBlock(out, [&](int f) {
    const std::string& v = values[static_cast<size_t>(f)];
    out += escape ? EscapeCData(v) : v;
  });
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

void AppendStoreBlock(std::string& out, const MessageList& list, int i, bool escape) {
  const auto n = static_cast<size_t>(i);
  AppendBlock(out, [&](int f) { AppendValue(out, list.Column(Field(f))[n], escape); });
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
