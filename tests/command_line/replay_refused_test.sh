#!/usr/bin/env bash
# zerno-bros --replay with a script it cannot read (not there, or a folder) says so in a box and
# waits for the player; the session's SIGTERM ends it all the same, with the status of a program
# that could not do what it was asked.
#
#   replay_refused_test.sh ZERNO_BROS
set -uo pipefail
program=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
for script in "$scratch/missing.sim" "$scratch"; do
    # SIGTERM once the box is surely up; a program that ignores it is killed 10 s later (137).
    HOME=$scratch XDG_CONFIG_HOME=$scratch/config XDG_STATE_HOME=$scratch/state \
        QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy \
        timeout --preserve-status -k 10 5 "$program" --replay "$script" </dev/null >/dev/null 2>&1
    status=$?
    [ $status -eq 1 ] || { echo "FAIL: --replay $script: status $status after SIGTERM, not 1" >&2; failures=$((failures + 1)); }
done
[ $failures -eq 0 ] || exit 1
echo "a script that cannot be read is refused, and SIGTERM ends the box"
