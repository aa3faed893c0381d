// Reading the listed messages aloud one after another, from the selected one on: the loop
// shows each message, speaks it, waits while the window stays responsive, marks it read, and
// moves on. Start, Pause, Resume and Stop are the operations every speech button shares.
#pragma once

#include <string>

#include "speech/speech_engine.h"
#include "speech/spoken_text.h"

namespace vorlin {

// The reading state; the main window owns the three flags.
struct ReadingFlags {
  bool* stopRequest;  // true whenever no reading runs
  bool* speaking;
  bool* paused;
};

// What the loop needs of the window.
class ReadingHost {
 public:
  virtual ~ReadingHost() = default;
  virtual int ItemCount() = 0;     // lines of the message list
  virtual int SelectedItem() = 0;  // -1: none
  // Selects the line (none for -1) and shows its message.
  virtual void SelectAndShow(int item) = 0;
  // The text to speak for the shown message (empty when none is selected).
  virtual std::string MessageText() = 0;
  virtual SpeechOptions Options() = 0;
  virtual int LanguageMode() = 0;
  // Prepares the display of the animation mode for a message.
  virtual void ShowSpokenText(const SpokenText& spoken) = 0;
  virtual void Highlight(DisplaySpan span) = 0;
  virtual bool MarkReadWanted() = 0;
  virtual void MarkCurrentRead() = 0;
  virtual void ProcessEvents() = 0;
  // The play, pause and stop requests of the running-text window, cleared when taken.
  struct WindowRequests {
    bool play = false, pause = false, stop = false;
  };
  virtual WindowRequests TakeWindowRequests() { return {}; }
  virtual void ClearWindowStop() {}
  virtual void FocusDisplay() {}
  // The run has ended: hide the running line and the strip, show the main window.
  virtual void ReadingEnded() = 0;
  // Speech is not heard (no sound device); told once a run, reading goes on.
  virtual void SpeechSilent() {}
};

class ReadingLoop {
 public:
  ReadingLoop(SpeechEngine& engine, ReadingFlags flags, ReadingHost& host);

  // Resumes when paused, reads from the selected message when idle, else does nothing.
  void StartOrResume();
  void Pause();
  void Resume();
  // Ends the run at the next check; a paused engine is resumed first, so the next Start is
  // a clean new run.
  void Stop();

  const SpokenText& Spoken() const { return spoken_; }
  int pollMs = 30;

 private:
  void Run();
  void Wait();
  void TellIfSilent();

  SpeechEngine& engine_;
  ReadingFlags flags_;
  ReadingHost& host_;
  SpokenText spoken_;
  bool silenceTold_ = false;  // in this run
};

}  // namespace vorlin
