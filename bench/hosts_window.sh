#!/usr/bin/env bash
# The Veltrix window watching many hosts: COUNT simulated services (default 50), one
# process each, on TCP (tools/servicesim/scenarios/healthy.json), and all of these in
# the same run:
#   1. idle CPU of Veltrix with COUNT hosts logged in and polling, over SECONDS (default
#      60), utime + stime from /proc/PID/stat: at most 2 % of one core;
#   2. its VmRSS at the end of that time against a one-host Veltrix (its own service)
#      measured at the same moment: at most the one-host RSS + 0.3 MB per host;
#   3. one host's poll cycle while COUNT - 1 others poll, against its raw exchanges
#      (poll_cycle_bench --other_hosts): at most 1.10; for reference, the same
#      benchmark without further hosts;
#   4. start to window shown with COUNT hosts configured against one host
#      (startup_bench --hosts): at most 1.05;
#   5. the poll period of every other host, at the services' side (the time stamps of
#      the transcript's GET_MAIL_STATUS, the last request of a cycle), with a silent
#      host among them (silent.json: the login is never answered) and after a service
#      logged in to is killed with SIGKILL, against the period with all healthy: the
#      largest shift of a host's median period at most 50 ms;
#   6. SIGTERM to the last service receiving its LOGOFF: at most 2 s for all hosts.
# Every line a service prints is stamped with the wall-clock time as it arrives.
#
# Usage: bench/hosts_window.sh [BUILD_DIR [COUNT [SECONDS]]]
#   BUILD_DIR  a release build with the targets Veltrix, servicesim, startup_bench and
#              poll_cycle_bench (default build/release)
set -euo pipefail
export LC_ALL=C

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/release}
count=${2:-50}
seconds=${3:-60}
part_seconds=$((seconds / 2))
veltrix=$build/src/gui/app/Veltrix
servicesim=$build/tools/servicesim/servicesim
scenarios=$root/tools/servicesim/scenarios
cpu_target=2           # % of one core
rss_per_host_mb=0.3    # on top of the one-host program's
shift_target_ms=50
logoff_target_ms=2000

for program in "$veltrix" "$servicesim" "$build/bench/startup_bench" \
    "$build/bench/poll_cycle_bench"; do
    if [ ! -x "$program" ]; then
        echo "hosts_window: $program is missing; build Veltrix, servicesim, startup_bench and poll_cycle_bench" >&2
        exit 2
    fi
done

work=$(mktemp -d /tmp/veltrix-hosts-XXXXXX)
sim_pids=()
app_pids=()
cleanup() {
    for pid in "${app_pids[@]}" "${sim_pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Copies its input, each line preceded by the wall-clock time it arrived at (seconds,
# as $EPOCHREALTIME gives them).
stamp() {
    perl -MTime::HiRes=time -ne 'BEGIN { $| = 1 } printf "%.6f %s", time, $_'
}

# Services 0..COUNT-1 for the many-host program, COUNT for the one-host program,
# COUNT+1 the silent one.
silent=$((count + 1))
for i in $(seq 0 "$silent"); do
    scenario=healthy
    [ "$i" -eq "$silent" ] && scenario=silent
    "$servicesim" --scenario "$scenarios/$scenario.json" --pipe-dir "$work/pipe$i" --no-local \
        --tcp=0 --transcript > >(stamp >"$work/sim$i.out") 2>&1 </dev/null &
    sim_pids+=($!)
done
ports=()
for i in $(seq 0 "$silent"); do
    for _ in $(seq 200); do
        grep -q 'listening on' "$work/sim$i.out" 2>/dev/null && break
        sleep 0.05
    done
    port=$(sed -n 's/.*tcp 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/sim$i.out")
    [ -n "$port" ] || { cat "$work/sim$i.out"; echo "hosts_window: service $i did not start" >&2; exit 1; }
    ports+=("$port")
done

# Writes the settings of a run named $1 with the services $2...: the first one is
# [SettingsGUI]'s host, the others are further hosts; all connect by themselves.
write_settings() {
    local dir=$work/$1/config/KavotronikVeltrix
    shift
    mkdir -p "$dir"
    {
        printf '[SettingsGUI]\nDPPW=kavo\nServerHostname=127.0.0.1:%s\nAutoconnect=1\n' "${ports[$1]}"
        printf 'StartMinimized=0\nPopup=2\nPopupAktiv=1\n'
        shift
        printf '[Hosts]\nsize=%d\n' $#
        local n=1 service
        for service in "$@"; do
            printf '%d\\Name=host %d\n%d\\Address=127.0.0.1:%s\n' $n $((n + 1)) $n "${ports[$service]}"
            printf '%d\\Autoconnect=1\n%d\\Password=kavo\n' $n $n
            n=$((n + 1))
        done
    } >"$dir/Veltrix.conf"
    chmod 600 "$dir/Veltrix.conf"
}

# Starts Veltrix with the settings of run $1; its pid in $started.
started=""
start_veltrix() {
    local runtime=$work/$1/runtime
    mkdir -p "$runtime" "$work/$1/pipe"
    chmod 700 "$runtime"
    env XDG_CONFIG_HOME="$work/$1/config" XDG_RUNTIME_DIR="$runtime" \
        VELTRIX_PIPE_DIR="$work/$1/pipe" QT_QPA_PLATFORM=offscreen \
        "$veltrix" >"$work/$1/veltrix.log" 2>&1 &
    started=$!
    app_pids+=("$started")
}

# True when file $3 has a line with $2 stamped at or after $1.
seen_since() {
    awk -v from="$1" -v text="$2" '$1 + 0 >= from + 0 && index($0, text) {found = 1; exit}
        END {exit !found}' "$3"
}

# Waits up to $3 seconds until every service $4... received $2 since $1.
wait_all() {
    local from=$1 text=$2 deadline=$((SECONDS + $3)) i
    shift 3
    for i in "$@"; do
        until seen_since "$from" "$text" "$work/sim$i.out"; do
            [ $SECONDS -lt $deadline ] || { echo "hosts_window: service $i did not see \"$text\"" >&2; return 1; }
            sleep 0.2
        done
    done
}

# "service median_ms intervals" of the services $3..., from the service's own time
# stamps of their cycles' GET_MAIL_STATUS (code 1011) that arrived between $1 and $2.
median_periods() {
    local from=$1 to=$2 i
    shift 2
    for i in "$@"; do
        awk -v from="$from" -v to="$to" -v s="$i" '$1 + 0 >= from + 0 && $1 + 0 <= to + 0 && / code 1011 / {
            t = substr($2, 2) + 0; if (n++) print s, t - last; last = t }' "$work/sim$i.out"
    done | sort -k1,1n -k2,2n | awk '{v[$1, ++n[$1]] = $2}
        END {for (s in n) {m = n[s]; h = int((m + 1) / 2)
             print s, (m % 2 ? v[s, h] : (v[s, h] + v[s, h + 1]) / 2), m}}' | sort -n
}

# The largest |median shift| of the services in both lists of median_periods ($1, $2).
largest_shift() {
    awk 'BEGIN {worst = -1} NR == FNR {base[$1] = $2; next} ($1 in base) {d = $2 - base[$1]; if (d < 0) d = -d
         if (d > worst) {worst = d; who = $1}; n++}
         END {printf "%.1f ms (service %s, %d hosts compared)\n", worst, who, n}' "$1" "$2"
}

