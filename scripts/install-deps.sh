#!/usr/bin/env bash
# Installs every Debian 12 package the project needs to build, test and run; with
# --package only what building its Debian packages needs.
# Only packages that are missing are installed; run as root.
set -euo pipefail

# What building the Debian packages needs (scripts/package.sh): compiler, CMake, Qt,
# the libraries, and help2man, rsvg-convert, gzip, file and dpkg-shlibdeps for CPack.
build_packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libgl-dev
    # lrelease builds the translations in; lupdate and the CMake functions with it
    qt6-l10n-tools qt6-tools-dev
    nlohmann-json3-dev
    libglib2.0-dev libsystemd-dev
    help2man librsvg2-bin gzip file dpkg-dev
    # the service password in the desktop's keyring
    qtkeychain-qt6-dev
)
# Beside that, what the development, the tests and their checks need.
test_packages=(
    clang-format clang-tidy qt6-translations-l10n
    libgtest-dev libgmock-dev libbenchmark-dev
    # a keyring for the keyring tests (libsecret is what the keychain library talks to it with)
    libsecret-1-0 gnome-keyring
    xvfb xauth libxcb1-dev
    prometheus python3-jsonschema systemd
    # the package's checks
    lintian desktop-file-utils appstream
    dbus python3-dbusmock
    # the screen-reader run: the accessibility bus and a client of it
    at-spi2-core python3-pyatspi
)

# --package: only what building the packages needs.
# --pictures: also what tools/pictures/draw_pictures.py needs to redraw the program's
# pictures (the build never runs it).
# --guide: also the notification daemon scripts/guide-pictures.sh shows the program's
# notification with.
case "${1:-}" in
--package) packages=("${build_packages[@]}") ;;
--pictures) packages=("${build_packages[@]}" "${test_packages[@]}" python3-pyqt6 fonts-dejavu-core) ;;
--guide) packages=("${build_packages[@]}" "${test_packages[@]}" dunst) ;;
"") packages=("${build_packages[@]}" "${test_packages[@]}") ;;
*)
    echo "install-deps: unknown option \"$1\" (--package, --pictures or --guide)" >&2
    exit 2
    ;;
esac

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
