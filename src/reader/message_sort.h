// The order of the message list: by channel title, then by publication date.
#pragma once

#include <string>
#include <vector>

#include "store/message_list.h"

namespace vorlin {

// The sort key of message n: its channel title immediately followed by the normalised
// publication date, or, when the date cannot be normalised, by the date text without its first
// four characters and its last one.
std::string SortKey(const MessageList& messages, int n);

// Reorders `list` (message numbers) by `SortKey` in the collation of `CompareNoCase`, a
// character kept as a reference ("&#252;") comparing as itself (letter case aside: "ü" right
// after "u", Greek after Latin, other scripts after Cyrillic, signs after punctuation); equal
// keys keep ascending message numbers, so the same list always sorts the same way. Needs about
// four bytes per listed message beyond the list while it runs (eight more per message of the
// largest channel).
void SortByChannelAndDate(const MessageList& messages, std::vector<int>& list);

}  // namespace vorlin
