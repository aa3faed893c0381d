list(APPEND VORLIN_CORE_SOURCES
  src/shell/settings_keys.cpp)
