#include "store/store_format.h"

#include <cstddef>
#include <cstring>

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

// Message n's block as it stands in the store the list spans, when that is exactly what the
// writer would make of it: every value a span of one block of the buffer and none holding a
// line break (a span holds no CR and no "]]>", so only an LF would be written otherwise).
std::string_view VerbatimBlock(const MessageList& list, size_t n) {
  const char* start = nullptr;
  const char* next = nullptr;  // where the next value must begin
  for (size_t f = 0; f < kFieldCount; ++f) {
    const FieldColumn& column = list.Column(static_cast<Field>(f));
    if (!column.IsSpan(n)) return {};
    const std::string_view value = column[n];
    if (f == 0) {
      if (value.data() - list.buffer.get() < static_cast<ptrdiff_t>(kBlockOpen.size())) return {};
      start = value.data() - kBlockOpen.size();
      if (std::memcmp(start, kBlockOpen.data(), kBlockOpen.size()) != 0) return {};
    } else if (value.data() != next) {
      return {};
    }
    if (std::memchr(value.data(), '\n', value.size()) != nullptr) return {};
    const char* end = value.data() + value.size();
    if (std::memcmp(end, kBlockAfter[f].data(), kBlockAfter[f].size()) != 0) return {};
    next = end + kBlockAfter[f].size();
  }
  return {start, static_cast<size_t>(next - start)};
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
  // Most blocks of a loaded store are written as they were read, in one copy.
  const std::string_view verbatim = VerbatimBlock(list, n);
  if (!verbatim.empty()) {
    out.append(verbatim);
    return;
  }
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
