# Sourced by test.sh and run.sh: gives this shell a display and a sound server when it has none.
# Starts Xvfb and a PulseAudio daemon whose default sink is a null sink (its monitor can be
# recorded), and stops both when the shell exits. HEADLESS_FORCE=1 starts Xvfb even when a display
# is set; HEADLESS_SCREEN sets its screen (default 1280x800x24).

# Runs from an EXIT trap, possibly under `set -e`: no step may fail the script.
headless_cleanup() {
  if [ -n "${HEADLESS_XVFB_PID:-}" ]; then kill "$HEADLESS_XVFB_PID" 2>/dev/null || true; fi
  if [ -n "${HEADLESS_PULSE_STARTED:-}" ]; then pulseaudio --kill 2>/dev/null || pactl exit 2>/dev/null || true; fi
  if [ -n "${HEADLESS_DIR:-}" ]; then rm -rf "$HEADLESS_DIR" || true; fi
}

headless_start() {
  HEADLESS_DIR=$(mktemp -d /tmp/sonvira-headless.XXXXXX)
  trap headless_cleanup EXIT
  if [ -z "${DISPLAY:-}" ] || [ "${HEADLESS_FORCE:-}" = 1 ]; then
    # Xvfb takes the first free display number itself and names it once it accepts clients, so
    # shells starting at the same moment never end up on one display. Without -noreset it would
    # reset whenever its last client left, refusing a program that connects at that moment.
    Xvfb -displayfd 3 -noreset -screen 0 "${HEADLESS_SCREEN:-1280x800x24}" -nolisten tcp \
      3>"$HEADLESS_DIR/display" >"$HEADLESS_DIR/xvfb.log" 2>&1 &
    HEADLESS_XVFB_PID=$!
    for _ in $(seq 100); do [ -s "$HEADLESS_DIR/display" ] && break; sleep 0.05; done
    export DISPLAY=":$(head -n 1 "$HEADLESS_DIR/display")"
  fi
  if ! pactl info >/dev/null 2>&1; then
    export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$HEADLESS_DIR/run}"
    mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
    pulseaudio --daemonize=yes --exit-idle-time=-1 \
      --system=false -n \
      --load="module-native-protocol-unix" \
      --load="module-null-sink sink_name=sonvira_null" \
      --load="module-always-sink" >"$HEADLESS_DIR/pulse.log" 2>&1 || true
    for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
    pactl set-default-sink sonvira_null >/dev/null 2>&1 || true
    HEADLESS_PULSE_STARTED=1
  fi
}
