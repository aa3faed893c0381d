list(APPEND VORLIN_CORE_SOURCES
  src/speech/speech_markup.cpp
  src/speech/speech_markup_parser.cpp
  src/speech/spoken_text.cpp
  src/speech/speech_voices.cpp
  src/speech/espeak_synth.cpp
  src/speech/audio_player.cpp
  src/speech/speech_engine.cpp
  src/speech/reading_loop.cpp)
