#!/usr/bin/env bash
# Each program answers --help with its usage on standard output and --version with its version,
# both with status 0 and without a display or a window; an option it does not know is an error
# that names it, with status 2. The first program, zerno-bros, started without a display says that
# none was found, with status 1.
#
#   help_test.sh VERSION PROGRAM...
set -uo pipefail
version=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Runs PROGRAM ARGS with no display: a program that would start instead of answering fails or
# is stopped by the timeout.
run() {
    env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb timeout 20 "$@" \
        </dev/null >"$scratch/out" 2>"$scratch/err"
}

for program in "$@"; do
    name=$(basename "$program")
    run "$program" --help; status=$?
    [ $status -eq 0 ] || fail "$name --help: status $status"
    head -n1 "$scratch/out" | grep -q "^usage: $name " || fail "$name --help: no usage on stdout: $(head -c 200 "$scratch/out")"
    grep -q -- '--version' "$scratch/out" || fail "$name --help does not list --version"
    [ ! -s "$scratch/err" ] || fail "$name --help wrote to stderr: $(cat "$scratch/err")"

    run "$program" --version; status=$?
    [ $status -eq 0 ] || fail "$name --version: status $status"
    [ "$(cat "$scratch/out")" = "$name $version" ] || fail "$name --version printed '$(cat "$scratch/out")', not '$name $version'"

    run "$program" --bogus; status=$?
    [ $status -eq 2 ] || fail "$name --bogus: status $status, not 2"
    grep -q -- "'--bogus'" "$scratch/err" || fail "$name --bogus: the error does not name it: $(cat "$scratch/err")"
    [ ! -s "$scratch/out" ] || fail "$name --bogus wrote to stdout"
done
# Started without a display, zerno-bros says so and ends with its own status, not Qt's abort.
run "$1"; status=$?
[ $status -eq 1 ] || fail "$(basename "$1") without a display: status $status, not 1"
grep -q "no display was found" "$scratch/err" || fail "$(basename "$1") without a display said: $(head -c 300 "$scratch/err")"
# A display that is named but has no server behind it is no display either.
env -u WAYLAND_DISPLAY DISPLAY=:4711 QT_QPA_PLATFORM=xcb timeout 20 "$1" </dev/null >"$scratch/out" 2>"$scratch/err"; status=$?
[ $status -eq 1 ] || fail "$(basename "$1") with DISPLAY=:4711 and no server there: status $status, not 1"
grep -q "no display was found" "$scratch/err" || fail "$(basename "$1") with a display that does not answer said: $(head -c 300 "$scratch/err")"
[ $failures -eq 0 ] || exit 1
echo "$# programs answer --help, --version and an unknown option"
