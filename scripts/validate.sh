#!/usr/bin/env bash
# Builds the two public plug-in validators against our JUCE tree and runs them on the six bundles of
# the Release build that scripts/test.sh made: pluginval at strictness 10 on every VST3 and LV2
# bundle, the VST3 SDK's validator in extensive mode on the VST3 bundles. They are test tools only,
# built from the sources in ORZ_VALIDATORS_DIR (default: shared/validators beside this checkout);
# without that folder the step is skipped.
set -euo pipefail

source "$(dirname "$0")/env.sh"

validators="${ORZ_VALIDATORS_DIR:-$orz_root/../shared/validators}"
if [ ! -x "$validators/build.sh" ] || [ ! -x "$validators/validate.sh" ]; then
    echo "validate: no validator sources in $validators; skipping the plug-in validators"
    exit 0
fi

"$orz_root/scripts/setup.sh"
out="$orz_root/build/validators"
JOBS="${JOBS:-$orz_jobs}" "$validators/build.sh" "$orz_root/third_party/JUCE" "$out"

release="$orz_root/build/release"
bundles=()
for plugin in Bivarro Ovrel Undrel; do
    for format in VST3 LV2; do
        ext=$(echo "$format" | tr '[:upper:]' '[:lower:]')
        found=$(find "$release/" -path "*/${plugin}_artefacts/*/$format/$plugin.$ext" -prune -print -quit 2>/dev/null)
        if [ -z "$found" ]; then
            echo "validate: ERROR: no $plugin.$ext in $release; run scripts/test.sh first" >&2
            exit 1
        fi
        bundles+=("$found")
    done
done

# The gain plug-ins open their link blocks under the real shared-memory names: where we may, the
# validators get a /dev/shm of their own (their HOME is already a throw-away one).
isolate=()
if [ "$(id -u)" -eq 0 ] && unshare -m true 2>/dev/null; then
    isolate=(unshare -m sh -c 'mount -t tmpfs -o mode=1777 orz-shm /dev/shm && exec "$@"' sh)
fi
"${isolate[@]}" "$validators/validate.sh" "$out" "${bundles[@]}"
