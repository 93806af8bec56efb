#!/usr/bin/env bash
# README's two commands on a Debian 12 or 13 that has nothing of ours yet: each run unpacks a new
# minimal root (minbase plus git, make, ca-certificates and sudo), clones the commit under test
# into it and, in private mount and PID namespaces, checks that
#   - as root, `make test` passes and leaves no print queue, no print scheduler enabled at boot
#     and no policy-rc.d behind; then `make package` gives a package that lintian passes;
#   - as a user with passwordless sudo and no DISPLAY, `make run` prints one character sheet
#     and installs none of the test tools (in a root of its own, so nothing is there before).
#
# With RELEASE=trixie (Debian 13) it also checks that the package built on Debian 12 installs
# there and both its programs start, without a word about the locale.
#
#   usage: [RELEASE=bookworm|trixie] test-fresh.sh [COMMIT]   default HEAD; 77: cannot run here
#
# Each root gets its release's own Debian sources, on the mirrors the machine's sources name,
# and the machine's network settings for apt (proxies and the like), nothing else of its apt
# configuration. The base roots come from mmdebstrap and are kept as tarballs in
# $QUELVANE_FRESH_CACHE (default /var/cache/quelvane-test-fresh). Set QUELVANE_FRESH_KEEP=1 to
# keep the roots of the run for a look afterwards; QUELVANE_FRESH_ONLY=test to run `make test`
# as root and nothing else (CI's choice, for time).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
commit=${1:-HEAD}
release=${RELEASE:-bookworm}
case $release in
    bookworm | 12) release=bookworm version=12 ;;
    trixie | 13) release=trixie version=13 ;;
    *) echo "test-fresh: RELEASE is bookworm (12) or trixie (13), not '$release'" >&2; exit 2 ;;
esac
cache=${QUELVANE_FRESH_CACHE:-/var/cache/quelvane-test-fresh}
include=git,make,ca-certificates,sudo
user=player
# What only make test installs: make run must bring none of it.
test_tools="xvfb xdotool imagemagick cups cups-daemon cups-client printer-driver-cups-pdf
            poppler-utils at-spi2-core desktop-file-utils"

say() { echo "test-fresh: $*"; }
skip() { say "skipped: $*"; exit 77; }
failures=0
fail() { say "FAIL: $*" >&2; failures=$((failures + 1)); }

[ "$(id -u)" -eq 0 ] || skip "needs root (it builds, enters and removes Debian roots)"
for tool in mmdebstrap unshare chroot; do
    command -v $tool >/dev/null || { say "needs $tool (apt-get install mmdebstrap)" >&2; exit 1; }
done
sha=$(git -C "$src" rev-parse --verify --quiet "$commit^{commit}") \
    || { say "no commit '$commit' in $src" >&2; exit 1; }

# The mirrors the machine's apt reaches Debian by (deb.debian.org when it names none), and the
# settings of the way there (a proxy, say). Every root gets these and its own release's suites.
mirror_of() {
    apt-get indextargets --format '$(REPO_URI)' 2>/dev/null | grep -m1 -E "/$1/?\$" \
        || echo "http://deb.debian.org/$1/"
}
mirror=$(mirror_of debian)
security=$(mirror_of debian-security)
network=$(apt-config dump | grep -E '^Acquire::((https?|ftp|socks)::([Pp]roxy|Timeout|Proxy-Auto-Detect)|Retries|ForceIPv4|ForceIPv6)' || true)

work=$(mktemp -d /var/tmp/quelvane-fresh.XXXXXX)
cleanup() {
    # The namespaces' mounts ended with them; --one-file-system still keeps rm on this disk.
    if [ "${QUELVANE_FRESH_KEEP:-0}" = 1 ]; then say "kept $work"; else rm -rf --one-file-system "$work"; fi
}
trap cleanup EXIT

mkdir -p "$work/apt/sources.list.d" "$work/apt/apt.conf.d"
cat >"$work/apt/sources.list.d/debian.sources" <<EOF
Types: deb
URIs: $mirror
Suites: $release $release-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb
URIs: $security
Suites: $release-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
printf '%s\n' "$network" >"$work/apt/apt.conf.d/00network"

