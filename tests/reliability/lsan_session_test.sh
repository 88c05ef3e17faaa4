#!/usr/bin/env bash
# The real zerno-bros under LeakSanitizer, from its launcher to its end, through a user's session
# played by the zerno-session input plugin. Fails when a leak is reported at exit (leaks in the
# system's libraries are suppressed by lsan.supp, each with its reason), when the program ends
# with an error status, when the session did not run to its end, or when the settings file does
# not hold what the session chose. Run from the folder that holds SOUND/.
#
#   lsan_session_test.sh PROGRAM PLUGIN_PATH SUPPRESSIONS full|launcher-quit
set -uo pipefail
program=$1
plugins=$2
suppressions=$3
scenario=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

export XDG_CONFIG_HOME=$scratch/config
export QT_QPA_PLATFORM=offscreen
export SDL_AUDIODRIVER=dummy
export QT_PLUGIN_PATH=$plugins
export QT_QPA_GENERIC_PLUGINS=zerno-session:$scenario
# Later options win: leak detection is on whatever the caller's options say.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=1"
export LSAN_OPTIONS="${LSAN_OPTIONS:+$LSAN_OPTIONS:}suppressions=$suppressions:print_suppressions=1"

status=0
timeout 60 "$program" >"$scratch/output" 2>&1 || status=$?
cat "$scratch/output"

grep -q 'LeakSanitizer' "$scratch/output" && fail "LeakSanitizer reported at the program's exit (above)"
[ "$status" -eq 0 ] || fail "zerno-bros ended with status $status"
grep -qx 'zerno-session: done' "$scratch/output" || fail "the session did not run to its end"

settings=$XDG_CONFIG_HOME/zerno-bros/settings.reg
case $scenario in
full)
    # Windows MM is stored as 0; Folko up moved to W, the 23rd letter.
    grep -qx '"SoundMode"="0"' "$settings" || fail "the sound mode picked was not stored"
    grep -qx '"Key1"="23"' "$settings" || fail "the key accepted was not stored"
    ;;
launcher-quit)
    ! grep -qi 'SoundMode' "$settings" 2>/dev/null || fail "a sound mode was stored without PLAY"
    ;;
esac
echo "zerno-bros ran the $scenario session and ended with no leak reported"
