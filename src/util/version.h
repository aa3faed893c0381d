// What `--version` prints, the same for the window and the command-line tool.
#pragma once

#include <string>
#include <string_view>

namespace vorlin {

// The version of the build ("0.1").
std::string_view VersionNumber();

// "PROGRAM (Vorlin) VERSION", then the copyright line, each ended by "\n", as GNU programs
// answer --version.
std::string VersionText(std::string_view program);

}  // namespace vorlin
