list(APPEND VORLIN_CORE_SOURCES
  src/ingest/rss_file.cpp
  src/ingest/item_extraction.cpp
  src/ingest/feed_format.cpp
  src/ingest/feed_text.cpp
  src/ingest/atom_rdf_reader.cpp
  src/ingest/folder_scan.cpp
  src/ingest/duplicate_files.cpp
  src/ingest/store_append.cpp
  src/ingest/ingestion_run.cpp
  src/ingest/scan_timer.cpp
  src/ingest/store_swap.cpp)
