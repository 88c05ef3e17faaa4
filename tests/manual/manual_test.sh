#!/bin/sh
# manual_test.sh ZERNO_SHOT SOURCE_DIR MANUAL_DIR
# The built manual: every picture its page shows is there, and each is what zerno-shot paints of
# its scene from the artwork as it is now.
set -eu
shot=$1 source=$2 manual=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
pictures=$(grep -o 'src="pictures/[^"]*"' "$manual/index.html" | sed 's/src="pictures\///; s/"$//')
[ -n "$pictures" ] || { echo "index.html shows no pictures"; exit 1; }
cmp -s "$source/docs/manual/index.html" "$manual/index.html" || { echo "the built index.html is not the source's"; exit 1; }
for picture in $pictures; do
    name=${picture%.png}
    scene=$source/docs/manual/scenes/$name.sim
    [ -f "$scene" ] || scene=$source/tools/shots/scenes/$name.sim
    [ -f "$scene" ] || { echo "no scene for $picture"; exit 1; }
    [ -f "$manual/pictures/$picture" ] || { echo "$picture is missing"; exit 1; }
    QT_QPA_PLATFORM=offscreen ZERNO_BROS_ASSETS=$source/assets "$shot" --time 10:30:00 "$scene" "$scratch/$picture" 2>/dev/null
    cmp -s "$scratch/$picture" "$manual/pictures/$picture" || { echo "$picture is not the current artwork"; exit 1; }
done
echo "$(echo $pictures | wc -w) pictures, each the current artwork"
