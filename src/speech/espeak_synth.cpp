#include "speech/espeak_synth.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>

#include "util/cp1251.h"
#include "util/file_io.h"

namespace vorlin::espeak {

namespace {

std::mutex& LibraryMutex() {
  static std::mutex mutex;
  return mutex;
}

struct Library {
  int sampleRate = 0;
  std::vector<VoiceToken> voices;
  Library() {
    // Pieces of 50 ms keep the first audio close to the start and the word marks fine.
    sampleRate =
        espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 50, nullptr, espeakINITIALIZE_DONT_EXIT);
    if (sampleRate <= 0) {
      throw Error("espeak-ng could not be started: its voice data (espeak-ng-data) is missing");
    }
    const espeak_VOICE** list = espeak_ListVoices(nullptr);
    for (size_t i = 0; list != nullptr && list[i] != nullptr; ++i) {
      VoiceToken v;
      v.name = Utf8ToCp1251(list[i]->name ? list[i]->name : "");
      // The languages are a priority byte followed by a name, repeated; the first is the
      // voice's own.
      v.language = list[i]->languages ? list[i]->languages + 1 : "";
      v.languageHex = LanguageHex(v.language);
      v.identifier = list[i]->identifier ? list[i]->identifier : "";
      voices.push_back(std::move(v));
    }
  }
  ~Library() { espeak_Terminate(); }
};

Library& TheLibrary() {
  static Library library;
  return library;
}

const ChunkSink* currentSink = nullptr;
// Byte offset in the Windows-1251 text of each character handed to the library: a character
// kept as a reference ("&#233;") is one character spoken but several bytes of the text.
std::vector<int> currentStarts;
int currentTextSize = 0;

int TextOffset(int character) {
  if (character < 0) return character;
  const auto i = static_cast<size_t>(character);
  return i < currentStarts.size() ? currentStarts[i] : currentTextSize;
}
bool stopped = false;
int currentRate = 22050;

int OnSynth(short* wav, int count, espeak_EVENT* events) {
  std::vector<WordMark> words;
  for (espeak_EVENT* e = events; e != nullptr && e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    // A word in quotation marks comes with length 0, its position right all the same; a mark
    // at position 0 marks no word of the text.
    if (e->type == espeakEVENT_WORD && e->text_position > 0) {
      const int start = TextOffset(e->text_position - 1);
      words.push_back({static_cast<int64_t>(e->audio_position) * currentRate / 1000, start,
                       TextOffset(e->text_position - 1 + e->length) - start});
    }
  }
  if (stopped || currentSink == nullptr) return 1;
  if (wav == nullptr) count = 0;
  if (count == 0 && words.empty()) return 0;
  stopped =
      !(*currentSink)(reinterpret_cast<const int16_t*>(wav), static_cast<size_t>(count), words);
  return stopped ? 1 : 0;
}

}  // namespace

int SampleRate() {
  std::lock_guard lock(LibraryMutex());
  return TheLibrary().sampleRate;
}

const std::vector<VoiceToken>& InstalledVoices() {
  std::lock_guard lock(LibraryMutex());
  return TheLibrary().voices;
}

void Synthesize(const std::string& cp1251Text, const Prosody& prosody, const ChunkSink& sink) {
  std::lock_guard lock(LibraryMutex());
  Library& library = TheLibrary();
  if (espeak_SetVoiceByName(prosody.voiceIdentifier.c_str()) != EE_OK) {
    throw Error("espeak-ng has no voice '" + prosody.voiceIdentifier + "'");
  }
  espeak_SetParameter(espeakRATE, prosody.wordsPerMinute, 0);
  espeak_SetParameter(espeakVOLUME, prosody.volume, 0);
  espeak_SetParameter(espeakPITCH, prosody.pitch, 0);
  espeak_SetSynthCallback(OnSynth);
  const std::string utf8 = Cp1251RefsToUtf8(cp1251Text, &currentStarts);
  currentTextSize = static_cast<int>(cp1251Text.size());
  currentSink = &sink;
  currentRate = library.sampleRate;
  stopped = false;
  espeak_Synth(utf8.c_str(), utf8.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
               nullptr);
  currentSink = nullptr;
}

}  // namespace vorlin::espeak
