#!/bin/sh
# Runs one host test in a temporary folder of its own (which gives it a home folder of its own, see
# PluginHost) and, where the platform allows a private namespace, with a /dev/shm of its own. The
# gain plug-ins it loads use the standard link names and lock folders, which must meet neither the
# user's instances nor host tests running at the same time. ORZ_PRIVATE_SHM tells a test which it got.
tmp=$(mktemp -d "${TMPDIR:-/tmp}/orz-host-test.XXXXXX") || exit 1
trap 'rm -rf "$tmp"' EXIT
export TMPDIR="$tmp"

if unshare --user --map-root-user --mount true 2>/dev/null; then
    unshare --user --map-root-user --mount \
        sh -c 'mount -t tmpfs -o mode=1777 orz-shm /dev/shm && ORZ_PRIVATE_SHM=1 exec "$@"' private-shm "$@"
else
    "$@"
fi
