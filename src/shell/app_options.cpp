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
