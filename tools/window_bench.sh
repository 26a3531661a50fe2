#!/usr/bin/env bash
# The window benchmark, run by hand (never by ctest or CI): the real game from build/ in a
# real window on an Xvfb of its own, with the defaults a player gets (no settings file,
# so the start-up question is asked and answered as a player would; settings, save file
# and pictures in a scratch folder, never the developer's), driven through its menus by
# xdotool. Each stage is reached from the title (Start for stage 1, Continue from a saved
# number for the others), its opening skipped with Space, then walked: W held (stage 1's
# way to its goal runs straight ahead) while the mouse turns slowly. For each quality
# (the renderer's default, then the other one) and stage it prints the frames drawn per
# second and the game's CPU per drawn frame over that walk; drawn frames are counted by
# a library preloaded into the game (build/tests/bench/libframe_counter.so) on each
# buffer swap; and game time against wall time over the walk, from the update ticks
# (16 ms of game time each) the game counts into a file when $SOLVERICA_TICK_COUNTER
# names one. Then the game's peak memory for each quality (the most of its round of
# stages), the floor program's (an SDL2 window, a GL 3.3
# core context, an OpenAL device, one textured quad for 300 frames) and the difference.
# With --offscreen, frame_bench's stage 1 summary (the same build, headless) follows;
# --shots DIR keeps a screenshot of each stage after its walk; --game PATH runs another
# build's binary on this build's data (to compare two builds in the same window).
#   tools/window_bench.sh [--display N] [--seconds S] [--stages "1 2 ..."] [--offscreen]
#                         [--shots DIR] [--game PATH]
# Needs: Xvfb, xdotool (tools/setup.sh installs both), a built build/.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
display=35
seconds=10
stages="1 2 3 4 5 6 7 8"
offscreen=0
shots=""
game=""
while [ $# -gt 0 ]; do
  case "$1" in
    --display) display=$2; shift 2 ;;
    --seconds) seconds=$2; shift 2 ;;
    --stages) stages=$2; shift 2 ;;
    --offscreen) offscreen=1; shift ;;
    --shots) shots=$(realpath "$2"); shift 2 ;;
    --game) game=$(realpath "$2"); shift 2 ;;
    *) echo "usage: tools/window_bench.sh [--display N] [--seconds S] [--stages \"1 2 ...\"] [--offscreen] [--shots DIR] [--game PATH]"; exit 2 ;;
  esac
done
build=$root/build
counter_lib=$build/tests/bench/libframe_counter.so
floor=$build/tests/bench/window_floor
for needed in "$build/solverica" "$counter_lib" "$floor"; do
  [ -e "$needed" ] || { echo "window_bench: $needed is missing (cmake --build build)"; exit 1; }
done
work=$(mktemp -d /tmp/solverica-window-bench.XXXXXX)
xvfb_pid=""
game_pid=""

