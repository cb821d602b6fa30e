#!/usr/bin/env bash
# Installs what is missing, checks the formatting, then builds and runs the whole
# test suite twice: a plain debug build and one with AddressSanitizer + UBSan. Between
# them the debug build without the desktop programs (nogui): that the Qt Core parts
# (veltrix-status, the simulated service) build, link and pass without Qt Widgets. Last
# the ThreadSanitizer build of the layers with threads below the GUI and their tests
# (tsan; tests/tsan.supp leaves out only Qt's own frames; the hostile flash runs, whose
# replies have a bound of 100 ms, are left to the other builds: under
# the sanitizer's slowdown they meet their bounds). The debug build's compile
# database also serves the check of the naming and function-size rules.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/format.sh --check

for preset in dev nogui asan tsan; do
    echo "=== ${preset}: configure and build"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    if [ "$preset" = dev ]; then
        echo "=== dev: naming and function-size rules"
        scripts/check-naming.sh build/dev
    fi
    echo "=== ${preset}: test"
    QT_QPA_PLATFORM=offscreen ctest --preset "$preset"
done
