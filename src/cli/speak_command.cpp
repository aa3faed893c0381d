// speak: reads a text aloud as the reading of a message does, printing each run as it starts
// and each word as it is heard.
#include <cstdio>
#include <memory>
#include <optional>

#include "cli/cli_common.h"
#include "speech/speech_engine.h"
#include "speech/spoken_text.h"
#include "util/cp1251.h"
#include "util/file_io.h"
#include "util/settings_file.h"

#ifdef VORLIN_DEVICE_AUDIO
#include <QCoreApplication>

#include "speech/qt_audio_player.h"
#endif

namespace vorlin::cli {

namespace {

std::string ReadStandardInput() {
  std::string data;
  char buffer[1 << 16];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, stdin)) > 0) data.append(buffer, n);
  if (std::ferror(stdin)) throw Error("Cannot read the text from standard input");
  return data;
}

struct SpeakSettings {
  SpeechOptions options;
  int mode = kBilingual;
};

// The designed defaults, then OpsRss.txt of the program folder.
SpeakSettings FromSettingsFile(const std::string& configDir) {
  SpeakSettings s;
  SpeechOptions& o = s.options;
  o.voiceTagRus = "<voice required=\"Language=419\">";
  o.voiceTagEng = "<voice required=\"Language=409\">";
  o.volumeR = o.volumeE = 90;
  o.pause = 1000;
  const SettingsFile f = SettingsFile::Load(configDir + "OpsRss.txt");
  auto intOf = [&](const char* key, int& field) {
    if (auto v = f.GetInt(key)) field = static_cast<int>(*v);
  };
  intOf("RGroupLanguages.ItemIndex", s.mode);
  if (auto v = f.GetInt("RGDigitSay.ItemIndex")) o.digitLanguage = *v == 0 ? 'R' : 'E';
  intOf("SpinEditPauseEndText.Value", o.pause);
  if (auto use = f.GetFlag("CkBoxUsePause.Checked"); use && !*use) o.pause = 0;
  if (auto v = f.Get("EditTagVoiceRus.Text"); v && !v->empty()) o.voiceTagRus = *v;
  if (auto v = f.Get("EditTagVoiceEng.Text"); v && !v->empty()) o.voiceTagEng = *v;
  intOf("SEditVolumeR.Value", o.volumeR);
  intOf("SEditRateR.Value", o.rateR);
  intOf("SEditPitchR.Value", o.pitchR);
  intOf("SEditVolumeE.Value", o.volumeE);
  intOf("SEditRateE.Value", o.rateE);
  intOf("SEditPitchE.Value", o.pitchE);
  return s;
}

int IntArg(const std::vector<std::string>& args, size_t& i, int low, int high) {
  if (i + 1 >= args.size()) throw UsageError{args[i] + " needs a value"};
  const auto v = ParseInteger(args[++i]);
  if (!v || *v < low || *v > high) {
    throw UsageError{args[i - 1] + " takes a whole number from " + std::to_string(low) + " to " +
                     std::to_string(high)};
  }
  return static_cast<int>(*v);
}

void PrintMarkup(const SpokenText& spoken) {
  PrintLine(spoken.engineText);
  for (const OffsetEntry& e : spoken.table) {
    std::printf("offset %d %d\n", e.markupOffset, e.tagTotal);
  }
}

