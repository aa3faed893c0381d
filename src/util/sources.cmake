list(APPEND VORLIN_CORE_SOURCES
  src/util/cp1251.cpp
  src/util/text_utils.cpp
  src/util/rss_date.cpp
  src/util/file_io.cpp
  src/util/settings_file.cpp
  src/util/process_clock.cpp
  src/util/bilingual_error.cpp)
list(APPEND VORLIN_CORE_SOURCES src/util/version.cpp)
set_source_files_properties(src/util/version.cpp PROPERTIES
  COMPILE_DEFINITIONS VORLIN_VERSION="${PROJECT_VERSION}")
