#!/usr/bin/env bash
# The interactive program in real windows under Xvfb (a 1920x1080 screen).
#   window_test.sh LUMIVANE CLOSE_WINDOW show    the show's window: where it
#       opens for --window, --fullscreen and a full-screen mode the screen
#       lacks; a quick tap of Escape and closing the window end it (exit 0)
#   window_test.sh LUMIVANE CLOSE_WINDOW jump    --from and the jump keys: the
#       show opens part way with its music there (SDL's disk sound driver
#       writes what is heard to a file, matched against a capture's sound);
#       Page Down, Page Up and Home jump while it plays, and Escape ends it
#   window_test.sh LUMIVANE CLOSE_WINDOW dialog  the setup dialog: Enter opens
#       the show at the preselected mode, Escape and closing the dialog end
#       the program without a show window
# Waits are generous: on a busy machine the first frames can take seconds.
set -u
lumivane=$1
close_window=$2
group=$3
show_title="Lumivane - ZOPa"
dialog_title="Tavorin Lumivane - Z.O.P.a."
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
pid=""

fail() {
    echo "FAIL($case): $*"
    if [ -n "$pid" ]; then
        if kill -0 "$pid" 2>/dev/null; then
            kill "$pid" 2>/dev/null
            wait "$pid" 2>/dev/null
        else
            # It ended by itself: how, tells a crash from a quit.
            wait "$pid"
            echo "  the program had ended with exit status $?"
        fi
        pid=""
    fi
    [ -s "$dir/stderr" ] && sed 's/^/  stderr: /' "$dir/stderr"
    return 1
}

# start ARGS...: runs the program in the temporary folder.
start() {
    (cd "$dir" && exec "$lumivane" "$@" 2>"$dir/stderr") &
    pid=$!
}

# find_window TITLE: the id of the visible window with exactly this title,
# waiting up to 30 s while the program runs.
find_window() {
    local wid
    for _ in $(seq 1 300); do
        wid=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1)
        if [ -n "$wid" ]; then echo "$wid"; return 0; fi
        kill -0 "$pid" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# expect_geometry WID X,Y WxH
expect_geometry() {
    local geometry
    geometry=$(xdotool getwindowgeometry "$1")
    grep -q "Position: $2 " <<<"$geometry" && grep -q "Geometry: $3\$" <<<"$geometry" ||
        fail "expected $3 at $2, got: $(tr '\n' ' ' <<<"$geometry")"
}

# expect_exit: the program ends within 30 s with code 0.
expect_exit() {
    for _ in $(seq 1 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    if kill -0 "$pid" 2>/dev/null; then fail "still running"; return 1; fi
    wait "$pid"
    local rc=$?
    pid=""
    [ "$rc" -eq 0 ] || fail "exit code $rc"
}

# tap WID KEY: down and straight up again, as a quick finger does.
tap() { xdotool key --window "$1" "$2"; }

show_case() {
    case=$1
    local wid
    case $case in
    escape-tap)
        start --window --size 1280x720
        wid=$(find_window "$show_title") || { fail "no window appeared"; return 1; }
        # A 1280x720 window on a 1920x1080 screen is centred.
        expect_geometry "$wid" 320,180 1280x720 || return 1
        sleep 1
        tap "$wid" Escape ;;
    close)
        start --window --size 1280x720
        wid=$(find_window "$show_title") || { fail "no window appeared"; return 1; }
        "$close_window" "$show_title" ;;
    fullscreen)
        # The desktop's own mode: the whole screen.
        start --fullscreen
        wid=$(find_window "$show_title") || { fail "no window appeared"; return 1; }
        expect_geometry "$wid" 0,0 1920x1080 || return 1
        tap "$wid" Escape ;;
    missing-mode)
        # Xvfb has one mode: 1024x768 falls back to a centred window, with a line.
        start --fullscreen --size 1024x768 --aspect 4:3
        wid=$(find_window "$show_title") || { fail "no window appeared"; return 1; }
        expect_geometry "$wid" 448,156 1024x768 || return 1
        grep -q "no 1024x768 mode" "$dir/stderr" || { fail "no line about the missing mode"; return 1; }
        tap "$wid" Escape ;;
    esac
    expect_exit || return 1
    echo "ok: $case"
}

dialog_case() {
    case=$1
    local dialog wid
    start
    dialog=$(find_window "$dialog_title") || { fail "no dialog appeared"; return 1; }
    # 174 x 232 dialog units, centred.
    expect_geometry "$dialog" 829,351 261x377 || return 1
    sleep 0.5
    case $case in
    enter)
        tap "$dialog" Return
        # The preselection: the desktop's resolution, in a window.
        wid=$(find_window "$show_title") || { fail "no show window after Enter"; return 1; }
        expect_geometry "$wid" 0,0 1920x1080 || return 1
        tap "$wid" Escape ;;
    escape) tap "$dialog" Escape ;;
    close) "$close_window" "$dialog_title" ;;
    esac
    if [ "$case" != enter ]; then
        # Ended without ever showing the show's window.
        for _ in $(seq 1 300); do
            kill -0 "$pid" 2>/dev/null || break
            [ -n "$(xdotool search --name "^$show_title\$" 2>/dev/null)" ] && { fail "the show's window opened"; return 1; }
            sleep 0.1
        done
    fi
    expect_exit || return 1
    echo "ok: dialog $case"
}

# hex FILE SKIP COUNT: COUNT bytes of FILE from SKIP on, as one line of hex.
hex() { od -An -v -tx1 -j "$2" -N "$3" "$1" | tr -d ' \n'; }

jump_case() {
    case=jump
    local wid
    # Words for the laser and the scroller, so that they have nothing to say.
    printf 'JUMP\n' >"$dir/laser.txt"
    printf ' JUMP AROUND\n' >"$dir/scroller.txt"
    # The sound a 60 fps capture has at 100 s: what a jump there plays first.
    (cd "$dir" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$lumivane" \
        --capture ref --size 16x16 --from 100 --to 100.1 2>>"$dir/stderr") || { fail "no reference capture"; return 1; }
    SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$dir/sound.raw" start --window --size 640x360 --from 100
    wid=$(find_window "$show_title") || { fail "no window appeared"; return 1; }
    local heard=""
    for _ in $(seq 1 300); do
        # 2 KiB of the reference's sound, 0.05 s in, somewhere in what was heard.
        if [ -s "$dir/sound.raw" ] && hex "$dir/sound.raw" 0 100000000 | grep -q "$(hex "$dir/ref/audio.wav" 8864 2048)"; then
            heard=yes
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    [ -n "$heard" ] || { fail "the music did not play from 100 s"; return 1; }
    for key in Next Next Prior Home; do
        tap "$wid" "$key"
        sleep 1
        kill -0 "$pid" 2>/dev/null || { fail "ended after $key"; return 1; }
    done
    tap "$wid" Escape
    expect_exit || return 1
    if grep -q "^lumivane:" "$dir/stderr"; then fail "complaints on stderr"; return 1; fi
    echo "ok: $case"
}

status=0
case $group in
show) for c in escape-tap close fullscreen missing-mode; do show_case "$c" || status=1; done ;;
dialog) for c in enter escape close; do dialog_case "$c" || status=1; done ;;
jump) jump_case || status=1 ;;
*) echo "usage: window_test.sh LUMIVANE CLOSE_WINDOW show|dialog|jump" >&2; exit 2 ;;
esac
exit $status
