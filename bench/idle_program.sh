#!/usr/bin/env bash
# What the Veltrix program costs while nothing happens: logged in to a quiet simulated
# service (bench/scenarios/idle.json: two controllers, no events, rebuild, error log or
# mail failures) and polling every 5 s, measured over 60 s:
#   - CPU time: utime + stime of the whole process (/proc/PID/stat), as % of one core;
#   - wake-ups: voluntary + involuntary context switches, of the main thread
#     (/proc/PID/status) and of all threads (/proc/PID/task/*/status), and per second;
#   - memory: VmRSS at the end and its peak VmHWM.
# Targets: under 0.5 % of one core, RSS under 40 MB and at most 1.17 times the RSS of a
# bare Qt Widgets dialog with one label (bench/bare_dialog) started beside it the same way
# and measured at the same moment. For reference, the same dialog with the main window's
# kinds of controls at its size (bare_dialog --skeleton, no program) is measured too.
#
# Usage: bench/idle_program.sh [BUILD_DIR [SECONDS]]
#   BUILD_DIR  a release build with the targets Veltrix and servicesim (default build/release)
#   SECONDS    length of the measurement (default 60)
#
# Everything runs on a private pipe folder with private settings (password kavo, this
# machine, auto-connect, not minimised) on the offscreen platform; Veltrix is ended
# with SIGTERM, then the service is stopped and the folder removed.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
seconds=${2:-60}
veltrix=$build/src/gui/app/Veltrix
servicesim=$build/tools/servicesim/servicesim
scenario=$root/bench/scenarios/idle.json
cpu_target=0.5  # % of one core
rss_target_kb=$((40 * 1024))
rss_ratio_target=1.17
bare_dialog=$build/bench/bare_dialog

for program in "$veltrix" "$servicesim" "$bare_dialog"; do
    if [ ! -x "$program" ]; then
        echo "idle_program: $program is missing; build the targets Veltrix, servicesim and bare_dialog" >&2
        exit 2
    fi
done

