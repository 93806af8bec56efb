#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs, and only those still missing.
set -eu

packages=(
    cmake ninja-build g++ make pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-liberation
    xvfb xdotool x11-utils imagemagick
    dbus at-spi2-core python3-pyatspi
    cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils
    clang libclang-rt-14-dev libbenchmark-dev
    libxcb-damage0-dev linux-perf valgrind
)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "install-deps: run as root or install sudo" >&2; exit 1; }
    sudo=sudo
fi
echo "install-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
