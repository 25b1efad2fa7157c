#!/usr/bin/env bash
# Proves the set-up on a machine that has nothing but Debian's base system:
# builds a minimal Debian 12 root with mmdebstrap, puts a clean clone of the
# current commit into it and runs ./test.sh and ./run.sh there, inside chroot
# in a private mount namespace. Takes minutes; not part of ./test.sh.
#
# Usage: scripts/clean-room-check.sh [ROOT_DIR]
#   ROOT_DIR   where the root is built (default: a new folder under /tmp);
#              it is removed afterwards unless KEEP_ROOT=1 is set.
# Needs root rights and the Debian package mirror. Uncommitted changes are not
# part of the check: it clones HEAD.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"

if [ "$(id -u)" -ne 0 ]; then
  echo "clean-room-check: needs root rights (mmdebstrap, chroot, mount)" >&2
  exit 1
fi
if ! command -v mmdebstrap >/dev/null; then
  echo "clean-room-check: installing mmdebstrap"
  DEBIAN_FRONTEND=noninteractive apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends mmdebstrap
fi

root=${1:-$(mktemp -d /tmp/vardane-clean-room.XXXXXX)}
log="$root.log"
rev=$(git rev-parse --short HEAD)
cleanup() {
  if [ "${KEEP_ROOT:-0}" != 1 ]; then rm -rf --one-file-system "$root"; fi
}
trap cleanup EXIT

echo "== clean room: minimal Debian 12 root in $root (commit $rev), log in $log"
rm -rf --one-file-system "$root"
mmdebstrap --quiet --variant=minbase --mode=root bookworm "$root" \
  http://deb.debian.org/debian >"$log" 2>&1

git clone --quiet --no-local "$top" "$root/src/vardane"
git -C "$root/src/vardane" checkout --quiet "$rev"
cp /etc/resolv.conf "$root/etc/resolv.conf"

# A private mount namespace: the mounts vanish with the check, whatever happens.
status=0
unshare --mount --propagation private bash -c '
  set -e
  root=$1
  mount -t proc proc "$root/proc"
  mount -t sysfs sysfs "$root/sys"
  mount --rbind /dev "$root/dev"
  mount -t tmpfs tmpfs "$root/tmp"
  chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    /bin/bash -c "cd /src/vardane && ./test.sh && echo \"== ./test.sh passed\" && ./run.sh && echo \"== ./run.sh passed\""
' _ "$root" >>"$log" 2>&1 || status=$?

tail -n 25 "$log"
if [ $status -eq 0 ]; then
  echo "== clean room: both README commands passed on a minimal Debian 12 root (commit $rev)"
else
  echo "== clean room: FAILED with status $status (commit $rev); see $log"
fi
exit $status
