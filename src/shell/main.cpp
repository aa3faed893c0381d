// The desktop window of Vorlin.
#include <QElapsedTimer>
#include <QIcon>
#include <QPixmap>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>

#include "app/error_report.h"
#include "shell/app_options.h"
#include "shell/tmain.h"
#include "shell/vorlin_application.h"
#include "util/process_clock.h"
#include "util/version.h"

int main(int argc, char** argv) {
  // Answered before the application object exists, so they need no display.
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0) {
      std::fputs(vorlin::AppUsage(), stdout);
      return 0;
    }
    if (std::strcmp(argv[i], "--version") == 0) {
      std::fputs(vorlin::VersionText("vorlin").c_str(), stdout);
      return 0;
    }
  }
  vorlin::VorlinApplication app(argc, argv);
  // Ties the window to its desktop entry and icon (the theme's once installed).
  app.setDesktopFileName(QStringLiteral("org.vorlin.Vorlin"));
  app.setWindowIcon(
      QIcon::fromTheme(QStringLiteral("org.vorlin.Vorlin"), QIcon(QStringLiteral(":/icon.png"))));
  vorlin::AppOptions options;
  try {
    options = vorlin::ParseAppOptions(app.arguments().mid(1));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vorlin: %s\n", e.what());
    return 2;
  }

  std::unique_ptr<vorlin::TMain> window;
  try {
    window = std::make_unique<vorlin::TMain>(options);
  } catch (const std::exception& e) {
    vorlin::ReportError(QString::fromUtf8(e.what()));
    return 1;
  }
  app.CloseOnTerminationSignals(window.get());
  window->show();
  // VORLIN_TIMING=1: the seconds from process start to the window's show and to the first turn
  // of the event loop, and at the end the longest the event loop was kept from a 10 ms timer
  // after that turn (a window that does not answer for longer than that is not usable).
  QTimer stallProbe;
  QElapsedTimer sinceLastTurn;
  qint64 longestStallMs = 0;
  const bool timing = qEnvironmentVariableIsSet("VORLIN_TIMING");
  if (timing) {
    std::fprintf(stderr, "timing shown %.2f\n", vorlin::SecondsSinceProcessStart());
    QTimer::singleShot(0, window.get(), [&] {
      std::fprintf(stderr, "timing start-up %.2f\n", vorlin::SecondsSinceProcessStart());
      sinceLastTurn.start();
      stallProbe.start(10);
    });
    QObject::connect(&stallProbe, &QTimer::timeout, [&] {
      longestStallMs = std::max(longestStallMs, sinceLastTurn.restart() - 10);
    });
  }

  int status = 0;
  if (!options.screenshot.isEmpty()) {
    QWidget* target = window.get();
    if (!options.screenshotWindow.isEmpty()) {
      target = window->SecondaryWindow(options.screenshotWindow);
      if (!target) {
        std::fprintf(stderr, "vorlin: no window named %s\n", qPrintable(options.screenshotWindow));
        return 2;
      }
      target->show();
    }
    QTimer::singleShot(options.screenshotDelayMs, window.get(), [&, target] {
      if (!target->grab().save(options.screenshot, "PNG")) {
        std::fprintf(stderr, "vorlin: cannot save the screenshot to %s\n",
                     options.screenshot.toLocal8Bit().constData());
        status = 1;
      }
      if (target != window.get()) target->hide();
      stallProbe.stop();  // what closing takes is not a stall of the open window
      window->close();
    });
  }
  int result = app.exec();
  if (timing) std::fprintf(stderr, "timing longest-stall %.3f\n", longestStallMs / 1000.0);
  window.reset();
  return status ? status : result;
}
