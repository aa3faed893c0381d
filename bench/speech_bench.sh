#!/usr/bin/env bash
# Speech figures (first audio, word accuracy, underruns over SPEECH_SECONDS of real-time
# playback at rate 10, default 300).
set -euo pipefail
build=${1:-../build}
"$build/tests/speech/speech_bench" "${SPEECH_SECONDS:-300}"
