// The main window. It owns the application state, the pages, the timers, the common dialogs
// and the secondary windows; it assembles the pages and runs start-up and shutdown. The pages
// do their own work.
#pragma once

#include <QMainWindow>
#include <memory>

#include "app/app_state.h"
#include "shell/app_options.h"

class QColorDialog;
class QFileDialog;
class QFontDialog;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTimer;

namespace vorlin {

class AboutPage;
class DownloadsPage;
class ReadingPage;
class ScanPage;
class SearchPage;
class SpeechController;
class SpeechPage;
class StatusLine;
class TFormAlertExFile;
class TFormPopUp;
class TFormRssStr;
class TFormUSelMes;

class TMain : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window and runs the start-up sequence; then creates the secondary windows.
  explicit TMain(AppOptions options, QWidget* parent = nullptr);
  // Runs the shutdown sequence unless closing the window has run it already.
  ~TMain() override;

  AppState& State() { return state_; }
  StatusLine& Status() { return *status_; }

  ScanPage& Scan() { return *scan_; }
  SearchPage& Search() { return *search_; }
  ReadingPage& Reading() { return *reading_; }
  SpeechPage& Speech() { return *speech_; }
  DownloadsPage& Downloads() { return *downloads_; }
  AboutPage& About() { return *about_; }

  TFormPopUp& FormPopUp() { return *formPopUp_; }
  TFormRssStr& FormRssStr() { return *formRssStr_; }
  // Reading aloud; null when the speech engine could not be started.
  SpeechController* SpeechReading() { return speechController_; }
  TFormUSelMes& FormUSelMes() { return *formUSelMes_; }
  TFormAlertExFile& FormAlertExFile() { return *formAlertExFile_; }

  // The secondary window of that object name, or null.
  QWidget* SecondaryWindow(const QString& name);

  // Start-up and shutdown sequences; FormDestroy runs once however often it is called.
  void FormCreate();
  void FormDestroy();

 public slots:
  void ButtonExitClick();
  void ButtonHelpClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  // A click or a key press in the window while no long operation runs clears the status
  // texts of the operation before.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWindow();
  void BuildNonVisualMembers();
  void StartSpeech();

  AppOptions options_;
  AppState state_;
  bool destroyed_ = false;
  bool shownOnce_ = false;

  StatusLine* status_ = nullptr;
  QTabWidget* pageControl_ = nullptr;
  QTabWidget* pageControlRead_ = nullptr;
  QPushButton* buttonExit_ = nullptr;
  QPushButton* buttonHelp_ = nullptr;
  QLineEdit* editAnStr_ = nullptr;
  ScanPage* scan_ = nullptr;
  SearchPage* search_ = nullptr;
  ReadingPage* reading_ = nullptr;
  SpeechPage* speech_ = nullptr;
  DownloadsPage* downloads_ = nullptr;
  AboutPage* about_ = nullptr;

  QTimer* timerScan_ = nullptr;
  QTimer* timerDownloadAll_ = nullptr;
  QTimer* timerReadMes_ = nullptr;
  QFileDialog* saveTextFileDialog_ = nullptr;
  QFileDialog* saveTextFileDialogLBCh_ = nullptr;
  QFileDialog* openTextFileDialogListURL_ = nullptr;
  QFileDialog* saveTextFileDialogListURL_ = nullptr;
  QFileDialog* openPictureDialogPWB_ = nullptr;
  QFontDialog* fontDialog_ = nullptr;
  QColorDialog* colorDialog_ = nullptr;

  // Created after the start-up sequence, in this order, and destroyed in reverse.
  std::unique_ptr<TFormPopUp> formPopUp_;
  std::unique_ptr<TFormRssStr> formRssStr_;
  std::unique_ptr<TFormUSelMes> formUSelMes_;
  std::unique_ptr<TFormAlertExFile> formAlertExFile_;
  SpeechController* speechController_ = nullptr;
};

}  // namespace vorlin
