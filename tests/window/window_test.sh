#!/usr/bin/env bash
# The interactive program in a real window under Xvfb: it opens its window
# (borderless, centred, titled), quits on Escape and on the window being
# closed, and exits 0 each time.
set -u
lumivane=$1
close_window=$2
title="Lumivane - ZOPa"

run_case() {
    local action=$1
    local dir
    dir=$(mktemp -d)
    (cd "$dir" && exec "$lumivane") & local pid=$!
    local wid=""
    for _ in $(seq 1 100); do
        wid=$(xdotool search --name "$title" 2>/dev/null | head -1)
        [ -n "$wid" ] && break
        sleep 0.1
    done
    if [ -z "$wid" ]; then echo "FAIL($action): no window appeared"; kill "$pid"; return 1; fi
    local geometry
    geometry=$(xdotool getwindowgeometry "$wid")
    # A 1280x720 window on a 1920x1080 screen is centred at (320, 180).
    if ! grep -q "Position: 320,180" <<<"$geometry" || ! grep -q "Geometry: 1280x720" <<<"$geometry"; then
        echo "FAIL($action): window not centred: $geometry"; kill "$pid"; return 1
    fi
    sleep 0.3
    case $action in
        # Held until the program has gone: a key pressed and released between
        # two frames is never seen, and a loading frame can take a while.
        escape) xdotool keydown --window "$wid" Escape ;;
        close) "$close_window" "$title" ;;
    esac
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    [ "$action" = escape ] && xdotool keyup Escape 2>/dev/null
    if kill -0 "$pid" 2>/dev/null; then echo "FAIL($action): still running"; kill "$pid"; return 1; fi
    wait "$pid"
    local rc=$?
    rm -rf "$dir"
    if [ "$rc" -ne 0 ]; then echo "FAIL($action): exit code $rc"; return 1; fi
    echo "ok: $action"
}

status=0
run_case escape || status=1
run_case close || status=1
exit $status