# Only the index signatures, so this takes a second or two and changes nothing of the machine's.
mkdir -p "$work/probe/lists/partial"
if ! apt-get -q --error-on=any -o Dir::State::Lists="$work/probe/lists" \
        -o Dir::Etc::SourceList=/dev/null -o Dir::Etc::SourceParts="$work/apt/sources.list.d" \
        -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache= -o Debug::NoLocking=1 \
        -o APT::Sandbox::User=root -o Acquire::Languages=none \
        -o Acquire::IndexTargets::deb::Packages::DefaultEnabled=false \
        update >"$work/probe/log" 2>&1; then
    skip "Debian's package registry cannot be reached: $(grep -m1 '^E:' "$work/probe/log" || tail -n1 "$work/probe/log")"
fi

# base_of RELEASE: that release's base tarball, built when it is not there yet. A new one
# whenever what goes into it changes; the old ones stay until removed by hand.
base_of() {
    local base key
    key=$(printf '%s\n' "$1" "$mirror" "$security" "$network" | sha256sum | cut -c1-16)
    base=$cache/$1-minbase-$(dpkg --print-architecture)-$key.tar
    if [ ! -s "$base" ]; then
        mkdir -p -m 700 "$cache"
        say "building the base root $base" >&2
        # The sources and settings are put in anew for every run; the tarball keeps none of them.
        mmdebstrap --quiet --variant=minbase --include=$include \
            --aptopt="$work/apt/apt.conf.d/00network" \
            --customize-hook='rm -f "$1"/etc/apt/apt.conf.d/99mmdebstrap' \
            "$1" "$work/base-$1.tar" "deb $mirror $1 main" "deb $mirror $1-updates main" \
            "deb $security $1-security main" >&2
        mv "$work/base-$1.tar" "$base.partial.$$"
        mv "$base.partial.$$" "$base"
    fi
    echo "$base"
}
base_of $release >/dev/null

# new_root NAME [RELEASE]: a root of RELEASE (default the run's), unpacked anew under $work/NAME.
new_root() {
    local from=${2:-$release}
    root=$work/$1
    mkdir "$root"
    tar -C "$root" --numeric-owner -xpf "$(base_of "$from")"
    rm -rf "$root/etc/apt/sources.list" "$root/etc/apt/sources.list.d"
    mkdir "$root/etc/apt/sources.list.d"
    sed "s/\b$release\b/$from/g" "$work/apt/sources.list.d/debian.sources" \
        >"$root/etc/apt/sources.list.d/debian.sources"
    cp "$work/apt/apt.conf.d/00network" "$root/etc/apt/apt.conf.d/00network"
    cp /etc/resolv.conf "$root/etc/resolv.conf"
    # As an installed Debian has it, so that sudo finds the machine's own name.
    printf '127.0.0.1\tlocalhost\n127.0.1.1\t%s\n::1\tlocalhost ip6-localhost ip6-loopback\n' \
        "$(uname -n)" >"$root/etc/hosts"
}

# in_root ROOT USER COMMAND: COMMAND in bash inside ROOT as USER, with a clean environment
# (no DISPLAY) and a /proc, /dev, /sys, /tmp and /run of its own; the namespaces end with it,
# and every process left in them.
in_root() {
    unshare --mount --pid --fork --mount-proc="$1/proc" -- bash -c '
        set -e
        root=$1 user=$2 home=$3 command=$4
        # The root a mount of its own, so that a test inside may make its own mount namespace
        # (unshare makes "/" private first, which only a mount point allows).
        mount --rbind "$root" "$root"
        mount --rbind /dev "$root/dev"
        mount -t tmpfs -o mode=1777 tmpfs "$root/dev/shm"
        mount -t sysfs sysfs "$root/sys"
        mount -t tmpfs -o mode=1777 tmpfs "$root/tmp"
        mount -t tmpfs -o mode=755 tmpfs "$root/run"
        exec chroot "$root" setpriv --reuid="$user" --regid="$user" --init-groups \
            env -i HOME="$home" USER="$user" LOGNAME="$user" TERM=dumb SHELL=/bin/bash \
                PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
                bash -c "cd && $command"
    ' bash "$1" "$2" "$(chroot "$1" getent passwd "$2" | cut -d: -f6)" "$3"
}

# clone ROOT USER: the commit under test in USER's home, as a newcomer's git clone leaves it.
clone() {
    local home
    home=$(chroot "$1" getent passwd "$2" | cut -d: -f6)
    # The source may belong to the user who called sudo: reading it is all this clone does.
    git -c safe.directory='*' clone --quiet --no-checkout --no-hardlinks "$src" "$1$home/quelvane"
    git -C "$1$home/quelvane" -c advice.detachedHead=false checkout --quiet "$sha"
    chown -R --no-dereference "$(chroot "$1" id -u "$2"):$(chroot "$1" id -g "$2")" "$1$home/quelvane"
}

