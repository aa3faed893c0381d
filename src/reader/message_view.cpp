#include "reader/message_view.h"

#include "reader/html_sanitizer.h"
#include "reader/query.h"
#include "util/cp1251.h"

namespace vorlin {

std::string ChannelPrefixedLine(const MessageList& messages, int n, int prefix) {
  const auto i = static_cast<size_t>(n);
  const std::string_view channel = messages.titleRss[i];
  std::string line(channel.substr(0, prefix < 0 ? 0 : static_cast<size_t>(prefix)));
  line += "... ";
  line += messages.title[i];
  return line;
}

std::vector<std::string> TxtViewLines(const MessageList& messages, int n) {
  const auto i = static_cast<size_t>(n);
  return {std::string(messages.titleRss[i]),
          "",
          std::string(messages.title[i]),
          "",
          WithoutScripts(messages.description[i]),  // shown as text, never their code
          std::string(35, '-'),
          W(" Дата (Date):  ") + std::string(messages.pubDate[i]),
          W(" Ссылка (Link):  ") + std::string(messages.link[i])};
}

std::vector<std::string> HeadlineLines(const MessageList& messages, int n,
                                       const HeadlineParts& parts) {
  const auto i = static_cast<size_t>(n);
  std::vector<std::string> lines;
  if (parts.channel) lines.emplace_back(messages.titleRss[i]);
  if (parts.title) lines.emplace_back(messages.title[i]);
  if (parts.date) lines.push_back(W(" Дата (Date):  ") + std::string(messages.pubDate[i]));
  if (parts.link) lines.push_back(W(" Ссылка (Link):  ") + std::string(messages.link[i]));
  return lines;
}

std::string MessageHtml(std::string_view title, std::string_view description, bool addHeadline,
                        const std::string& background) {
  std::string html = "<HTML><HEAD></HEAD><BODY";
  if (!TrimControls(background).empty()) {
    html += " background=\"" + background + "\"";
  }
  html += ">";
  if (addHeadline) {
    html += "<p>";
    html += title;
    html += "</p>";
  }
  html += description;
  html += "</BODY></HTML>";
  return html;
}

std::string ClipboardHtml(const MessageList& messages, const std::vector<int>& numbers) {
  std::string body;
  for (int n : numbers) {
    if (!IsLoaded(messages, n)) continue;
    const auto i = static_cast<size_t>(n);
    body += "<P>";
    body += messages.title[i];
    body += " . </P><P>";
    body += messages.description[i];
    body += " . </P>";
  }
  return "<HTML><HEAD></HEAD><BODY>" + body + "</BODY></HTML>";
}

std::string WithFinalLineBreak(std::string text) {
  if (text.empty() || (text.back() != '\n' && text.back() != '\r')) text += "\r\n";
  return text;
}

}  // namespace vorlin
