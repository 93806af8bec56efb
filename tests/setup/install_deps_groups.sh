#!/usr/bin/env bash
# scripts/install-deps.sh against a fake package manager and a fake print system on PATH:
# each group asks only for its own packages, and installing the print tools leaves the
# machine's print queues and scheduler as they were. Also: `make run` builds no test program.
#   usage: install_deps_groups.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "install_deps_groups: FAIL: $*" >&2; failures=$((failures + 1)); }

fake=$tmp/bin
mkdir -p "$fake"
# dpkg-query -W -f=FORMAT PACKAGE...: installed is only what $STATE/installed lists.
cat >"$fake/dpkg-query" <<'F'
#!/bin/bash
shift 2
status=0
for package in "$@"; do
    if grep -qx "$package" "$STATE/installed" 2>/dev/null; then
        echo "$package install ok installed"
    else
        echo "dpkg-query: no packages found matching $package" >&2
        status=1
    fi
done
exit $status
F
# apt-get: records its arguments; installing cups-pdf does what its install script does.
cat >"$fake/apt-get" <<'F'
#!/bin/bash
echo "$*" >>"$STATE/apt.log"
[ "$1" = install ] || exit 0
for package in "$@"; do echo "$package" >>"$STATE/installed"; done
case " $* " in *" printer-driver-cups-pdf "*) ;; *) exit 0 ;; esac
echo cups-daemon >>"$STATE/installed"    # a dependency
verdict=0
[ -x "$INSTALL_DEPS_POLICY_RC_D" ] && { "$INSTALL_DEPS_POLICY_RC_D" cups start || verdict=$?; }
echo "cups start: $verdict" >>"$STATE/policy.log"
"$INSTALL_DEPS_POLICY_RC_D" dbus start >/dev/null 2>&1 && echo "dbus start: 0" >>"$STATE/policy.log"
[ "$verdict" -eq 0 ] && touch "$STATE/running"
[ -e "$STATE/running" ] || exit 0
grep -q ' cups-pdf:/' "$STATE/queues" 2>/dev/null && exit 0
echo "PDF cups-pdf:/" >>"$STATE/queues"
[ -s "$STATE/default" ] || echo PDF >"$STATE/default"
# A later package's install script fails.
[ ! -e "$STATE/fail" ]
F
cat >"$fake/lpstat" <<'F'
#!/bin/bash
[ -e "$STATE/running" ] || exit 1
[ "$1" = -v ] || exit 0
while read -r name uri; do echo "device for $name: $uri"; done <"$STATE/queues"
F
cat >"$fake/lpadmin" <<'F'
#!/bin/bash
echo "lpadmin $*" >>"$STATE/calls.log"
[ "$1" = -x ] || exit 0
grep -v "^$2 " "$STATE/queues" >"$STATE/queues.new" || true
mv "$STATE/queues.new" "$STATE/queues"
[ "$(cat "$STATE/default" 2>/dev/null)" = "$2" ] && : >"$STATE/default"
exit 0
F
for tool in deb-systemd-helper update-rc.d; do
    printf '#!/bin/bash\necho "%s $*" >>"$STATE/calls.log"\n' "$tool" >"$fake/$tool"
