// The loading walk done the plain way, for comparison: parse the wrapped store into a libxml2
// document, drop whitespace-only text nodes, and walk the node lists recursively.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "store/message_list.h"

namespace vorlin::test {

// The complete items of a store, or nullopt when the wrapped text is not well-formed.
std::optional<std::vector<MessageValues>> TreeWalk(const std::string& storeBytes,
                                                   unsigned requiredFields);

}  // namespace vorlin::test
