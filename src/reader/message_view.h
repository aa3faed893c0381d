// What the message list and the views show of a message, as Windows-1251 text.
#pragma once

#include <string>
#include <vector>

#include "store/message_list.h"

namespace vorlin {

// The page a new search puts into the HTML view.
inline constexpr const char* kEmptyPage = "<HTML><HEAD></HEAD><BODY>  </BODY></HTML>";

// A channel-prefixed line of the message list: the first `prefix` characters of the channel
// title, "... " and the title.
std::string ChannelPrefixedLine(const MessageList& messages, int n, int prefix);

// The lines of the TXT view: channel, blank, title, blank, description (without script and style
// elements), 35 hyphens, date and link lines. The description's own line breaks stay inside its
// entry.
std::vector<std::string> TxtViewLines(const MessageList& messages, int n);

// The headline pane: the parts whose check boxes are on, one per line.
struct HeadlineParts {
  bool channel = false;  // `CkBoxASTitleRSS`
  bool title = false;    // `CkBoxASTitle`
  bool date = true;      // `CkBoxASPubDate`
  bool link = true;      // `CkBoxASLink`
};
std::vector<std::string> HeadlineLines(const MessageList& messages, int n,
                                       const HeadlineParts& parts);

// The HTML document of a message: "<HTML><HEAD></HEAD><BODY", the background attribute when
// `background` is not blank, ">", with `addHeadline` "<p>" title "</p>", the description and
// "</BODY></HTML>". Nothing is escaped: descriptions are HTML.
std::string MessageHtml(std::string_view title, std::string_view description, bool addHeadline,
                        const std::string& background);

// The document the clipboard copy renders: per message "<P>" title " . </P><P>" description
// " . </P>", wrapped in "<HTML><HEAD></HEAD><BODY>" … "</BODY></HTML>".
std::string ClipboardHtml(const MessageList& messages, const std::vector<int>& numbers);

// A text handed to the HTML view: lines ended by CR LF, one added when the text lacks it.
std::string WithFinalLineBreak(std::string text);

// Whether a message number denotes a loaded message.
inline bool IsLoaded(const MessageList& messages, int n) { return n >= 0 && n < messages.Count(); }

}  // namespace vorlin
