#!/usr/bin/env bash
# Start-up figures of the Release build, under a private Xvfb:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-release --target yomira settle_watch floor_window
#   bench/startup.sh [runs]
# Exec to the settled first page (bench/settle_watch: the new window's middle band no longer
# changes) and peak RSS, with a fresh data folder each run, for the bundled sample and a
# text of about 2 MB (走れメロス repeated), each run alternating with the floor program (a
# bare Qt window painting one picture with one line of IPAex Mincho). Prints the medians and
# the ratio of each to the floor's. Then the hand-over to a running reader.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rel=${BUILD_RELEASE:-$root/build-release}
export YOMIRA_BIN=${YOMIRA_BIN:-$rel/yomira}
export E2E_SHOTS=${E2E_SHOTS:-$rel/e2e-shots}
watch=$rel/settle_watch
floor=$rel/floor_window
for b in "$watch" "$floor"; do
  [ -x "$b" ] || { echo "startup.sh: build $b first (cmake --build $rel --target settle_watch floor_window)"; exit 1; }
done
source "$root/tests/e2e/lib.sh"
runs=${1:-7}

sample=$root/resources/sample/rashomon.txt
novel="$E2E_TMP/melos100.txt"
for _ in $(seq 1 100); do cat "$root/tests/data/engine_dump/hashire_merosu.txt"; done >"$novel"
bytes=$(stat -c %s "$novel")

median() { sort -n | awk '{a[NR]=$1} END {print (NR % 2) ? a[(NR+1)/2] : (a[NR/2] + a[NR/2+1]) / 2}'; }
now_ms() { date +%s%3N; }

# One measured start: prints "settle-ms rss-kb" or fails.
measure() {
  local out
  out=$("$watch" -q 400 -- "$@" 2>"$E2E_TMP/watch.err") || { cat "$E2E_TMP/watch.err" >&2; return 1; }
  sed 's/settle-ms=\([0-9.]*\) rss-kb=\([0-9]*\).*/\1 \2/' <<<"$out"
}

declare -A ms rss
kinds=(floor sample novel)
for run in $(seq 1 "$runs"); do
  for kind in "${kinds[@]}"; do
    export YOMIRA_HOME="$E2E_TMP/home-$kind-$run"
    mkdir -p "$YOMIRA_HOME"
    case $kind in
      floor) r=$(measure "$floor") ;;
      sample) r=$(measure "$YOMIRA_BIN" "$sample") ;;
      novel) r=$(measure "$YOMIRA_BIN" "$novel") ;;
    esac || { echo "run $run $kind: no settled window"; exit 1; }
    ms[$kind]+="${r% *} "
    rss[$kind]+="${r#* } "
    # The floor program is run again before each reader start, so each pair is side by side.
    if [ "$kind" != floor ]; then
      r=$(measure "$floor") || exit 1
      ms[floor]+="${r% *} "
      rss[floor]+="${r#* } "
    fi
  done
done

med() { tr ' ' '\n' <<<"$1" | grep . | median; }
floor_ms=$(med "${ms[floor]}")
for kind in "${kinds[@]}"; do
  m=$(med "${ms[$kind]}")
  r=$(med "${rss[$kind]}")
  ratio=$(awk -v a="$m" -v b="$floor_ms" 'BEGIN {printf "%.2f", a / b}')
  printf 'startup %-6s settle-median-ms=%.1f ratio-to-floor=%s rss-median-mb=%.1f runs=%d%s\n' \
    "$kind" "$m" "$ratio" "$(awk -v k="$r" 'BEGIN {print k / 1024}')" "$runs" \
    "$([ "$kind" = novel ] && echo " bytes=$bytes")"
done

# Hand-over: a second start with another document until the running reader's title shows it.
handovers=()
for run in 1 2 3; do
  export YOMIRA_HOME="$E2E_TMP/home-handover$run"
  mkdir -p "$YOMIRA_HOME"
  "$root/tests/e2e/make_fixtures.sh" "$YOMIRA_HOME/docs"
  y_start "$novel" || { echo "handover run $run: no window"; exit 1; }
  h0=$(now_ms)
  "$YOMIRA_BIN" "$YOMIRA_HOME/docs/b.txt" >/dev/null 2>&1
  for _ in $(seq 1 1000); do
    [ "$(y_title)" = "[b.txt] - yomira" ] && break
    sleep 0.002
  done
  handovers+=("$(( $(now_ms) - h0 ))")
  y_quit >/dev/null 2>&1 || true
done
echo "handover median-ms=$(printf '%s\n' "${handovers[@]}" | median)"
