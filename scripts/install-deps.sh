#!/usr/bin/env bash
# Installs the Debian 12 packages a task needs, and only those still missing.
#
#   install-deps.sh [GROUP]...   groups: run (always), test, bench, fuzz, package
#
#   run      build and run both programs
#   test     the test tools: a private X server, a private print scheduler with cups-pdf,
#            PDF and image tools, the desktop-file validators, the accessibility bus, and a
#            nested GNOME Shell with Xwayland and Qt's Wayland plugin for the Wayland test
#   bench    what test needs, plus Google Benchmark, X Damage, perf and valgrind
#   fuzz     clang with libFuzzer and its sanitizer runtimes
#   package  the Debian package tools and lintian
#
# The print tools are installed without touching the machine's printing: no scheduler is
# started or enabled for them, and a print queue that cups-pdf's install script adds anyway
# (when a scheduler already runs) is removed again.
set -eu

declare -A group_packages=(
    [run]="cmake ninja-build g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
           libcups2-dev fonts-liberation"
    [test]="xvfb xdotool x11-utils imagemagick
            cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils locales
            desktop-file-utils appstream shared-mime-info man-db python3
            at-spi2-core python3-pyatspi dbus
            gnome-shell xwayland qt6-wayland procps"
    [bench]="libbenchmark-dev libxcb-damage0-dev linux-perf valgrind"
    [fuzz]="clang libclang-rt-14-dev"
    [package]="dpkg-dev file lintian"
)
# The benchmarks drive the program under Xvfb and print through a private scheduler.
declare -A group_needs=([bench]="test")

policy_rc_d=${INSTALL_DEPS_POLICY_RC_D:-/usr/sbin/policy-rc.d}

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

# Puts the machine's printing back as it was, also after a failed install.
restore_printing() {
    [ $own_policy -eq 1 ] && $sudo rm -f "$policy_rc_d"
    # A scheduler that was already running got a PDF queue from cups-pdf's install script,
    # perhaps as the default printer: take away what was not there before.
    for queue in $(comm -13 <(echo "$queues_before") <(cups_pdf_queues)); do
        echo "install-deps: removing the print queue '$queue' that printer-driver-cups-pdf added"
        $sudo lpadmin -x "$queue"
    done
    # A machine that had no print scheduler keeps none running: the tests start their own.
    if [ $fresh_scheduler -eq 1 ] && installed cups-daemon; then
        echo "install-deps: leaving the newly installed print scheduler disabled"
        $sudo deb-systemd-helper disable cups.path cups.service cups.socket >/dev/null
        $sudo update-rc.d cups disable >/dev/null 2>&1 \
            || echo "install-deps: note: update-rc.d could not disable cups's init script" >&2
    fi
}

if [ $printing -eq 1 ]; then
    installed cups-daemon || fresh_scheduler=1
    queues_before=$(cups_pdf_queues)
    trap restore_printing EXIT
    # Keeps the packages' install scripts from starting or reloading the scheduler, so the one
    # of cups-pdf finds none to add its queue to. A policy the machine has is left as it is.
    if [ ! -e "$policy_rc_d" ]; then
        own_policy=1
        $sudo tee "$policy_rc_d" >/dev/null <<'EOF'
#!/bin/sh
# Written by the Quelvane set-up while it installs packages; removed when it is done.
case "$1" in
    cups | cups.* | cups-browsed | cups-browsed.*) exit 101 ;;
esac
exit 0
EOF
        $sudo chmod 755 "$policy_rc_d"
    fi
fi

echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
