#!/usr/bin/env bash
# The install into a scratch prefix: every file where the desktop expects it, a desktop entry
# whose Path= is the installed data folder, entries the desktop's own validators accept (when
# they are installed), and an installed zerno-sim that finds its layout from anywhere.
#
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

share=$prefix/share/zerno-bros
for file in bin/zerno-bros bin/zerno-sim \
            share/zerno-bros/assets/device.layout share/zerno-bros/assets/pictures/Im_Base.jpg \
            share/zerno-bros/SOUND/Pack.wav share/zerno-bros/SOUND/Point.wav share/zerno-bros/SOUND/Char.wav \
            share/zerno-bros/SOUND/Miss.wav share/zerno-bros/SOUND/Miss2.wav \
            share/applications/zerno-bros.desktop share/metainfo/io.github.zerno_bros.metainfo.xml \
            share/icons/hicolor/48x48/apps/zerno-bros.png share/icons/hicolor/256x256/apps/zerno-bros.png; do
    [ -s "$prefix/$file" ] || fail "$file was not installed"
done
[ -x "$prefix/bin/zerno-bros" ] || fail "zerno-bros is not executable"

desktop=$prefix/share/applications/zerno-bros.desktop
grep -qx "Path=$share" "$desktop" || fail "the desktop entry does not start in $share: $(grep '^Path=' "$desktop")"
grep -qx "Exec=zerno-bros" "$desktop" || fail "the desktop entry does not run zerno-bros"
grep -q '<launchable type="desktop-id">zerno-bros.desktop</launchable>' \
    "$prefix/share/metainfo/io.github.zerno_bros.metainfo.xml" || fail "the metainfo names another desktop entry"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the desktop entry"
else
    echo "desktop-file-validate is not installed: not run"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/io.github.zerno_bros.metainfo.xml" >/dev/null \
        || fail "appstreamcli refuses the metainfo"
else
    echo "appstreamcli is not installed: not run"
fi

# Started from the desktop entry's folder, as the desktop starts it, with nothing else to go by.
state=$(cd "$share" && env -u ZERNO_BROS_ASSETS "$prefix/bin/zerno-sim" <<<$'click Im_Front\nstate')
grep -q '^lit Im_Base ' <<<"$state" || fail "the installed zerno-sim did not open the device: $state"
echo "installed and checked under a scratch prefix"
