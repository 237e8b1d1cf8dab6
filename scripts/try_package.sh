#!/usr/bin/env bash
# Tries a Debian package of Orvel on a fresh, minimal Debian 12: makes one with debootstrap in
# ROOT (kept for the next try), installs the package there with its dependencies only (no
# recommended packages), then runs orvel-cli in a chroot and checks that every library of both
# programs resolves. Needs root, debootstrap and Debian's mirror; it is no part of the tests.
#   scripts/try_package.sh build/orvel_VERSION_ARCH.deb [ROOT]
set -euo pipefail
deb=$(realpath "$1")
root=${2:-/tmp/orvel-fresh-bookworm}
mirror=${DEBIAN_MIRROR:-http://deb.debian.org/debian}

if [ ! -x "$root/usr/bin/apt-get" ]; then
    echo "== debootstrap --variant=minbase bookworm $root"
    debootstrap --variant=minbase bookworm "$root" "$mirror" >"$root.debootstrap.log" 2>&1 ||
        { tail -20 "$root.debootstrap.log"; exit 1; }
fi
mount -t proc proc "$root/proc"
trap 'umount "$root/proc"' EXIT
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }

cp "$deb" "$root/tmp/"
echo "== apt-get install --no-install-recommends ./$(basename "$deb")"
in_root apt-get update -q >/dev/null
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "/tmp/$(basename "$deb")" | grep -E '^(The following NEW|  |Setting up orvel|[0-9]+ upgraded)'

echo "== orvel-cli --help"
in_root orvel-cli --help
echo "== libraries of /usr/bin/orvel and /usr/bin/orvel-cli that do not resolve:"
if in_root ldd /usr/bin/orvel /usr/bin/orvel-cli | grep 'not found'; then exit 1; fi
echo "(none)"
echo "== the data folder of the installed orvel-cli"
in_root sh -c 'cd /tmp && orvel-cli settings' | grep '^ORVEL_Data'
in_root test -d /root/.local/share/orvel && echo "/root/.local/share/orvel exists"
echo "== the package's files"
in_root dpkg -L orvel
