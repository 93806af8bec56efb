#!/usr/bin/env bash
# Installs the Debian 12 or 13 packages a task needs, and only those still missing.
#
#   install-deps.sh [GROUP]...   groups: run (always), test, bench, fuzz, package
#
#   run      build and run both programs
#   test     the test tools: a private X server, a private print scheduler with cups-pdf,
#            PDF and image tools, the desktop-file validators, the accessibility bus, the
#            Orca screen reader, Qt's GTK platform theme (GNOME's dark style), and nested
#            GNOME Shell and KWin with Xwayland and Qt's Wayland plugin for the Wayland tests
#   bench    what test needs, plus Google Benchmark, X Damage, perf and valgrind
#   fuzz     clang with libFuzzer and its sanitizer runtimes (those of the release's clang)
#   package  the Debian package tools and lintian
#
# The print tools are installed without touching the machine's printing: no scheduler is
# started or enabled for them, and a print queue that cups-pdf's install script adds anyway
# (when a scheduler already runs) is removed again.
set -eu

declare -A group_packages=(
    [run]="cmake ninja-build g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
           libcups2-dev libxcb1-dev fonts-liberation"
    [test]="xvfb xdotool x11-utils imagemagick
            cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils locales
            desktop-file-utils appstream shared-mime-info man-db python3
            at-spi2-core python3-pyatspi dbus orca qt6-gtk-platformtheme
            gnome-shell kwin-wayland xwayland qt6-wayland procps"
    [bench]="libbenchmark-dev libxcb-damage0-dev linux-perf valgrind"
    [fuzz]="clang libclang-rt-dev"
    [package]="dpkg-dev file lintian"
)
# The benchmarks drive the program under Xvfb and print through a private scheduler.
declare -A group_needs=([bench]="test")

# The runtimes of the clang that the release's clang package depends on: 14 on Debian 12, 19
# on 13. Names that only depend on another (this one) are not installed packages themselves.
clang_runtime() {
    local version
    version=$(apt-cache depends clang 2>/dev/null | sed -n 's/^ *Depends: clang-\([0-9][0-9]*\)$/\1/p' | head -n 1)
    if [ -n "$version" ]; then echo "libclang-rt-$version-dev"; else echo "libclang-rt-dev"; fi
}

# The set-up's test points this at a directory standing in for the machine's /.
root=${INSTALL_DEPS_ROOT:-}
policy_rc_d=$root/usr/sbin/policy-rc.d

groups=(run)
for group in "$@"; do
    if [ -z "${group_packages[$group]+set}" ]; then
        echo "install-deps: unknown group '$group' (run, test, bench, fuzz, package)" >&2
        exit 2
    fi
    groups+=(${group_needs[$group]:-} "$group")
done

wanted=()
declare -A seen=()
for group in "${groups[@]}"; do
    for package in ${group_packages[$group]}; do
        [ "$package" = libclang-rt-dev ] && package=$(clang_runtime)
        [ -n "${seen[$package]:-}" ] || wanted+=("$package")
        seen[$package]=1
    done
done
declare -A have=()
while read -r package status; do
    [ "$status" = "install ok installed" ] && have[${package%:*}]=1
done < <(dpkg-query -W -f='${Package} ${Status}\n' "${wanted[@]}" 2>/dev/null)
missing=()
for package in "${wanted[@]}"; do
    [ -n "${have[$package]:-}" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
    sudo=sudo
fi

installed() { dpkg-query -W -f='${Package} ${Status}\n' "$1" 2>/dev/null | grep -q ' install ok installed$'; }

# Names of the print queues that write PDFs through cups-pdf, one a line.
cups_pdf_queues() {
    command -v lpstat >/dev/null || return 0
    LC_ALL=C lpstat -v 2>/dev/null | sed -n 's|^device for \([^:]*\): cups-pdf:/.*|\1|p' | sort
}

printing=0
for package in "${missing[@]}"; do
    case $package in cups | cups-daemon | printer-driver-cups-pdf) printing=1 ;; esac
