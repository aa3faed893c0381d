// The other half of the core's English error messages: a Russian sentence saying what failed
// and on what. The window's error box and vorlin-cli both show errors this way.
#pragma once

#include <string>
#include <string_view>

namespace vorlin {

// An error message of the core (English, UTF-8): the Russian sentence, then the message itself
// in parentheses, on a line of its own unless `oneLine`. A message that already holds Russian is
// returned as it is.
std::string BilingualErrorText(std::string_view message, bool oneLine = false);

}  // namespace vorlin
