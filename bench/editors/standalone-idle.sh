#!/usr/bin/env bash
# What a Standalone costs with its window open and no audio: the CPU time of the whole process
# (user + system, every thread) as a percentage of one core, over a measuring window after a settle.
# Each run gets its own virtual display, home folder and /dev/shm, so gain-pair instances of other
# programs on the machine are not met. Pin it to a quiet core and repeat: the spread matters.
#
# Usage: standalone-idle.sh <Standalone program> [runs=5] [cpu=last core] [settle s=3] [measure s=8]
set -euo pipefail

program=$(realpath "$1")
runs=${2:-5}
cpu=${3:-$(($(nproc) - 1))}
settle=${4:-3}
measure=${5:-8}

one_run() {
    local home
    home=$(mktemp -d)
    HOME=$home taskset -c "$cpu" "$program" >/dev/null 2>&1 &
    local pid=$!
    sleep "$settle"
    local t0 t1
    t0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    sleep "$measure"
    t1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    rm -rf "$home"
    awk -v d=$((t1 - t0)) -v hz="$(getconf CLK_TCK)" -v s="$measure" 'BEGIN { printf "%.2f\n", 100 * d / hz / s }'
}

if [[ ${ORZ_IDLE_INNER:-} == 1 ]]; then
    for _ in $(seq "$runs"); do one_run; done
    exit 0
fi

export ORZ_IDLE_INNER=1
echo "$(basename "$program") idle % of one core, cpu $cpu, ${settle} s settle, ${measure} s measured:"
unshare -m sh -c 'mount -t tmpfs -o mode=1777 orz-shm /dev/shm && exec "$@"' sh \
    xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