cpu_ticks() {
    local stat fields
    stat=$(<"/proc/$1/stat")
    read -r -a fields <<<"${stat##*) }"
    echo $((fields[11] + fields[12]))
}
rss_kb() { awk '$1 == "VmRSS:" {print $2}' "/proc/$1/status"; }

# Waits up to $2 tenths of a second for process $1 to end.
wait_for_exit() {
    local tenths=$2
    while kill -0 "$1" 2>/dev/null; do
        [ "$tenths" -gt 0 ] || return 1
        tenths=$((tenths - 1))
        sleep 0.1
    done
    wait "$1" 2>/dev/null || true
}

many=($(seq 0 $((count - 1))))

# --- 1, 2 and the period with all hosts healthy -------------------------------------
write_settings many "${many[@]}"
write_settings one "$count"
from=$EPOCHREALTIME
start_veltrix many
many_pid=$started
start_veltrix one
one_pid=$started
wait_all "$from" " code 1011 " 60 "${many[@]}" "$count"
sleep 1
begin=$EPOCHREALTIME
ticks0=$(cpu_ticks "$many_pid")
sleep "$seconds"
ticks1=$(cpu_ticks "$many_pid")
end=$EPOCHREALTIME
cpu_wall=$(awk -v b="$begin" -v e="$end" 'BEGIN {print e - b}')
rss_many=$(rss_kb "$many_pid")
rss_one=$(rss_kb "$one_pid")
threads=$(awk '$1 == "Threads:" {print $2}' "/proc/$many_pid/status")
median_periods "$begin" "$end" "${many[@]}" >"$work/periods.healthy"
kill -TERM "$one_pid"
wait_for_exit "$one_pid" 100 || kill -KILL "$one_pid" 2>/dev/null || true

# --- 6: SIGTERM to the last LOGOFF ----------------------------------------------------
term=$EPOCHREALTIME
kill -TERM "$many_pid"
exit_state="ended"
wait_for_exit "$many_pid" 100 || { exit_state="still running 10 s after SIGTERM, killed"; kill -KILL "$many_pid" 2>/dev/null || true; }
exited=$EPOCHREALTIME
wait_all "$term" " code 9998 " 5 "${many[@]}" || true
logoffs=$(for i in "${many[@]}"; do
    awk -v from="$term" '$1 + 0 >= from + 0 && / code 9998 / {print $1; exit}' "$work/sim$i.out"
done | sort -n)
logged_off=$(grep -c . <<<"$logoffs" || true)
last_logoff=$(tail -n 1 <<<"$logoffs")

