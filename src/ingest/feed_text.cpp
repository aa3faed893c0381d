#include "ingest/feed_text.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <array>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

#include "util/rss_date.h"

namespace vorlin {
namespace {

void CollectText(const xmlNode* node, std::string& out) {
  for (; node != nullptr; node = node->next) {
    if (node->type == XML_TEXT_NODE || node->type == XML_CDATA_SECTION_NODE) {
      if (node->content != nullptr) out += reinterpret_cast<const char*>(node->content);
    } else if (node->type == XML_ELEMENT_NODE) {
      const char* name = reinterpret_cast<const char*>(node->name);
      if (std::strcmp(name, "script") == 0 || std::strcmp(name, "style") == 0) continue;
      // A line break or a new block separates words.
      if (std::strcmp(name, "br") == 0 || std::strcmp(name, "p") == 0) out += ' ';
      CollectText(node->children, out);
    }
  }
}

bool Digits(std::string_view s, size_t pos, size_t n, int& value) {
  if (pos + n > s.size()) return false;
  value = 0;
  for (size_t i = pos; i < pos + n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    value = value * 10 + (s[i] - '0');
  }
  return true;
}

long long DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  return era * 146097 + yoe * 365 + yoe / 4 - yoe / 100 + doy - 719468;
}

std::string FormatRfc822(int y, int mo, int d, int h, int mi, int s, int zoneMinutes) {
  static constexpr std::array<const char*, 7> kDays = {"Thu", "Fri", "Sat", "Sun",
                                                       "Mon", "Tue", "Wed"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const long long days = DaysFromCivil(y, mo, d);
  const char* weekday = kDays[static_cast<size_t>(((days % 7) + 7) % 7)];
  const int zone = zoneMinutes < 0 ? -zoneMinutes : zoneMinutes;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d %c%02d%02d", weekday, d,
                kMonths[static_cast<size_t>(mo - 1)], y, h, mi, s, zoneMinutes < 0 ? '-' : '+',
                zone / 60, zone % 60);
  return buf;
}

}  // namespace

std::string CollapseBlanks(std::string_view text) {
  std::string out;
  bool blank = false;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

std::string HtmlToText(std::string_view html) {
  if (html.find_first_of("<&") == std::string_view::npos) return CollapseBlanks(html);
  if (html.size() > static_cast<size_t>(INT_MAX)) return CollapseBlanks(html);
  // A fragment parsed as the body of a document; the parser reads no network resource.
  htmlDocPtr doc = htmlReadMemory(
      html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
      HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET | HTML_PARSE_NOIMPLIED);
  if (doc == nullptr) return CollapseBlanks(html);
  std::string text;
  CollectText(doc->children, text);
  xmlFreeDoc(doc);
  return CollapseBlanks(text);
}

bool LooksLikeMarkup(std::string_view text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    const char next = text[i + 1];
    if (text[i] == '<' && (std::isalpha(static_cast<unsigned char>(next)) || next == '/')) {
      return true;
    }
    if (text[i] == '&') {
      size_t j = i + 1;
      if (j < text.size() && text[j] == '#') ++j;
      const size_t start = j;
      while (j < text.size() && std::isalnum(static_cast<unsigned char>(text[j]))) ++j;
      if (j > start && j < text.size() && text[j] == ';') return true;
    }
  }
  return false;
}

bool FeedDateToRfc822(std::string_view raw, std::string& rfc822) {
  std::string_view text = raw;
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                           text.front() == '\r')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' ||
                           text.back() == '\r')) {
    text.remove_suffix(1);
  }
  int y = 0, mo = 1, d = 1, h = 0, mi = 0, s = 0, zone = 0;
  if (!Digits(text, 0, 4, y) || (text.size() > 4 && text[4] != '-')) {
    DateTime unused;
    if (ParseDate(text, unused)) {
      rfc822 = std::string(text);
      return true;
    }
    return false;
  }
  size_t pos = 4;
  if (pos < text.size()) {
    if (!Digits(text, 5, 2, mo)) return false;
    pos = 7;
    if (pos < text.size()) {
      if (text[pos] != '-' || !Digits(text, 8, 2, d)) return false;
      pos = 10;
    }
  }
  if (pos < text.size()) {
    if ((text[pos] != 'T' && text[pos] != 't' && text[pos] != ' ') ||
        !Digits(text, pos + 1, 2, h) || pos + 3 >= text.size() || text[pos + 3] != ':' ||
        !Digits(text, pos + 4, 2, mi)) {
      return false;
    }
    pos += 6;
    if (pos < text.size() && text[pos] == ':') {
      if (!Digits(text, pos + 1, 2, s)) return false;
      pos += 3;
      if (pos < text.size() && (text[pos] == '.' || text[pos] == ',')) {
        ++pos;
        while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') ++pos;
      }
    }
    // The zone: "Z", "+hh:mm", "+hhmm" or "+hh"; none means universal time.
    if (pos < text.size()) {
      if (text[pos] == 'Z' || text[pos] == 'z') {
        ++pos;
      } else if (text[pos] == '+' || text[pos] == '-') {
        int zh = 0, zm = 0;
        if (!Digits(text, pos + 1, 2, zh)) return false;
        size_t next = pos + 3;
        if (next < text.size() && text[next] == ':') ++next;
        if (next < text.size()) {
          if (!Digits(text, next, 2, zm)) return false;
          next += 2;
        }
        if (zh > 23 || zm > 59) return false;
        zone = (text[pos] == '-' ? -1 : 1) * (zh * 60 + zm);
        pos = next;
      }
    }
  }
  if (pos != text.size()) return false;
  static constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (y < 1 || mo < 1 || mo > 12 || d < 1 || d > kDays[static_cast<size_t>(mo - 1)] ||
      (mo == 2 && d == 29 && !leap) || h > 23 || mi > 59 || s > 60) {
    return false;
  }
  if (s == 60) s = 59;  // a leap second stays inside its minute
  rfc822 = FormatRfc822(y, mo, d, h, mi, s, zone);
  return true;
}

std::string LocalRfc822(std::time_t when) {
  std::tm local{};
  ::localtime_r(&when, &local);
  return FormatRfc822(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min, local.tm_sec, static_cast<int>(local.tm_gmtoff / 60));
}

}  // namespace vorlin
