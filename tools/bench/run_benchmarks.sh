#!/usr/bin/env bash
# Runs every benchmark and prints each figure beside its target; the `bench` build target runs
# this (tools/dev bench). Exit status 1 when a target is missed, 2 when a benchmark could not run.
#
#   run_benchmarks.sh BENCH_DIR ZERNO_SIM ZERNO_BROS SOURCE_DIR [SOUND_LATENCY]
set -uo pipefail
if [ $# -lt 4 ]; then
    echo "usage: run_benchmarks.sh BENCH_DIR ZERNO_SIM ZERNO_BROS SOURCE_DIR [SOUND_LATENCY]" >&2
    exit 2
fi
bench=$1 zerno_sim=$2 zerno_bros=$3 source_dir=$4 sound_latency=${5:-}

rows=$(mktemp)
settings=$(mktemp -d)
trap 'rm -rf "$rows" "$settings"' EXIT
broken=0

# The device window runs offscreen with its sound on SDL's silent driver; settings go to a
# scratch folder, never the user's.
export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=$settings

echo "machine: $(nproc) cores, $(lscpu | sed -n 's/^Model name:[[:space:]]*//p' | head -1); load average$(uptime | sed 's/.*load average//')"

run() {  # run TITLE COMMAND...
    echo
    echo "== $1"
    shift
    local output
    output=$("$@" 2>&1)
    local status=$?
    grep -v -e '^ROW' -e 'XDG_RUNTIME_DIR' -e 'propagateSizeHints' <<<"$output"
    grep '^ROW' <<<"$output" >>"$rows"
    if [ $status -ne 0 ] && ! grep -q '^ROW' <<<"$output"; then
        echo "(did not run: exit status $status)"
        broken=1
    fi
}

run "Headless speed" "$bench/bench_headless_speed" "$zerno_sim"
run "Memory" "$bench/bench_memory" "$bench/bench_bare_window"
# Also on an X server, where the real program and the bare window both load Qt's X11 support.
run "Memory on X11" xvfb-run -a -s "-screen 0 1280x1024x24" env QT_QPA_PLATFORM=xcb \
    "$bench/bench_memory" "$bench/bench_bare_window"
run "Key press to repaint" "$bench/bench_key_repaint"
run "Idle cost" "$bench/bench_idle_cost" "$bench/bench_bare_window" --seconds 60
run "Belt tick timing" "$bench/bench_tick_timing"
if [ -x "$bench/bench_startup" ]; then
    # The program starts from the source folder, as `tools/dev run` starts it, on a fresh X server.
    run "Start-up" env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" \
        "$bench/bench_startup" "$zerno_bros" "$bench/bench_bare_window" --workdir "$source_dir" --runs 30
else
    echo
    echo "== Start-up"
    echo "(not built: it needs the xcb and xcb-damage development files)"
    broken=1
fi
if [ -n "$sound_latency" ]; then
    echo
    echo "== Sound latency"
    output=$(env -u SDL_AUDIODRIVER "$sound_latency" 2>&1)
    status=$?
    echo "$output"
    p99=$(sed -n 's/.*first frame into the device: p50 [0-9.]* ms, p99 \([0-9.]*\) ms.*/\1/p' <<<"$output")
    printf 'ROW\tSound latency, Suona to the first frame on the device, p99\t%s\t<= 12 ms\t-\t%s\n' \
        "${p99:+$p99 ms}" "$([ $status -eq 0 ] && echo met || echo MISSED)" >>"$rows"
fi

echo
echo "== Every figure against its target"
{
    printf 'WHAT\tMEASURED\tTARGET\tBASELINE (same run)\tRESULT\n'
    cut -f2- "$rows"
} | column -t -s $'\t'
if [ $broken -ne 0 ]; then
    exit 2
fi
! grep -q 'MISSED$' "$rows"
