// The channel census: the distinct channel titles of the loaded messages.
#pragma once

#include <string>
#include <vector>

#include "store/message_list.h"
#include "util/progress.h"

namespace vorlin {

// Returns the channel titles sorted without regard to letter case; titles equal but for case
// are one channel, written as in its first message. Shows "Поиск каналов ... " first, then
// "Поиск каналов, найдено " + count for every new channel.
std::vector<std::string> TakeCensus(const MessageList& list, Progress& progress);

// "Всего сообщений " + messages + ", каналов " + channels.
std::string CensusSummary(int messages, int channels);

}  // namespace vorlin