# Ends what this script started: the game, then the X server; and the scratch folder.
finish() {
  [ -n "$game_pid" ] && kill -KILL "$game_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap finish EXIT

export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1280x720x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done
xdpyinfo >/dev/null 2>&1 || { echo "window_bench: Xvfb on $DISPLAY did not start"; exit 1; }

# The game as a player's copy: the binary beside a res/ whose data links to the build's,
# with a dat/ of its own so that the save file is the benchmark's.
mkdir -p "$work/game/res/dat" "$work/home/config" "$work/home/data" "$work/home/Pictures"
cp "${game:-$build/solverica}" "$work/game/solverica"
for entry in "$build"/res/*; do
  [ "$(basename "$entry")" = dat ] || ln -s "$entry" "$work/game/res/"
done
for entry in "$build"/res/dat/map.*; do ln -s "$entry" "$work/game/res/dat/"; done

# Seconds since the epoch with fractions.
now() { date +%s.%N; }
# The game's user plus system CPU in milliseconds (clock ticks of /proc/PID/stat).
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) * 1000 / hz }' "/proc/$game_pid/stat"; }
# The 64-bit count in a counter file (0 while it is missing).
read_count() {
  local count
  count=$(od -An -t u8 -N 8 "$1" 2>/dev/null | tr -d ' \n')
  echo "${count:-0}"
}
# Frames drawn so far, from the preloaded counter's file.
frames() { read_count "$work/frames"; }
# Update ticks run so far, from the game's own count.
ticks() { read_count "$work/ticks"; }
# Peak resident memory of the game in MiB (VmHWM's kB / 1024).
peak_mb() { awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$game_pid/status"; }
# A key pressed long enough for a slow frame to see it.
press() { xdotool keydown "$1"; sleep 0.4; xdotool keyup "$1"; }
# A click at a back-buffer position (the window sits at 0,0 on the bare X server).
click() { xdotool mousemove "$1" "$2"; sleep 0.2; xdotool mousedown 1; sleep 0.3; xdotool mouseup 1; }
# Waits until the counter reaches a number of frames; false after a minute.
wait_frames() {
  for _ in $(seq 600); do [ "$(frames)" -ge "$1" ] && return 0; sleep 0.1; done
  return 1
}

# Starts the game at a quality ("" for the renderer's default) with `stage` saved, answers
# the start-up question (No: a window) and waits for the title to draw.
start_game() {
  local quality=$1 stage=$2
  printf '%s\r\n' "$stage" >"$work/game/res/dat/save.dat"
  : >"$work/frames"
  : >"$work/ticks"
  (cd "$work/game" && exec env HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data" \
    ALSOFT_DRIVERS=null LD_PRELOAD="$counter_lib" SOLVERICA_FRAME_COUNTER="$work/frames" \
    SOLVERICA_TICK_COUNTER="$work/ticks" \
    ${quality:+SOLVERICA_QUALITY=$quality} ./solverica >"$work/game.log" 2>&1) &
  game_pid=$!
  # The question box (full screen?) is drawn in the middle of the screen: No, a window.
  timeout 60 xdotool search --sync --name 'Ver[.]' >/dev/null || true
  sleep 3
  click 687 286
  wait_frames 30 || { echo "window_bench: the title did not draw"; return 1; }
}

# From the title into the stage: a click opens the menu, then Start or Continue; Space
# skips the opening once the stage draws.
enter_stage() {
  local stage=$1 before
  local window
  window=$(xdotool search --name 'Ver[.]' | head -n1)
  xdotool windowfocus "$window" 2>/dev/null || true
  click 640 360
  sleep 1.5
  if [ "$stage" = 1 ]; then click 640 635; else click 640 520; fi
  before=$(frames)
  sleep 4
  wait_frames $((before + 20)) || return 1
  press space
  sleep 2
}

# Walks for the stage's seconds and prints its line: drawn frames/s, CPU ms per frame,
# and game time (16 ms a tick) over wall time.
measure_stage() {
  local quality=$1 stage=$2 f0 c0 t0 k0 f1 c1 t1 k1 end
  f0=$(frames); k0=$(ticks); c0=$(cpu_ms); t0=$(now)
  # One xdotool for the whole walk (a turn step every 0.1 s): a process started ten times
  # a second, with the shell's clock checks, took a tenth of the machine from the game.
  local steps
  steps=$(awk -v s="$seconds" 'BEGIN { printf "%d", s * 10 }')
  xdotool keydown w $(for _ in $(seq "$steps"); do printf 'mousemove_relative -- 4 0 sleep 0.1 '; done) keyup w
  f1=$(frames); k1=$(ticks); c1=$(cpu_ms); t1=$(now)
  awk -v q="$quality" -v s="$stage" -v f="$((f1 - f0))" -v k="$((k1 - k0))" -v c="$c0" -v c1="$c1" -v t="$t0" \
    -v t1="$t1" 'BEGIN {
    d = t1 - t; n = f > 0 ? f : 1
    ratio = k > 0 ? sprintf("%.3f", k * 0.016 / d) : "n/a (a game without the tick count)"
    printf "%-7s stage %s   %5d frames in %5.1f s   %6.1f drawn frames/s   %7.1f ms CPU per drawn frame   game/wall %s\n",
      q, s, f, d, f / d, (c1 - c) / n, ratio }'
}

# Ends the game as the desktop would (SIGTERM) and waits for it.
stop_game() {
  kill -TERM "$game_pid" 2>/dev/null || true
  for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  kill -KILL "$game_pid" 2>/dev/null || true
  game_pid=""
}

echo "Window benchmark: build/solverica in a 1280 x 720 window on Xvfb $DISPLAY, $seconds s of walking a stage"
echo "load at start: $(uptime)"
echo "quality \"default\" is the game's own choice for the renderer (low on llvmpipe); \"high\" is SOLVERICA_QUALITY=high"
declare -A peaks=()
for quality in "" high; do
  label=${quality:-default}
  for stage in $stages; do
    start_game "$quality" "$stage" || { stop_game; continue; }
    if enter_stage "$stage"; then
      measure_stage "$label" "$stage"
      [ -z "$shots" ] || import -window root "$shots/$label-stage-$stage.png"
    else
      echo "$label stage $stage: did not start"
    fi
    peak=$(peak_mb)
    echo "$label stage $stage peak memory $peak MiB"
    peaks[$label]+="$peak "
    stop_game
  done
done
floor_line=$(ALSOFT_DRIVERS=null "$floor")
floor_peak=$(echo "$floor_line" | awk '{ print $3 }')
# The most of any run of each quality (the round of its stages) against the floor.
for label in default high; do
  [ -n "${peaks[$label]:-}" ] || continue
  game_peak=$(printf '%s\n' ${peaks[$label]} | sort -n | tail -n1)
  echo "peak memory, $label: game $game_peak MiB (most of any run), floor $floor_peak MiB, difference" \
    "$(awk -v g="$game_peak" -v f="$floor_peak" 'BEGIN { printf "%.1f", g - f }') MiB"
done
echo "floor program: $floor_line"
echo "load at end: $(uptime)"
if [ "$offscreen" = 1 ]; then
  echo "offscreen (frame_bench, stage 1 by its route, headless on the same build):"
  (cd "$build" && SDL_VIDEODRIVER=offscreen ALSOFT_DRIVERS=null ./tests/framebench/frame_bench \
    --gtest_filter=FrameBench.StageOneEveryFrameDrawn 2>&1 | sed -n '/^Summary/,/^peak memory/p')
fi
