// Everything the main window owns for the whole run, apart from the controls: the loaded
// messages and channels, the two indexes of the current store, the reader's found set and
// accumulator, and the small flags and counters of the long operations and the timers.
// Pages receive it by reference; nothing here knows about widgets.
#pragma once

#include <string>
#include <vector>

#include "app/accumulator.h"
#include "store/key_index.h"
#include "store/message_list.h"
#include "store/store_replace.h"

namespace vorlin {

struct AppState {
  // The folder of the executable (or --config-dir), and the folder the settings files are
  // read from and written to (the same unless the program folder cannot be written).
  // Windows-1251, each with a trailing "/".
  std::string programFolder;
  std::string settingsFolder;

  MessageList messages;
  // Distinct channel titles of `messages`, sorted without regard to letter case.
  std::vector<std::string> channels;

  // The store the two indexes were loaded for (Windows-1251). The store name field may be
  // edited to name another store; the indexes are only ever saved beside this one.
  std::string indexStore;
  KeyIndex storeIndex;  // message keys of the store (".BCRC32")
  KeyIndex readIndex;   // read keys of the store (".RMCRC32")
  // The read index as its file held it when last read or written: saving applies the marks set
  // and taken back since then to the file as it is, so two windows keep each other's marks.
  KeyIndex readIndexBase;

  // The reader's working lists: the last search result (message numbers in store order) and
  // the accumulator. Both are emptied whenever the store is loaded again, since a new load can
  // change what every message number means.
  std::vector<int> found;
  Accumulator accumulator;
  // What the last load read of the store, so that a removal after an export can tell whether
  // the file still matches the message list.
  StoreStamp loadedStamp;

  // Messages queued for reading aloud.
  std::vector<int> speechQueue;
  // The read key of the message on screen, empty when none is shown.
  std::string currentReadKey;

  bool stopDownload = false;
  bool speechStopRequest = false;
  bool speaking = false;
  bool speechPaused = false;

  int downloadTicks = 0;  // download timer, the list is checked every 61st tick

  // An index of the current store that could not be read or rebuilt holds nothing true, so
  // its file must not be overwritten with it (at shutdown, on a store switch, after a run).
  bool storeIndexBroken = false;
  bool readIndexBroken = false;

  // Long operations in progress (a store load, an ingestion run). They process window events,
  // so a close request can arrive in their middle; the window waits for them to end.
  int busy = 0;

  // Empties the lists (at start-up, before the indexes are loaded, and at shutdown).
  void ClearLists() {
    storeIndex.Clear();
    messages.Clear();
    channels.clear();
    found.clear();
    accumulator.Clear();
    readIndex.Clear();
    readIndexBase.Clear();
    speechQueue.clear();
  }
};

// Counts a long operation as running for its scope.
class BusyScope {
 public:
  explicit BusyScope(AppState& state) : state_(state) { ++state_.busy; }
  ~BusyScope() { --state_.busy; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  AppState& state_;
};

}  // namespace vorlin