work=$(mktemp -d /tmp/veltrix-idle-XXXXXX)
sim_pid=""
app_pid=""
bare_pid=""
skeleton_pid=""
cleanup() {
    for pid in $app_pid $bare_pid $skeleton_pid $sim_pid; do
        kill -TERM "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Private settings, pipe folder and runtime folder.
mkdir -p "$work/config/KavotronikVeltrix" "$work/pipe" "$work/runtime"
chmod 700 "$work/config/KavotronikVeltrix" "$work/runtime"
cat >"$work/config/KavotronikVeltrix/Veltrix.conf" <<'EOF'
[SettingsGUI]
DPPW=kavo
ServerHostname=.
Autoconnect=1
StartMinimized=0
Popup=2
PopupAktiv=1
EOF
chmod 600 "$work/config/KavotronikVeltrix/Veltrix.conf"

# Waits up to $2 seconds for a line matching $1 in file $3.
wait_for_line() {
    local pattern=$1 timeout=$2 file=$3
    local deadline=$((SECONDS + timeout))
    until grep -q -- "$pattern" "$file" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            return 1
        fi
        sleep 0.1
    done
}

# Waits up to $2 seconds for process $1 to end; its exit status in $ended_status.
ended_status=""
wait_for_exit() {
    local pid=$1 tenths=$(($2 * 10))
    while kill -0 "$pid" 2>/dev/null; do
        if [ $tenths -le 0 ]; then
            return 1
        fi
        tenths=$((tenths - 1))
        sleep 0.1
    done
    ended_status=0
    wait "$pid" || ended_status=$?
}

"$servicesim" --scenario "$scenario" --pipe-dir "$work/pipe" --transcript \
    >"$work/service.log" 2>&1 &
sim_pid=$!
if ! wait_for_line "servicesim: listening" 10 "$work/service.log"; then
    echo "idle_program: the service did not start:" >&2
    cat "$work/service.log" >&2
    exit 1
fi

env XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" \
    VELTRIX_PIPE_DIR="$work/pipe" QT_QPA_PLATFORM=offscreen \
    "$veltrix" >"$work/veltrix.log" 2>&1 &
app_pid=$!

# Auto-connect logs in 3 s after the start; the first cycle follows 0.5 s later and
# ends with the mail status request (code 1011).
if ! wait_for_line " login " 20 "$work/service.log" ||
    ! wait_for_line "code 1011 " 10 "$work/service.log"; then
    echo "idle_program: Veltrix did not log in and poll; service, then program output:" >&2
    cat "$work/service.log" "$work/veltrix.log" >&2
    exit 1
fi
sleep 1  # past the first cycle

env XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
    "$bare_dialog" --stay >"$work/bare.log" 2>&1 &
bare_pid=$!
env XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen \
    "$bare_dialog" --stay --skeleton >"$work/skeleton.log" 2>&1 &
skeleton_pid=$!

clock_ticks=$(getconf CLK_TCK)

# utime + stime in clock ticks (fields 14 and 15). The name in field 2 may hold spaces:
# after it, field 3 (state) is entry 0, so utime and stime are entries 11 and 12.
cpu_ticks() {
    local stat fields
    stat=$(<"/proc/$app_pid/stat")
    read -r -a fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}

# Nanoseconds on a core of all threads alive now (/proc/PID/task/*/schedstat, first
# field): finer than the clock ticks of utime + stime, for a cross-check.
run_ns() {
    cat /proc/"$app_pid"/task/*/schedstat 2>/dev/null | awk '{sum += $1} END {printf "%d\n", sum}'
}

# "voluntary nonvoluntary" of one status file.
switches_of() {
    awk '/^voluntary_ctxt_switches/ {v = $2} /^nonvoluntary_ctxt_switches/ {n = $2}
         END {print v + 0, n + 0}' "$1"
}

status_kb() {
    awk -v key="$1:" '$1 == key {print $2}' "/proc/$app_pid/status"
}

# Per-thread switches: "tid name voluntary nonvoluntary" lines.
thread_switches() {
    local task
    for task in /proc/"$app_pid"/task/*; do
        local name counts
        name=$(tr ' ' '_' <"$task/comm" 2>/dev/null) || continue
        counts=$(switches_of "$task/status" 2>/dev/null) || continue
        echo "${task##*/} $name $counts"
    done
}

requests_so_far() { grep -c '^\[' "$work/service.log" || true; }
cycles_so_far() { grep -c "code 1011 " "$work/service.log" || true; }

start_ns=$(date +%s%N)
start_ticks=$(cpu_ticks)
start_run=$(run_ns)
read -r start_vol start_invol < <(switches_of "/proc/$app_pid/status")
thread_switches >"$work/threads.start"
start_requests=$(requests_so_far)
start_cycles=$(cycles_so_far)

sleep "$seconds"

if ! kill -0 "$app_pid" 2>/dev/null; then
    echo "idle_program: Veltrix ended during the measurement:" >&2
    cat "$work/veltrix.log" >&2
    exit 1
fi
end_ns=$(date +%s%N)
end_ticks=$(cpu_ticks)
end_run=$(run_ns)
read -r end_vol end_invol < <(switches_of "/proc/$app_pid/status")
thread_switches >"$work/threads.end"
end_requests=$(requests_so_far)
end_cycles=$(cycles_so_far)
rss_kb=$(status_kb VmRSS)
hwm_kb=$(status_kb VmHWM)
bare_rss_kb=$(awk '$1 == "VmRSS:" {print $2}' "/proc/$bare_pid/status")
skeleton_rss_kb=$(awk '$1 == "VmRSS:" {print $2}' "/proc/$skeleton_pid/status")
threads=$(status_kb Threads)

# End the program as the desktop would, then the service.
kill -TERM "$app_pid"
if wait_for_exit "$app_pid" 10; then
    app_exit="exit status $ended_status"
