#!/usr/bin/env bash
# veltrix-status over many hosts at once: COUNT simulated services (default 50), one
# process each, on TCP (tools/servicesim/scenarios/healthy.json), and one more that never
# answers the login (silent.json). Wall-clock times of whole runs, process start to
# exit, medians of REPEAT runs (default 5), all measured in the same run:
#   - every single host alone, the slowest of them;
#   - all COUNT hosts in one run: at most 1.5 times the slowest single host;
#   - COUNT hosts with the silent one in place of the first, --timeout TIMEOUT (default
#     2 s): at most the time-out plus 10 %.
#
# Usage: bench/status_hosts.sh [BUILD_DIR [COUNT [REPEAT [TIMEOUT]]]]
#   BUILD_DIR  a release build with the targets veltrix-status and servicesim
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
count=${2:-50}
repeat=${3:-5}
timeout=${4:-2}
status=$build/src/status/veltrix-status
servicesim=$build/tools/servicesim/servicesim
scenarios=$root/tools/servicesim/scenarios

for program in "$status" "$servicesim"; do
    if [ ! -x "$program" ]; then
        echo "status_hosts: $program is missing; build the targets veltrix-status and servicesim" >&2
        exit 2
    fi
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export VELTRIX_PASSWORD=kavo XDG_CONFIG_HOME=$work/config

# Services 0..COUNT-1 healthy, service COUNT silent; each prints its port once listening.
for i in $(seq 0 "$count"); do
    scenario=healthy
    [ "$i" -eq "$count" ] && scenario=silent
    "$servicesim" --scenario "$scenarios/$scenario.json" --pipe-dir "$work/pipe$i" \
        --no-local --tcp=0 >"$work/sim$i.out" 2>&1 </dev/null &
    pids+=($!)
done
hosts=()
for i in $(seq 0 "$count"); do
    for _ in $(seq 200); do
        grep -q 'listening on' "$work/sim$i.out" && break
        sleep 0.05
    done
    port=$(sed -n 's/.*tcp 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim$i.out")
    [ -n "$port" ] || { cat "$work/sim$i.out"; echo "status_hosts: service $i did not start" >&2; exit 1; }
    hosts+=("127.0.0.1:$port")
done

# Milliseconds of one run with these arguments.
run_ms() {
    local start end
    start=$(date +%s%N)
    "$status" --format prometheus "$@" >/dev/null 2>&1 || true
    end=$(date +%s%N)
    echo $(((end - start) / 1000000))
}
median_ms() {
    local times=()
    for _ in $(seq "$repeat"); do times+=("$(run_ms "$@")"); done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((repeat + 1) / 2))p"
}

slowest=0
slowest_host=
for i in $(seq 0 $((count - 1))); do
    ms=$(median_ms --host "${hosts[$i]}")
    if [ "$ms" -gt "$slowest" ]; then slowest=$ms slowest_host=${hosts[$i]}; fi
done
all_args=()
for i in $(seq 0 $((count - 1))); do all_args+=(--host "${hosts[$i]}"); done
all=$(median_ms "${all_args[@]}")
silent_args=(--timeout "$timeout" --host "${hosts[$count]}")
for i in $(seq 1 $((count - 1))); do silent_args+=(--host "${hosts[$i]}"); done
silent=$(median_ms "${silent_args[@]}")
timeout_ms=$(awk -v t="$timeout" 'BEGIN { printf "%d", t * 1000 }')

echo "slowest single host: $slowest ms ($slowest_host), medians of $repeat runs"
echo "all $count hosts: $all ms"
echo "$count hosts, one silent, --timeout $timeout: $silent ms"
awk -v a="$all" -v s="$slowest" 'BEGIN { printf "ratio all %d hosts / slowest single host = %.2f (target at most 1.5)\n", '"$count"', a / s }'
awk -v a="$silent" -v t="$timeout_ms" 'BEGIN { printf "ratio with one silent host / its time-out = %.2f (target at most 1.1)\n", a / t }'
