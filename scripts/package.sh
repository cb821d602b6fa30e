#!/usr/bin/env bash
# Builds the Debian packages of the shipped programs: an optimised, hardened build of
# only what ships, without tests, benchmarks or development tools (preset "package"),
# on the Debian packages that building needs (install-deps.sh --package), then CPack,
# one package per install component: veltrix (the desktop programs), veltrix-status,
# veltrix-servicesim. Prints their paths; install them with
# "apt install ./build/package/veltrix*_*.deb" (a server needs only
# ./build/package/veltrix-status_*.deb).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --package
cmake --preset package >/dev/null
cmake --build --preset package
rm -f build/package/veltrix*_*.deb
cpack --preset package
ls build/package/veltrix*_*.deb
