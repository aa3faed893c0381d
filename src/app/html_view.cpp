#include "app/html_view.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <algorithm>
#include <cerrno>

#include "app/control_state.h"
#include "util/cp1251.h"

namespace vorlin {

namespace {

const char* const kEmbeddedFolder = ":/help/";
constexpr int kZoomStep = 2;  // points per text-size level
// Larger local files are not taken for pictures: a description could name any file.
constexpr qint64 kMaxLocalPicture = 32 * 1024 * 1024;

// An embedded resource of the program: names are stored in upper case and looked up in upper
// case, so the manual's lower-case picture links find them.
QByteArray EmbeddedResource(const QString& name) {
  QFile file(QString::fromLatin1(kEmbeddedFolder) + name.toUpper());
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

// A local picture file, or nothing. Descriptions come from the internet and may name any path,
// so only a regular file of a sane size is read: a FIFO would block the window for good and a
// device such as /dev/zero would never end. The type is checked again on the open descriptor,
// which is opened without blocking, so a file swapped for a FIFO after the first check is
// refused too.
QByteArray LocalPicture(const QString& path) {
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile() || info.size() > kMaxLocalPicture) return {};
  const QByteArray name = QFile::encodeName(path);
  const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) return {};
  QByteArray data;
  struct stat status {};
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= kMaxLocalPicture) {
    data.resize(static_cast<qsizetype>(status.st_size));
    qsizetype done = 0;
    while (done < data.size()) {
      const ssize_t got = ::read(fd, data.data() + done, static_cast<size_t>(data.size() - done));
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) break;
      done += got;
    }
    data.truncate(done);  // a file that shrank meanwhile gives what was there
  }
  ::close(fd);
  return data;
}

}  // namespace

class HtmlView::Document : public QTextDocument {
 public:
  explicit Document(HtmlView* view) : QTextDocument(view), view_(view) {}

 protected:
  QVariant loadResource(int type, const QUrl& name) override {
    return view_->loadResource(type, name);
  }

 private:
  HtmlView* view_;
};

HtmlView::HtmlView(QWidget* parent) : QTextBrowser(parent) {
  setDocument(new Document(this));
  setOpenLinks(false);
  setOpenExternalLinks(false);
  connect(this, &QTextBrowser::anchorClicked, this, &HtmlView::FollowLink);
}

QString HtmlView::HelpAddress() {
  return QStringLiteral("res://") + QCoreApplication::applicationFilePath() +
         QStringLiteral("/HELPMAIN");
}

void HtmlView::Navigate(const QString& address) {
  address_ = address;
  if (address.startsWith(QStringLiteral("res://"), Qt::CaseInsensitive)) {
    QString name = address.section(QLatin1Char('/'), -1);
    QByteArray data = EmbeddedResource(name);
    ShowHtml(ToQ(std::string_view(data.constData(), data.size())), true);
  } else {
    ShowHtml(QString(), false);
  }
}

void HtmlView::LoadDocument(std::string_view cp1251Html) {
  address_ = QStringLiteral("about:blank");
  ShowHtml(ToQ(cp1251Html), false);
}

void HtmlView::ShowHtml(const QString& html, bool embedded) {
  state_ = ReadyState::kLoading;
  emit DownloadBegin();
  embedded_ = embedded;
  clearHistory();
  setHtml(html);
  moveCursor(QTextCursor::Start);
  ensureCursorVisible();
  state_ = ReadyState::kComplete;
  emit DownloadComplete();
}

QString HtmlView::DocumentReadyState() const {
  switch (state_) {
    case ReadyState::kLoading:
      return QStringLiteral("loading");
    case ReadyState::kLoaded:
      return QStringLiteral("loaded");
    case ReadyState::kInteractive:
      return QStringLiteral("interactive");
    case ReadyState::kComplete:
      break;
  }
  return QStringLiteral("complete");
}

void HtmlView::WaitUntilComplete() {
  while (state_ != ReadyState::kComplete) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
  }
}

// Documents are laid out in one step, so there is never a download left to cancel.
void HtmlView::Stop() { state_ = ReadyState::kComplete; }

void HtmlView::SetZoom(int level) {
  level = std::clamp(level, 0, 4);
  if (level > zoom_) zoomIn((level - zoom_) * kZoomStep);
  if (level < zoom_) zoomOut((zoom_ - level) * kZoomStep);
  zoom_ = level;
}

std::string HtmlView::PlainText() const {
  QString text = document()->toPlainText();
  // Each picture stands in the text as the object replacement character, which the code page
  // lacks: it would become a stray "?" in every copy and spoken text.
  text.remove(QChar::ObjectReplacementCharacter);
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return FromQ(text);
}

QVariant HtmlView::loadResource(int type, const QUrl& name) {
  const QString scheme = name.scheme().toLower();
  if (scheme == QStringLiteral("qrc")) return QTextBrowser::loadResource(type, name);
  if (embedded_ && scheme.isEmpty() && !name.path().startsWith(QLatin1Char('/'))) {
    QByteArray data = EmbeddedResource(QFileInfo(name.path()).fileName());
    if (!data.isEmpty()) return data;
    return {};
  }
  // Local pictures, such as the chosen background of the message view.
  if (type == QTextDocument::ImageResource && (scheme.isEmpty() || scheme == "file")) {
    QByteArray data = LocalPicture(name.isLocalFile() ? name.toLocalFile() : name.path());
    if (!data.isEmpty()) return data;
  }
  // Nothing is fetched from anywhere else.
  return {};
}

void HtmlView::FollowLink(const QUrl& url) {
  if (url.scheme().isEmpty() && url.path().isEmpty() && url.hasFragment()) {
    scrollToAnchor(url.fragment());
  }
}

}  // namespace vorlin
