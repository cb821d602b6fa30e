#!/usr/bin/env bash
# Makes the user guide's pictures (docs/pictures/*.png) from the program itself: the
# simulated service plays its default scenario, and Veltrix runs on a private X server
# with a private session bus and a notification daemon, so the pictures show what a
# user sees. Nothing of the user's own desktop, settings or running programs is used.
#
#   scripts/guide-pictures.sh [output-folder]     (default: docs/pictures)
#
# LANGUAGE=de before the command makes the German pictures.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --guide
cmake --preset release >/dev/null
cmake --build --preset release --target servicesim veltrix-guide-pictures

build=build/release
out=$(realpath -m "${1:-docs/pictures}")
mkdir -p "$out"
work=$(mktemp -d /tmp/veltrix-guide-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Private runtime, settings and pipe folders: the program finds no other instance, no
# settings of the user's, and the service nowhere but here.
export XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" HOME="$work/home"
export VELTRIX_PIPE_DIR="$work/pipe"
mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/KavotronikVeltrix" "$HOME" "$VELTRIX_PIPE_DIR"
# Connects at once with the scenario's password; event popups off, so no message box
# covers a window while its picture is taken.
printf '[SettingsGUI]\nDPPW=kavo\nServerHostname=.\nAutoconnect=1\nPopupAktiv=0\n' \
    >"$XDG_CONFIG_HOME/KavotronikVeltrix/Veltrix.conf"

Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 1920x1080x24 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"

dbus-daemon --session --nofork --print-address=3 3>"$work/bus" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/bus" ] && break; sleep 0.1; done
export DBUS_SESSION_BUS_ADDRESS="$(head -n 1 "$work/bus")"

printf '[global]\n    font = DejaVu Sans 10\n    width = 360\n    offset = 16x16\n    frame_width = 1\n    show_indicators = no\n' \
    >"$work/dunstrc"
dunst -config "$work/dunstrc" >/dev/null 2>&1 &
pids+=($!)

"$build/tools/servicesim/servicesim" --scenario tools/servicesim/scenarios/default.json \
    --pipe-dir "$VELTRIX_PIPE_DIR" >"$work/servicesim.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do grep -q listening "$work/servicesim.log" 2>/dev/null && break; sleep 0.1; done

QT_QPA_PLATFORM=xcb "$build/tools/snapshot/veltrix-guide-pictures" "$out"