done
printf '#!/bin/bash\nexec "$@"\n' >"$fake/sudo"
chmod +x "$fake"/*

# Runs the script in a fresh state; $1 names the case, the rest are its arguments.
# Before the call, the caller may fill $STATE/{installed,queues,default,running}.
new_state() {
    export STATE=$tmp/state-$1
    rm -rf "$STATE"
    mkdir -p "$STATE"
    : >"$STATE/queues"
    : >"$STATE/apt.log"
    : >"$STATE/calls.log"
    export INSTALL_DEPS_POLICY_RC_D=$STATE/policy-rc.d
}
run_script() {
    status=0
    PATH=$fake:$PATH bash "$src/scripts/install-deps.sh" "$@" >"$STATE/out" 2>&1 || status=$?
}
asked() { grep '^install ' "$STATE/apt.log" | tr ' ' '\n' | grep -qx "$1"; }

# Which group asks for what, on a machine with none of it installed.
#   group | packages it must ask for | packages it must not ask for
while IFS='|' read -r group wanted unwanted; do
    [ -n "$group" ] || continue
    new_state "group-$group"
    run_script $group
    [ "$status" -eq 0 ] || fail "$group: exit status $status: $(cat "$STATE/out")"
    for package in $wanted; do asked "$package" || fail "$group: does not ask for $package"; done
    for package in $unwanted; do ! asked "$package" || fail "$group: asks for $package"; done
done <<'TABLE'
run|cmake ninja-build g++ make pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev libcups2-dev fonts-liberation|cups cups-client cups-bsd cups-daemon printer-driver-cups-pdf clang libclang-rt-14-dev valgrind linux-perf xvfb xdotool x11-utils imagemagick poppler-utils lintian libbenchmark-dev desktop-file-utils appstream gnome-shell qt6-wayland
test|cmake qt6-base-dev xvfb xdotool x11-utils imagemagick cups cups-client cups-bsd printer-driver-cups-pdf poppler-utils desktop-file-utils appstream at-spi2-core python3-pyatspi dbus gnome-shell xwayland qt6-wayland|clang valgrind linux-perf lintian libbenchmark-dev
bench|cmake xvfb cups printer-driver-cups-pdf libbenchmark-dev libxcb-damage0-dev linux-perf valgrind|clang lintian
fuzz|cmake clang libclang-rt-14-dev|cups printer-driver-cups-pdf xvfb valgrind lintian
package|cmake qt6-base-dev dpkg-dev file lintian|cups printer-driver-cups-pdf xvfb clang valgrind
TABLE

# The run group asks nothing about printing and leaves no policy behind.
new_state run-quiet
run_script run
[ ! -e "$INSTALL_DEPS_POLICY_RC_D" ] || fail "run: left a policy-rc.d"
[ ! -s "$STATE/calls.log" ] || fail "run: touched the print system: $(cat "$STATE/calls.log")"

# Everything installed: the package manager is not even asked.
new_state all-there
for group in run test bench fuzz package; do run_script $group; done
cp "$STATE/apt.log" "$STATE/first.log"
: >"$STATE/apt.log"
for group in run test bench fuzz package; do run_script $group; done
[ ! -s "$STATE/apt.log" ] || fail "all installed: apt-get was still called: $(cat "$STATE/apt.log")"

new_state unknown
run_script frobnicate
[ "$status" -eq 2 ] || fail "unknown group: exit status $status, expected 2"
[ ! -s "$STATE/apt.log" ] || fail "unknown group: apt-get was called"

# A machine without a print scheduler: none is started, none enabled, no queue appears.
new_state no-scheduler
run_script test
grep -qx 'cups start: 101' "$STATE/policy.log" || fail "no scheduler: cups was allowed to start: $(cat "$STATE/policy.log" 2>/dev/null)"
grep -qx 'dbus start: 0' "$STATE/policy.log" || fail "no scheduler: the policy also stopped other services"
[ ! -e "$INSTALL_DEPS_POLICY_RC_D" ] || fail "no scheduler: the policy-rc.d stayed behind"
[ ! -s "$STATE/queues" ] || fail "no scheduler: queues appeared: $(cat "$STATE/queues")"
grep -q '^deb-systemd-helper disable .*cups.service' "$STATE/calls.log" \
    || fail "no scheduler: cups.service left enabled"
grep -q '^deb-systemd-helper disable .*cups.socket' "$STATE/calls.log" \
    || fail "no scheduler: cups.socket left enabled"
grep -qx 'update-rc.d cups disable' "$STATE/calls.log" || fail "no scheduler: cups init script left enabled"

# A running scheduler with a default printer, and one without: cups-pdf's queue is taken away
# again, and the default is what it was.
for default in Office ""; do
    new_state "running-${default:-none}"
    echo cups-daemon >"$STATE/installed"
    touch "$STATE/running"
    [ -n "$default" ] && echo "$default ipp://printer.local/ipp/print" >"$STATE/queues"
    printf %s "$default" >"$STATE/default"
    cp "$STATE/queues" "$STATE/queues.before"
    run_script test
    [ "$status" -eq 0 ] || fail "running scheduler: exit status $status: $(cat "$STATE/out")"
    grep -q '^install .*printer-driver-cups-pdf' "$STATE/apt.log" || fail "running scheduler: cups-pdf not installed"
    cmp -s "$STATE/queues.before" "$STATE/queues" || fail "running scheduler, default '$default': queues now $(cat "$STATE/queues")"
    [ "$(cat "$STATE/default")" = "$default" ] || fail "running scheduler: default is now '$(cat "$STATE/default")', was '$default'"
    ! grep -q deb-systemd-helper "$STATE/calls.log" || fail "running scheduler: the machine's scheduler was disabled"
done

# An install that fails after cups-pdf's script has run still takes its queue and the policy away.
new_state failed-install
echo cups-daemon >"$STATE/installed"
touch "$STATE/running" "$STATE/fail"
run_script test
[ "$status" -ne 0 ] || fail "failed install: reported success"
[ ! -s "$STATE/queues" ] || fail "failed install: queues now $(cat "$STATE/queues")"
[ ! -e "$INSTALL_DEPS_POLICY_RC_D" ] || fail "failed install: the policy-rc.d stayed behind"

# The user's own cups-pdf queue stays.
new_state own-queue
echo cups-daemon >"$STATE/installed"
touch "$STATE/running"
echo "MyPDF cups-pdf:/" >"$STATE/queues"
run_script test
grep -qx 'MyPDF cups-pdf:/' "$STATE/queues" || fail "own queue: the user's cups-pdf queue was removed"
! grep -q 'lpadmin -x' "$STATE/calls.log" || fail "own queue: a queue was removed: $(cat "$STATE/calls.log")"

# A policy the machine has is neither replaced nor removed.
new_state machine-policy
printf '#!/bin/sh\nexit 101\n' >"$INSTALL_DEPS_POLICY_RC_D"
chmod 755 "$INSTALL_DEPS_POLICY_RC_D"
cp "$INSTALL_DEPS_POLICY_RC_D" "$STATE/policy.before"
run_script test
cmp -s "$STATE/policy.before" "$INSTALL_DEPS_POLICY_RC_D" || fail "machine policy: changed or removed"

# make run builds what its recipe names, and that is no test program: ask ninja for every
# command those targets need from scratch.
recipe=$(make -s -n -C "$src" run BUILD="$build" | grep -E '^cmake --build ' || true)
[ -n "$recipe" ] || fail "make run has no cmake --build step"
read -ra words <<<"$recipe"
targets=()
collect=0
for word in "${words[@]}"; do
    case $word in
        --target) collect=1 ;;
        -*) collect=0 ;;
        *) [ $collect -eq 1 ] && targets+=("$word") ;;
    esac
done
[ ${#targets[@]} -gt 0 ] || fail "make run builds every target: '$recipe'"
commands=$(ninja -C "$build" -t commands "${targets[@]}")
grep -q -- '-o bin/quelvane ' <<<"$commands" || fail "make run does not link bin/quelvane"
grep -q -- '-o bin/quelvane-roll ' <<<"$commands" || fail "make run does not link bin/quelvane-roll"
# grep -c counts 0 with status 1, which is the good case here.
extra=$(grep -cE -- '-o (tests|bench)/' <<<"$commands" || true)
[ "$extra" -eq 0 ] || fail "make run builds $extra test or bench files"

[ $failures -eq 0 ] || exit 1
echo "install_deps_groups: passed"
