#!/usr/bin/env bash
# A walk through the demonstration menu as a person would take it, with X events
# injected by xdotool: hover and press Ask, answer the confirm dialog with Enter, open
# the guest card, type a name and paste another over it, drag the volume slider, pick a
# toggle and a radio button, close the card with Enter and quit from the menu.
#
# Run it on an X display (the process test runs it under xvfb-run). Environment:
#   VELMORA   the game executable
#   XPEEK     tools/xpeek of the same build
#   PATIENCE  seconds that each step may take to show (default 120); the waits only bound
#             a failing run, so they are generous for slow, busy machines
#   SHOTS     optional: a folder for a screenshot after each step (ImageMagick's import)
# Exit code: 0 when every step showed on the screen and the game ended with exit code 0;
# 10 + the step whose result never showed; 100 + the game's exit code when it ended
# otherwise (200 when it did not end in time).

set -u
PATIENCE=${PATIENCE:-120}
SHOTS=${SHOTS:-}
step=0
game=

fail()
{
    echo "menu walkthrough: step $step: $*" >&2
    [ -n "$game" ] && kill "$game" 2> /dev/null
    exit $((10 + step))
}

# The colour of a pixel (rrggbb), or the fingerprint of a rectangle, of the window.
peek() { "$XPEEK" "$window" "$@"; }

# Waits until the rectangle (X Y W H) looks different from the fingerprint given.
wait_change()
{
    local end=$((SECONDS + PATIENCE))
    while [ "$(peek "$1" "$2" "$3" "$4")" = "$5" ]; do
        [ $SECONDS -lt $end ] || fail "no change at $1,$2 ${3}x$4"
        sleep 0.1
    done
}

# Waits until the rectangle (X Y W H) looks as the fingerprint given.
wait_same()
{
    local end=$((SECONDS + PATIENCE))
    while [ "$(peek "$1" "$2" "$3" "$4")" != "$5" ]; do
        [ $SECONDS -lt $end ] || fail "$1,$2 ${3}x$4 never went back"
        sleep 0.1
    done
}

# Waits until two rectangles (X Y W H each) look alike.
wait_alike()
{
    local end=$((SECONDS + PATIENCE))
    while [ "$(peek "$1" "$2" "$3" "$4")" != "$(peek "$5" "$6" "$7" "$8")" ]; do
        [ $SECONDS -lt $end ] || fail "$1,$2 and $5,$6 ${3}x$4 never looked alike"
        sleep 0.1
    done
}

# Runs the command after the rectangle (X Y W H), then waits until the rectangle shows
# something that none of its looks of the second before showed: for a rectangle with a
# blinking caret in it.
run_until_new()
{
    local rect=("$1" "$2" "$3" "$4") seen=" " i now
    shift 4
    for i in 1 2 3 4 5 6 7 8 9 10; do
        seen="$seen$(peek "${rect[@]}") "
        sleep 0.1
    done
    "$@"
    local end=$((SECONDS + PATIENCE))
    while now=$(peek "${rect[@]}") && [[ "$seen" == *" $now "* ]]; do
        [ $SECONDS -lt $end ] || fail "nothing new at ${rect[*]}"
        sleep 0.1
    done
}

shot()
{
    [ -n "$SHOTS" ] || return 0
    sleep 0.3 # the frame after the change that was waited for
    import -window "$window" "$SHOTS/$(printf %02d "$step")-$1.png"
}

# Places in the menu (800 x 600) and its dialogs.
title=(100 76 600 56)         # the menu's title line
hello=(300 200 30 16)         # the left part of the Hello button's face, clear of its label
ask=(300 270 30 16)           # the same part of the Ask button
panel=(186 206 30 30)         # inside the confirm panel's corner; plain menu background
card=(126 76 30 30)           # the same for the guest card's panel
field=(304 154 292 32)        # the name field
dragged=(460 218 16 24)       # where the dragged volume knob comes to rest
status=(160 428 480 30)       # the guest card's status line

"$VELMORA" --multiple &
game=$!

step=1 # the menu shows
window=$(timeout "$PATIENCE" xdotool search --sync --onlyvisible --name '^Velmora Spa$' | head -n 1)
[ -n "$window" ] || fail "no window named Velmora Spa"
end=$((SECONDS + PATIENCE))
while [ "$(peek 400 20)" = 000000 ]; do
    [ $SECONDS -lt $end ] || fail "the menu was never drawn"
    sleep 0.1
done
xdotool windowfocus "$window"
menuTitle=$(peek "${title[@]}")
menuPanel=$(peek "${panel[@]}")
menuCard=$(peek "${card[@]}")
shot menu

step=2 # the pointer over Ask lights it up
xdotool mousemove --window "$window" 20 20
wait_alike "${ask[@]}" "${hello[@]}" # both at rest
before=$(peek "${ask[@]}")
xdotool mousemove --window "$window" 400 278
wait_change "${ask[@]}" "$before"
shot hover

step=3 # pressed, it sinks
before=$(peek "${ask[@]}")
xdotool mousedown 1
wait_change "${ask[@]}" "$before"
shot pressed

step=4 # released, it opens the confirm dialog
xdotool mouseup 1
wait_change "${panel[@]}" "$menuPanel"
shot confirm

step=5 # Enter answers yes: the dialog goes and the title tells the answer
xdotool key Return
wait_same "${panel[@]}" "$menuPanel"
wait_change "${title[@]}" "$menuTitle"
shot answered

step=6 # Guest card opens the second dialog, with the name field focused
answeredTitle=$(peek "${title[@]}")
xdotool mousemove --window "$window" 400 348 click 1
wait_change "${card[@]}" "$menuCard"
shot guestcard

step=7 # a click in the field and a typed name; the status line greets it
before=$(peek "${status[@]}")
xdotool mousemove --window "$window" 450 170 click 1 type --delay 60 'Mia'
wait_change "${status[@]}" "$before"
shot typed

step=8 # a pasted name replaces it, its tab dropped
printf 'Sana\tYumi' | xclip -selection clipboard -i
run_until_new "${field[@]}" xdotool key ctrl+v
shot pasted

step=9 # the volume knob dragged to the right
before=$(peek "${dragged[@]}")
xdotool mousemove --window "$window" 314 230 mousedown 1 \
    mousemove --window "$window" 360 232 mousemove --window "$window" 420 232 \
    mousemove --window "$window" 470 232
wait_change "${dragged[@]}" "$before"
shot dragging

step=10 # released, the status line says so
before=$(peek "${status[@]}")
xdotool mouseup 1
wait_change "${status[@]}" "$before"
shot released

step=11 # soft music on
before=$(peek "${status[@]}")
xdotool mousemove --window "$window" 176 286 click 1
wait_change "${status[@]}" "$before"
shot music

step=12 # another scent
before=$(peek "${status[@]}")
xdotool mousemove --window "$window" 316 368 click 1
wait_change "${status[@]}" "$before"
shot scent

step=13 # Enter presses OK: the card goes and the title shows what was entered
xdotool key Return
wait_same "${card[@]}" "$menuCard"
wait_change "${title[@]}" "$answeredTitle"
shot welcome

step=14 # Quit ends the program with exit code 0
xdotool mousemove --window "$window" 400 420
sleep 0.2
shot quit
xdotool click 1
end=$((SECONDS + PATIENCE))
while kill -0 "$game" 2> /dev/null; do
    [ $SECONDS -lt $end ] || { kill "$game"; exit 200; }
    sleep 0.1
done
wait "$game"
code=$?
[ $code -eq 0 ] || exit $((100 + code))
exit 0
