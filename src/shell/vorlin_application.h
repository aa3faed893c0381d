// The application object: reports exceptions that escape an event handler, and turns
// SIGTERM and SIGINT into a normal close of the main window so the shutdown still runs.
#pragma once

#include <QApplication>

class QSocketNotifier;

namespace vorlin {

class VorlinApplication : public QApplication {
  Q_OBJECT

 public:
  VorlinApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // From now on SIGTERM and SIGINT close `window`, as if the user had closed it.
  void CloseOnTerminationSignals(QWidget* window);
};

// Registers the embedded help pages, pictures and logo; safe to call more than once.
void InitVorlinResources();

}  // namespace vorlin
