// Command-line options of the window:
//   --config-dir DIR   the program folder (settings files), instead of the executable's folder
//   --store FILE       the store for this run, set before the store's indexes are loaded
//   --load             load the store after start-up, as the load button does
//   --find             then press "Найти и показать.(Find and show.)" and show the first message
//   --read             then press "Читать" (read the listed messages aloud)
//   --page N           open top page N (0 scan, 1 reading, 2 downloads, 3 about and help)
//   --screenshot FILE  once the window is shown and settled, save a PNG of it and close it
//   --screenshot-delay-ms MS   how long to let it settle first (default 500)
//   --screenshot-window NAME   shoot the secondary window NAME (FormPopUp, FormRssStr,
//                              FormUSelMes or FormAlertExFile) instead, shown beside the main one
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace vorlin {

struct AppOptions {
  QString configDir;
  std::optional<QString> store;
  bool load = false;
  bool find = false;
  bool read = false;
  int page = -1;
  QString screenshot;
  int screenshotDelayMs = 500;
  QString screenshotWindow;
};

// The text of `vorlin --help`.
const char* AppUsage();

// Parses the arguments after the program name; throws Error naming the bad argument.
AppOptions ParseAppOptions(const QStringList& arguments);

}  // namespace vorlin
