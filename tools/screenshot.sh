#!/bin/sh
# Takes the screenshots in docs/: zelo-calc on a virtual X display, walked
# through the workflow with xdotool like a user would.
#   tools/screenshot.sh [path/to/zelo-calc]
# Needs: xvfb, xdotool, imagemagick (import).
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)
calc=${1:-build/zelo-calc}
log="$root/samples/sample.log"
out="$root/docs"
[ -x "$calc" ] || { echo "no zelo-calc at $calc (build it first)" >&2; exit 1; }
mkdir -p "$out"

# A free display number.
display=99
while [ -e "/tmp/.X11-unix/X$display" ] || [ -e "/tmp/.X$display-lock" ]; do
  display=$((display + 1))
done
export DISPLAY=":$display"

xvfb_pid=""
calc_pid=""
scratch=$(mktemp -d)
cleanup() {
  [ -n "$calc_pid" ] && kill "$calc_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT INT TERM

# The pictures show the fonts that tools/deps installs (DejaVu), whatever
# else this machine has, so they look as on a fresh installation.
dejavu=/usr/share/fonts/truetype/dejavu
if [ -d "$dejavu" ]; then
  cat >"$scratch/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig>
  <dir>$dejavu</dir>
  <cachedir>$scratch/cache</cachedir>
  <include ignore_missing="yes">/etc/fonts/conf.d</include>
</fontconfig>
EOF
  export FONTCONFIG_FILE="$scratch/fonts.conf"
fi

Xvfb "$DISPLAY" -screen 0 1280x900x24 -dpi 96 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
ready=""
for _ in $(seq 200); do
  if xdotool getmouselocation >/dev/null 2>&1; then ready=1; break; fi
  sleep 0.1
done
[ -n "$ready" ] || { echo "the virtual display $DISPLAY did not start" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$calc" &
calc_pid=$!
window=""
for _ in $(seq 100); do
  window=$(xdotool search --name '^ZELO Razezuz Score Calculator$' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "zelo-calc did not show its window" >&2; exit 1; }
sleep 1

# The client area is 767 x 596 pixels below the menu bar; controls are
# placed from its top left corner.
eval "$(xdotool getwindowgeometry --shell "$window")"
win_x=$X
win_y=$Y
menu_height=$((HEIGHT - 596))

click() {  # x y, in client-area pixels
  xdotool mousemove --sync $((win_x + $1)) $((win_y + menu_height + $2)) click 1
  sleep 0.5
}
shot() {
  xdotool mousemove 1270 890  # keep the pointer out of the picture
  sleep 0.5
  import -window "$window" "$out/$1"
  echo "wrote docs/$1"
}

shot start.png

click 404 48  # the start button
# File/Open through the menu: open File, choose Open by its access key.
xdotool mousemove --sync $((win_x + 18)) $((win_y + menu_height / 2)) click 1
sleep 0.5
xdotool key o
sleep 1.5
# The Open dialog's file name field has the focus.
xdotool type --delay 20 "$log"
xdotool key Return
sleep 2
xdotool windowactivate --sync "$window" 2>/dev/null || true
shot report.png

# Check: the findings of the log check, in a window of their own. The menu
# bar's last entry, opened by its access key.
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool windowfocus --sync "$window" 2>/dev/null || true
xdotool key --window "$window" alt+c
check_window=""
for _ in $(seq 50); do
  check_window=$(xdotool search --name '^Log check' 2>/dev/null | head -n 1 || true)
  [ -n "$check_window" ] && break
  sleep 0.1
done
[ -n "$check_window" ] || { echo "the Log check window did not show" >&2; exit 1; }
sleep 1
# The findings have the keyboard: down to the sixth, an error, whose log
# lines show under the table.
for _ in 1 2 3 4 5 6; do xdotool key --window "$check_window" Down; sleep 0.1; done
sleep 0.5
xdotool mousemove 1270 890
sleep 0.5
import -window "$check_window" "$out/check.png"
echo "wrote docs/check.png"
xdotool windowclose "$check_window" 2>/dev/null || xdotool key Escape
sleep 0.5
xdotool windowactivate --sync "$window" 2>/dev/null || true

click 356 568  # 20M
shot band-view.png

click 632 568  # Summary: back to the report

# Enlarged, the window gives the room to the list.
xdotool windowsize --sync "$window" 1040 760 2>/dev/null || xdotool windowsize "$window" 1040 760
sleep 1
shot report-large.png
