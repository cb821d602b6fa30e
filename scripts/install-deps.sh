#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, test and run.
# Only packages that are missing are installed; run as root.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang-format clang-tidy
    qt6-base-dev libgl-dev qt6-translations-l10n
    # lupdate and lrelease, and their CMake functions: the Qt Linguist files in translations/
    qt6-l10n-tools qt6-tools-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    nlohmann-json3-dev
    libglib2.0-dev libsystemd-dev
    xvfb xauth libxcb1-dev
    prometheus python3-jsonschema systemd
    # the Debian package: manual pages, icons, dependencies, and its checks
    help2man librsvg2-bin gzip file dpkg-dev lintian desktop-file-utils appstream
    dbus python3-dbusmock
)

# --pictures: also what tools/pictures/draw_pictures.py needs to redraw the program's
# pictures (the build never runs it).
if [ "${1:-}" = "--pictures" ]; then
    packages+=(python3-pyqt6 fonts-dejavu-core)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}" >&2
    echo "install-deps: run as root (or install them yourself)" >&2
    exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
