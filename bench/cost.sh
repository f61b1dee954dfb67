#!/bin/bash
# What a running game costs its player's machine: frames presented per second, CPU time as a share
# of one core and per presented frame (on a machine busy with other work the share falls with the
# frame rate; the time per frame much less), and peak resident memory (VmHWM), measured on the real binary in real time (no fixed
# step) under a virtual display, in three states:
#   menu     the main menu, nothing touched
#   level    a level being played by the bot (--autoplay in real time), continuing a level in
#            progress that a fixed-step bot run prepared; measuring starts 14 s later than elsewhere
#   hidden   the main menu, then the window hidden (what a window manager does to a minimised
#            window; Xvfb has no window manager to minimise to)
# Usage: bench/cost.sh [BINARY [DATA_DIR]]      (defaults: build/velmora and build/data)
# Env:   COST_SECONDS (default 20) measured seconds per state, COST_WARMUP (default 6) seconds
#        before measuring, COST_STATES (default "menu level hidden"), COST_OPTIONS lines added to
#        the Options.txt it writes (e.g. COST_OPTIONS=$'FrameLimit 0\nVSync 0' for an uncapped game).
# The data folder is copied to a temporary folder first, so nothing is written into it. Frames are
# counted by the game itself (VELMORA_FRAME_STATS names a file it rewrites once a second); a build
# without that counter reports "n/a". Not part of the test suite.
set -u

here=$(cd "$(dirname "$0")/.." && pwd)
binary=$(realpath "${1:-$here/build/velmora}")
data=$(realpath "${2:-$here/build/data}")
seconds=${COST_SECONDS:-20}
warmup=${COST_WARMUP:-6}
states=${COST_STATES:-menu level hidden}
tick=$(getconf CLK_TCK)

[ -x "$binary" ] || { echo "cost.sh: no game binary at $binary" >&2; exit 2; }
[ -d "$data/Levels" ] || { echo "cost.sh: no data folder at $data" >&2; exit 2; }
command -v xvfb-run >/dev/null || { echo "cost.sh: xvfb-run is needed" >&2; exit 2; }

now() { date +%s.%N; }

# utime + stime of a process in clock ticks.
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }

# Frames presented so far, from the game's own counter file ("frames seconds").
frames_now() { if [ -s "$1" ]; then awk '{ print $1; exit }' "$1"; else echo ""; fi; }

peak_rss_kb() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0; }

# One state: runs the game, waits for the warm-up, measures, stops the game.
measure() {
    local state=$1 args=$2 script=${3:-}
    local dir
    dir=$(mktemp -d /tmp/velmora-cost.XXXXXX)
    cp -r "$data/." "$dir/"
    cat >"$dir/Options.txt" <<'EOF'
Preset               0
Windowed             1
Width                800
Height               600
Format               X8R8G8B8
RefreshRate          0
WindowBorder         0
VSync                1
SoundEnabled         1
WaitGPU              0
AdvancedOpt          0
SpiralType           0
SpiralCount          0
BlendMode            0
EOF
    [ -n "${COST_OPTIONS:-}" ] && printf '%s\n' "$COST_OPTIONS" >>"$dir/Options.txt"
    if [ "$state" = level ]; then
        # A player with a level in progress: the bot makes one at a fixed step, undrawn, and the
        # run ends (saving the level) as the level's window comes up. The measured run's bot then
        # only presses Start (and OK on the help) to be back in that level.
        (cd "$dir" && xvfb-run -a -s "-screen 0 1024x768x24" "$binary" --windowed --fixed-step --seed 1 \
            --autoplay --draw-shots-only --screens prepare --quit-after-screens 9 >prepare.out 2>&1)
        ls "$dir"/prepare/*_TW_Game.png >/dev/null 2>&1 || echo "level: no level in progress" >&2
    fi
    if [ -n "$script" ]; then
        printf '%s\n' "$script" >"$dir/script.txt"
        args="$args --script script.txt"
    fi
    (cd "$dir" && VELMORA_FRAME_STATS="$dir/frames.txt" VELMORA_MSGBOX_ANSWER=1 \
        xvfb-run -a -s "-screen 0 1024x768x24" sh -c 'echo $$ > pid; exec "$0" "$@"' \
        "$binary" $args >run.out 2>&1) &
    local runner=$!
    local pid="" i
    for i in $(seq 1 100); do
        [ -s "$dir/pid" ] && pid=$(cat "$dir/pid") && break
        sleep 0.1
    done
    if [ -z "$pid" ]; then
        echo "$state: the game did not start" >&2
        return 1
    fi
    sleep "${COST_WARMUP:-$warmup}"
    local t0 c0 f0 t1 c1 f1 hwm
    t0=$(now) c0=$(cpu_ticks "$pid") f0=$(frames_now "$dir/frames.txt")
    sleep "$seconds"
    t1=$(now) c1=$(cpu_ticks "$pid") f1=$(frames_now "$dir/frames.txt")
    hwm=$(peak_rss_kb "$pid")
    kill "$pid" 2>/dev/null
    sleep 1
    kill -9 "$pid" 2>/dev/null
    wait "$runner" 2>/dev/null
    awk -v s="$state" -v t0="$t0" -v t1="$t1" -v c0="$c0" -v c1="$c1" -v f0="$f0" -v f1="$f1" \
        -v hz="$tick" -v hwm="$hwm" 'BEGIN {
            wall = t1 - t0
            cpu = (c1 - c0) / hz
            fps = (f0 == "" || f1 == "") ? "n/a" : sprintf("%.1f", (f1 - f0) / wall)
            per = (f0 == "" || f1 == "" || f1 == f0) ? "n/a" : sprintf("%.2f", 1000 * cpu / (f1 - f0))
            printf "%-8s %8s %9.1f %12s %10.1f\n", s, fps, 100 * cpu / wall, per, hwm / 1024
        }'
    rm -rf "$dir"
}

echo "binary $binary"
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; ${seconds} s per state after ${warmup} s"
printf "%-8s %8s %9s %12s %10s\n" state "frames/s" "CPU %" "CPU ms/frame" "peak MB"
for state in $states; do
    case $state in
    menu) measure menu "--windowed --start-window 11" ;;
    level) COST_WARMUP=$((warmup + 14)) measure level "--windowed --autoplay" ;;
    hidden) measure hidden "--windowed --start-window 11" "60 hide" ;;
    *) echo "cost.sh: unknown state $state" >&2 ;;
    esac
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