int Speak(Context& context, const std::vector<std::string>& args) {
  SpeakSettings s = FromSettingsFile(context.configDir);
  SpeechOptions& o = s.options;
  std::optional<std::string> text, wav;
  bool markupOnly = false, silent = false, optionsEnded = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--" && !optionsEnded) {
      optionsEnded = true;
    } else if (optionsEnded || !a.starts_with("--")) {
      if (text) throw UsageError{"unexpected argument '" + a + "'"};
      text = a == "-" && !optionsEnded ? Arg(ReadStandardInput()) : Arg(a);
    } else if (a == "--mode")
      s.mode = IntArg(args, i, 0, 3);
    else if (a == "--digits" && i + 1 < args.size() && (args[i + 1] == "R" || args[i + 1] == "E"))
      o.digitLanguage = args[++i][0];
    else if (a == "--pause")
      o.pause = IntArg(args, i, 0, 100000);
    else if (a == "--rate-ru")
      o.rateR = IntArg(args, i, -10, 10);
    else if (a == "--rate-en")
      o.rateE = IntArg(args, i, -10, 10);
    else if (a == "--volume-ru")
      o.volumeR = IntArg(args, i, 0, 100);
    else if (a == "--volume-en")
      o.volumeE = IntArg(args, i, 0, 100);
    else if (a == "--pitch-ru")
      o.pitchR = IntArg(args, i, -100, 100);
    else if (a == "--pitch-en")
      o.pitchE = IntArg(args, i, -100, 100);
    else if (a == "--markup")
      markupOnly = true;
    else if (a == "--silent")
      silent = true;
    else if (a == "--wav" && i + 1 < args.size())
      wav = Arg(args[++i]);
    else
      throw UsageError{"unexpected argument '" + a + "'"};
  }
  if (!text) throw UsageError{"TEXT is missing"};
  if (wav && silent) throw UsageError{"--wav and --silent exclude each other"};
  const SpokenText spoken = MakeSpokenText(*text, o, s.mode, true);
  if (markupOnly) {
    PrintMarkup(spoken);
    return 0;
  }

  const int rate = SpeechEngine::SampleRate();
  std::unique_ptr<AudioPlayer> player;
  WavPlayer* wavPlayer = nullptr;
#ifdef VORLIN_DEVICE_AUDIO
  int argc = 1;
  char name[] = "vorlin-cli";
  char* argv[] = {name, nullptr};
  std::unique_ptr<QCoreApplication> app;
#endif
  if (wav) {
    auto file = std::make_unique<WavPlayer>(*wav, rate);
    wavPlayer = file.get();
    player = std::move(file);
  } else if (!silent) {
#ifdef VORLIN_DEVICE_AUDIO
    app = std::make_unique<QCoreApplication>(argc, argv);
    player = OpenSpeechOutput(rate);
#endif
  }
  SpeechEngine engine(std::move(player));
  const SpeechRuns runs = SplitByLanguage(*text, 5000, OptionsForMode(o, s.mode));
  engine.onVoice = [&](int position, const VoiceToken& voice) {
    char language = voice.languageHex == "419" ? 'R' : 'E';
    for (size_t r = 0; r < spoken.table.size() && r < runs.languages.size(); ++r) {
      if (spoken.table[r].markupOffset == position) language = runs.languages[r];
    }
    std::printf("run %c %s\n", language, Cp1251ToUtf8(voice.name).c_str());
    std::fflush(stdout);
  };
  engine.onWord = [&](int position, int length) {
    // Positions count TEXT as given (a CR LF is two characters).
    const DisplaySpan span = MapWordEventToText(spoken, position, length);
    const std::string word =
        text->substr(static_cast<size_t>(span.start), static_cast<size_t>(span.length));
    std::printf("word %d %d %s\n", span.start + 1, span.length, Cp1251ToUtf8(word).c_str());
    std::fflush(stdout);
  };
  engine.Speak(spoken.engineText, spoken.flags);
  engine.WaitUntilDone(-1);
  if (wavPlayer != nullptr) wavPlayer->Close();
  return 0;
}

}  // namespace

void AddSpeakCommands(std::vector<Command>& commands) {
  commands.push_back(
      {"speak", "speak [OPTIONS] [--] TEXT|-",
       "read TEXT aloud as reading a message does, printing 'run R|E VOICE' and 'word POS LEN "
       "WORD' lines; OPTIONS: --mode N --digits R|E --pause MS --rate-ru/--rate-en N "
       "--volume-ru/--volume-en N --pitch-ru/--pitch-en N --markup --wav FILE --silent; '--' ends "
       "the options, TEXT '-' reads standard input",
       &Speak});
}

}  // namespace vorlin::cli
