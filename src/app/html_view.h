// The HTML view of messages and of the manual. It shows embedded documents and documents
// given as text; it never fetches anything from the network and runs no scripts (the
// rendering engine has none), since descriptions come from the internet.
#pragma once

#include <QTextBrowser>
#include <string>
#include <string_view>

namespace vorlin {

class HtmlView : public QTextBrowser {
  Q_OBJECT

 public:
  enum class ReadyState { kLoading, kLoaded, kInteractive, kComplete };

  explicit HtmlView(QWidget* parent = nullptr);

  // The address of the built-in manual: "res://" + the program file + "/HELPMAIN".
  static QString HelpAddress();

  // Shows "about:blank" as an empty page, and an embedded document "res://<program>/<NAME>"
  // with its pictures. Any other address is remembered as the address but nothing is
  // fetched; the page stays empty.
  void Navigate(const QString& address);
  QString Address() const { return address_; }

  // Makes a whole HTML document given as Windows-1251 text the current one.
  void LoadDocument(std::string_view cp1251Html);

  ReadyState State() const { return state_; }
  // "loading", "loaded", "interactive" or "complete".
  QString DocumentReadyState() const;
  // Processes pending events until the document is complete.
  void WaitUntilComplete();
  void Stop();

  // Text size 0 (smallest) to 4 (largest); 2 is the normal size.
  void SetZoom(int level);
  int Zoom() const { return zoom_; }

  // The rendered text of the whole document as Windows-1251, paragraphs ended by CR LF.
  std::string PlainText() const;

 signals:
  void DownloadBegin();
  void DownloadComplete();

 protected:
  QVariant loadResource(int type, const QUrl& name) override;

 private:
  // The view's document: it asks the view for every resource and, unlike the stock document,
  // never opens a local file by itself when the view gives nothing.
  class Document;

  void ShowHtml(const QString& html, bool embedded);
  void FollowLink(const QUrl& url);

  QString address_ = QStringLiteral("about:blank");
  ReadyState state_ = ReadyState::kComplete;
  bool embedded_ = false;  // the current document is an embedded one
  int zoom_ = 2;
};

}  // namespace vorlin
