#!/bin/sh
# Draws every picture of the user manual with the program itself, so that the manual shows what
# the program shows: charts by `zul chart`, the 3D view by `zul view`, and each window by the
# real program on the offscreen platform (`zul --screenshot`), at fixed sizes, from a clean
# configuration and an empty working folder.
#
#   docs/pictures.sh [ZUL [FOLDER]]     (defaults: build/app/zul, docs/pictures)
set -eu

zul=$(realpath "${1:-build/app/zul}")
out=$(realpath "${2:-docs/pictures}")
mkdir -p "$out"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
# The same picture on every machine: no saved settings, no display, no scaling, one locale.
# The offscreen screen is 1600 x 1000 at 96 dpi, large enough for every window at full size.
cat >screen.json <<'END'
{"screens": [{"name": "manual", "x": 0, "y": 0, "width": 1600, "height": 1000,
              "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]}
END
mkdir -m 700 run
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_SCALE_FACTOR=1
export QT_QPA_PLATFORM="offscreen:configfile=$work/screen.json" LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY QT_LOGGING_RULES 2>/dev/null || true

# Charts, drawn without a window.
"$zul" chart hue 5R --png "$out/chart-hue.png"
"$zul" chart value 5 --png "$out/chart-value.png"
"$zul" chart tolerance 50 40 20 --png "$out/chart-tolerance.png"
"$zul" chart colorchecker --png "$out/chart-colorchecker.png"

# A palette cut from the test picture, and its 3D view; the viewer window loads the same
# palette as the last one made.
"$zul" palette-from-picture "$(dirname "$zul")/data/TestImage.jpg" --grid 40 -o T.CSV >/dev/null
"$zul" view T.CSV --png "$out/view.png" --size 600 --rotation 30 --tilt 20 --zoom 15
cp T.CSV newpalette2.csv

# shot NAME SIZE [ARGUMENTS...]: one window of the program, drawn offscreen at SIZE.
shot() {
    name=$1 size=$2
    shift 2
    status=0
    "$zul" "$@" --screenshot "$out/window-$name.png" --screenshot-size "$size" 2>err.txt ||
        status=$?
    # The offscreen platform's notes on what it cannot do are no news.
    grep -v 'does not support' err.txt >&2 || true
    return $status
}
shot main 1180x760
shot hue 860x620 --open hue
shot value 760x800 --open value
shot tolerance 700x640 --open tolerance
shot colorchecker 700x560 --open colorchecker
shot picture 760x560 --open picture
shot viewer 1180x820 --open viewer
shot manual 960x720 --manual

# Windows of subsystems this build may not have: drawn only when the program knows them.
for window in spectral qc; do
    if "$zul" "$window" --help >/dev/null 2>&1; then
        shot "$window" 900x680 --open "$window" || echo "no $window window to draw" >&2
    fi
done
echo "pictures written to $out"
