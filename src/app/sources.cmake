list(APPEND VORLIN_CORE_SOURCES
  src/app/accumulator.cpp
  src/app/font_value.cpp)
