#!/usr/bin/env bash
# The Debian package made by `cpack -G DEB` in a configured build folder: named
# zerno-bros_<version>_<arch>.deb; holding the stripped programs, their manual pages, the desktop
# entry, the icons (once), the metainfo, the game's data and the copyright file; programs built
# hardened as Debian builds its own; a control file whose Depends comes from dpkg-shlibdeps (Qt 6
# among them) with the font the windows are laid out for, in section games; the same bytes from a
# second run, every time in it the change log's; and lintian reports no error on it. Prints
# lintian's warnings and notes for the reader.
#
#   package_test.sh BUILD_DIR       (leaves the package in BUILD_DIR)
set -euo pipefail
build=$(cd "$1" && pwd)
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb dpkg-shlibdeps dpkg-parsechangelog lintian file hardening-check; do
    command -v "$tool" >/dev/null || fail "$tool is missing: tools/dev installs it"
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$build/zerno-bros_${version}_$(dpkg --print-architecture).deb
rm -f "$deb"
# SOURCE_DATE_EPOCH from outside would hide whether the package sets its own.
pack() { (cd "$build" && env -u SOURCE_DATE_EPOCH cpack -G DEB >"$build/cpack.log" 2>&1) || { cat "$build/cpack.log"; fail "cpack -G DEB failed"; }; }
pack
[ -s "$deb" ] || fail "cpack made no $(basename "$deb"): $(ls "$build"/*.deb 2>/dev/null)"

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$deb" "$scratch/first.deb"
sleep 1
pack
cmp "$scratch/first.deb" "$deb" || fail "two cpack runs of one build gave different packages"
release=$(dpkg-parsechangelog -l "$(dirname "$0")/../../packaging/changelog" -S Timestamp)
dpkg-deb --fsys-tarfile "$deb" | tar -t -v --numeric-owner --full-time >"$scratch/times"
awk '{print $4 " " $5}' "$scratch/times" | sort -u >"$scratch/time"
[ "$(cat "$scratch/time")" = "$(date -u -d "@$release" '+%Y-%m-%d %H:%M:%S')" ] \
    || fail "the package's times are not the change log's date: $(head -3 "$scratch/time")"
dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$scratch/contents"
for path in /usr/games/zerno-bros /usr/games/zerno-sim \
            /usr/share/man/man6/zerno-bros.6.gz /usr/share/man/man6/zerno-sim.6.gz \
            /usr/share/applications/io.github.zerno_bros.desktop /usr/share/metainfo/io.github.zerno_bros.metainfo.xml \
            /usr/share/icons/hicolor/48x48/apps/zerno-bros.png /usr/share/icons/hicolor/256x256/apps/zerno-bros.png \
            /usr/share/games/zerno-bros/assets/device.layout /usr/share/games/zerno-bros/SOUND/Pack.wav \
            /usr/share/games/zerno-bros/readme.txt /usr/share/doc/zerno-bros/copyright \
            /usr/share/doc/zerno-bros/changelog.gz; do
    grep -qx "$path" "$scratch/contents" || fail "the package lacks $path"
done
grep -v '^/usr/\(games\|share\)/' "$scratch/contents" | grep -v '^/usr/$\|^/$' \
    && fail "the package holds files outside /usr/games and /usr/share (above)"
grep '/zerno-bros\.png$' "$scratch/contents" | grep -v '^/usr/share/icons/hicolor/[0-9]*x[0-9]*/apps/' \
    && fail "the icons are installed more than once (above)"

dpkg-deb --extract "$deb" "$scratch/root"
for program in zerno-bros zerno-sim; do
    file "$scratch/root/usr/games/$program" | grep -q ', stripped' || fail "$program is not stripped"
    hardening-check "$scratch/root/usr/games/$program" >"$scratch/hardening" || true
    for check in 'Stack protected' 'Read-only relocations' 'Immediate binding'; do
        grep -q "^ $check: yes" "$scratch/hardening" || fail "$program is not hardened as Debian builds: $(cat "$scratch/hardening")"
    done
    grep -q '^ Fortify Source functions: \(yes\|unknown\)' "$scratch/hardening" || fail "$program: $(cat "$scratch/hardening")"
done
grep -qx 'Exec=/usr/games/zerno-bros' "$scratch/root/usr/share/applications/io.github.zerno_bros.desktop" \
    || fail "the desktop entry does not run /usr/games/zerno-bros"
grep -qx 'Path=/usr/share/games/zerno-bros' "$scratch/root/usr/share/applications/io.github.zerno_bros.desktop" \
    || fail "the desktop entry does not start in /usr/share/games/zerno-bros"
grep -qx 'StartupNotify=true' "$scratch/root/usr/share/applications/io.github.zerno_bros.desktop" \
    || fail "the desktop entry does not ask for startup notification"

field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = zerno-bros ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not $version"
[ "$(field Section)" = games ] || fail "Section: $(field Section)"
field Maintainer | grep -q '<.*@.*>' || fail "Maintainer: $(field Maintainer)"
for library in libqt6widgets6 libsdl2 libturbojpeg fonts-liberation2 fonts-dejavu-core; do
    field Depends | grep -q "$library" || fail "Depends does not name $library: $(field Depends)"
done
field Recommends | grep -q xdg-utils || fail "Recommends does not name xdg-utils: $(field Recommends)"
[ "$(field Description | wc -l)" -gt 3 ] || fail "no long description: $(field Description)"

# lintian's own exit status fails on an error; its warnings are printed for the reader.
lintian --fail-on error --display-info --tag-display-limit 0 "$deb" | tee "$scratch/lintian" \
    || fail "lintian reports an error (above)"
echo "$(basename "$deb"): $(grep -c '^W:' "$scratch/lintian" || true) lintian warnings, no error"
