#!/usr/bin/env bash
# Builds the three plug-ins (Release) and installs them for the current user:
# VST3 into ~/.vst3, LV2 into ~/.lv2, the Standalone programs into ~/.local/bin.
set -euo pipefail

source "$(dirname "$0")/env.sh"
"$orz_root/scripts/setup.sh"

build="$orz_root/build/release"
orz_configure "$build" Release
cmake --build "$build" --parallel "$orz_jobs" --target Bivarro_All Ovrel_All Undrel_All

mkdir -p "$HOME/.vst3" "$HOME/.lv2" "$HOME/.local/bin"
for p in Bivarro Ovrel Undrel; do
    art=$(find "$build" -type d -path "*/${p}_artefacts/Release" | head -n 1)
    rm -rf "$HOME/.vst3/$p.vst3" "$HOME/.lv2/$p.lv2"
    cp -R "$art/VST3/$p.vst3" "$HOME/.vst3/"
    cp -R "$art/LV2/$p.lv2" "$HOME/.lv2/"
    install -m 755 "$art/Standalone/$p" "$HOME/.local/bin/$p"
done

echo "Installed Bivarro, Ovrel and Undrel: VST3 in ~/.vst3, LV2 in ~/.lv2, Standalone in ~/.local/bin"
