list(APPEND VORLIN_CORE_SOURCES
  src/download/download_list.cpp
  src/download/download_schedule.cpp
  src/download/feed_fetch.cpp
  src/download/download_batch.cpp)