# A glob's matches as they are in the root: links there point into the root, not the machine.
present() { compgen -G "$1" || true; }

[ -z "$(git -C "$src" status --porcelain --untracked-files=no)" ] || [ "$commit" != HEAD ] \
    || say "note: uncommitted changes are not tested, only $sha"
say "testing $sha in new Debian $version ($release) roots under $work"

# As root: make test.
new_root root
clone "$root" root
say "as root: make test (the log follows)"
started=$SECONDS
status=0
in_root "$root" root 'cd quelvane && make test' || status=$?
say "as root: make test ended with status $status after $((SECONDS - started)) s"
[ $status -eq 0 ] || fail "as root, make test failed with status $status"
for path in $(present "$root/etc/systemd/system/*.wants/cups*") $(present "$root/etc/rc[2-5].d/S??cups"); do
    fail "as root, make test left the print scheduler enabled at boot: ${path#"$root"}"
done
if [ -e "$root/usr/sbin/policy-rc.d" ] || [ -L "$root/usr/sbin/policy-rc.d" ]; then
    fail "as root, make test left /usr/sbin/policy-rc.d behind"
fi
queues=$(grep -hE '^<(Default)?Printer ' "$root/etc/cups/printers.conf" 2>/dev/null || true)
[ -z "$queues" ] || fail "as root, make test left print queues: $queues"
if [ "${QUELVANE_FRESH_ONLY:-}" = test ]; then
    [ $failures -eq 0 ] || { say "$failures failures"; exit 1; }
    say "passed (make test as root only)"
    exit 0
fi
say "as root: make package, then lintian"
in_root "$root" root 'cd quelvane && make package && lintian --fail-on error,warning build/quelvane_*.deb' \
    || fail "as root, make package failed or lintian found fault with the package"

# As a user with sudo, without a display: make run, in a root of its own.
new_root user
chroot "$root" useradd --create-home --shell /bin/bash "$user"
echo "$user ALL=(ALL) NOPASSWD: ALL" >"$root/etc/sudoers.d/$user"
chmod 440 "$root/etc/sudoers.d/$user"
clone "$root" "$user"
say "as $user with sudo, no DISPLAY: make run (the log follows)"
started=$SECONDS
status=0
in_root "$root" "$user" 'cd quelvane && make run' >"$work/run.out" || status=$?
cat "$work/run.out"
say "as $user: make run ended with status $status after $((SECONDS - started)) s"
[ $status -eq 0 ] || fail "as $user, make run failed with status $status"
sheets=$(grep -c '^Quelvane Character Sheet$' "$work/run.out" || true)
[ "$sheets" -eq 1 ] || fail "as $user, make run printed $sheets character sheets, not one"
# dpkg-query fails for the packages it never heard of, which is the good case here.
installed=$(chroot "$root" dpkg-query -W -f='${Package} ${Status}\n' $test_tools 2>/dev/null \
    | sed -n 's/ install ok installed$//p' || true)
[ -z "$installed" ] || fail "as $user, make run installed test tools: $(echo $installed)"

if [ "$release" != bookworm ]; then
    # The package as Debian 12 builds it, installed on this release: both programs start, and
    # neither says anything about the locale (the root sets none).
    new_root package-builder bookworm
    clone "$root" root
    say "the package built on Debian 12 (the log follows)"
    if in_root "$root" root 'cd quelvane && make package'; then
        deb=$(compgen -G "$root/root/quelvane/build/quelvane_*.deb" | head -n 1)
        new_root package-user
        cp "$deb" "$root/root/"
        in_root "$root" root '
            set -e
            apt-get update -qq
            env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends ./quelvane_*.deb </dev/null
            quelvane --version
            quelvane-roll -n 2 --pdf team.pdf 2>roll.err >/dev/null
            cat roll.err
            ! grep -i locale roll.err
            status=0
            QT_QPA_PLATFORM=offscreen timeout 5 quelvane 2>window.err || status=$?
            cat window.err
            [ $status -eq 124 ] || { echo "quelvane ended with status $status before it was stopped"; exit 1; }
            ! grep -i locale window.err' \
            || fail "the package built on Debian 12 did not install or start on Debian $version"
    else
        fail "make package failed on Debian 12"
    fi
fi

[ $failures -eq 0 ] || { say "$failures failures"; exit 1; }
say "passed"
