#!/usr/bin/env bash
# The install into a scratch prefix, as a player without root does it: every file where the
# desktop expects it, a desktop entry that runs the installed program by its full path (the
# prefix's games folder is on no PATH here) and starts it in the data folder, entries the
# desktop's own validators accept (when they are installed), an installed zerno-sim that finds
# its layout from anywhere, and an uninstall that leaves nothing behind, not even a folder.
#
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/prefix
fail() { echo "FAIL: $*" >&2; exit 1; }

# Something of the user's own in the prefix: the uninstall must leave it and its folders.
mkdir -p "$prefix/share/applications"
touch "$prefix/share/applications/other.desktop"
before=$(cd "$prefix" && find . | sort)

cmake --install "$build" --prefix "$prefix" --strip >/dev/null

share=$prefix/share/games/zerno-bros
for file in games/zerno-bros games/zerno-sim \
            share/games/zerno-bros/assets/device.layout share/games/zerno-bros/assets/pictures/Im_Base.jpg \
            share/games/zerno-bros/SOUND/Pack.wav share/games/zerno-bros/SOUND/Point.wav \
            share/games/zerno-bros/SOUND/Char.wav share/games/zerno-bros/SOUND/Miss.wav \
            share/games/zerno-bros/SOUND/Miss2.wav share/games/zerno-bros/readme.txt \
            share/applications/io.github.zerno_bros.desktop share/metainfo/io.github.zerno_bros.metainfo.xml \
            share/icons/hicolor/48x48/apps/zerno-bros.png share/icons/hicolor/256x256/apps/zerno-bros.png \
            share/man/man6/zerno-bros.6.gz share/man/man6/zerno-sim.6.gz \
            share/doc/zerno-bros/copyright share/doc/zerno-bros/changelog.gz; do
    [ -s "$prefix/$file" ] || fail "$file was not installed"
done
[ -x "$prefix/games/zerno-bros" ] || fail "zerno-bros is not executable"
if command -v file >/dev/null; then
    file "$prefix/games/zerno-bros" | grep -q ', stripped' || fail "--strip left zerno-bros unstripped: $(file "$prefix/games/zerno-bros")"
fi

desktop=$prefix/share/applications/io.github.zerno_bros.desktop
grep -qx "Path=$share" "$desktop" || fail "the desktop entry does not start in $share: $(grep '^Path=' "$desktop")"
grep -qx "Exec=$prefix/games/zerno-bros" "$desktop" || fail "the desktop entry does not run the installed program: $(grep '^Exec=' "$desktop")"
metainfo=$prefix/share/metainfo/io.github.zerno_bros.metainfo.xml
grep -q '<launchable type="desktop-id">io.github.zerno_bros.desktop</launchable>' "$metainfo" || fail "the metainfo names another desktop entry"
grep -q '<li>Reset Hiscores puts both hiscores back to 0.</li>' "$metainfo" || fail "the metainfo lacks the release notes of whatsnew.txt"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the desktop entry"
else
    echo "desktop-file-validate is not installed: not run"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli refuses the metainfo"
else
    echo "appstreamcli is not installed: not run"
fi
if command -v man >/dev/null; then
    for page in zerno-bros zerno-sim; do
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$prefix/share/man/man6/$page.6.gz" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man warns about $page(6): $warnings"
    done
fi

# The desktop entry's own command line, run the way the desktop runs it: in its Path= folder,
# with nothing else to go by. zerno-sim, installed beside it, opens the device from there.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
(cd "$share" && env -u ZERNO_BROS_ASSETS PATH=/usr/bin:/bin "$exec_line" --version) | grep -qx 'zerno-bros [0-9.]*' \
    || fail "the desktop entry's command does not run zerno-bros"
state=$(cd / && env -u ZERNO_BROS_ASSETS "$prefix/games/zerno-sim" <<<$'click Im_Front\nstate')
grep -q '^lit Im_Base ' <<<"$state" || fail "the installed zerno-sim did not open the device: $state"

cmake -DMANIFEST="$build/installed_files.txt" -DFOLDERS="$build/install_folders.txt" \
    -P "$(dirname "$0")/../../cmake/Uninstall.cmake" >/dev/null
after=$(cd "$prefix" && find . | sort)
[ "$before" = "$after" ] || fail "the uninstall left behind: $(comm -13 <(echo "$before") <(echo "$after") | tr '\n' ' ')"
echo "installed, checked and uninstalled under a scratch prefix"
