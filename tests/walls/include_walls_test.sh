#!/usr/bin/env bash
# The walls between the rooms of src: every include of the project's own headers names its room
# ("device/form1.h"), and a room reaches only itself and the rooms below it.
set -euo pipefail
src=$1

# Each room and the rooms it may reach besides itself.
declare -A below=(
    [common]=""
    [device]="common"
    [script]="common device"
    [sound]="common device"
    [device/view]="common device"
    [settings]="common device script"
    [launcher]="common device script settings sound device/view"
    [app]="common device script settings sound device/view launcher"
    [web]="common device script settings"
)

roomOf() {  # the room of a path under src
    case $1 in
        device/view/*) echo device/view ;;
        */*) echo "${1%%/*}" ;;
        *) echo "" ;;
    esac
}

faults=0
while IFS= read -r -d '' file; do
    from=$(roomOf "${file#"$src"/}")
    while IFS= read -r header; do
        [[ $header == *.moc ]] && continue
        to=$(roomOf "$header")
        if [ -z "$to" ] || [ ! -f "$src/$header" ]; then
            echo "${file#"$src"/}: \"$header\" does not name a header by its room"
            faults=$((faults + 1))
        elif [ "$to" != "$from" ] && [[ " ${below[$from]} " != *" $to "* ]]; then
            echo "${file#"$src"/}: \"$header\" reaches up from $from to $to"
            faults=$((faults + 1))
        fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find "$src" \( -name '*.cpp' -o -name '*.h' \) -print0)

[ "$faults" -eq 0 ] && echo "every include names its room and reaches down"
[ "$faults" -eq 0 ]
