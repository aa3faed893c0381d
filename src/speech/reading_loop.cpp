#include "speech/reading_loop.h"

namespace vorlin {

ReadingLoop::ReadingLoop(SpeechEngine& engine, ReadingFlags flags, ReadingHost& host)
    : engine_(engine), flags_(flags), host_(host) {
  engine_.onWord = [this](int position, int length) {
    if (!*flags_.speaking) return;
    host_.Highlight(MapWordEvent(spoken_, position, length));
    host_.ProcessEvents();
  };
}

void ReadingLoop::StartOrResume() {
  if (*flags_.speaking && *flags_.paused) {
    Resume();
  } else if (!*flags_.speaking) {
    Run();
  }
}

void ReadingLoop::Pause() {
  if (*flags_.paused) return;
  engine_.Pause();
  *flags_.paused = true;
}

void ReadingLoop::Resume() {
  host_.FocusDisplay();
  engine_.Resume();
  *flags_.paused = false;
}

void ReadingLoop::Stop() {
  *flags_.stopRequest = true;
  if (*flags_.paused) {
    engine_.Resume();
    *flags_.paused = false;
  }
}

void ReadingLoop::Run() {
  *flags_.stopRequest = false;
  silenceTold_ = false;
  host_.ClearWindowStop();
  try {
    for (int i = host_.SelectedItem(); i < host_.ItemCount() && !*flags_.stopRequest; ++i) {
      host_.SelectAndShow(i);
      const SpeechOptions options = host_.Options();
      spoken_ = MakeSpokenText(host_.MessageText(), options, host_.LanguageMode());
      host_.ShowSpokenText(spoken_);
      *flags_.speaking = true;
      engine_.Speak(spoken_.engineText, spoken_.flags);
      TellIfSilent();
      Wait();
      TellIfSilent();  // a device that failed meanwhile
      if (host_.MarkReadWanted()) host_.MarkCurrentRead();
    }
  } catch (...) {
    engine_.Speak("", kSpeakPurge | kSpeakAsync);
    *flags_.stopRequest = true;
    *flags_.speaking = false;
    *flags_.paused = false;
    host_.ReadingEnded();
    throw;
  }
  *flags_.stopRequest = true;
  *flags_.speaking = false;
  host_.ReadingEnded();
}

void ReadingLoop::Wait() {
  while (!engine_.WaitUntilDone(pollMs)) {
    host_.ProcessEvents();
    const ReadingHost::WindowRequests requests = host_.TakeWindowRequests();
    if (requests.stop) *flags_.stopRequest = true;
    if (requests.play) StartOrResume();
    if (requests.pause) Pause();
    if (*flags_.stopRequest) {
      if (*flags_.paused) Stop();
      engine_.Speak("", kSpeakPurge | kSpeakAsync);
    }
  }
}

void ReadingLoop::TellIfSilent() {
  if (silenceTold_ || !engine_.Silent()) return;
  silenceTold_ = true;
  host_.SpeechSilent();
}

}  // namespace vorlin
