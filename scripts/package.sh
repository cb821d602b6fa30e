#!/usr/bin/env bash
# Builds the Debian package of the shipped programs: an optimised, hardened build
# without tests or benchmarks (preset "package"), then CPack. Prints the package's
# path; install it with "apt install ./build/package/veltrix_*.deb".
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset package >/dev/null
cmake --build --preset package
rm -f build/package/veltrix_*.deb
cpack --preset package
ls build/package/veltrix_*.deb
