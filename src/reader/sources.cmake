list(APPEND VORLIN_CORE_SOURCES
  src/reader/folded_search.cpp
  src/reader/query.cpp
  src/reader/message_filter.cpp
  src/reader/date_presets.cpp
  src/reader/message_sort.cpp
  src/reader/message_view.cpp
  src/reader/history.cpp
  src/reader/read_marks.cpp
  src/reader/channel_lists.cpp
  src/reader/export.cpp
  src/reader/html_sanitizer.cpp
  src/reader/store_refresh.cpp)