# --- 5: a silent host, then a vanished one ---------------------------------------------
others=("${many[@]:0:$((count - 1))}")
write_settings silent "${others[@]}" "$silent"
from=$EPOCHREALTIME
start_veltrix silent
silent_pid=$started
wait_all "$from" " code 1011 " 60 "${others[@]}"
wait_all "$from" " login " 20 "$silent"
sleep 1
begin=$EPOCHREALTIME
sleep "$part_seconds"
end=$EPOCHREALTIME
median_periods "$begin" "$end" "${others[@]}" >"$work/periods.silent"
vanished=1
{ kill -KILL "${sim_pids[$vanished]}" && wait "${sim_pids[$vanished]}"; } 2>/dev/null || true
begin=$EPOCHREALTIME
sleep "$part_seconds"
end=$EPOCHREALTIME
rest=("${others[0]}" "${others[@]:2}")
median_periods "$begin" "$end" "${rest[@]}" >"$work/periods.vanished"
kill -TERM "$silent_pid"
wait_for_exit "$silent_pid" 100 || kill -KILL "$silent_pid" 2>/dev/null || true
for pid in "${sim_pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
wait "${sim_pids[@]}" 2>/dev/null || true
sim_pids=()

# --- 3 and 4: the benchmark programs ---------------------------------------------------
# Their lines without the console's colour codes; the poll cycle also without further
# hosts, for reference.
bench_lines() { "$@" --benchmark_color=false 2>&1 | sed 's/\x1b\[[0-9;]*m//g' || true; }
bench_lines "$build/bench/poll_cycle_bench" --other_hosts $((count - 1)) --benchmark_repetitions=9 \
    --benchmark_report_aggregates_only=true >"$work/poll.out"
bench_lines "$build/bench/poll_cycle_bench" --benchmark_repetitions=9 \
    --benchmark_report_aggregates_only=true >"$work/poll-alone.out"
bench_lines "$build/bench/startup_bench" --hosts "$count" \
    --benchmark_filter=BM_StartupToMainWindow >"$work/startup.out"

# --- The figures --------------------------------------------------------------------------
echo "Veltrix watching $count hosts (one servicesim process each, TCP, healthy)"
awk -v t0="$ticks0" -v t1="$ticks1" -v hz="$(getconf CLK_TCK)" \
    -v wall="$cpu_wall" -v target="$cpu_target" -v threads="$threads" -v n="$count" 'BEGIN {
    cpu = (t1 - t0) / hz; pct = 100 * cpu / wall
    printf "idle CPU, %d hosts logged in and polling, over %.1f s: %.2f s = %.2f %% of one core, %d threads (target at most %d %%) %s\n",
           n, wall, cpu, pct, threads, target, (pct <= target ? "ok" : "ABOVE TARGET") }'
awk -v many="$rss_many" -v one="$rss_one" -v per="$rss_per_host_mb" -v n="$count" 'BEGIN {
    limit = one + per * 1024 * n
    printf "VmRSS: %d hosts %.1f MB, one host %.1f MB: %.3f MB per further host\n", n, many / 1024,
           one / 1024, (many - one) / 1024 / (n - 1)
    printf "ratio RSS %d hosts / (one host + %.1f MB per host) = %.2f (target at most 1.00) %s\n",
           n, per, many / limit, (many <= limit ? "ok" : "ABOVE TARGET") }'
grep -E '^(ratio|median per exchange|further hosts)' "$work/poll.out" ||
    { echo "poll_cycle_bench failed:"; tail -n 20 "$work/poll.out"; }
sed -n 's/^ratio poll cycle \/ raw exchanges = \([0-9.]*\).*/reference, the same without further hosts: \1/p' \
    "$work/poll-alone.out"
grep -E '^(startup:|startup with|ratio start to window)' "$work/startup.out" ||
    { echo "startup_bench failed:"; tail -n 20 "$work/startup.out"; }
awk '{sum += $2; n++} END {printf "poll period, all healthy: mean of the hosts'"'"' median periods %.1f ms over %d hosts\n", (n ? sum / n : 0), n}' \
    "$work/periods.healthy"
for case in silent vanished; do
    shift_line=$(largest_shift "$work/periods.healthy" "$work/periods.$case")
    worst=${shift_line%% ms*}
    awk -v w="$worst" -v c="$case" -v t="$shift_target_ms" -v l="$shift_line" 'BEGIN {
        what = (c == "silent" ? "with a silent host" : "after a host vanished (SIGKILL)")
        printf "largest shift of another host'"'"'s median poll period %s: %s (target at most %d ms) %s\n",
               what, l, t, (w <= t ? "ok" : "ABOVE TARGET") }'
done
awk -v t="$term" -v x="$exited" -v l="${last_logoff:-0}" -v got="$logged_off" -v n="$count" \
    -v target="$logoff_target_ms" -v state="$exit_state" 'BEGIN {
    ms = (l - t) * 1000
    printf "SIGTERM to the last LOGOFF received: %.0f ms, %d of %d hosts logged off; process %s after %.0f ms (target at most %d ms) %s\n",
           (got ? ms : -1), got, n, state, (x - t) * 1000, target,
           (got == n && ms <= target ? "ok" : "ABOVE TARGET") }'
