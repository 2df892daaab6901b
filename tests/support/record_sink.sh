#!/usr/bin/env bash
# Runs a program while the default sound sink's monitor is recorded (raw 16-bit stereo at
# 44,100 Hz): tests/support/record_sink.sh PROGRAM [ARGS...]. The program finds the recording's
# path in SINK_RECORDING, with wine's drive of the Linux root in front, and reads what the sink
# has heard so far; the recording goes when the program ends. The program's exit code is ours.
set -euo pipefail

recording=$(mktemp --suffix=.raw)
parec -d @DEFAULT_MONITOR@ --raw --format=s16le --rate=44100 --channels=2 --latency-msec=20 >"$recording" &
recorder=$!
trap 'kill "$recorder" 2>/dev/null || true; rm -f "$recording"' EXIT
SINK_RECORDING="Z:$recording" "$@"
