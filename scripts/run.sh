#!/usr/bin/env bash
# Builds the programs and shows the client side against the simulated service:
# starts the service with its default scenario on a private pipe directory, connects,
# logs in and prints what the service reports, then stops the service.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target servicesim pipecheck

pipe_dir=$(mktemp -d /tmp/veltrix-run-XXXXXX)
export VELTRIX_PIPE_DIR="$pipe_dir"
log="$pipe_dir/servicesim.log"
build/release/tools/servicesim/servicesim --pipe-dir "$pipe_dir" >"$log" 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$pipe_dir"' EXIT

# The service prints one line when it listens.
for _ in $(seq 100); do
    grep -q "listening" "$log" 2>/dev/null && break
    kill -0 $sim 2>/dev/null || { cat "$log"; exit 1; }
    sleep 0.1
done
head -n 1 "$log"

build/release/tools/pipecheck/pipecheck --host . --password kavo
