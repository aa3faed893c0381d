// espeak-ng as a synthesizer of 16-bit mono samples with word positions. The library keeps
// one global state, so every call here is serialised; the speech engine's worker thread is
// its only user during speech.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "speech/speech_voices.h"

namespace vorlin::espeak {

// Starts the library on first use; throws vorlin::Error when it or its data cannot be found.
int SampleRate();
// The installed voices, in the library's order.
const std::vector<VoiceToken>& InstalledVoices();

struct Prosody {
  std::string voiceIdentifier;
  int wordsPerMinute = 175;
  int volume = 100;  // the library's 0 to 200, 100 normal
  int pitch = 50;    // 0 to 100
};

struct WordMark {
  int64_t sample = 0;  // from the start of this synthesis
  int position = 0;    // 0-based character position in the text
  int length = 0;
};

// Receives each piece of audio as it is made with the words that start in it; returns false
// to stop the synthesis.
using ChunkSink =
    std::function<bool(const int16_t* samples, size_t count, const std::vector<WordMark>& words)>;

// Speaks Windows-1251 text into the sink, piece by piece.
void Synthesize(const std::string& cp1251Text, const Prosody& prosody, const ChunkSink& sink);

}  // namespace vorlin::espeak
