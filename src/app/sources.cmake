list(APPEND VORLIN_CORE_SOURCES
  src/app/font_value.cpp)
