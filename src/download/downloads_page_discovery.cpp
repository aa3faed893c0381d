// Adding a site's address: the rows that Add and the float window add go through feed discovery
// one at a time on a worker thread, and a site's page is replaced by the feed it announces.
#include <QMetaObject>
#include <exception>

#include "app/control_state.h"
#include "app/error_report.h"
#include "download/download_list_check.h"
#include "download/downloads_page.h"
#include "download/feed_discovery.h"
#include "util/cp1251.h"

namespace vorlin {

namespace {

bool IsWebUrl(std::string_view url) {
  return IsFetchableUrl(url) &&
         (EqualNoCase(url.substr(0, 7), "http://") || EqualNoCase(url.substr(0, 8), "https://"));
}

}  // namespace

void DownloadsPage::AddFeedRow(DownloadRow row) {
  toDiscover_.push_back(std::move(row));
  if (!discoveryThread_.joinable()) DiscoverNext();
}

void DownloadsPage::DiscoverNext() {
  while (!toDiscover_.empty() && !IsWebUrl(toDiscover_.front()[kColUrl])) {
    AppendRow(std::move(toDiscover_.front()));  // ftp: nothing to discover
    toDiscover_.pop_front();
  }
  if (toDiscover_.empty()) return;
  const std::string url = Cp1251ToUtf8(toDiscover_.front()[kColUrl]);
  discoveryThread_ = std::thread([this, url, limits = discoveryLimits_] {
    std::vector<std::string> feeds;
    std::string error;
    try {
      NullProgress quiet;
      feeds = DiscoverFeedsAt(url, quiet, limits, &discoveryAbort_);
    } catch (const std::exception& e) {
      error = e.what();
    }
    QMetaObject::invokeMethod(
        this,
        [this, feeds = std::move(feeds), error = std::move(error)] {
          discoveryThread_.join();
          DiscoveryDone(feeds, error);
        },
        Qt::QueuedConnection);
  });
}

void DownloadsPage::DiscoveryDone(const std::vector<std::string>& feeds, const std::string& error) {
  DownloadRow row = std::move(toDiscover_.front());
  toDiscover_.pop_front();
  const std::string url = row[kColUrl];
  if (!error.empty()) {
    // Offline, or the site is down: the address is kept as the user typed it.
    emit LogLine(QStringLiteral("    ") + ToQ(url) +
                 QStringLiteral(": адрес не проверен, строка добавлена как введена (the address "
                                "was not checked, the row was added as typed): ") +
                 QString::fromUtf8(error));
    AppendRow(std::move(row));
  } else if (feeds.empty()) {
    ReportError(QStringLiteral("На странице %1 нет ссылок на ленты RSS или Atom: строка не "
                               "добавлена (The page %1 announces no RSS or Atom feed: no row was "
                               "added)")
                    .arg(ToQ(url)));
  } else {
    row[kColUrl] = Utf8ToCp1251(feeds.front());
    if (row[kColUrl] != url) {
      emit LogLine(QStringLiteral("    ") + ToQ(url) +
                   QStringLiteral(": страница сайта, добавлена её лента (a site's page, its feed "
                                  "was added) ") +
                   ToQ(row[kColUrl]));
    }
    AppendRow(std::move(row));
  }
  DiscoverNext();
}

}  // namespace vorlin
