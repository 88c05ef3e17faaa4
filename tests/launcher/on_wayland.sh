#!/bin/sh
# Runs a command as a pure Wayland client of its own headless Weston: no X display, Qt's Wayland
# platform, a private runtime folder. Exits 77 (a skipped test) when Weston cannot start.
set -u
runtime=$(mktemp -d)
trap 'kill "$weston" 2>/dev/null; wait "$weston" 2>/dev/null; rm -rf "$runtime"' EXIT
socket=wayland-test
if ! command -v weston >/dev/null; then
    echo "weston is not installed: the Wayland checks are skipped"
    exit 77
fi
XDG_RUNTIME_DIR=$runtime weston --backend=headless-backend.so --socket=$socket --width=1400 --height=900 \
    --idle-time=0 >"$runtime/weston.log" 2>&1 &
weston=$!
tries=0
until [ -S "$runtime/$socket" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 "$weston" 2>/dev/null; then
        echo "Weston did not start: the Wayland checks are skipped"
        cat "$runtime/weston.log"
        exit 77
    fi
    sleep 0.1
done
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=$socket QT_QPA_PLATFORM=wayland "$@"
