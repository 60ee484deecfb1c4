#!/usr/bin/env bash
# Start-up and hand-over figures of the Release build, under a private Xvfb:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release && cmake --build build-release --target yomira
#   bench/startup.sh
# The text is 走れメロス repeated 20 times (about 430 KB of cp932).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
export YOMIRA_BIN=${YOMIRA_BIN:-$root/build-release/yomira}
export E2E_SHOTS=${E2E_SHOTS:-$root/build-release/e2e-shots}
source "$root/tests/e2e/lib.sh"

text="$E2E_TMP/melos20.txt"
for _ in $(seq 1 20); do cat "$root/tests/data/engine_dump/hashire_merosu.txt"; done >"$text"
bytes=$(stat -c %s "$text")

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : int((a[NR/2] + a[NR/2+1]) / 2)}'; }
now_ms() { date +%s%3N; }

paints=() execs=() handovers=()
for run in 1 2 3 4 5; do
  export YOMIRA_HOME="$E2E_TMP/home$run"
  mkdir -p "$YOMIRA_HOME"
  "$root/tests/e2e/make_fixtures.sh" "$YOMIRA_HOME/docs"
  t0=$(now_ms)
  YOMIRA_TRACE_STARTUP=1 "$YOMIRA_BIN" "$text" 2>"$E2E_TMP/trace$run" &
  pid=$!
  E2E_PIDS+=("$pid")
  line=
  for _ in $(seq 1 1000); do
    line=$(grep -m1 '^startup: first-paint-ms=' "$E2E_TMP/trace$run" || true)
    [ -n "$line" ] && break
    sleep 0.005
  done
  t1=$(now_ms)
  [ -n "$line" ] || { echo "run $run: no first paint"; cat "$E2E_TMP/trace$run"; exit 1; }
  paints+=("$(sed 's/.*first-paint-ms=\([0-9]*\).*/\1/' <<<"$line")")
  execs+=("$((t1 - t0))")
  Y_PID=$pid
  Y_WIN=$(y_windows_of "$pid" | head -1)
  # Hand-over: a second start with another document until the title shows it.
  h0=$(now_ms)
  "$YOMIRA_BIN" "$YOMIRA_HOME/docs/b.txt" >/dev/null 2>&1
  for _ in $(seq 1 1000); do
    [ "$(y_title)" = "[b.txt] - yomira" ] && break
    sleep 0.002
  done
  handovers+=("$(( $(now_ms) - h0 ))")
  xdotool windowactivate --sync "$Y_WIN" >/dev/null 2>&1 || xdotool windowfocus --sync "$Y_WIN" >/dev/null 2>&1
  xdotool key Escape
  wait "$pid" 2>/dev/null
done

echo "startup first-paint median-ms=$(printf '%s\n' "${paints[@]}" | median) exec-median-ms=$(printf '%s\n' "${execs[@]}" | median) runs=5 bytes=$bytes"
echo "handover median-ms=$(printf '%s\n' "${handovers[@]}" | median)"
