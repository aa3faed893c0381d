#include "shell/app_options.h"

#include "util/file_io.h"

namespace vorlin {

namespace {

int ParseNumber(const QString& option, const QString& text, int low, int high) {
  bool ok = false;
  int value = text.toInt(&ok);
  if (!ok || value < low || value > high) {
    throw Error("Invalid value for " + option.toStdString() + ": " + text.toStdString());
  }
  return value;
}

}  // namespace

const char* AppUsage() {
  return "usage: vorlin [OPTION]...\n"
         "The Vorlin news aggregator: gathers RSS 2.0 feeds into one store to search, read,\n"
         "listen to and export.\n\n"
         "  --config-dir DIR         the program folder with the settings files (default: the\n"
         "                           executable's folder, or $XDG_CONFIG_HOME/vorlin when that\n"
         "                           cannot be written)\n"
         "  --store FILE             the store for this run\n"
         "  --load                   load the store after start-up, before the window is used\n"
         "                           (otherwise it loads in the background when \"Load the\n"
         "                           store at start-up\" is on)\n"
         "  --find                   with --load: press \"Find and show\" and show the first\n"
         "                           message found\n"
         "  --read                   read the listed messages aloud after start-up (with\n"
         "                           --load --find: from the first found message)\n"
         "  --page N                 open top page N (0 scan, 1 reading, 2 downloads, 3 help)\n"
         "  --screenshot FILE        save a PNG of the window once shown, then close it\n"
         "  --screenshot-delay-ms MS wait this long before the screenshot (default 500)\n"
         "  --screenshot-window NAME shoot the secondary window NAME instead\n"
         "  --help                   print this help and exit\n"
         "  --version                print the version and exit\n\n"
         "Exit status: 0 done, 1 start-up failed, 2 wrong usage.\n";
}

AppOptions ParseAppOptions(const QStringList& arguments) {
  AppOptions options;
  for (qsizetype i = 0; i < arguments.size(); ++i) {
    const QString& option = arguments[i];
    auto value = [&]() -> QString {
      if (i + 1 >= arguments.size()) throw Error("Missing value after " + option.toStdString());
      return arguments[++i];
    };
    if (option == "--config-dir") {
      options.configDir = value();
    } else if (option == "--store") {
      options.store = value();
    } else if (option == "--load") {
      options.load = true;
    } else if (option == "--find") {
      options.find = true;
    } else if (option == "--read") {
      options.read = true;
    } else if (option == "--page") {
      options.page = ParseNumber(option, value(), 0, 3);
    } else if (option == "--screenshot") {
      options.screenshot = value();
    } else if (option == "--screenshot-delay-ms") {
      options.screenshotDelayMs = ParseNumber(option, value(), 0, 600000);
    } else if (option == "--screenshot-window") {
      options.screenshotWindow = value();
    } else {
      throw Error("Unknown option: " + option.toStdString());
    }
  }
  return options;
}

}  // namespace vorlin
