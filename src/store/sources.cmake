list(APPEND VORLIN_CORE_SOURCES
  src/store/message_list.cpp
  src/store/store_format.cpp
  src/store/store_files.cpp
  src/store/crc32.cpp
  src/store/key_index.cpp
  src/store/store_walk.cpp
  src/store/store_loader.cpp
  src/store/store_scan.cpp
  src/store/store_map.cpp
  src/store/census.cpp
  src/store/store_lock.cpp
  src/store/store_recovery.cpp
  src/store/store_replace.cpp)