done
fresh_scheduler=0
own_policy=0
queues_before=""

note() { echo "install-deps: note: $*" >&2; }

# The units cups-daemon enables at boot. Outside dpkg only systemctl (when systemd runs) or the
# links themselves can undo that: deb-systemd-helper refuses to run there.
disable_scheduler_units() {
    local units=(cups.path cups.service cups.socket) link
    if [ -d "$root/run/systemd/system" ] && command -v systemctl >/dev/null; then
        $sudo systemctl disable --quiet "${units[@]}" || note "systemctl could not disable ${units[*]}"
        return 0
    fi
    for link in "$root"/etc/systemd/system/*.wants/cups.{path,service,socket}; do
        [ -L "$link" ] || continue
        $sudo rm -f "$link" || note "could not remove ${link#"$root"}"
    done
}

# Puts the machine's printing back as it was, also after a failed install. Each step is on its
# own: one that fails says so and the others still run; the install's status stays the
# script's.
restore_printing() {
    if [ $own_policy -eq 1 ]; then
        $sudo rm -f "$policy_rc_d" || note "could not remove $policy_rc_d; remove it by hand"
    fi
    # A scheduler that was already running got a PDF queue from cups-pdf's install script,
    # perhaps as the default printer: take away what was not there before.
    for queue in $(comm -13 <(echo "$queues_before") <(cups_pdf_queues)); do
        echo "install-deps: removing the print queue '$queue' that printer-driver-cups-pdf added"
        $sudo lpadmin -x "$queue" || note "could not remove the print queue '$queue'"
    done
    # A machine that had no print scheduler keeps none running: the tests start their own.
    if [ $fresh_scheduler -eq 1 ] && installed cups-daemon; then
        echo "install-deps: leaving the newly installed print scheduler disabled"
        disable_scheduler_units
        if [ -e "$root/etc/init.d/cups" ]; then
            $sudo update-rc.d cups disable >/dev/null 2>&1 \
                || note "update-rc.d could not disable cups's init script"
        fi
    fi
}

# Keeps the packages' install scripts from starting or reloading the scheduler, so the one of
# cups-pdf finds none to add its queue to. Whatever is at that path, a link that leads nowhere
# included, is the machine's own policy: the new one is linked into place in one step that
# fails when the name is taken, so nothing is ever written through it.
write_policy() {
    local staged
    staged=$($sudo mktemp "$policy_rc_d.XXXXXX") || { note "could not stage a policy-rc.d"; return 0; }
    if $sudo tee "$staged" >/dev/null <<<"$policy" && $sudo chmod 755 "$staged" \
        && $sudo ln "$staged" "$policy_rc_d" 2>/dev/null; then
        own_policy=1
    elif [ -e "$policy_rc_d" ] || [ -L "$policy_rc_d" ]; then
        echo "install-deps: the machine's own $policy_rc_d decides which services start"
    else
        note "could not put a policy-rc.d in place: the print scheduler may start"
    fi
    $sudo rm -f "$staged" || note "could not remove $staged"
}
policy='#!/bin/sh
# Written by the Quelvane set-up while it installs packages; removed when it is done.
case "$1" in
    cups | cups.* | cups-browsed | cups-browsed.*) exit 101 ;;
esac
exit 0'

if [ $printing -eq 1 ]; then
    installed cups-daemon || fresh_scheduler=1
    queues_before=$(cups_pdf_queues)
    trap 'status=$?; set +e; restore_printing; exit $status' EXIT
    write_policy
fi

echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
# Never a question: a configuration file changed by hand keeps its own version, a new one
# comes from the package, and nothing reads standard input.
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o Dpkg::Options::=--force-confdef -o Dpkg::Options::=--force-confold \
    "${missing[@]}" </dev/null
