#include "shell/vorlin_application.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QPointer>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <exception>

#include "app/error_report.h"

static void InitResourcesOutsideNamespace() { Q_INIT_RESOURCE(vorlin); }

namespace vorlin {

namespace {

int signalPipe[2] = {-1, -1};

void OnSignal(int) {
  char byte = 1;
  // Only async-signal-safe work here: wake the event loop.
  [[maybe_unused]] ssize_t n = write(signalPipe[1], &byte, 1);
}

}  // namespace

void InitVorlinResources() { InitResourcesOutsideNamespace(); }

VorlinApplication::VorlinApplication(int& argc, char** argv) : QApplication(argc, argv) {
  InitVorlinResources();
}

bool VorlinApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    ReportError(QString::fromUtf8(e.what()));
  } catch (...) {
    ReportError(QStringLiteral("Unknown error"));
  }
  return false;
}

void VorlinApplication::CloseOnTerminationSignals(QWidget* window) {
  if (signalPipe[0] < 0) {
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0) return;
  }
  auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  QPointer<QWidget> target(window);
  connect(notifier, &QSocketNotifier::activated, this, [target] {
    char buffer[16];
    [[maybe_unused]] ssize_t n = read(signalPipe[0], buffer, sizeof buffer);
    if (target) target->close();
  });
  struct sigaction action = {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace vorlin
