#include "util/version.h"

#ifndef VORLIN_VERSION
#define VORLIN_VERSION "unknown"
#endif

namespace vorlin {

std::string_view VersionNumber() { return VORLIN_VERSION; }

std::string VersionText(std::string_view program) {
  return std::string(program) + " (Vorlin) " + VORLIN_VERSION +
         "\nCopyright (C) 2026 the Vorlin developers.\n"
         "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
         "This is free software: you are free to change and redistribute it.\n"
         "There is NO WARRANTY, to the extent permitted by law.\n";
}

}  // namespace vorlin
