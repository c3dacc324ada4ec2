#!/usr/bin/env bash
# Fetches JUCE 8.0.6 from Debian's source package with apt's own client, checks it, unpacks it
# into third_party/JUCE (ignored by git) and applies our fixes from scripts/juce-patches. Safe to
# run again: the download is cached outside the work tree, and an unpacked tree is kept while its
# stamp matches the version and the patch set; any change to either unpacks and patches afresh.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
dest="$root/third_party/JUCE"
cache="${ORZ_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/orlintz}/juce-src"
version="8.0.6+ds-2"
orig="juce_8.0.6+ds.orig.tar.xz"
orig_sha="4126ec8066866a1ccbc9cdd2beac712fd51e55ac7f24d8fdc45077b187a358ef"
stamp="$dest/.orz-version"
patches=("$root"/scripts/juce-patches/*.patch)
[ -f "${patches[0]}" ] || patches=()
wanted="$version"
if [ ${#patches[@]} -gt 0 ]; then
    wanted="$version patches:$(cat "${patches[@]}" | sha256sum | cut -d' ' -f1)"
fi

if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$wanted" ]; then
    exit 0
fi

mkdir -p "$cache"

have_orig() {
    [ -f "$cache/$orig" ] && echo "$orig_sha  $cache/$orig" | sha256sum -c --status
}

if ! have_orig; then
    # The archive is whatever apt on this machine already uses for Debian.
    archive=""
    for f in /etc/apt/sources.list.d/*.sources; do
        [ -f "$f" ] || continue
        archive=$(awk '
            /^URIs:/   { uri = $2 }
            /^Suites:/ { for (i = 2; i <= NF; i++) if ($i !~ /security/) ok = 1 }
            /^$/       { if (ok && uri != "") { print uri; exit } ok = 0; uri = "" }
            END        { if (ok && uri != "") print uri }' "$f" | grep -v -- '-security' | head -n 1)
        [ -n "$archive" ] && break
    done
    if [ -z "$archive" ] && [ -f /etc/apt/sources.list ]; then
        archive=$(awk '$1 == "deb" && $0 !~ /security/ { for (i = 2; i <= NF; i++) if ($i ~ /:\/\//) { print $i; exit } }' /etc/apt/sources.list)
    fi
    if [ -z "$archive" ]; then
        echo "fetch-juce: no Debian archive found in apt's configuration" >&2
        exit 1
    fi

    aptdir="$cache/apt"
    mkdir -p "$aptdir/state/lists/partial" "$aptdir/cache/archives/partial"
    list="$aptdir/sources.list"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $archive trixie main" > "$list"
    opts=(-o "Dir::Etc::SourceList=$list" -o "Dir::Etc::SourceParts=/dev/null"
          -o "Dir::State=$aptdir/state" -o "Dir::Cache=$aptdir/cache"
          -o "Dir::State::status=/var/lib/dpkg/status" -o "APT::Sandbox::User=root")
    apt-get "${opts[@]}" -qq update
    (cd "$cache" && apt-get "${opts[@]}" -qq source --download-only "juce=$version")
    if ! have_orig; then
        echo "fetch-juce: checksum of $orig does not match" >&2
        exit 1
    fi
fi

mkdir -p "$root/third_party"
tmp=$(mktemp -d "$root/third_party/.juce.XXXXXX")
tar -xJf "$cache/$orig" -C "$tmp"
src=$(find "$tmp" -mindepth 1 -maxdepth 1 -type d | head -n 1)
# Every patch must apply exactly; a tree that is not fully patched is never put in place.
for p in "${patches[@]}"; do
    if ! patch -d "$src" -p1 --forward --batch --fuzz=0 --no-backup-if-mismatch --quiet < "$p"; then
        rm -rf "$tmp"
        echo "fetch-juce: ERROR: $(basename "$p") does not apply to JUCE $version" >&2
        exit 1
    fi
done
rm -rf "$dest"
mv "$src" "$dest"
rm -rf "$tmp"
echo "$wanted" > "$stamp"
