#include "util/version.h"

#ifndef VORLIN_VERSION
#define VORLIN_VERSION "unknown"
#endif

namespace vorlin {

std::string_view VersionNumber() { return VORLIN_VERSION; }

std::string VersionText(std::string_view program) {
  return std::string(program) + " (Vorlin) " + VORLIN_VERSION +
         "\nCopyright (C) 2026 the Vorlin developers.\n";
}

}  // namespace vorlin
