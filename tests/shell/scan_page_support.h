// Helpers of the scan page tests: feeds written into the test folder and the page's controls.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>
#include <filesystem>
#include <string>
#include <vector>

#include "app/control_state.h"
#include "app/status_line.h"
#include "ingest/scan_page.h"
#include "util/cp1251.h"
#include "window_fixture.h"

namespace vorlin::testing {

// An RSS 2.0 feed in UTF-8 around the given channel children.
inline std::string Feed(const std::string& channelTitle, const std::string& items) {
  return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<rss version=\"2.0\">\n<channel>\n<title>" +
         channelTitle + "</title>\n" + items + "</channel>\n</rss>\n";
}

inline std::string Item(const std::string& title, const std::string& description) {
  return "<item><title>" + title + "</title><link>https://example.org/" + title +
         "</link><description>" + description +
         "</description><pubDate>Mon, 30 Nov 2026 09:00:00 GMT</pubDate></item>\n";
}

class ScanPageTest : public WindowTest {
 protected:
  // Starts the window on the store `storeFile` of the test folder, with the scan folder
  // `feeds/` of the test folder as the only line of MRSSDir.
  ScanPage& StartOn(const std::string& storeFile = "store.rss") {
    std::filesystem::create_directories(dir_.path() / "feeds");
    Start({QStringLiteral("--store"), QString::fromStdString(dir_.Name() + storeFile)});
    ScanPage& page = window_->Scan();
    SetControlText(Find<QWidget>("MRSSDir"), Feeds());
    return page;
  }

  std::string Feeds() const { return dir_.Name() + "feeds"; }

  void WriteFeed(const std::string& name, const std::string& bytes) {
    dir_.Write("feeds/" + name, bytes);
  }

  bool FeedExists(const std::string& name) const {
    return std::filesystem::exists(dir_.path() / "feeds" / name);
  }

  // The lines of the log pane, in the core's Windows-1251 form.
  std::vector<std::string> LogLines() {
    std::vector<std::string> lines;
    const QString text = Find<QPlainTextEdit>("MemoLog")->toPlainText();
    if (text.isEmpty()) return lines;
    for (const QString& line : text.split(QLatin1Char('\n'))) lines.push_back(FromQ(line));
    return lines;
  }

  // Enabled states of ButtonStartOne, ButtonStartOnTimer and ButtonStopTimer.
  std::vector<bool> Buttons() {
    return {Find<QPushButton>("ButtonStartOne")->isEnabled(),
            Find<QPushButton>("ButtonStartOnTimer")->isEnabled(),
            Find<QPushButton>("ButtonStopTimer")->isEnabled()};
  }

  QString Panel(int panel) { return window_->Status().PanelText(panel); }
};

using Lines = std::vector<std::string>;
using States = std::vector<bool>;

}  // namespace vorlin::testing
