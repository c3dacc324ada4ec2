#!/usr/bin/env bash
# Builds Bivarro's LV2 bundle and the peer benchmark, then times Bivarro against the packaged peer
# plug-ins on one core:
#
#   bash bench/peers/run.sh [repetitions] [seconds per measurement]
#
# CORE picks the core (default: the last one); BUILD the build folder (default build/release).
# Needs lilv and the peers' packages; installs them when run as root, else says what is missing.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build=${BUILD:-$root/build/release}
core=${CORE:-$(($(nproc) - 1))}

packages=(liblilv-dev lv2-dev calf-plugins x42-plugins lv2-examples)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    if [[ $(id -u) == 0 ]] && command -v apt-get >/dev/null; then
        apt-get install -y --no-install-recommends "${missing[@]}"
    else
        echo "missing packages: ${missing[*]}" >&2
        echo "install them with: sudo apt-get install ${missing[*]}" >&2
        # Without lilv nothing can be built; a missing peer is only left out of the table.
        if [[ " ${missing[*]} " == *" liblilv-dev "* || " ${missing[*]} " == *" lv2-dev "* ]]; then
            exit 1
        fi
    fi
fi

source "$root/scripts/env.sh"
[[ -f "$build/CMakeCache.txt" ]] || orz_configure "$build" Release
# A build folder configured before lilv was installed has to look for it again.
grep -q '^LILV_FOUND:INTERNAL=1' "$build/CMakeCache.txt" || cmake "$build" >/dev/null
cmake --build "$build" --parallel "${JOBS:-3}" --target Bivarro_LV2 BivarroPeerBench

# The peers from the system folders only: a Bivarro installed under the home folder would stand
# in for this build's.
export LV2_PATH=${LV2_PATH:-/usr/local/lib/lv2:/usr/lib/lv2:/usr/lib/$(gcc -print-multiarch 2>/dev/null || echo x86_64-linux-gnu)/lv2}

bundle=$(find "$build/bivarro" -type d -name Bivarro.lv2 -path '*Release*' | head -n 1)
[[ -n "$bundle" ]] || bundle=$(find "$build/bivarro" -type d -name Bivarro.lv2 | head -n 1)
exec taskset -c "$core" "$build/bench/BivarroPeerBench" "$bundle" "$@"
