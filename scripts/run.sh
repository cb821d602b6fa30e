#!/usr/bin/env bash
# Builds the programs and runs Veltrix against the simulated service: the service
# plays its default scenario on a private pipe directory, Veltrix starts with private
# settings (the scenario's password, this machine, auto-connect) and connects 3 s
# after it starts. When Veltrix ends, the service is stopped and everything removed.
#
# Without a display (neither DISPLAY nor WAYLAND_DISPLAY set) the same start-up runs
# offscreen for 25 s and a picture of the main window is saved instead; its path is
# printed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target servicesim Veltrix veltrix-snapshot

build=build/release
offscreen_seconds=25
work=$(mktemp -d /tmp/veltrix-run-XXXXXX)
sim=""
cleanup() {
    if [ -n "$sim" ]; then
        kill "$sim" 2>/dev/null || true
        wait "$sim" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

export VELTRIX_PIPE_DIR="$work/pipe"
export XDG_CONFIG_HOME="$work/config"
# The desktop's session bus stays the one found through the user's own runtime folder.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && [ -S "${XDG_RUNTIME_DIR:-/nonexistent}/bus" ]; then
    export DBUS_SESSION_BUS_ADDRESS="unix:path=$XDG_RUNTIME_DIR/bus"
fi
# A runtime folder of its own: the one-instance socket there is this run's, so the
# demonstration starts also where an installed Veltrix already runs.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/KavotronikVeltrix/Veltrix.conf"
mkdir -p -m 700 "$VELTRIX_PIPE_DIR" "$(dirname "$settings")"
(
    umask 077
    printf '[SettingsGUI]\nDPPW=kavo\nServerHostname=.\nAutoconnect=1\n' >"$settings"
)

log="$work/servicesim.log"
"$build/tools/servicesim/servicesim" --scenario tools/servicesim/scenarios/default.json \
    --pipe-dir "$VELTRIX_PIPE_DIR" >"$log" 2>&1 &
sim=$!
# The service prints one line when it listens; wait for all of it.
for _ in $(seq 100); do
    grep -q "listening" "$log" 2>/dev/null && [ "$(wc -l <"$log")" -ge 1 ] && break
    kill -0 "$sim" 2>/dev/null || { cat "$log"; exit 1; }
    sleep 0.1
done
head -n 1 "$log"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    shot="$PWD/$build/veltrix-main-window.png"
    echo "run: no display (neither DISPLAY nor WAYLAND_DISPLAY is set)."
    echo "run: running Veltrix offscreen for ${offscreen_seconds} s, then saving its main window."
    QT_QPA_PLATFORM=offscreen "$build/tools/snapshot/veltrix-snapshot" "$shot" \
        "$offscreen_seconds"
    echo "run: picture of the main window: $shot"
else
    echo "run: starting Veltrix; it connects to the simulated service after 3 s."
    echo "run: quit it with File > Exit (or its close button) to stop the service."
    "$build/src/gui/app/Veltrix"
fi
