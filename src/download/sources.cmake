list(APPEND VORLIN_CORE_SOURCES
  src/download/download_list.cpp
  src/download/download_list_check.cpp
  src/download/download_list_merge.cpp
  src/download/opml.cpp
  src/download/feed_discovery.cpp
  src/download/download_schedule.cpp
  src/download/url_text.cpp
  src/download/feed_validators.cpp
  src/download/fetch_pool.cpp
  src/download/feed_fetch.cpp
  src/download/download_batch.cpp
  src/download/parallel_batch.cpp)
