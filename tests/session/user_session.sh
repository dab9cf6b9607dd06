#!/usr/bin/env bash
# A user's session with the real program on its own X display under openbox,
# driven with xdotool only: open a picture given on the command line, paint a
# vertical mirror stroke, save, quit; start again, switch to German, paint,
# undo and save, paint and quit without saving.
# Usage: user_session.sh VELMORA PNG_MIRROR_CHECK
# Exits 77 (skipped) only when no X server can be started.
set -euo pipefail

velmora=$1
checker=$2
work=$(mktemp -d)
pids=()

cleanup() {
    local pid
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Runs a command until it succeeds, for at most $1 seconds.
poll() {
    local limit=$(( SECONDS + $1 ))
    shift
    until "$@" >/dev/null 2>&1; do
        (( SECONDS < limit )) || return 1
        sleep 0.1
    done
}

window_named() {
    timeout "${2:-20}" xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1
}

window_gone() {
    ! xdotool search --onlyvisible --name "^$1\$" >/dev/null 2>&1
}

start_x() {
    command -v Xvfb >/dev/null || { echo "SKIP: Xvfb is not installed"; exit 77; }
    Xvfb -displayfd 9 -screen 0 1280x1024x24 -nolisten tcp 9>"$work/display" 2>"$work/xvfb.log" &
    pids+=($!)
    if ! poll 10 test -s "$work/display"; then
        echo "SKIP: Xvfb could not start: $(cat "$work/xvfb.log")"
        exit 77
    fi
    export DISPLAY=":$(cat "$work/display")"
    openbox --sm-disable >"$work/openbox.log" 2>&1 &
    pids+=($!)
    poll 10 sh -c 'xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"' ||
        fail "openbox did not start"
}

user_environment() {
    export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
    export XDG_CACHE_HOME=$work/cache XDG_RUNTIME_DIR=$work/runtime
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
}

# Starts the program with the picture and waits for its main window.
start_velmora() {
    (cd "$HOME" && exec "$velmora" "$picture") &
    velmora_pid=$!
    pids+=("$velmora_pid")
    main=$(window_named 'Velmora 2\.1' 30) || fail "the main window did not appear"
    xdotool windowactivate --sync "$main"
}

# Drags with the left button across the left half of the picture, which lies
# in the middle of the maximized main window.
paint_stroke() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$main")"
    local cx=$(( X + WIDTH / 2 )) cy=$(( Y + HEIGHT / 2 ))
    xdotool mousemove --sync $(( cx - 110 )) $(( cy + $1 ))
    xdotool mousedown 1
    local step
    for step in 1 2 3 4 5 6 7 8; do
        xdotool mousemove --sync $(( cx - 110 + step * 10 )) $(( cy + $1 + step * 5 ))
    done
    xdotool mouseup 1
}

# Waits until the program has ended and reports how it ended.
wait_for_exit() {
    poll 20 sh -c "! kill -0 $velmora_pid" || fail "the program did not end"
    wait "$velmora_pid" || fail "the program ended with status $?"
}

user_environment
start_x
picture=$work/picture.png
"$checker" white "$picture" 300 200

# First session: Vertical mode, one stroke, Ctrl+S, Alt+F4 with no question.
start_velmora
for tool in Toolbox Palette Commands 'Brush size'; do
    window_named "$tool" 10 >/dev/null || fail "tool window $tool is missing"
done
xdotool key alt+5
paint_stroke -40
before_save=$(stat -c %Y.%s "$picture")
xdotool key ctrl+s
poll 10 sh -c "test \"\$(stat -c %Y.%s '$picture')\" != '$before_save'" || fail "Ctrl+S wrote nothing"
xdotool key alt+F4
wait_for_exit
"$checker" mirror "$picture" 300 200 || fail "the saved picture is not a vertical mirror image"
cp "$picture" "$work/saved.png"

# Second session: German, a stroke taken back and the picture saved (the
# file must be as before the stroke), another stroke, Alt+F4 answered Yes.
start_velmora
xdotool key ctrl+alt+d
window_named Werkzeuge 10 >/dev/null || fail "the toolbox title did not become Werkzeuge"
xdotool windowactivate --sync "$main"
paint_stroke 20
xdotool key ctrl+z
before_save=$(stat -c %i.%Y.%s "$picture")
xdotool key ctrl+s
poll 10 sh -c "test \"\$(stat -c %i.%Y.%s '$picture')\" != '$before_save'" || fail "Ctrl+S after Ctrl+Z wrote nothing"
cmp -s "$picture" "$work/saved.png" || fail "Ctrl+Z did not take the stroke back"
paint_stroke 60
xdotool key alt+F4
question=$(window_named 'Bestätigung' 10) || fail "no close question in German"
xdotool windowactivate --sync "$question"
xdotool key Return
wait_for_exit
cmp -s "$picture" "$work/saved.png" || fail "the file changed although the close did not save"
echo "user session passed in $SECONDS s"