else
    app_exit="still running 10 s after SIGTERM, killed"
    kill -KILL "$app_pid" 2>/dev/null || true
    wait "$app_pid" 2>/dev/null || true
fi
app_pid=""
logged_off=no
if grep -q "code 9998 " "$work/service.log"; then
    logged_off=yes
fi
kill -TERM "$sim_pid"
wait_for_exit "$sim_pid" 10 || kill -KILL "$sim_pid" 2>/dev/null || true
sim_pid=""

# Per-thread wake-ups over the measurement (threads seen at both ends).
thread_lines=$(awk 'NR == FNR {v[$1] = $3; n[$1] = $4; next}
    ($1 in v) {printf "    %-8s %-18s %6d voluntary %6d involuntary\n", $1, $2, $3 - v[$1], $4 - n[$1];
               all += $3 - v[$1] + $4 - n[$1]}
    END {printf "%d\n", all}' "$work/threads.start" "$work/threads.end")
all_wakeups=$(tail -n 1 <<<"$thread_lines")
thread_lines=$(sed '$d' <<<"$thread_lines")

awk -v s="$start_ns" -v e="$end_ns" -v t0="$start_ticks" -v t1="$end_ticks" -v hz="$clock_ticks" \
    -v u0="$start_run" -v u1="$end_run" \
    -v v0="$start_vol" -v v1="$end_vol" -v n0="$start_invol" -v n1="$end_invol" \
    -v all="$all_wakeups" -v r0="$start_requests" -v r1="$end_requests" \
    -v c0="$start_cycles" -v c1="$end_cycles" \
    -v rss="$rss_kb" -v hwm="$hwm_kb" -v threads="$threads" \
    -v bare="$bare_rss_kb" -v skeleton="$skeleton_rss_kb" -v ratio_target="$rss_ratio_target" \
    -v cpu_target="$cpu_target" -v rss_target="$rss_target_kb" -v app_exit="$app_exit" \
    -v logged_off="$logged_off" -v thread_lines="$thread_lines" '
BEGIN {
    wall = (e - s) / 1e9
    cpu = (t1 - t0) / hz
    percent = 100 * cpu / wall
    main = (v1 - v0) + (n1 - n0)
    requests = r1 - r0
    printf "Veltrix idle, logged in to a quiet service, over %.1f s:\n", wall
    printf "  CPU time      %.2f s (utime + stime) = %.3f %% of one core (target under %.1f %%) %s\n",
           cpu, percent, cpu_target, (percent < cpu_target ? "ok" : "ABOVE TARGET")
    printf "                on a core %.3f s by schedstat = %.3f %% of one core\n",
           (u1 - u0) / 1e9, 100 * (u1 - u0) / 1e9 / wall
    printf "  wake-ups      main thread %d (%d voluntary, %d involuntary) = %.2f per second\n",
           main, v1 - v0, n1 - n0, main / wall
    printf "                all %d threads %d = %.2f per second\n", threads, all, all / wall
    print thread_lines
    printf "  memory        VmRSS %.1f MB, VmHWM %.1f MB (target RSS under %.0f MB) %s\n",
           rss / 1024, hwm / 1024, rss_target / 1024, (rss < rss_target ? "ok" : "ABOVE TARGET")
    printf "                bare Qt Widgets dialog VmRSS %.1f MB\n", bare / 1024
    printf "ratio idle RSS / bare dialog RSS = %.2f (target at most %.2f) %s\n", rss / bare,
           ratio_target, (rss / bare <= ratio_target ? "ok" : "ABOVE TARGET")
    printf "reference: window skeleton VmRSS %.1f MB; skeleton / bare dialog = %.2f, program / skeleton = %.2f\n",
           skeleton / 1024, skeleton / bare, rss / skeleton
    cycles = c1 - c0
    printf "  service       %d poll cycles, %d requests received (%.1f per cycle)\n", cycles,
           requests, (cycles > 0 ? requests / cycles : 0)
    printf "  end           SIGTERM: %s; logged off: %s\n", app_exit, logged_off
}'
