#include "cli/cli_common.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "util/cp1251.h"

namespace vorlin::cli {

std::string Arg(const std::string& utf8) { return Utf8ToCp1251Refs(utf8); }

std::string TextArg(const std::string& utf8) { return Utf8ToCp1251Refs(utf8); }

void PrintLine(std::string_view cp1251Text) {
  std::string line = Cp1251RefsToUtf8(cp1251Text);
  line.push_back('\n');
  std::fwrite(line.data(), 1, line.size(), stdout);
}

std::string JsonString(std::string_view cp1251Text) {
  std::string utf8 = Cp1251RefsToUtf8(cp1251Text);
  std::string out = "\"";
  for (char c : utf8) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
          out += buf;
        } else {
          out.push_back(c);
        }
    }
  }
  out.push_back('"');
  return out;
}

std::string MessageJsonLine(const MessageList& list, int n) {
  std::string line = "{\"n\":" + std::to_string(n);
  for (int f = 0; f < kFieldCount; ++f) {
    line += ",\"";
    line += kFieldTags[static_cast<size_t>(f)];
    line += "\":";
    line += JsonString(list.Column(Field(f))[static_cast<size_t>(n)]);
  }
  line += "}\n";
  return line;
}

CliProgress::CliProgress() : terminal_(::isatty(STDERR_FILENO) == 1) {}

CliProgress::~CliProgress() {
  if (shown_) std::fputs("\r\033[K", stderr);
}

void CliProgress::ShowStatusText(const std::string& text) {
  if (!terminal_) return;
  std::fprintf(stderr, "\r\033[K%s", Cp1251ToUtf8(text).c_str());
  std::fflush(stderr);
  shown_ = true;
}

}  // namespace vorlin::cli
